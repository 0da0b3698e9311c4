// quillon-check: every suite against the bundled bindings of OpenSSL and
// nettle, with the installed vector data, run under GoogleTest (so every
// --gtest_* flag works). Exits non-zero when any test fails.

#include <gtest/gtest.h>

#include <exception>
#include <iostream>

#include "suites.hpp"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  try {
    quillon_check::registerHashSuites();
    quillon_check::registerBlockCipherSuites();
  } catch (const std::exception& error) {
    // A suite that cannot be built (e.g. its vector directory is missing)
    // stops the whole run: silently testing less would look like success.
    std::cerr << "quillon-check: could not build the suites: " << error.what() << '\n';
    return 2;
  }
  return RUN_ALL_TESTS();
}
