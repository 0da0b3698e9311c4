#include "suite_summary.hpp"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace quillon_check {

namespace {

// "md5KAT x7" for the seven equally named MD5 tests; names in order.
std::string leafNames(const ::testing::TestSuite& suite) {
  std::vector<std::pair<std::string, int>> names;
  for (int i = 0; i < suite.total_test_count(); ++i) {
    const std::string name = suite.GetTestInfo(i)->name();
    if (!names.empty() && names.back().first == name) {
      ++names.back().second;
    } else {
      names.emplace_back(name, 1);
    }
  }
  std::string text;
  for (const auto& [name, count] : names) {
    text += text.empty() ? "" : ", ";
    text += name + (count > 1 ? " x" + std::to_string(count) : "");
  }
  return text;
}

}  // namespace

void SuiteSummary::OnTestProgramEnd(const ::testing::UnitTest& unitTest) {
  std::printf("\nquillon-check summary (suite: passed / failed / skipped)\n");
  for (int i = 0; i < unitTest.total_test_suite_count(); ++i) {
    const ::testing::TestSuite& suite = *unitTest.GetTestSuite(i);
    if (suite.test_to_run_count() == 0) continue;
    std::printf("  %-72s %5d passed", suite.name(), suite.successful_test_count());
    if (suite.failed_test_count() > 0) std::printf(", %d FAILED", suite.failed_test_count());
    if (suite.skipped_test_count() > 0) std::printf(", %d skipped", suite.skipped_test_count());
    // Small groups are named leaf by leaf; large ones only counted.
    if (suite.total_test_count() <= 10) std::printf("  (%s)", leafNames(suite).c_str());
    std::printf("\n");
  }
  std::printf("%d passed, %d failed\n", unitTest.successful_test_count(),
              unitTest.failed_test_count());
  std::fflush(stdout);
}

}  // namespace quillon_check
