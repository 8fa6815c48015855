# Pure sources of render/ (no Windows header); also compiled by tools/ natively.
list(APPEND TAVIK_PURE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/glyph_locate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_cut.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_layout.cpp)
