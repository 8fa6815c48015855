# Cross toolchain: 64-bit Windows executables from Debian's mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAVIK_MINGW_TRIPLE x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake")
