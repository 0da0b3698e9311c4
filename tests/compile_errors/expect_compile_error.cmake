# cmake -DCOMPILER=... -DSOURCE=... -DINCLUDES="a;b" -DEXPECTED="text" -P expect_compile_error.cmake
# Succeeds when compiling SOURCE fails with a diagnostic containing EXPECTED.
set(include_flags "")
foreach(dir IN LISTS INCLUDES)
  list(APPEND include_flags "-I${dir}")
endforeach()
execute_process(
  COMMAND ${COMPILER} -std=c++20 -fsyntax-only ${include_flags} ${SOURCE}
  RESULT_VARIABLE result ERROR_VARIABLE diagnostics OUTPUT_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "${SOURCE} compiled, but it should have been rejected")
endif()
string(FIND "${diagnostics}" "${EXPECTED}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "diagnostic lacks \"${EXPECTED}\":\n${diagnostics}")
endif()
message(STATUS "rejected as expected with: ${EXPECTED}")
