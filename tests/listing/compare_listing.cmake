# Runs the listing program over the crafted data directory and compares what
# it prints with the golden file byte for byte, showing a unified diff when
# they differ; then checks that the listing calls every builder a public
# header declares.
#   cmake -DPROGRAM=... -DDATA_DIR=... -DGOLDEN=... -DPROJECT_DIR=... -DWORK_DIR=...
#         -P compare_listing.cmake
# To rewrite the golden file after a deliberate change of names or data:
#   QUILLON_TESTS_REGENERATE_GOLDEN=1 ctest -R listing.builders
cmake_policy(SET CMP0057 NEW)  # if(... IN_LIST ...)
include(${CMAKE_CURRENT_LIST_DIR}/../compile_errors/declared_builders.cmake)

file(MAKE_DIRECTORY "${WORK_DIR}")
set(actual "${WORK_DIR}/builders.listing")
execute_process(COMMAND ${PROGRAM} ${DATA_DIR} RESULT_VARIABLE result OUTPUT_FILE "${actual}"
                ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} exited with ${result}:\n${errors}")
endif()

if(DEFINED ENV{QUILLON_TESTS_REGENERATE_GOLDEN})
  configure_file("${actual}" "${GOLDEN}" COPYONLY)
  message(STATUS "rewrote ${GOLDEN}")
else()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${GOLDEN}" "${actual}" RESULT_VARIABLE differs)
  if(differs)
    # Straight to the output: a message would rewrap the diff.
    execute_process(COMMAND diff -u "${GOLDEN}" "${actual}")
    message(FATAL_ERROR "the listing differs from ${GOLDEN} as above (rewrite it with "
                        "QUILLON_TESTS_REGENERATE_GOLDEN=1 if the change is meant)")
  endif()
endif()

# Each builder's calls start a line of the listing: "makeAESTests<...".
quillon_declared_builders(declared ${PROJECT_DIR})
file(STRINGS "${actual}" titles REGEX "^make")
list(TRANSFORM titles REPLACE "<.*" "")
set(unlisted "")
foreach(name IN LISTS declared)
  if(name MATCHES "^make" AND NOT name IN_LIST titles)
    list(APPEND unlisted ${name})
  endif()
endforeach()
if(unlisted)
  message(FATAL_ERROR "public builders the listing does not call: ${unlisted}")
endif()
