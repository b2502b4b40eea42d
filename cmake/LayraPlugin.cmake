# layra_add_plugin(<target> OUTPUT_DIR <dir> RESOURCES <files...> SOURCES <files...> LIBS <targets...>)
#
# Builds a plug-in library that the `layra` program loads with dlopen. Its resource
# files are embedded in the section ".layra_resources" as a run of entries
# (file name, NUL, 8-byte little-endian length, bytes), and GetPlugIn is its only
# exported symbol.
function(layra_add_plugin target)
  cmake_parse_arguments(ARG "" "OUTPUT_DIR;OUTPUT_NAME" "RESOURCES;SOURCES;LIBS" ${ARGN})
  set(asm "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.S")
  set(body ".section .layra_resources,\"\",@progbits\n")
  set(index 0)
  foreach(resource IN LISTS ARG_RESOURCES)
    get_filename_component(path "${resource}" ABSOLUTE)
    get_filename_component(name "${resource}" NAME)
    string(APPEND body ".asciz \"${name}\"\n.quad .Lend${index} - .Lstart${index}\n")
    string(APPEND body ".Lstart${index}:\n.incbin \"${path}\"\n.Lend${index}:\n")
    math(EXPR index "${index} + 1")
  endforeach()
  string(APPEND body ".section .note.GNU-stack,\"\",@progbits\n")
  file(GENERATE OUTPUT "${asm}" CONTENT "${body}")
  set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${ARG_RESOURCES}")

  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}_exports.map")
  file(GENERATE OUTPUT "${script}" CONTENT "{\n  global: GetPlugIn;\n  local: *;\n};\n")

  add_library(${target} MODULE ${ARG_SOURCES} "${asm}")
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} layra)
  target_link_options(${target} PRIVATE "-Wl,--version-script=${script}")
  # clang links the sanitizer runtimes into executables only, so a sanitized plug-in leaves
  # their symbols for the program to supply.
  if(NOT (CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND (FOLIVOX_SANITIZE OR FOLIVOX_FUZZ)))
    target_link_options(${target} PRIVATE "-Wl,--no-undefined")
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".so"
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS "${script}"
    LIBRARY_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIR}")
  if(ARG_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
endfunction()
