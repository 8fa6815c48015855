# Tests of render/ (see tavik_test in tests/CMakeLists.txt).
set(render_support render/render_test_support.cpp)
tavik_test(owner_draw_test GUI SOURCES render/owner_draw_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC})
tavik_test(owner_caption_test GUI GBK SOURCES render/owner_caption_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC})
tavik_test(message_box_test GUI SOURCES render/message_box_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC} ${CMAKE_SOURCE_DIR}/resources/setup.rc)
tavik_test(list_item_test GUI SOURCES render/list_item_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC})
tavik_test(check_control_test GUI SOURCES render/check_control_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC})
tavik_test(text_out_test SOURCES render/text_out_test.cpp ${render_support}
           RC ${TAVIK_TEST_PAYLOAD_RC})

# The same painters on a double-byte system, where window and item texts go
# through code page 936 on their way in and out of the controls. LANG alone
# left Wine on 1252 here; LC_ALL takes effect.
set(cp936 "LANG=zh_CN.UTF-8;LC_ALL=zh_CN.UTF-8;TAVIK_EXPECT_ACP=936")
foreach(test owner_draw_test list_item_test check_control_test)
  add_test(NAME ${test}_cp936 COMMAND ${test})
  set_tests_properties(${test}_cp936 PROPERTIES TIMEOUT 300 ENVIRONMENT "${cp936}")
endforeach()
add_test(NAME message_box_test_cp936 COMMAND message_box_test
         --gtest_filter=CodePage.*:*TextsAreShown*:*Overlong*:*EachButton*)
set_tests_properties(message_box_test_cp936 PROPERTIES TIMEOUT 300 ENVIRONMENT "${cp936}")
