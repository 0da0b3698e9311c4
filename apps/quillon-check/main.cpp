// quillon-check: every suite against the bundled bindings of OpenSSL, nettle
// and Botan, with the installed vector data, run under GoogleTest (so every
// --gtest_* flag works). Exits non-zero when any test fails.
//
// quillon-check vectors [DIR]: what each known-answer suite would build from
// the vector files (of DIR instead of the data directory), and why records
// are skipped.

#include <gtest/gtest.h>

#include <exception>
#include <iostream>
#include <string_view>

#include "suite_summary.hpp"
#include "suites.hpp"

int main(int argc, char** argv) {
  if (argc >= 2 && std::string_view(argv[1]) == "vectors") {
    if (argc > 3) {
      std::cerr << "usage: quillon-check vectors [DATA_DIRECTORY]\n";
      return 2;
    }
    return quillon_check::runVectorsCommand(argc == 3 ? argv[2] : nullptr);
  }
  ::testing::InitGoogleTest(&argc, argv);
  try {
    quillon_check::registerHashSuites();
    quillon_check::registerBlockCipherSuites();
    quillon_check::registerModeConsistencySuites();
    quillon_check::registerDifferentialSuites();
  } catch (const std::exception& error) {
    // A suite that cannot be built (e.g. its vector directory is missing)
    // stops the whole run: silently testing less would look like success.
    std::cerr << "quillon-check: could not build the suites: " << error.what() << '\n';
    return 2;
  }
  ::testing::UnitTest::GetInstance()->listeners().Append(new quillon_check::SuiteSummary);
  return RUN_ALL_TESTS();
}
