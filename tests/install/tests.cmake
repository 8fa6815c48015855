# Tests of install/ (see tavik_test in tests/CMakeLists.txt).
tavik_test(manifest_test PURE SOURCES install/manifest_test.cpp install/bounded_format_test.cpp)

# ---- Install sequence ------------------------------------------------------------
tavik_test(install_sequence_stale_test PURE SOURCES install/install_sequence_stale_test.cpp)
if(COMMAND tavik_add_payload)  # the native tools project builds only PURE tests
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
endif()
