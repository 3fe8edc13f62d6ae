# GNUstep's Foundation for the Objective-C languages, read once from
# gnustep-config: the INTERFACE target lumivo_gnustep, with its definitions
# and Objective-C options, its headers as system headers (they are not
# -Wextra clean) and its libraries. Serves Objective-C built by GCC (the
# benchmarks' reader) and Objective-C++ built by clang (the adapter and the
# simulated frameworks). Does nothing when neither language is enabled.
#
# Debian's GNUstep is built for GCC's Objective-C runtime. clang compiles
# against it, blocks included, with -fobjc-runtime=gcc and -fblocks, and
# GCC's runtime headers (libobjc-12-dev) through a folder of our own: GCC's
# include folder itself would put GCC's stddef.h and friends before clang's.
# That folder's objc/blocks_runtime.h, which GNUstep's headers include when
# the compiler has blocks, brings the blocks runtime's <Block.h>
# (libblocksruntime-dev), whose library is linked first.
#
# For a clang command line of another kind (the device runtime's syntax
# check): LUMIVO_GNUSTEP_OPTIONS (definitions and Objective-C options),
# LUMIVO_GNUSTEP_INCLUDES (header folders, that of the runtime's headers
# included under clang).
if(TARGET lumivo_gnustep OR NOT (CMAKE_OBJC_COMPILER_LOADED OR CMAKE_OBJCXX_COMPILER_LOADED))
  return()
endif()

find_program(GNUSTEP_CONFIG gnustep-config REQUIRED)
execute_process(COMMAND "${GNUSTEP_CONFIG}" --objc-flags OUTPUT_VARIABLE _lumivo_flags
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${GNUSTEP_CONFIG}" --base-libs OUTPUT_VARIABLE _lumivo_libs
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(_lumivo_flags UNIX_COMMAND "${_lumivo_flags}")
separate_arguments(_lumivo_libs UNIX_COMMAND "${_lumivo_libs}")

set(LUMIVO_GNUSTEP_OPTIONS)
set(LUMIVO_GNUSTEP_INCLUDES)
foreach(_flag IN LISTS _lumivo_flags)
  if(_flag MATCHES "^-I(.+)$")
    if(IS_DIRECTORY "${CMAKE_MATCH_1}" AND NOT CMAKE_MATCH_1 STREQUAL ".")
      list(APPEND LUMIVO_GNUSTEP_INCLUDES "${CMAKE_MATCH_1}")
    endif()
  elseif(_flag MATCHES "^-D|^-f(constant-string-class|objc-exceptions|exceptions|no-strict-aliasing)")
    list(APPEND LUMIVO_GNUSTEP_OPTIONS "${_flag}")
  endif()
endforeach()
list(REMOVE_DUPLICATES LUMIVO_GNUSTEP_OPTIONS)

add_library(lumivo_gnustep INTERFACE)
target_include_directories(lumivo_gnustep SYSTEM INTERFACE ${LUMIVO_GNUSTEP_INCLUDES})
foreach(_flag IN LISTS LUMIVO_GNUSTEP_OPTIONS)
  target_compile_options(lumivo_gnustep INTERFACE "$<$<COMPILE_LANGUAGE:OBJC,OBJCXX>:${_flag}>")
endforeach()

if(CMAKE_OBJCXX_COMPILER_ID STREQUAL "Clang" OR CMAKE_OBJC_COMPILER_ID STREQUAL "Clang")
  if(CMAKE_OBJCXX_COMPILER_ID STREQUAL "Clang")
    set(_lumivo_clang "${CMAKE_OBJCXX_COMPILER}")
  else()
    set(_lumivo_clang "${CMAKE_OBJC_COMPILER}")
  endif()
  # The GCC installation clang builds against, which holds the runtime's
  # headers.
  execute_process(COMMAND "${_lumivo_clang}" --rtlib=libgcc -print-libgcc-file-name
                  OUTPUT_VARIABLE _lumivo_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(_lumivo_gcc "${_lumivo_libgcc}" DIRECTORY)
  find_path(LUMIVO_GNU_OBJC_INCLUDE objc/runtime.h PATHS "${_lumivo_gcc}/include" NO_DEFAULT_PATH)
  find_path(LUMIVO_BLOCKS_INCLUDE Block.h)
  find_library(LUMIVO_BLOCKS_RUNTIME BlocksRuntime)
  if(NOT LUMIVO_GNU_OBJC_INCLUDE)
    message(FATAL_ERROR "No objc/runtime.h in ${_lumivo_gcc}/include: install GCC's Objective-C runtime headers "
                        "(Debian: libobjc-12-dev).")
  endif()
  if(NOT LUMIVO_BLOCKS_INCLUDE OR NOT LUMIVO_BLOCKS_RUNTIME)
    message(FATAL_ERROR "No blocks runtime (Block.h, libBlocksRuntime): install libblocksruntime-dev.")
  endif()

  set(_lumivo_shim "${CMAKE_BINARY_DIR}/objc-include")
  file(MAKE_DIRECTORY "${_lumivo_shim}/objc")
  file(GLOB _lumivo_headers "${LUMIVO_GNU_OBJC_INCLUDE}/objc/*.h")
  foreach(_header IN LISTS _lumivo_headers)
    get_filename_component(_name "${_header}" NAME)
    file(CREATE_LINK "${_header}" "${_lumivo_shim}/objc/${_name}" SYMBOLIC)
  endforeach()
  file(CONFIGURE OUTPUT "${_lumivo_shim}/objc/blocks_runtime.h" CONTENT "#include <Block.h>\n")

  set(_lumivo_is_clang "$<OR:$<COMPILE_LANG_AND_ID:OBJC,Clang>,$<COMPILE_LANG_AND_ID:OBJCXX,Clang>>")
  target_include_directories(lumivo_gnustep SYSTEM INTERFACE "$<${_lumivo_is_clang}:${_lumivo_shim}>")
  foreach(_flag -fblocks -fobjc-runtime=gcc)
    target_compile_options(lumivo_gnustep INTERFACE "$<${_lumivo_is_clang}:${_flag}>")
  endforeach()
  # Needed by every binary, before GNUstep's libraries, even one that calls
  # no block function itself: gnustep-base built for GCC's runtime exports a
  # _Block_copy of its own, which leaves a block on the stack where it is,
  # and the first library of the process to export one serves everyone.
  target_link_libraries(lumivo_gnustep INTERFACE
    "-Wl,--push-state,--no-as-needed" "${LUMIVO_BLOCKS_RUNTIME}" "-Wl,--pop-state")
  list(PREPEND LUMIVO_GNUSTEP_INCLUDES "${_lumivo_shim}")
endif()
target_link_libraries(lumivo_gnustep INTERFACE ${_lumivo_libs})
