# cmake -DCOMPILER=... -DSOURCE=... -DINCLUDES="a;b" -DEXPECTED="text" -P expect_compile_error.cmake
# Succeeds when compiling SOURCE fails and the first error the compiler
# prints (its first line holding ": error: ") contains EXPECTED.
include(${CMAKE_CURRENT_LIST_DIR}/compile.cmake)
quillon_compile_to_fail(diagnostics ${SOURCE})
string(REGEX MATCH "[^\n]*: error: [^\n]*" first "${diagnostics}")
string(FIND "${first}" "${EXPECTED}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "the first error is not \"${EXPECTED}\":\n  ${first}\nAll of it:\n${diagnostics}")
endif()
message(STATUS "rejected as expected, first with: ${first}")
