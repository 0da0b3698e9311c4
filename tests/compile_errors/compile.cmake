# quillon_compile_to_fail(<diagnostics variable> <source>): compiles <source>
# with ${COMPILER} and the -I of ${INCLUDES}, checks only, and fails the test
# when it compiles. Every error is printed (clang stops at 20 by default).
function(quillon_compile_to_fail out source)
  set(flags -std=c++20 -fsyntax-only)
  get_filename_component(compiler_name ${COMPILER} NAME)
  if(compiler_name MATCHES "clang")
    list(APPEND flags -ferror-limit=0)
  endif()
  foreach(dir IN LISTS INCLUDES)
    list(APPEND flags "-I${dir}")
  endforeach()
  execute_process(COMMAND ${COMPILER} ${flags} ${source}
    RESULT_VARIABLE result ERROR_VARIABLE diagnostics OUTPUT_VARIABLE output)
  if(result EQUAL 0)
    message(FATAL_ERROR "${source} compiled with ${compiler_name}, but it should have been rejected")
  endif()
  set(${out} "${diagnostics}" PARENT_SCOPE)
endfunction()
