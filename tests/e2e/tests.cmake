# End-to-end runs of the real setup program: the driver e2e_setup_test.exe
# walks the wizard inside a Wine virtual desktop (tests/e2e/run-e2e.sh), one
# ctest test per scenario. Screenshots go to build/e2e-shots/<scenario>/.

# The scenarios run on the shipped 32-bit build; cmake/run-tests.sh runs
# the 64-bit build's only where this machine cannot run 32-bit programs.

# The setup program again, with the small sample payload, for the scenarios
# that need an install but not the product's sizes.
add_executable(TavikSetupSmall WIN32 ${CMAKE_SOURCE_DIR}/startup/main.cpp
               ${CMAKE_SOURCE_DIR}/resources/setup.rc ${TAVIK_TEST_PAYLOAD_RC})
tavik_product_program(TavikSetupSmall)
target_compile_options(TavikSetupSmall PRIVATE ${TAVIK_WARNINGS})
set_target_properties(TavikSetupSmall PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")

if(TAVIK_PAYLOAD_DIR)
  set(e2e_full_payload "${TAVIK_PAYLOAD_DIR}")
else()
  set(e2e_full_payload "${CMAKE_BINARY_DIR}/payload/sample-${TAVIK_PAYLOAD_PROFILE}")
endif()

# The planting scenario's DLL that records where it was loaded from, and
# its calibration program (see planting/).
add_library(planted_dll SHARED planting/planted_dll.cpp)
target_link_libraries(planted_dll PRIVATE tavik_core)
target_compile_options(planted_dll PRIVATE ${TAVIK_WARNINGS})
set_target_properties(planted_dll PROPERTIES PREFIX "" OUTPUT_NAME planted
                      RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
add_executable(planting_reference WIN32 planting/reference_program.cpp)
target_compile_options(planting_reference PRIVATE ${TAVIK_WARNINGS})
target_link_libraries(planting_reference PRIVATE gdi32 user32 advapi32)
target_link_options(planting_reference PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(planting_reference PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")

add_executable(e2e_setup_test
  e2e/e2e_main.cpp e2e/driver.cpp e2e/png_file.cpp e2e/machine_state.cpp e2e/open_record.cpp
  e2e/scenario.cpp e2e/install_checks.cpp
  e2e/install_test.cpp e2e/flow_test.cpp e2e/locale_test.cpp e2e/responsive_test.cpp
  e2e/version_test.cpp e2e/planting_test.cpp e2e/names_test.cpp
  "${CMAKE_SOURCE_DIR}/tools/png_encode.cpp")
target_link_libraries(e2e_setup_test PRIVATE tavik_test_support gtest oleacc oleaut32)
target_compile_options(e2e_setup_test PRIVATE ${TAVIK_WARNINGS})
target_include_directories(e2e_setup_test PRIVATE "${CMAKE_SOURCE_DIR}")
target_compile_definitions(e2e_setup_test PRIVATE
  TAVIK_SETUP_FULL_EXE="$<TARGET_FILE:TavikSetup>"
  TAVIK_SETUP_SMALL_EXE="$<TARGET_FILE:TavikSetupSmall>"
  TAVIK_PAYLOAD_FULL_DIR="${e2e_full_payload}"
  TAVIK_PAYLOAD_SMALL_DIR="${CMAKE_BINARY_DIR}/payload/sample-small"
  TAVIK_E2E_SHOTS_DIR="${CMAKE_BINARY_DIR}/e2e-shots"
  TAVIK_PLANTED_DLL="$<TARGET_FILE:planted_dll>"
  TAVIK_REFERENCE_EXE="$<TARGET_FILE:planting_reference>")
set_target_properties(e2e_setup_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
add_dependencies(e2e_setup_test TavikSetup TavikSetupSmall planted_dll planting_reference)

#   tavik_e2e(NAME FILTER [ENV VAR=value ...])
# Runs the scenarios that FILTER selects. They hold the desktop lock of the
# GUI tests: a window of another test would take the keyboard focus.
function(tavik_e2e name filter)
  cmake_parse_arguments(ARG "" "" "ENV" ${ARGN})
  if(NOT ARG_ENV)
    set(ARG_ENV LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8)
  endif()
  add_test(NAME e2e_${name}
           COMMAND sh "${CMAKE_CURRENT_SOURCE_DIR}/e2e/run-e2e.sh" "${CMAKE_BINARY_DIR}" "${filter}")
  set_tests_properties(e2e_${name} PROPERTIES TIMEOUT 400 RESOURCE_LOCK desktop LABELS e2e
                       ENVIRONMENT "${ARG_ENV}")
endfunction()

tavik_e2e(full_install_defaults FullInstall.DefaultsGiveEveryFileTheShortcutsAndTheRegistration)
tavik_e2e(full_install_traditional FullInstall.TraditionalChineseWithoutChineseDisplayAndTheSpeechPackage)
tavik_e2e(responsive Responsive.*)
tavik_e2e(page_flow PageFlow.*)
tavik_e2e(install_folder InstallFolder.*)
tavik_e2e(word_base WordBase.*)
tavik_e2e(abandon_cancel Abandon.CancelOnEveryPage)
tavik_e2e(abandon_escape Abandon.EscapeOnEveryPage)
tavik_e2e(abandon_close_box Abandon.CloseBoxOnEveryPage)
tavik_e2e(dll_planting Planting.*)
tavik_e2e(shell_names_zh_CN ShellNamesTest.*
          ENV LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 TAVIK_E2E_UI_LANGUAGE=1)
# What a screen reader reads, on an English and on a Chinese system.
tavik_e2e(screen_reader_names ScreenReader.*)
tavik_e2e(screen_reader_names_zh_CN ScreenReader.* ENV LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8)
tavik_e2e(shell_names_zh_TW ShellNamesTest.*
          ENV LC_ALL=zh_TW.UTF-8 LANG=zh_TW.UTF-8 TAVIK_E2E_UI_LANGUAGE=2)

# One full install under each Windows version that Wine reports, in the
# same prefix: each scenario sets the version it runs under, and the desktop
# lock keeps them one at a time. The version-3 systems also run without the
# folders their shortcuts go to.
foreach(version win31 nt351 win98 win2k winxp win7 win10)
  tavik_e2e(windows_${version} "Windows/*.*/${version}")
endforeach()
