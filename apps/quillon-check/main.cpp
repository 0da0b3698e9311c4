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
#include <string>
#include <string_view>

#include <quillon_tests/data_files.hpp>
#include <quillon_tests/gtest.hpp>

#include "suites.hpp"

namespace {

void printUsage(std::ostream& out) {
  out << "usage: quillon-check [GOOGLETEST_FLAGS]         run every suite\n"
         "       quillon-check vectors [DATA_DIRECTORY] list the vector files the suites use\n"
         "       quillon-check help | -h | --help       this text, then GoogleTest's flags\n"
         "\n"
         "Runs every suite of quillon-tests (known answers, Monte Carlo, HMAC, CMAC,\n"
         "properties, mode consistency, differential, AEAD) against the bundled OpenSSL,\n"
         "nettle and Botan bindings, and ends with one line per suite: tests passed and\n"
         "failed, and the vector records each known-answer suite skipped. Exit status:\n"
         "0 when every test passed, 1 when any failed, 2 for a usage error or suites\n"
         "that cannot be built.\n"
         "\n"
         "Vector data: the directory in the environment variable quillon_tests_datadir,\n"
         "else the built-in one; now: '"
      << quillon_tests::getDataDir()
      << "'.\n"
         "Some tests only: --gtest_filter='OpenSSL?SHA256*' (suites are named as in the\n"
         "  summary; match '-' and ':' with '?'); --gtest_list_tests lists them all.\n"
         "A share of the run: GTEST_TOTAL_SHARDS=n GTEST_SHARD_INDEX=i (0 to n-1) in\n"
         "  the environment; shards may run on different machines.\n"
         "A failure report ends with one shell line that reruns just that case: this\n"
         "  program, the filter, and for a property the RC_PARAMS value.\n"
         "More: README.md of quillon-tests, \"Running and reproducing\".\n"
         "\n";
}

void printVectorsUsage(std::ostream& out) {
  out << "usage: quillon-check vectors [DATA_DIRECTORY]\n"
         "\n"
         "Lists, for every known-answer suite, the vector files it reads, their\n"
         "categories and records, the tests they give, and every record it skips, with\n"
         "the reason. It runs the suites' own record selection. DATA_DIRECTORY replaces\n"
         "the data directory (the variable quillon_tests_datadir, else the built-in\n"
         "one; now: '"
      << quillon_tests::getDataDir() << "').\n";
}

bool asksForHelp(std::string_view argument) { return argument == "--help" || argument == "-h"; }

int usageError(const std::string& message, const char* helpCommand) {
  std::cerr << "quillon-check: " << message << " (see " << helpCommand << ")\n";
  return 2;
}

int vectorsCommand(int argc, char** argv) {
  if (argc == 3 && asksForHelp(argv[2])) {
    printVectorsUsage(std::cout);
    return 0;
  }
  if (argc > 3) return usageError("vectors takes one directory at most", "quillon-check vectors --help");
  // A directory whose name starts with "-" can be given as ./-name.
  if (argc == 3 && argv[2][0] == '-') {
    return usageError("vectors: unknown option '" + std::string(argv[2]) + "'",
                      "quillon-check vectors --help");
  }
  return quillon_check::runVectorsCommand(argc == 3 ? argv[2] : nullptr);
}

// Ours first, then GoogleTest's flags, which it prints when given --help.
int help(char* program) {
  printUsage(std::cout);
  std::cout.flush();
  char helpFlag[] = "--help";
  char* arguments[] = {program, helpFlag, nullptr};
  int count = 2;
  ::testing::InitGoogleTest(&count, arguments);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2) {
    const std::string_view command = argv[1];
    if (command == "vectors") return vectorsCommand(argc, argv);
    if (command == "help") return help(argv[0]);
    if (!command.starts_with('-')) {
      return usageError("unknown command '" + std::string(command) + "'", "quillon-check --help");
    }
  }
  for (int i = 1; i < argc; ++i) {
    if (asksForHelp(argv[i])) return help(argv[0]);
  }
  ::testing::InitGoogleTest(&argc, argv);
  // GoogleTest takes out the flags it knows; what is left was not used.
  // (It has printed its help for a misspelled --gtest_ flag.)
  if (argc > 1) {
    return usageError("unknown argument '" + std::string(argv[1]) + "'", "quillon-check --help");
  }
  try {
    quillon_check::registerAllSuites();
  } catch (const std::exception& error) {
    // A suite that cannot be built (e.g. its vector directory is missing)
    // stops the whole run: silently testing less would look like success.
    std::cerr << "quillon-check: could not build the suites: " << error.what() << '\n';
    return 2;
  }
  quillon_tests::installSummary();
  return RUN_ALL_TESTS();
}
