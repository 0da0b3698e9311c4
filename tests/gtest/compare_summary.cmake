# Runs PROGRAM, whose tests partly fail, and compares the summary it ends
# with (from "Summary by test suite:" on) with the golden file.
#   cmake -DPROGRAM=... -DGOLDEN=... -P compare_summary.cmake
# With QUILLON_TESTS_REGENERATE_GOLDEN set, the golden file is rewritten.
execute_process(COMMAND ${PROGRAM} --gtest_brief=1 --gtest_color=no
                RESULT_VARIABLE result OUTPUT_VARIABLE output)
if(NOT result EQUAL 1)
  message(FATAL_ERROR "${PROGRAM} should exit 1 (tests failed), not ${result}:\n${output}")
endif()
string(FIND "${output}" "Summary by test suite:" at)
if(at EQUAL -1)
  message(FATAL_ERROR "no summary in the output:\n${output}")
endif()
string(SUBSTRING "${output}" ${at} -1 summary)
if(DEFINED ENV{QUILLON_TESTS_REGENERATE_GOLDEN})
  file(WRITE "${GOLDEN}" "${summary}")
  message(STATUS "rewrote ${GOLDEN}")
else()
  file(READ "${GOLDEN}" expected)
  if(NOT summary STREQUAL expected)
    message(FATAL_ERROR "the summary differs from ${GOLDEN} (rewrite it with "
                        "QUILLON_TESTS_REGENERATE_GOLDEN=1 if the change is meant):\n"
                        "--- expected\n${expected}--- actual\n${summary}")
  endif()
endif()
