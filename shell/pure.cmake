# Pure sources of shell/ (no Windows header); also compiled by tools/ natively.
list(APPEND TAVIK_PURE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/legacy_path.cpp)
