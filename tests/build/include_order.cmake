# Holds the product's folders to their include order: a file may include
# headers of its own folder and of the folders below it, never of one
# above. Run as: cmake -DROOT=<source folder> -P include_order.cmake
#
# Lowest first. install sits just above render only so that it may ask the
# user through render's message box; render never reaches into install.
set(layers resources base render install shell wizard startup)

if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source folder> -P include_order.cmake")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

set(violations "")
set(scanned 0)
foreach(layer IN LISTS layers)
  list(FIND layers ${layer} own_rank)
  # A folder that is not there (yet) holds nothing to check.
  file(GLOB_RECURSE sources LIST_DIRECTORIES false
       "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp" "${ROOT}/${layer}/*.c" "${ROOT}/${layer}/*.rc")
  foreach(source IN LISTS sources)
    math(EXPR scanned "${scanned} + 1")
    file(RELATIVE_PATH shown "${ROOT}" "${source}")
    get_filename_component(source_dir "${source}" DIRECTORY)
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*$" "\\1" included "${line}")
      # Resolved as the compiler would: beside the including file first,
      # then from the source root (the product's include folder).
      get_filename_component(beside "${included}" ABSOLUTE BASE_DIR "${source_dir}")
      get_filename_component(from_root "${included}" ABSOLUTE BASE_DIR "${ROOT}")
      if(EXISTS "${beside}")
        set(target "${beside}")
      else()
        set(target "${from_root}")
      endif()
      file(RELATIVE_PATH relative "${ROOT}" "${target}")
      if(relative MATCHES "^\\.\\./" OR NOT relative MATCHES "/")
        continue()  # outside the source tree: a system or build-made header
      endif()
      string(REGEX REPLACE "/.*$" "" folder "${relative}")
      list(FIND layers ${folder} rank)
      if(rank GREATER own_rank)
        list(APPEND violations "${shown}: includes ${relative}, but ${folder} is above ${layer}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(scanned EQUAL 0)
  message(FATAL_ERROR "no product source under ${ROOT}: nothing was checked")
endif()
if(violations)
  list(JOIN violations "\n  " text)
  list(JOIN layers " < " order)
  message(FATAL_ERROR "Includes against the order ${order}:\n  ${text}")
endif()
message(STATUS "include order: ${scanned} files, every include goes down or stays in its folder")
