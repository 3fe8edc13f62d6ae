# Places a built deliverable where the device has it: in the build tree's
# device template (copied into every simulated device root), in a device root
# laid out by `cmake --install <build> --component device --prefix <root>`
# (only when that component is asked for: a plain install puts no device
# paths under the prefix), and beside an installed simulator.
function(lumivo_place_target target device_dir)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory "${LUMIVO_DEVICE_TEMPLATE}/${device_dir}"
    COMMAND ${CMAKE_COMMAND} -E copy "$<TARGET_FILE:${target}>" "${LUMIVO_DEVICE_TEMPLATE}/${device_dir}/"
    VERBATIM)
  install(TARGETS ${target} LIBRARY DESTINATION "${device_dir}" COMPONENT device EXCLUDE_FROM_ALL)
  install(TARGETS ${target} LIBRARY DESTINATION "${LUMIVO_INSTALL_TEMPLATE}/${device_dir}" COMPONENT simulator)
endfunction()

# The same for a data file of a deliverable (the extension's filter list).
function(lumivo_place_file source device_dir)
  get_filename_component(name "${source}" NAME)
  configure_file("${source}" "${LUMIVO_DEVICE_TEMPLATE}/${device_dir}/${name}" COPYONLY)
  install(FILES "${source}" DESTINATION "${device_dir}" COMPONENT device EXCLUDE_FROM_ALL)
  install(FILES "${source}" DESTINATION "${LUMIVO_INSTALL_TEMPLATE}/${device_dir}" COMPONENT simulator)
endfunction()

# Settings for both deliverables: only the module's own entry points are
# visible, and a reloaded module starts from fresh state.
function(lumivo_deliverable target)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    OBJCXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINKER_LANGUAGE CXX
    PREFIX "")
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Unique symbols would pin the module in memory after dlclose.
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-gnu-unique>)
  endif()
  # The simulated frameworks stand where a device's frameworks are: the
  # deliverable links them (and GNUstep's Foundation) as it links the
  # device's, but takes none of their headers.
  target_link_libraries(${target} PRIVATE lumivo_settings lumivo_gnustep "$<TARGET_FILE:lumivo_sim>")
  add_dependencies(${target} lumivo_sim)
  # The settings code linked in stays private to the module; exported, its
  # constants would be unique symbols that pin the module after dlclose.
  target_link_options(${target} PRIVATE "-Wl,--exclude-libs,ALL")
endfunction()
