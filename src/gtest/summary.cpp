// The run summary: a GoogleTest listener that ends the run with one line per
// test suite, split by the known-answer builder call each test came from,
// and the totals. With --gtest_brief=1 it is the readable view of a run of
// tens of thousands of tests, and it says what the vector selections left
// out, which the tests' outcomes alone cannot show.

#include "summary.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/gtest.hpp>

namespace quillon_tests {

namespace {

using Selection = std::shared_ptr<const SelectionSummary>;

std::unordered_map<const ::testing::TestInfo*, Selection>& selections() {
  static std::unordered_map<const ::testing::TestInfo*, Selection> registered;
  return registered;
}

// 4784 -> "4,784".
std::string counted(std::size_t count) {
  const std::string digits = std::to_string(count);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

// "4,784 records skipped: key refused (192-bit 2,392, 256-bit 2,392)"; with
// several reasons each is counted: "..., IV missing 3".
std::string skippedRecords(const SelectionSummary& selection) {
  std::size_t total = 0;
  for (const SelectionSummary::SkipReason& reason : selection.skipped) total += reason.records;
  if (total == 0) return "";
  std::string text = counted(total) + (total == 1 ? " record" : " records") + " skipped: ";
  const bool several = selection.skipped.size() > 1;
  for (std::size_t i = 0; i < selection.skipped.size(); ++i) {
    const SelectionSummary::SkipReason& reason = selection.skipped[i];
    text += (i > 0 ? ", " : "") + reason.reason;
    if (several) text += ' ' + counted(reason.records);
    if (!reason.details.empty()) {
      text += " (";
      for (std::size_t j = 0; j < reason.details.size(); ++j) {
        const SelectionSummary::Detail& detail = reason.details[j];
        text += (j > 0 ? ", " : "") + detail.label + ' ' + counted(detail.records);
      }
      text += ')';
    }
  }
  return text;
}

// The tests of one suite that one builder call made (or, with no selection,
// the suite's other tests) and how they ended.
struct Part {
  Selection selection;
  std::size_t passed = 0;
  std::size_t failed = 0;
  std::size_t skipped = 0;
  // "md5KAT x7" for seven equally named tests, in order.
  std::vector<std::pair<std::string, std::size_t>> names;

  void add(const ::testing::TestInfo& test) {
    const ::testing::TestResult& result = *test.result();
    if (result.Skipped()) {
      ++skipped;
    } else if (result.Failed()) {
      ++failed;
    } else {
      ++passed;
    }
    if (!names.empty() && names.back().first == test.name()) {
      ++names.back().second;
    } else {
      names.emplace_back(test.name(), 1);
    }
  }
  [[nodiscard]] std::size_t count() const { return passed + failed + skipped; }
};

std::vector<Part> partsOf(const ::testing::TestSuite& suite) {
  std::vector<Part> parts;
  for (int i = 0; i < suite.total_test_count(); ++i) {
    const ::testing::TestInfo& test = *suite.GetTestInfo(i);
    if (!test.should_run()) continue;
    const auto found = selections().find(&test);
    const Selection selection = found == selections().end() ? nullptr : found->second;
    Part* part = nullptr;
    for (Part& existing : parts) {
      if (existing.selection == selection) part = &existing;
    }
    if (part == nullptr) {
      part = &parts.emplace_back();
      part->selection = selection;
    }
    part->add(test);
  }
  return parts;
}

class SummaryPrinter : public ::testing::EmptyTestEventListener {
 public:
  void OnTestProgramEnd(const ::testing::UnitTest& unitTest) override {
    std::string text = "\nSummary by test suite:\n";
    std::size_t passed = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0;
    std::size_t recordsSkipped = 0;
    // A selection's skipped records are told once, on its first line.
    std::unordered_set<const SelectionSummary*> told;
    for (int i = 0; i < unitTest.total_test_suite_count(); ++i) {
      const ::testing::TestSuite& suite = *unitTest.GetTestSuite(i);
      for (const Part& part : partsOf(suite)) {
        passed += part.passed;
        failed += part.failed;
        skipped += part.skipped;
        text += "  " + std::string(suite.name());
        if (part.selection && !part.selection->title.empty()) text += ' ' + part.selection->title;
        text += ": " + counted(part.passed) + " passed";
        if (part.failed > 0) text += ", " + counted(part.failed) + " FAILED";
        if (part.skipped > 0) text += ", " + counted(part.skipped) + " skipped";
        if (part.selection && part.selection->refusals > 0 && told.count(part.selection.get()) == 0)
          text += " (" + counted(part.selection->refusals) + " of them expecting a refusal)";
        if (part.selection && told.insert(part.selection.get()).second) {
          for (const auto& reason : part.selection->skipped) recordsSkipped += reason.records;
          const std::string records = skippedRecords(*part.selection);
          if (!records.empty()) text += "; " + records;
        }
        // Small groups are named test by test; large ones only counted.
        if (!part.selection && part.count() <= 10) {
          text += "  (";
          for (std::size_t j = 0; j < part.names.size(); ++j) {
            const auto& [name, times] = part.names[j];
            text += (j > 0 ? ", " : "") + name + (times > 1 ? " x" + std::to_string(times) : "");
          }
          text += ')';
        }
        text += '\n';
      }
    }
    text += "Total: " + counted(passed) + " passed, " + counted(failed) + " failed";
    if (skipped > 0) text += ", " + counted(skipped) + " skipped";
    if (recordsSkipped > 0) text += "; " + counted(recordsSkipped) + " vector records skipped";
    text += '\n';
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
  }
};

}  // namespace

namespace detail {

void rememberSelection(const ::testing::TestInfo& test, Selection selection) {
  if (selection) selections().insert_or_assign(&test, std::move(selection));
}

}  // namespace detail

void installSummary() {
  // Once, however often it is called: GoogleTest owns the listener.
  static const bool installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new SummaryPrinter);
    return true;
  }();
  (void)installed;
}

}  // namespace quillon_tests
