# Tests of render/ (see tavik_test in tests/CMakeLists.txt).
