# Pure sources of wizard/ (no Windows header); also compiled by tools/ natively.
list(APPEND TAVIK_PURE_SOURCES "${CMAKE_CURRENT_LIST_DIR}/licence_text.cpp")
