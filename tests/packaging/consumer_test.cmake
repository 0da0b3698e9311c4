# Installs this build into a fresh prefix, builds examples/consumer against it
# with find_package(quillon_tests), and runs it.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -P consumer_test.cmake
include(${CMAKE_CURRENT_LIST_DIR}/run_step.cmake)

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}/build" -G Ninja
    -DCMAKE_BUILD_TYPE=Release "-DCMAKE_PREFIX_PATH=${prefix}")
run(${CMAKE_COMMAND} --build "${WORK_DIR}/build")
# The package was installed under another prefix than it was configured
# for, so its data directory is given explicitly.
execute_process(COMMAND ${CMAKE_COMMAND} -E env "quillon_tests_datadir=${prefix}/share/quillon-tests"
                        "${WORK_DIR}/build/consumer" --gtest_brief=1
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the consumer failed (${result}):\n${out}\n${err}")
endif()
# The summary the consumer installed, from the installed library.
if(NOT out MATCHES "\n  OpenSSL-SHA256 SHA-256 known answers: [0-9,]+ passed")
  message(FATAL_ERROR "no summary line for the SHA-256 known answers in:\n${out}")
endif()
