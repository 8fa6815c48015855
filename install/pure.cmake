# Pure sources of the installation engine (no Windows header).
list(APPEND TAVIK_PURE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/manifest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bounded_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/path_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_pump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config_rewrite.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stale_files.cpp)
