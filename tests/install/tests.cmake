# Tests of install/ (see tavik_test in tests/CMakeLists.txt).

# Payload extraction against the small test payload; the sample files it
# was packed from and GNU Unifont are read through Wine's drive Z:.
tavik_test(payload_test
  SOURCES install/payload_test.cpp install/payload_font_test.cpp install/payload_sample_test.cpp
          install/payload_test_support.cpp
  RC ${TAVIK_TEST_PAYLOAD_RC})
target_compile_definitions(payload_test PRIVATE
  TAVIK_SAMPLE_DIR="Z:${CMAKE_BINARY_DIR}/payload/sample-small"
  TAVIK_UNIFONT_HEX="Z:/usr/share/unifont/unifont.hex")

# A payload set with chosen faults, and an empty file under an id of its own.
file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/payload/empty.dat" CONTENT "")
tavik_add_payload(faulty PROFILE small
  PACK_ARGS --omit 143 --damage 203 --truncate 204 --add "900=${CMAKE_BINARY_DIR}/payload/empty.dat")
tavik_test(payload_fault_test
  SOURCES install/payload_fault_test.cpp install/payload_test_support.cpp
  RC ${TAVIK_PAYLOAD_RC_faulty})

# The setup program as built, opened as a data file.
if(TAVIK_PAYLOAD_DIR)
  set(product_payload_dir "${TAVIK_PAYLOAD_DIR}")
  set(product_full_sample 0)
else()
  set(product_payload_dir "${CMAKE_BINARY_DIR}/payload/sample-${TAVIK_PAYLOAD_PROFILE}")
  if(TAVIK_PAYLOAD_PROFILE STREQUAL "full")
    set(product_full_sample 1)
  else()
    set(product_full_sample 0)
  endif()
endif()
tavik_test(payload_product_test
  SOURCES install/payload_product_test.cpp install/payload_test_support.cpp)
add_dependencies(payload_product_test TavikSetup)
target_compile_definitions(payload_product_test PRIVATE
  TAVIK_SETUP_EXE="Z:$<TARGET_FILE:TavikSetup>"
  TAVIK_PRODUCT_PAYLOAD_DIR="Z:${product_payload_dir}"
  TAVIK_PRODUCT_FULL_SAMPLE=${product_full_sample})

# ---- Install sequence ------------------------------------------------------------
function(tavik_sequence_test name payload_rc)
  tavik_test(${name} GUI SOURCES install/${name}.cpp install/install_sequence_fixture.cpp
             RC "${CMAKE_SOURCE_DIR}/resources/setup.rc" "${payload_rc}")
  target_compile_definitions(${name} PRIVATE
                             TAVIK_SAMPLE_PAYLOAD_DIR="${CMAKE_BINARY_DIR}/payload/sample-small")
endfunction()
# Payload sets with chosen faults: continue rows and a stopping row, and
# the very first row.
tavik_add_payload(sequence_faults PROFILE small PACK_ARGS --omit 118 --damage 203 --truncate 128)
tavik_add_payload(sequence_first_row PROFILE small PACK_ARGS --omit 106)
tavik_sequence_test(install_sequence_test "${TAVIK_TEST_PAYLOAD_RC}")
tavik_sequence_test(install_sequence_fault_test "${TAVIK_PAYLOAD_RC_sequence_faults}")
tavik_sequence_test(install_sequence_first_row_test "${TAVIK_PAYLOAD_RC_sequence_first_row}")

tavik_test(word_base_test GUI SOURCES install/word_base_test.cpp
           RC ${TAVIK_TEST_PAYLOAD_RC} ${CMAKE_SOURCE_DIR}/resources/setup.rc)
tavik_test(config_file_test GBK SOURCES install/config_file_test.cpp
           RC ${TAVIK_TEST_PAYLOAD_RC})
