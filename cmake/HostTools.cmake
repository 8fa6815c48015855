# Builds tools/ natively (the machine's own compiler) before anything that
# needs a host tool. BUILD_ALWAYS lets an edit to a tool or to base/
# rebuild it; a no-op build costs well under a second.
include(ExternalProject)

option(TAVIK_NATIVE_TESTS "Build and run the native sanitizer tests of the window-free code (tests/base/)" ON)

set(TAVIK_HOST_DIR "${CMAKE_BINARY_DIR}/host")
set(TAVIK_PAYLOAD_PACK   "${TAVIK_HOST_DIR}/payload_pack")
set(TAVIK_FONT_BUILDER   "${TAVIK_HOST_DIR}/font_builder")
set(TAVIK_SAMPLE_PAYLOAD "${TAVIK_HOST_DIR}/sample_payload")
set(TAVIK_MSI_STAMP      "${TAVIK_HOST_DIR}/msi_stamp")
set(TAVIK_IMPORT_GATE    "${TAVIK_HOST_DIR}/import_gate")

ExternalProject_Add(host_tools
  SOURCE_DIR "${CMAKE_SOURCE_DIR}/tools"
  BINARY_DIR "${TAVIK_HOST_DIR}"
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  # The cross toolchain must not leak into the native project.
  CMAKE_CACHE_ARGS -DCMAKE_TOOLCHAIN_FILE:STRING= -DTAVIK_NATIVE_TESTS:BOOL=${TAVIK_NATIVE_TESTS}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS "${TAVIK_PAYLOAD_PACK}" "${TAVIK_FONT_BUILDER}" "${TAVIK_SAMPLE_PAYLOAD}"
                   "${TAVIK_MSI_STAMP}" "${TAVIK_IMPORT_GATE}")
