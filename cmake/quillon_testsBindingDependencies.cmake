# How the library of each binding is found: by the build, for the bindings
# it builds, and by the installed package, for the bindings it holds.
#
#   quillon_tests_find_binding_dependency(<binding> [REQUIRED])
#
# Defines the imported target the binding links against (OpenSSL::Crypto,
# PkgConfig::NETTLE, PkgConfig::BOTAN) unless it exists already, and sets
# quillon_tests_<binding>_dependency_FOUND and, to that target's name,
# quillon_tests_<binding>_dependency_TARGET in the caller's scope. Without
# REQUIRED a missing library is not an error, and nothing is printed.
function(quillon_tests_find_binding_dependency binding)
  cmake_parse_arguments(ARG "REQUIRED" "" "" ${ARGN})
  set(mode QUIET)
  if(ARG_REQUIRED)
    set(mode REQUIRED)
  endif()
  if(binding STREQUAL "openssl")
    set(target OpenSSL::Crypto)
  elseif(binding STREQUAL "nettle")
    set(target PkgConfig::NETTLE)
    set(modules nettle hogweed)
  elseif(binding STREQUAL "botan")
    set(target PkgConfig::BOTAN)
    set(modules botan-2)
  else()
    message(FATAL_ERROR "quillon_tests: no binding named '${binding}'")
  endif()

  if(NOT TARGET ${target})
    if(binding STREQUAL "openssl")
      find_package(OpenSSL 3 ${mode} COMPONENTS Crypto)
    else()
      find_package(PkgConfig ${mode})
      if(PKG_CONFIG_FOUND)
        string(TOUPPER ${binding} prefix)
        pkg_check_modules(${prefix} ${mode} IMPORTED_TARGET ${modules})
      endif()
    endif()
  endif()

  set(quillon_tests_${binding}_dependency_TARGET ${target} PARENT_SCOPE)
  if(TARGET ${target})
    set(quillon_tests_${binding}_dependency_FOUND TRUE PARENT_SCOPE)
  else()
    set(quillon_tests_${binding}_dependency_FOUND FALSE PARENT_SCOPE)
  endif()
endfunction()
