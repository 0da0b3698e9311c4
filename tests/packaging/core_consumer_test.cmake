# Builds tests/packaging/core_consumer, which links only the core targets,
# with OpenSSL, nettle and Botan hidden from its configure, and runs it:
#   cmake -DMODE=embed|installed -DPROJECT_DIR=<quillon-tests source>
#         -DBUILD_DIR=<its build> -DWORK_DIR=... [-DLAUNCHER=ccache] -P core_consumer_test.cmake
# embed: the consumer adds the source tree with add_subdirectory.
# installed: this build is installed, bindings and all, into a fresh prefix
#   and the consumer finds it with find_package.
# The hiding is checked too: asking for a binding must fail to configure.
set(consumer_dir "${PROJECT_DIR}/tests/packaging/core_consumer")
set(no_pkgconfig "${WORK_DIR}/empty-pkgconfig-dir")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${no_pkgconfig}")

# cmake run with pkg-config seeing an empty directory (so neither nettle nor
# Botan) and find_package(OpenSSL) disabled.
set(hidden ${CMAKE_COMMAND} -E env --unset=PKG_CONFIG_PATH "PKG_CONFIG_LIBDIR=${no_pkgconfig}"
    ${CMAKE_COMMAND} -DCMAKE_DISABLE_FIND_PACKAGE_OpenSSL=ON)

include(${CMAKE_CURRENT_LIST_DIR}/run_step.cmake)

# Configures the consumer into <dir> with the libraries hidden and the extra
# arguments, expecting failure with output matching <pattern>.
function(expect_refused dir pattern)
  execute_process(COMMAND ${hidden} -S "${consumer_dir}" -B "${dir}" -G Ninja ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(result EQUAL 0 OR NOT "${out}${err}" MATCHES "${pattern}")
    message(FATAL_ERROR "configuring with ${ARGN} while the library is hidden should fail "
                        "naming '${pattern}' (exit ${result}):\n${out}\n${err}")
  endif()
  message(STATUS "refused as it should be: ${ARGN}")
endfunction()

set(consumer_args -G Ninja)
if(LAUNCHER)
  list(APPEND consumer_args "-DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}")
endif()
if(MODE STREQUAL "embed")
  list(APPEND consumer_args "-DQUILLON_TESTS_SOURCE_DIR=${PROJECT_DIR}")
  set(binding_requests "-DQUILLON_TESTS_BINDING_OPENSSL=ON|OpenSSL"
                       "-DQUILLON_TESTS_BINDING_NETTLE=ON|nettle"
                       "-DQUILLON_TESTS_BINDING_BOTAN=ON|botan-2")
elseif(MODE STREQUAL "installed")
  set(prefix "${WORK_DIR}/prefix")
  run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
  # No installed target's include directory holds headers of its own: each
  # header is included with its folder (<primitives/openssl/aes.hpp>, never
  # <aes.hpp>).
  file(GLOB export_files "${prefix}/lib*/cmake/quillon_tests/*Targets.cmake")
  if(NOT export_files)
    message(FATAL_ERROR "no export files installed under ${prefix}")
  endif()
  foreach(export_file IN LISTS export_files)
    file(STRINGS "${export_file}" include_lines REGEX "INTERFACE_INCLUDE_DIRECTORIES")
    foreach(line IN LISTS include_lines)
      string(REGEX REPLACE ".*INTERFACE_INCLUDE_DIRECTORIES \"([^\"]*)\".*" "\\1" dirs "${line}")
      string(REPLACE "\${_IMPORT_PREFIX}" "${prefix}" dirs "${dirs}")
      foreach(dir IN LISTS dirs)
        string(FIND "${dir}" "${prefix}" at)
        if(NOT at EQUAL 0)
          continue()  # a dependency's
        endif()
        file(GLOB loose "${dir}/*.hpp" "${dir}/*.h")
        if(loose)
          message(FATAL_ERROR "${export_file}: ${dir} makes ${loose} includable without a folder")
        endif()
        message(STATUS "no header directly in ${dir}")
      endforeach()
    endforeach()
  endforeach()
  list(APPEND consumer_args "-DCMAKE_PREFIX_PATH=${prefix}")
  set(binding_requests "-DQUILLON_TESTS_COMPONENTS=openssl|OpenSSL::Crypto, which was not found"
                       "-DQUILLON_TESTS_COMPONENTS=nettle|PkgConfig::NETTLE, which was not found"
                       "-DQUILLON_TESTS_COMPONENTS=botan|PkgConfig::BOTAN, which was not found")
else()
  message(FATAL_ERROR "MODE must be embed or installed, not '${MODE}'")
endif()

# The hiding works: each binding, asked for, cannot find its library.
set(index 0)
foreach(request IN LISTS binding_requests)
  string(REPLACE "|" ";" request "${request}")
  list(GET request 0 argument)
  list(GET request 1 pattern)
  math(EXPR index "${index} + 1")
  expect_refused("${WORK_DIR}/refused-${index}" "${pattern}" ${consumer_args} "${argument}")
endforeach()

set(build "${WORK_DIR}/build")
run(${hidden} -S "${consumer_dir}" -B "${build}" ${consumer_args})
run(${CMAKE_COMMAND} --build "${build}")

# No link line names a reference library.
file(STRINGS "${build}/build.ninja" link_lines REGEX "^ *LINK_LIBRARIES = ")
if(NOT link_lines)
  message(FATAL_ERROR "no LINK_LIBRARIES line in ${build}/build.ninja")
endif()
foreach(line IN LISTS link_lines)
  if(line MATCHES "crypto|ssl|nettle|hogweed|botan")
    message(FATAL_ERROR "the consumer links a reference library: ${line}")
  endif()
endforeach()

run("${build}/consumer" --gtest_brief=1)
