# Tests of shell/ (see tavik_test in tests/CMakeLists.txt).
tavik_test(legacy_path_test PURE SOURCES shell/legacy_path_test.cpp)
