# Tests of render/ (see tavik_test in tests/CMakeLists.txt).
set(render_support render/render_test_support.cpp)
tavik_test(owner_draw_test SOURCES render/owner_draw_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC})
