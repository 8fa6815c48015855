# Tests of shell/ (see tavik_test in tests/CMakeLists.txt).
tavik_test(registry_test SOURCES shell/registry_test.cpp)
tavik_test(shortcuts_test SOURCES shell/shortcuts_test.cpp
           RC ${TAVIK_TEST_PAYLOAD_RC} ${CMAKE_SOURCE_DIR}/resources/setup.rc)
