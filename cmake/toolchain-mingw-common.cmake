# What both cross toolchains share; each sets CMAKE_SYSTEM_PROCESSOR and
# TAVIK_MINGW_TRIPLE, then includes this. The -posix thread variant is the
# project's compiler because GoogleTest needs std::mutex; the setup program
# itself is compiled and linked with the -win32 variant (see
# tavik_use_win32_threads in CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${TAVIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TAVIK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
