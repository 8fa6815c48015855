# Tests of the build itself: the include order of the product's folders,
# which build runs what on this machine, what the packer refuses, that two builds give the same setup program, and
# that a signed one still installs. They run on the host; only the signed
# install goes through Wine.

# A look at the sources alone, cheap enough for every build folder.
add_test(NAME include_order
         COMMAND "${CMAKE_COMMAND}" -DROOT=${CMAKE_SOURCE_DIR} -P "${CMAKE_CURRENT_LIST_DIR}/include_order.cmake")
set_tests_properties(include_order PROPERTIES TIMEOUT 60)

# The rest belong to the shipped (32-bit) build only: the builds they make
# are of that preset, so the 64-bit build folder would only repeat them.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  return()
endif()

# The choice of which build runs the end-to-end scenarios, for a missing,
# a failing and a working 32-bit loader.
add_test(NAME lane_choice
         COMMAND sh "${CMAKE_CURRENT_LIST_DIR}/lane_choice_test.sh" "${CMAKE_SOURCE_DIR}"
                 "${CMAKE_BINARY_DIR}" "${CMAKE_BINARY_DIR}/tests/lane_choice")
set_tests_properties(lane_choice PROPERTIES TIMEOUT 120)

# One test per refusal, and the warning for a file that no row names.
foreach(case installed licence package font stray)
  add_test(NAME packer_refusal_${case}
           COMMAND sh "${CMAKE_CURRENT_LIST_DIR}/packer_refusal_test.sh" ${case} "${TAVIK_PAYLOAD_PACK}"
                   "${CMAKE_BINARY_DIR}/payload/sample-small" "${CMAKE_BINARY_DIR}/tests/packer_refusal")
  set_tests_properties(packer_refusal_${case} PROPERTIES TIMEOUT 120)
endforeach()

# Two clean builds of the product (small payload) give the same bytes. The
# builds are two at most at a time, like the tests' own.
add_test(NAME reproducible_build
         COMMAND sh "${CMAKE_CURRENT_LIST_DIR}/reproducible_test.sh" "${CMAKE_SOURCE_DIR}"
                 "${CMAKE_BINARY_DIR}/tests/reproducible")
set_tests_properties(reproducible_build PROPERTIES TIMEOUT 1800)
set_tests_properties(reproducible_build PROPERTIES FIXTURES_SETUP release_builds)

# The second of those builds, signed with a throw-away certificate, verified,
# and installed from through its wizard.
add_test(NAME signed_install
         COMMAND sh "${CMAKE_CURRENT_LIST_DIR}/signed_install_test.sh" "${CMAKE_SOURCE_DIR}"
                 "${CMAKE_BINARY_DIR}/tests/reproducible" "${CMAKE_BINARY_DIR}")
set_tests_properties(signed_install PROPERTIES TIMEOUT 1200 FIXTURES_REQUIRED release_builds
                     RESOURCE_LOCK desktop)
