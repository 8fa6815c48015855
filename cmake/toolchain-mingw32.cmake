# Cross toolchain: 32-bit x86 Windows executables from Debian's mingw-w64,
# the shipped setup program.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TAVIK_MINGW_TRIPLE i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake")
