# Tests of shell/ (see tavik_test in tests/CMakeLists.txt).
