# Install rules: public headers, libraries, the binding headers, quillon-check
# (apps/) and a CMake package so that users can find_package(quillon_tests).
include(CMakePackageConfigHelpers)

set(QUILLON_TESTS_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/quillon_tests")

# Public headers only; src/ holds the internal ones.
install(DIRECTORY include/quillon include/quillon_tests
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.hpp")

install(TARGETS quillon EXPORT quillonTargets)
install(EXPORT quillonTargets NAMESPACE quillon:: DESTINATION ${QUILLON_TESTS_CMAKE_DIR})

install(TARGETS quillon_tests quillon_tests_gtest EXPORT quillon_testsTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT quillon_testsTargets NAMESPACE quillon_tests:: DESTINATION ${QUILLON_TESTS_CMAKE_DIR})

# Each binding in its own export file, loaded by the package config only
# when the binding's library is found: a user of the core alone needs none
# of them. Headers of the built bindings only, included as
# <primitives/<binding>/...> like in this tree.
get_property(QUILLON_TESTS_INSTALLED_BINDINGS GLOBAL PROPERTY QUILLON_TESTS_BINDINGS)
if(QUILLON_TESTS_INSTALLED_BINDINGS)
  # The helpers every binding shares (primitives/*.hpp).
  file(GLOB _quillon_shared_binding_headers ${PROJECT_SOURCE_DIR}/primitives/*.hpp)
  install(FILES ${_quillon_shared_binding_headers}
          DESTINATION ${QUILLON_TESTS_BINDING_INCLUDEDIR}/primitives)
endif()
foreach(binding IN LISTS QUILLON_TESTS_INSTALLED_BINDINGS)
  install(DIRECTORY primitives/${binding}/
          DESTINATION ${QUILLON_TESTS_BINDING_INCLUDEDIR}/primitives/${binding}
          FILES_MATCHING PATTERN "*.hpp")
  install(TARGETS quillon_${binding} EXPORT quillon_tests_${binding}Targets
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(EXPORT quillon_tests_${binding}Targets NAMESPACE quillon_tests::
          DESTINATION ${QUILLON_TESTS_CMAKE_DIR})
endforeach()

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
              ${PROJECT_SOURCE_DIR}/cmake/quillon_testsBindingDependencies.cmake
        DESTINATION ${QUILLON_TESTS_CMAKE_DIR})
