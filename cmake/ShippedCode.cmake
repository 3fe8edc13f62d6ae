# Compiles the shipped sources once more as a device build would without
# libplist installed: a stand-in <plist/plist.h> that stops the compile comes
# first on their include path. Building it (part of every build) proves the
# deliverables need no property-list header; that lumivo_settings and the
# deliverables link no property-list library their CMake files show.
add_library(lumivo_shipped_check OBJECT
  ${LUMIVO_SETTINGS_SOURCES} ${LUMIVO2_BEHAVIOUR_SOURCES} ${LUMIVO_BEHAVIOUR_SOURCES})
target_include_directories(lumivo_shipped_check BEFORE PRIVATE
  "${CMAKE_SOURCE_DIR}/cmake/no_libplist" "${CMAKE_SOURCE_DIR}")
