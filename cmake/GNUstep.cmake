# GNUstep's Foundation as an INTERFACE target for one Objective-C language
# (OBJC or OBJCXX): its definitions and Objective-C options, its headers as
# system headers (they are not -Wextra clean), and its libraries. Sets
# <target>_FLAGS to gnustep-config's own compile flags for other compilers.
function(lumivo_gnustep_foundation target language)
  find_program(GNUSTEP_CONFIG gnustep-config REQUIRED)
  execute_process(COMMAND "${GNUSTEP_CONFIG}" --objc-flags OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND "${GNUSTEP_CONFIG}" --base-libs OUTPUT_VARIABLE libs OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  separate_arguments(libs UNIX_COMMAND "${libs}")
  add_library(${target} INTERFACE)
  foreach(flag IN LISTS flags)
    if(flag MATCHES "^-I(.+)$")
      if(IS_DIRECTORY "${CMAKE_MATCH_1}" AND NOT CMAKE_MATCH_1 STREQUAL ".")
        target_include_directories(${target} SYSTEM INTERFACE "${CMAKE_MATCH_1}")
      endif()
    elseif(flag MATCHES "^-D|^-f(constant-string-class|objc-exceptions|exceptions|no-strict-aliasing)")
      target_compile_options(${target} INTERFACE "$<$<COMPILE_LANGUAGE:${language}>:${flag}>")
    endif()
  endforeach()
  target_link_libraries(${target} INTERFACE ${libs})
  set(${target}_FLAGS "${flags}" PARENT_SCOPE)
endfunction()
