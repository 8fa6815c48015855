# The payload pipeline: every installed file becomes one zlib stream (78 DA)
# linked as a resource of type "TEXT" under its manifest id.
#
#   tavik_add_payload(NAME PROFILE full|small [SOURCE_DIR dir] [PACK_ARGS ...])
#
# With SOURCE_DIR empty a sample payload is generated (deterministic bytes);
# otherwise the files of SOURCE_DIR are packed. PACK_ARGS go to the packer
# (test builds use them to leave out or damage chosen ids). Sets
# TAVIK_PAYLOAD_RC_<NAME> in the caller's scope: the .rc to add to an exe.

# Who writes the streams. libdeflate's are about 7% smaller than zlib's for
# a few more seconds of packing; both are 78 DA streams for zlib's
# uncompress, and both are the same bytes on every build.
set(TAVIK_PAYLOAD_COMPRESSOR "libdeflate" CACHE STRING "Payload stream compressor: libdeflate (level 12) or zlib (level 9)")
set_property(CACHE TAVIK_PAYLOAD_COMPRESSOR PROPERTY STRINGS zlib libdeflate)
# Rewritten only when the choice changes, so a new choice repacks.
set(TAVIK_PAYLOAD_COMPRESSOR_STAMP "${CMAKE_BINARY_DIR}/payload/compressor.txt")
file(CONFIGURE OUTPUT "${TAVIK_PAYLOAD_COMPRESSOR_STAMP}" CONTENT "${TAVIK_PAYLOAD_COMPRESSOR}\n")

set(TAVIK_FONT_FILE "${CMAKE_BINARY_DIR}/font/ChnBmp.bin")
add_custom_command(
  OUTPUT "${TAVIK_FONT_FILE}"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/font"
  COMMAND "${TAVIK_FONT_BUILDER}" /usr/share/unifont/unifont.hex "${TAVIK_FONT_FILE}"
  DEPENDS host_tools "${TAVIK_FONT_BUILDER}"
  COMMENT "Building the bitmap glyph font from GNU Unifont")
add_custom_target(glyph_font DEPENDS "${TAVIK_FONT_FILE}")

# The sample payload generator's literal texts: a change makes the payload anew.
set(TAVIK_SAMPLE_TEXTS "${CMAKE_SOURCE_DIR}/tools/sample_payload/texts")
file(GLOB TAVIK_SAMPLE_TEXT_FILES CONFIGURE_DEPENDS "${TAVIK_SAMPLE_TEXTS}/*")

function(tavik_add_payload name)
  cmake_parse_arguments(ARG "" "PROFILE;SOURCE_DIR" "PACK_ARGS" ${ARGN})
  if(NOT ARG_PROFILE)
    set(ARG_PROFILE small)
  endif()
  set(packed "${CMAKE_BINARY_DIR}/payload/${name}")
  set(rc "${packed}/payload.rc")

  if(ARG_SOURCE_DIR)
    set(files "${ARG_SOURCE_DIR}")
    set(generated "")
    set(generator "")
  else()
    set(files "${CMAKE_BINARY_DIR}/payload/sample-${ARG_PROFILE}")
    set(generated "${files}/.generated")
    # Packing waits for the generator's own target: a rule that several
    # targets reach would otherwise run once in each of them, at once.
    set(generator sample_payload_${ARG_PROFILE})
    if(NOT TARGET sample_payload_${ARG_PROFILE})
      set(stubs "")
      foreach(program ${TAVIK_STUB_PROGRAMS})
        list(APPEND stubs "--program" "${program}.exe=$<TARGET_FILE:stub_${program}>")
      endforeach()
      add_custom_command(
        OUTPUT "${generated}"
        COMMAND "${TAVIK_SAMPLE_PAYLOAD}" --profile ${ARG_PROFILE} --out "${files}"
                --font "${TAVIK_FONT_FILE}" --texts "${TAVIK_SAMPLE_TEXTS}" --package "${TAVIK_SPEECH_PACKAGE}" ${stubs}
        COMMAND "${CMAKE_COMMAND}" -E touch "${generated}"
        DEPENDS host_tools "${TAVIK_SAMPLE_PAYLOAD}" "${TAVIK_FONT_FILE}" ${TAVIK_SAMPLE_TEXT_FILES}
                ${TAVIK_STUB_TARGETS} speech_package "${TAVIK_SPEECH_PACKAGE}"
        COMMENT "Generating the ${ARG_PROFILE} sample payload")
      add_custom_target(sample_payload_${ARG_PROFILE} DEPENDS "${generated}")
      add_dependencies(sample_payload_${ARG_PROFILE} glyph_font)
    endif()
  endif()

  add_custom_command(
    OUTPUT "${rc}"
    COMMAND "${TAVIK_PAYLOAD_PACK}" --payload "${files}" --out "${packed}" --rc "${rc}"
            --compressor ${TAVIK_PAYLOAD_COMPRESSOR} ${ARG_PACK_ARGS}
    DEPENDS host_tools "${TAVIK_PAYLOAD_PACK}" "${TAVIK_PAYLOAD_COMPRESSOR_STAMP}" ${generated} ${generator}
    COMMENT "Packing payload ${name}")
  add_custom_target(payload_${name} DEPENDS "${rc}")
  set_property(GLOBAL PROPERTY "tavik_payload_owner:${rc}" payload_${name})
  set(TAVIK_PAYLOAD_RC_${name} "${rc}" PARENT_SCOPE)
endfunction()

# Every executable that links a payload .rc also carries the packing rule;
# left alone, parallel builds run the packer once per consumer at the same
# time, writing the same streams. Ordering each consumer after the payload's
# own target makes the packer run once and the consumers find it done.
function(tavik_order_payload_consumers dir)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      get_target_property(sources ${target} SOURCES)
      foreach(source ${sources})
        get_property(owner GLOBAL PROPERTY "tavik_payload_owner:${source}")
        if(owner)
          add_dependencies(${target} ${owner})
        endif()
      endforeach()
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(subdirectory ${subdirectories})
    tavik_order_payload_consumers("${subdirectory}")
  endforeach()
endfunction()
