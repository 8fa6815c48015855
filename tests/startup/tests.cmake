# Tests of startup/ (see tavik_test in tests/CMakeLists.txt).

# The same probe under several Wine locales. Wine follows LC_ALL here: LANG
# alone leaves it in English while the Linux locale is not generated.
tavik_test(system_probe_test SOURCES startup/system_probe_test.cpp
           ENV LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8)
foreach(locale zh_CN zh_SG zh_TW zh_HK zh_MO ja_JP ko_KR)
  add_test(NAME system_probe_test_${locale} COMMAND system_probe_test)
  set_tests_properties(system_probe_test_${locale} PROPERTIES TIMEOUT 120
                       ENVIRONMENT "LC_ALL=${locale}.UTF-8;LANG=${locale}.UTF-8")
endforeach()

tavik_test(message_loop_test GUI SOURCES startup/message_loop_test.cpp
           RC ${CMAKE_SOURCE_DIR}/resources/setup.rc)
tavik_test(run_setup_test GUI SOURCES startup/run_setup_test.cpp
           RC ${CMAKE_SOURCE_DIR}/resources/setup.rc ${TAVIK_TEST_PAYLOAD_RC}
           ENV LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8)
# The payload without the dialog templates: the wizard cannot be created.
tavik_test(no_wizard_test GUI SOURCES startup/no_wizard_test.cpp RC ${TAVIK_TEST_PAYLOAD_RC})

# A copy of the setup program whose glyph font fails its checksum.
tavik_add_payload(damagedfont PROFILE small PACK_ARGS --damage 110)
add_executable(TavikSetupDamagedFont WIN32 ${CMAKE_SOURCE_DIR}/startup/main.cpp
               ${CMAKE_SOURCE_DIR}/resources/setup.rc ${TAVIK_PAYLOAD_RC_damagedfont})
tavik_product_program(TavikSetupDamagedFont)
target_compile_options(TavikSetupDamagedFont PRIVATE ${TAVIK_WARNINGS})
set_target_properties(TavikSetupDamagedFont PROPERTIES
                      RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")

tavik_test(setup_process_test GUI SOURCES startup/setup_process_test.cpp TIMEOUT 180)
target_compile_definitions(setup_process_test PRIVATE
  TAVIK_SETUP_EXE="$<TARGET_FILE:TavikSetup>"
  TAVIK_DAMAGED_FONT_SETUP_EXE="$<TARGET_FILE:TavikSetupDamagedFont>")
add_dependencies(setup_process_test TavikSetup TavikSetupDamagedFont)

# The glyph font's failure paths, forced through the import table.
tavik_test(startup_failure_test GUI GBK SOURCES startup/startup_failure_test.cpp
           RC ${CMAKE_SOURCE_DIR}/resources/setup.rc ${TAVIK_TEST_PAYLOAD_RC})
set_tests_properties(startup_failure_test PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

# The restricted DLL search and system DLLs by full path; the planted copies
# are the planting test's recorder DLL, built beside this test.
tavik_test(system_dlls_test SOURCES startup/system_dlls_test.cpp)
add_dependencies(system_dlls_test planted_dll)

# Every DLL that the setup program imports is a known DLL on every Windows
# from XP on (the list and its sources are in the script).
foreach(program TavikSetup TavikSetupSmall)
  add_test(NAME known_dll_imports_${program}
           COMMAND "${CMAKE_COMMAND}" -DOBJDUMP=${CMAKE_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${program}>
                   -P "${CMAKE_CURRENT_SOURCE_DIR}/startup/known_dll_imports.cmake")
endforeach()

# The setup program's image: machine type, header versions, manifest.
tavik_test(pe_image_test SOURCES startup/pe_image_test.cpp)
target_compile_definitions(pe_image_test PRIVATE TAVIK_SETUP_EXE="$<TARGET_FILE:TavikSetup>")
add_dependencies(pe_image_test TavikSetup)
