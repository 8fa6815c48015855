# Tests of install/ (see tavik_test in tests/CMakeLists.txt).
tavik_test(manifest_test PURE SOURCES install/manifest_test.cpp install/bounded_format_test.cpp)
tavik_test(config_rewrite_test PURE SOURCES install/config_rewrite_test.cpp install/path_text_test.cpp)
