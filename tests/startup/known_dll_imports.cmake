# Fails when a program imports a DLL that some Windows from XP on does not
# take from its system folder before anything else: an imported DLL that is
# not a "known DLL" is looked for in the program's own folder first, before
# the program can run a single instruction to prevent it.
#   cmake -DOBJDUMP=<objdump> -DPROGRAM=<exe> -P known_dll_imports.cmake
#
# The names that are known DLLs on every Windows from XP on, from published
# dumps of the KnownDLLs registry key:
# - XP (and 2003): DynamoRIO, suite/tests/win32/aslr-dll.c, the registry list
#   (advapi32 comdlg32 gdi32 imagehlp kernel32 lz32 ole32 oleaut32 olecli32
#   olecnv32 olesvr32 olethk32 rpcrt4 shell32 url urlmon user32 version
#   wininet wldap32) and the \KnownDlls section list, which adds the DLLs
#   those import, msvcrt among them (imported by imagehlp).
# - 7: tq5124/autorunForWindow, py/output/knownDlls.js (advapi32 clbcatq
#   comdlg32 difxapi gdi32 iertutil imagehlp imm32 kernel32 lpk msctf msvcrt
#   normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi
#   urlmon user32 usp10 wininet wldap32 ws2_32); version is gone there.
# - How the list works, for every version: the "Dynamic-link library search
#   order" page of the Win32 documentation (the KnownDLLs key, and the
#   program's folder searched first for everything else).
# comctl32 is on no registry list (on XP it is in the section list only as
# an import of comdlg32), so the program loads it itself, by full path.
cmake_minimum_required(VERSION 3.25)
set(known advapi32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 user32)

execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "no import table found in ${PROGRAM}")
endif()
set(unknown "")
foreach(line ${lines})
  string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  string(REGEX REPLACE "\\.dll$" "" name "${dll}")
  message(STATUS "imports ${dll}")
  if(NOT name IN_LIST known)
    list(APPEND unknown "${dll}")
  endif()
endforeach()
if(unknown)
  message(FATAL_ERROR "${PROGRAM} imports DLLs that are not known DLLs on every Windows from XP on: ${unknown}")
endif()
