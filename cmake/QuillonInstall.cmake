# Install rules: public headers, libraries, the binding headers, quillon-check
# (apps/) and a CMake package so that users can find_package(quillon_tests).
include(CMakePackageConfigHelpers)

set(QUILLON_TESTS_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/quillon_tests")

# Public headers only; src/ holds the internal ones.
install(DIRECTORY include/quillon include/quillon_tests
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.hpp")
# Binding headers, included as <primitives/openssl/...> like in this tree.
install(DIRECTORY primitives/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quillon_tests/primitives
        FILES_MATCHING PATTERN "*.hpp")

install(TARGETS quillon EXPORT quillonTargets)
install(EXPORT quillonTargets NAMESPACE quillon:: DESTINATION ${QUILLON_TESTS_CMAKE_DIR})

set(_quillon_tests_targets quillon_tests quillon_tests_gtest quillon_openssl quillon_nettle)
if(TARGET quillon_botan)
  list(APPEND _quillon_tests_targets quillon_botan)
endif()
install(TARGETS ${_quillon_tests_targets} EXPORT quillon_testsTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT quillon_testsTargets NAMESPACE quillon_tests:: DESTINATION ${QUILLON_TESTS_CMAKE_DIR})

configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/quillon_testsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/quillon_testsConfig.cmake
  INSTALL_DESTINATION ${QUILLON_TESTS_CMAKE_DIR})
# 0.x: only the same minor version promises the same interface.
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/quillon_testsConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/quillon_testsConfig.cmake
              ${PROJECT_BINARY_DIR}/quillon_testsConfigVersion.cmake
        DESTINATION ${QUILLON_TESTS_CMAKE_DIR})
