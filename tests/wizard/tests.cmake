# Tests of wizard/ (see tavik_test in tests/CMakeLists.txt).
