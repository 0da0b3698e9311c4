# Runs report_program, whose tests are meant to fail, and compares its
# output, normalised, with the golden file. Then tries what the reports tell
# a reader to do: each rerun filter must select exactly the test it was
# printed for, and each property's rerun line (RC_PARAMS, program and filter
# in one shell line) must run that test alone and replay the same case.
#   cmake -DPROGRAM=... -DGOLDEN=... -DWORK_DIR=... -P compare_reports.cmake
# With the environment variable QUILLON_TESTS_REGENERATE_GOLDEN set, the
# golden file is rewritten from this run instead.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

# The output of the program run with RC_PARAMS=<rc_params> and the extra
# arguments, standard output then standard error (RapidCheck writes there),
# each whole so that their interleaving cannot vary; and its exit code.
function(run_program output_var result_var rc_params)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "RC_PARAMS=${rc_params}"
                          ${PROGRAM} --gtest_color=no ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${output_var} "${out}\n--- standard error ---\n${err}" PARENT_SCOPE)
  set(${result_var} "${result}" PARENT_SCOPE)
endfunction()

# A fixed seed: the properties' cases, and so their reports, repeat.
run_program(raw result "seed=1")
if(NOT result EQUAL 1)
  message(FATAL_ERROR "report_program should exit 1 (tests failed), not ${result}:\n${raw}")
endif()

# What varies between runs and machines: timings, seeds, the reproduction
# strings (their replay is checked below), where the program and the sources
# are and their line numbers.
set(normalised "${raw}")
string(REPLACE "${PROGRAM}" "<program>" normalised "${normalised}")
string(REGEX REPLACE "[(][0-9]+ ms" "(<time>" normalised "${normalised}")
string(REGEX REPLACE "seed=[0-9]+" "seed=<seed>" normalised "${normalised}")
string(REGEX REPLACE "reproduce=[^ \"\n]+" "reproduce=<case>" normalised "${normalised}")
string(REGEX REPLACE "[^ \n'\"]*/([^/ \n'\"]+):[0-9]+:" "\\1:<line>:" normalised "${normalised}")
file(WRITE "${WORK_DIR}/actual" "${normalised}")

if(DEFINED ENV{QUILLON_TESTS_REGENERATE_GOLDEN})
  file(WRITE "${GOLDEN}" "${normalised}")
  message(STATUS "rewrote ${GOLDEN}")
else()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${GOLDEN}" "${WORK_DIR}/actual"
                  RESULT_VARIABLE differs)
  if(differs)
    find_program(DIFF diff)
    if(DIFF)
      execute_process(COMMAND ${DIFF} -u "${GOLDEN}" "${WORK_DIR}/actual" OUTPUT_VARIABLE shown)
    else()
      set(shown "${normalised}")
    endif()
    message(FATAL_ERROR "the reports differ from ${GOLDEN} (rewrite it with "
                        "QUILLON_TESTS_REGENERATE_GOLDEN=1 if the change is meant):\n${shown}")
  endif()
endif()

# Pair every hint with the test it was printed for, the last one started: the
# filters of "to rerun only this test" and of the properties' rerun lines.
string(REPLACE ";" "<semicolon>" lines "${raw}")
string(REPLACE "\n" ";" lines "${lines}")
set(current "")
set(filters "")
set(replays "")
foreach(line IN LISTS lines)
  if(line MATCHES "^\\[ RUN      \\] (.*)$")
    set(current "${CMAKE_MATCH_1}")
  elseif(line MATCHES "to rerun only this test: ([^ ]+) --gtest_filter='([^']*)'$")
    if(NOT CMAKE_MATCH_1 STREQUAL PROGRAM)
      message(FATAL_ERROR "the rerun line of ${current} names ${CMAKE_MATCH_1}, not ${PROGRAM}")
    endif()
    list(APPEND filters "${current}|${CMAKE_MATCH_2}")
  elseif(line MATCHES "to rerun only this test")
    message(FATAL_ERROR "${current}: a rerun line without the program and filter: ${line}")
  elseif(line MATCHES "^to rerun this case: RC_PARAMS=\"([^\"]*)\" ([^ ]+) --gtest_filter='([^']*)'$")
    if(NOT CMAKE_MATCH_2 STREQUAL PROGRAM)
      message(FATAL_ERROR "the rerun line of ${current} names ${CMAKE_MATCH_2}, not ${PROGRAM}")
    endif()
    list(APPEND filters "${current}|${CMAKE_MATCH_3}")
    list(APPEND replays "${current}|${CMAKE_MATCH_1}|${CMAKE_MATCH_3}|${line}")
  elseif(line MATCHES "to reproduce this case")
    message(FATAL_ERROR "${current}: a reproduce line without the program and filter: ${line}")
  endif()
endforeach()
if(NOT filters OR NOT replays)
  message(FATAL_ERROR "no rerun filter or no RC_PARAMS line in the reports:\n${raw}")
endif()

list(REMOVE_DUPLICATES filters)
foreach(entry IN LISTS filters)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 test)
  list(GET entry 1 filter)
  run_program(output result "seed=1" "--gtest_filter=${filter}")
  string(REGEX MATCHALL "\\[ RUN      \\] [^\n]*" started "${output}")
  list(REMOVE_DUPLICATES started)
  if(NOT started STREQUAL "[ RUN      ] ${test}")
    message(FATAL_ERROR "--gtest_filter='${filter}', printed for ${test}, ran: ${started}")
  endif()
  message(STATUS "rerun filter selects ${test}")
endforeach()

foreach(entry IN LISTS replays)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 test)
  list(GET entry 1 params)
  list(GET entry 2 filter)
  list(GET entry 3 line)
  # The reproduction and no seed, so only the replay can find the same case
  # again.
  run_program(output result "${params}" "--gtest_filter=${filter}")
  string(FIND "${output}" "${line}" at)
  if(result EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "RC_PARAMS=\"${params}\" did not replay the failure of ${test}:\n${output}")
  endif()
  message(STATUS "RC_PARAMS replays ${test}")
endforeach()
