# Tests of install/ (see tavik_test in tests/CMakeLists.txt).
tavik_test(manifest_test PURE SOURCES install/manifest_test.cpp install/bounded_format_test.cpp)
tavik_test(config_rewrite_test PURE SOURCES install/config_rewrite_test.cpp install/path_text_test.cpp)
tavik_test(word_base_test SOURCES install/word_base_test.cpp common/disk_test_support.cpp
           RC ${TAVIK_TEST_PAYLOAD_RC} ${CMAKE_SOURCE_DIR}/resources/setup.rc)
tavik_test(config_file_test GBK SOURCES install/config_file_test.cpp common/disk_test_support.cpp
           RC ${TAVIK_TEST_PAYLOAD_RC})
