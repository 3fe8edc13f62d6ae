# Runs clang's front end over each of SOURCES with FLAGS (and OBJC_FLAGS for
# Objective-C++ files) and fails on the first diagnostic.
foreach(source IN LISTS SOURCES)
  if(source MATCHES "\\.mm$")
    set(language objective-c++ ${OBJC_FLAGS})
  else()
    set(language c++)
  endif()
  execute_process(COMMAND "${CLANGXX}" -fsyntax-only -x ${language} ${FLAGS} "${source}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "clang++ rejects ${source}:\n${out}${err}")
  endif()
endforeach()
