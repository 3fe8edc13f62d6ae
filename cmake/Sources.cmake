# Reads the deliverables' source lists from package/sources.mk, the one place
# they are written (the Theos build includes the same file). Sets, for each
# `NAME = files...` there, the variable NAME to the files as absolute paths.
set(_lumivo_sources_file "${CMAKE_SOURCE_DIR}/package/sources.mk")
set_property(DIRECTORY "${CMAKE_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_lumivo_sources_file}")
file(READ "${_lumivo_sources_file}" _lumivo_sources_text)
string(REGEX REPLACE "\\\\\n" " " _lumivo_sources_text "${_lumivo_sources_text}")
string(REPLACE "\n" ";" _lumivo_sources_lines "${_lumivo_sources_text}")
foreach(_line IN LISTS _lumivo_sources_lines)
  if(_line MATCHES "^([A-Z0-9_]+)[ \t]*=(.*)$")
    set(_name "${CMAKE_MATCH_1}")
    separate_arguments(_files UNIX_COMMAND "${CMAKE_MATCH_2}")
    list(TRANSFORM _files PREPEND "${CMAKE_SOURCE_DIR}/")
    set(${_name} ${_files})
  endif()
endforeach()
