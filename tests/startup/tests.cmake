# Tests of startup/ (see tavik_test in tests/CMakeLists.txt).
