# Part of the installed quillon_tests package: the Botan 2 library that
# quillon_tests::botan links against, found the way the build found it.
if(NOT TARGET PkgConfig::BOTAN)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(BOTAN REQUIRED IMPORTED_TARGET botan-2)
endif()
