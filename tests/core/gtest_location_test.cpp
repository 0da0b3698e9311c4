// The GoogleTest adapter gives each test its leaf's location: as the file
// and line GoogleTest records (reports, IDEs) and as the place failures are
// reported at. The failing trees run in a child process of this binary.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/property.hpp>

namespace {

using namespace quillon_tests;
namespace fs = std::filesystem;

constexpr const char* failingSwitch = "QUILLON_TESTS_REGISTER_FAILING";

// Registered before main, as TEST() registers; the failing ones only in the
// child process.
const bool registered = [] {
  registerTests("Located", std::vector<Test>{
      withLocation(testCase("record", [] {}), SourceLocation("vectors/KAT/sample.rsp", 7)),
      testCase("bare", [] {}),
      withLocation(testGroup("group", {testCase("inGroup", [] {})}), SourceLocation("builder.hpp", 42))});
  if (std::getenv(failingSwitch) != nullptr) {
    registerTests("Failing", std::vector<Test>{
        withLocation(testCase("assertion", [] { assertEqual("digest", 1, 2); }),
                     SourceLocation("vectors/fail.rsp", 13)),
        withLocation(testCase("error", [] { throw std::runtime_error("bad hex"); }),
                     SourceLocation("vectors/fail.rsp", 21)),
        withLocation(testProperty("property", [](int) { return false; }),
                     SourceLocation("builder.hpp", 5)),
        testCase("unlocated", [] { assertEqual("unlocated", 1, 2); })});
  }
  return true;
}();

const ::testing::TestInfo* findTest(const std::string& suite, const std::string& name) {
  const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
  for (int i = 0; i < unit.total_test_suite_count(); ++i) {
    const ::testing::TestSuite& testSuite = *unit.GetTestSuite(i);
    if (testSuite.name() != suite) continue;
    for (int j = 0; j < testSuite.total_test_count(); ++j)
      if (testSuite.GetTestInfo(j)->name() == name) return testSuite.GetTestInfo(j);
  }
  return nullptr;
}

TEST(GTestAdapterLocation, RegistersEachLeafAtItsLocation) {
  ASSERT_TRUE(registered);
  struct Case {
    const char* suite;
    const char* name;
    const char* file;  // "": none (never the adapter's own)
    int line;
  };
  for (const Case& c : {Case{"Located", "record", "vectors/KAT/sample.rsp", 7},
                        Case{"Located/group", "inGroup", "builder.hpp", 42},
                        Case{"Located", "bare", "", 0}}) {
    const ::testing::TestInfo* info = findTest(c.suite, c.name);
    ASSERT_NE(info, nullptr) << c.suite << "." << c.name;
    EXPECT_STREQ(info->file(), c.file) << c.name;
    EXPECT_EQ(info->line(), c.line) << c.name;
  }
}

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(GTestAdapterLocation, FailuresAreReportedAtTheLeafsLocation) {
  const fs::path self = fs::read_symlink("/proc/self/exe");
  const fs::path xml = fs::temp_directory_path() / ("adapter-location-" + std::to_string(::getpid()) + ".xml");
  const std::string command = std::string(failingSwitch) + "=1 '" + self.string() +
                              "' --gtest_filter='Failing.*' --gtest_output=xml:'" + xml.string() + "' 2>&1";
  std::string console;
  if (FILE* child = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, child)) console.append(buffer, got);
    EXPECT_NE(::pclose(child), 0) << "the failing tests passed:\n" << console;
  } else {
    FAIL() << "cannot run " << command;
  }
  const std::string report = readAll(xml);
  fs::remove(xml);

  struct Case {
    const char* name;
    std::string where;  // "file:line" of the failure
    std::string text;   // part of the report
  };
  for (const Case& c : {Case{"assertion", "vectors/fail.rsp:13", "digest"},
                        Case{"error", "vectors/fail.rsp:21", "ended with an error: bad hex"},
                        Case{"property", "builder.hpp:5", "Falsifiable"}}) {
    const std::string file = c.where.substr(0, c.where.find(':'));
    const std::string line = c.where.substr(c.where.find(':') + 1);
    EXPECT_NE(console.find(c.where + ": Failure"), std::string::npos) << c.name << ":\n" << console;
    const std::string testcase = "<testcase name=\"" + std::string(c.name) + "\" file=\"" + file +
                                 "\" line=\"" + line + "\"";
    const std::size_t at = report.find(testcase);
    ASSERT_NE(at, std::string::npos) << testcase << "\n" << report;
    const std::size_t end = report.find("</testcase>", at);
    const std::string entry = report.substr(at, end - at);
    EXPECT_NE(entry.find("<failure message=\"" + c.where), std::string::npos) << entry;
    EXPECT_NE(entry.find(c.text), std::string::npos) << entry;
  }
  // Without a location, the failure is at no file: not in the kit's sources.
  const std::size_t unlocated = console.find("unknown file: Failure\nFailed\nunlocated");
  EXPECT_NE(unlocated, std::string::npos) << console;
  EXPECT_EQ(console.find("register_tests.cpp"), std::string::npos) << console;
}

}  // namespace
