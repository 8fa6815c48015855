# Tests of render/ (see tavik_test in tests/CMakeLists.txt).
set(render_support render/render_test_support.cpp)
tavik_test(text_cut_test PURE SOURCES render/text_cut_test.cpp)
tavik_test(message_layout_test PURE SOURCES render/message_layout_test.cpp)
tavik_test(owner_draw_test SOURCES render/owner_draw_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC})
tavik_test(message_box_test SOURCES render/message_box_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC} ${CMAKE_SOURCE_DIR}/resources/setup.rc)
tavik_test(list_item_test SOURCES render/list_item_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC})
tavik_test(check_control_test SOURCES render/check_control_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC})
