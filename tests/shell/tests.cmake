# Tests of shell/ (see tavik_test in tests/CMakeLists.txt).
tavik_test(ref_string_test SOURCES shell/ref_string_test.cpp)
tavik_test(registry_test SOURCES shell/registry_test.cpp)
