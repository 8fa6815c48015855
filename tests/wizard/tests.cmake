# Tests of wizard/ (see tavik_test in tests/CMakeLists.txt).

tavik_test(folder_chooser_test GUI SOURCES wizard/folder_chooser_test.cpp
           RC ${TAVIK_TEST_PAYLOAD_RC} ${CMAKE_SOURCE_DIR}/resources/setup.rc)

set(wizard_test_support wizard/wizard_test_support.cpp)
tavik_test(wizard_dialog_test GUI SOURCES wizard/wizard_dialog_test.cpp ${wizard_test_support}
           RC ${TAVIK_TEST_PAYLOAD_RC} ${CMAKE_SOURCE_DIR}/resources/setup.rc)
tavik_test(install_run_test GUI SOURCES wizard/install_run_test.cpp ${wizard_test_support}
           RC ${TAVIK_TEST_PAYLOAD_RC} ${CMAKE_SOURCE_DIR}/resources/setup.rc TIMEOUT 240)

# A payload without the English licence.
tavik_add_payload(licence_missing PROFILE small PACK_ARGS --omit 164)
tavik_test(licence_fault_test GUI SOURCES wizard/licence_fault_test.cpp ${wizard_test_support}
           RC ${TAVIK_PAYLOAD_RC_licence_missing} ${CMAKE_SOURCE_DIR}/resources/setup.rc)

# The dialog templates inside the built program, against tables of their own.
tavik_test(dialog_template_test SOURCES wizard/dialog_template_test.cpp)
add_dependencies(dialog_template_test TavikSetup)
target_compile_definitions(dialog_template_test PRIVATE TAVIK_SETUP_EXE="Z:$<TARGET_FILE:TavikSetup>")
