# Tests of wizard/ (see tavik_test in tests/CMakeLists.txt).
tavik_test(folder_chooser_test GUI SOURCES wizard/folder_chooser_test.cpp common/disk_test_support.cpp
           RC ${TAVIK_TEST_PAYLOAD_RC} ${CMAKE_SOURCE_DIR}/resources/setup.rc)
