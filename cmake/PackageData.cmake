# The package's data files (the property lists of package/layout, the switch
# bundle's description, the icons rendered from package/art), laid out by
# package/stage_data.sh, the script the device build stages them with: into
# the device template, so that every simulated device root has the files a
# device has, and into both install layouts.
find_program(LUMIVO_RSVG_CONVERT rsvg-convert)
if(NOT LUMIVO_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert renders the package's icons: install Debian's librsvg2-bin (./dev setup does)")
endif()

set(LUMIVO_PACKAGE_DATA "${CMAKE_BINARY_DIR}/package-data")
file(GLOB_RECURSE package_data_sources CONFIGURE_DEPENDS
  "${CMAKE_SOURCE_DIR}/package/layout/*" "${CMAKE_SOURCE_DIR}/package/art/*.svg")
# Laid out afresh each time, so that a file gone from the sources goes from
# the build too.
add_custom_command(OUTPUT "${LUMIVO_PACKAGE_DATA}.stamp"
  COMMAND ${CMAKE_COMMAND} -E rm -rf "${LUMIVO_PACKAGE_DATA}"
  COMMAND "${CMAKE_SOURCE_DIR}/package/stage_data.sh" "${LUMIVO_PACKAGE_DATA}"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${LUMIVO_PACKAGE_DATA}" "${LUMIVO_DEVICE_TEMPLATE}"
  COMMAND ${CMAKE_COMMAND} -E touch "${LUMIVO_PACKAGE_DATA}.stamp"
  DEPENDS "${CMAKE_SOURCE_DIR}/package/stage_data.sh" "${CMAKE_SOURCE_DIR}/switch/Info.plist" ${package_data_sources}
  COMMENT "Laying out the package's data files and icons"
  VERBATIM)
add_custom_target(lumivo_package_data ALL DEPENDS "${LUMIVO_PACKAGE_DATA}.stamp")
install(DIRECTORY "${LUMIVO_PACKAGE_DATA}/" DESTINATION "." COMPONENT device EXCLUDE_FROM_ALL)
install(DIRECTORY "${LUMIVO_PACKAGE_DATA}/" DESTINATION "${LUMIVO_INSTALL_TEMPLATE}" COMPONENT simulator)
