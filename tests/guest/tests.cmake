# The emulated i386 guest lane (cmake/guest.sh): on machines that execute no
# 32-bit x86 code, the shipped 32-bit build and a chosen few of its test
# programs run in an i386 Debian guest under 32-bit Wine. One guest boot
# (the guest_lane test, the fixture's set-up) runs every case below and
# leaves BUILD/guest/CASE.status and CASE.log; each case is then a ctest
# result of its own (cmake/guest-case.sh), labelled "guest". Where the build
# runs natively, or the guest cannot be made, the cases are skipped with the
# reason. Each case runs exactly what ctest runs on the host: the e2e
# scenario through run-e2e.sh, a test program through wine-run.sh.

set(guest_dir "${CMAKE_BINARY_DIR}/guest")
set(guest_cases "")
set(guest_files "${CMAKE_BINARY_DIR}/wine-run.sh" "${CMAKE_BINARY_DIR}/wine-arch"
    "${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh" "${CMAKE_SOURCE_DIR}/tests/e2e/run-e2e.sh")

#   tavik_guest_case(NAME TIMEOUT WORKDIR ENV COMMAND FILES...)
# ENV is a ;-list as in ctest's ENVIRONMENT, escaped for a list argument.
function(tavik_guest_case name limit workdir env command)
  string(REPLACE ";" " " env "${env}")
  set(guest_cases "${guest_cases}${name}\t${limit}\t${workdir}\t${env}\t${command}\n" PARENT_SCOPE)
  set(guest_files ${guest_files} ${ARGN} PARENT_SCOPE)
  add_test(NAME guest_${name} COMMAND sh "${CMAKE_SOURCE_DIR}/cmake/guest-case.sh" "${guest_dir}" ${name})
  set_tests_properties(guest_${name} PROPERTIES LABELS guest FIXTURES_REQUIRED guest_lane
                       SKIP_RETURN_CODE 77 TIMEOUT 60)
endfunction()

# End-to-end scenarios of the shipped exe, driven by the 32-bit driver: the
# full install with its checks (first: it matters most); the versions that
# need a 32-bit prefix with their branch assertions; the DLL-planting
# scenario (the delay-load hook and the restricted search, in a 32-bit
# process).
set(e2e_files "$<TARGET_FILE:e2e_setup_test>" "$<TARGET_FILE:TavikSetup>"
    "$<TARGET_FILE:TavikSetupSmall>" "$<TARGET_FILE:planted_dll>" "$<TARGET_FILE:planting_reference>"
    "${e2e_full_payload}" "${CMAKE_BINARY_DIR}/payload/sample-small")
macro(tavik_guest_e2e name filter)
  tavik_guest_case(${name} 600 "${CMAKE_BINARY_DIR}" "LC_ALL=en_US.UTF-8;LANG=en_US.UTF-8"
    "sh ${CMAKE_SOURCE_DIR}/tests/e2e/run-e2e.sh ${CMAKE_BINARY_DIR} '${filter}'" ${e2e_files})
endmacro()
tavik_guest_e2e(full_install_defaults FullInstall.DefaultsGiveEveryFileTheShortcutsAndTheRegistration)

# Test programs where a 32-bit process can differ: start-up's run-time
# look-ups (comctl32 by full path, the restricted DLL search), payload
# extraction, the install sequence, the registry templates, and the
# responsiveness pump. Where a program's other tests say nothing new in a
# 32-bit process and cost minutes in the guest, a filter keeps those that
# do: of the install sequence, the whole run (shortcuts and COM servers
# through the delay-loaded DLLs), the Traditional shortcut names and the
# document types; of the pump, what it does, not its answer-time bounds.
set(guest_args_install_sequence_test " --gtest_filter=InstallSequenceTest.CompleteRun*:Languages/ShortcutNames.*/2:OlderAndNewer/DocumentTypes.*/1")
set(guest_args_install_run_test " --gtest_filter=InstallRunTest.LeavingAndClicksDuringTheInstallChangeNothing")
set(guest_data_system_dlls_test "$<TARGET_FILE:planted_dll>")
set(guest_data_payload_test "${CMAKE_BINARY_DIR}/payload/sample-small" /usr/share/unifont/unifont.hex)
set(guest_data_install_sequence_test "${CMAKE_BINARY_DIR}/payload/sample-small")
foreach(program message_loop_test system_dlls_test payload_test install_sequence_test
                registry_test install_run_test)
  get_test_property(${program} ENVIRONMENT env)
  if(NOT env)
    set(env "")
  endif()
  tavik_guest_case(${program} 600 "${CMAKE_BINARY_DIR}/tests" "${env}"
    "${CMAKE_BINARY_DIR}/wine-run.sh $<TARGET_FILE:${program}>${guest_args_${program}}"
    "$<TARGET_FILE:${program}>" ${guest_data_${program}})
endforeach()

foreach(version win98 win31 winxp)
  tavik_guest_e2e(windows_${version} "Windows/*.*/${version}")
endforeach()
tavik_guest_e2e(dll_planting "Planting.*")

list(REMOVE_DUPLICATES guest_files)
string(REPLACE ";" "\n" guest_files "${guest_files}")
file(GENERATE OUTPUT "${guest_dir}/cases.txt" CONTENT "${guest_cases}")
file(GENERATE OUTPUT "${guest_dir}/files.txt" CONTENT "${guest_files}\n")

add_test(NAME guest_lane COMMAND sh "${CMAKE_SOURCE_DIR}/cmake/guest.sh" batch "${CMAKE_BINARY_DIR}")
set_tests_properties(guest_lane PROPERTIES LABELS guest FIXTURES_SETUP guest_lane
                     SKIP_RETURN_CODE 77 TIMEOUT 3600)
