#!/bin/sh
# Compiler and linker launcher: runs the win32 thread variant of the
# mingw-w64 driver that CMake names (…-g++-posix becomes …-g++-win32).
compiler="$1"
shift
exec "${compiler%-posix}-win32" "$@"
