# Resources appended to built files.
#
#   include(${CMAKE_SOURCE_DIR}/platform/storage/Resources.cmake)
#   be_add_resources(<target>
#                    TYPE 'CSTR' ID 3000 NAME "" FILE <path>
#                    TYPE 'ARCV' ID 3000 NAME "prefs" FILE <path> ...)
#
# After <target> is linked, the host tool berestool appends the resources
# to its file. A relative FILE is taken from the calling folder; changing a
# data file relinks the target.
include_guard(GLOBAL)

set(BE_RESOURCES_PLATFORM_DIR ${CMAKE_CURRENT_LIST_DIR}/..)

if(NOT TARGET berestool)
  add_executable(berestool
                 ${BE_RESOURCES_PLATFORM_DIR}/tools/berestool.cpp
                 ${BE_RESOURCES_PLATFORM_DIR}/private/storage/ResourceContainer.cpp)
  target_include_directories(berestool PRIVATE
                             ${BE_RESOURCES_PLATFORM_DIR}/support
                             ${BE_RESOURCES_PLATFORM_DIR}/private)
  # A build tool: it is run, never installed, and needs no sanitizer.
  set_target_properties(berestool PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                        ${CMAKE_BINARY_DIR}/tools)
endif()

function(be_add_resources target)
  # Quoted, so that an empty NAME "" keeps its place.
  set(args "${ARGN}")
  list(LENGTH args count)
  math(EXPR groups "${count} % 8")
  if(count EQUAL 0 OR NOT groups EQUAL 0)
    message(FATAL_ERROR "be_add_resources(${target}): expected groups of "
                        "TYPE <type> ID <id> NAME <name> FILE <path>")
  endif()
  set(tool_args)
  set(data_files)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 8)
    math(EXPR i1 "${i} + 1")
    math(EXPR i2 "${i} + 2")
    math(EXPR i3 "${i} + 3")
    math(EXPR i4 "${i} + 4")
    math(EXPR i5 "${i} + 5")
    math(EXPR i6 "${i} + 6")
    math(EXPR i7 "${i} + 7")
    list(GET args ${i} k_type)
    list(GET args ${i2} k_id)
    list(GET args ${i4} k_name)
    list(GET args ${i6} k_file)
    if(NOT k_type STREQUAL "TYPE" OR NOT k_id STREQUAL "ID"
       OR NOT k_name STREQUAL "NAME" OR NOT k_file STREQUAL "FILE")
      message(FATAL_ERROR "be_add_resources(${target}): expected "
                          "TYPE <type> ID <id> NAME <name> FILE <path>")
    endif()
    list(GET args ${i1} type)
    list(GET args ${i3} id)
    list(GET args ${i5} name)
    list(GET args ${i7} file)
    get_filename_component(file ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND tool_args "--type=${type}" "--id=${id}" "--name=${name}" "--file=${file}")
    list(APPEND data_files ${file})
  endforeach()
  add_dependencies(${target} berestool)
  # Kept, so that an installation that strips the file can append them again.
  set_property(TARGET ${target} PROPERTY BE_RESOURCE_TOOL_ARGS "${tool_args}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${data_files})
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND berestool $<TARGET_FILE:${target}> ${tool_args}
                     COMMENT "Appending resources to ${target}"
                     VERBATIM)
endfunction()
