#include <gtest/gtest.h>

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/gtest.hpp>

namespace quillon_tests {

namespace {

std::string rerunHint(const std::string& suiteName, const std::string& testName) {
  return "to rerun only this test: --gtest_filter='" + gtestFilterFor(suiteName, testName) + "'";
}

class LeafTest : public ::testing::Test {
  using Test = quillon_tests::Test;

 public:
  LeafTest(Test leaf, std::string suiteName)
      : leaf_(std::move(leaf)), suiteName_(std::move(suiteName)) {}

  void TestBody() override {
    if (leaf_.kind() == TestKind::property) {
      runProperty();
    } else {
      runTestCase();
    }
  }

 private:
  void runTestCase() {
    const std::string hint = rerunHint(suiteName_, leaf_.name());
    try {
      leaf_.action()();
    } catch (const AssertionFailure& failure) {
      fail(failure.what() + hint);
    } catch (const std::exception& error) {
      fail("ended with an error: " + std::string(error.what()) + '\n' + hint);
    } catch (...) {
      fail("ended with an exception of unknown type\n" + hint);
    }
  }

  void runProperty() {
    const std::string id = suiteName_ + "/" + leaf_.name();
    const PropertyReport report = leaf_.propertyCheck()(id);
    const std::string hint = rerunHint(suiteName_, leaf_.name());
    switch (report.verdict) {
      case PropertyVerdict::passed: return;
      case PropertyVerdict::failed: fail(report.text + '\n' + hint); return;
      case PropertyVerdict::gaveUp: fail("gave up: " + report.text + '\n' + hint); return;
      case PropertyVerdict::error: fail("ended with an error: " + report.text + '\n' + hint); return;
    }
  }

  // Reported at the leaf's location (for a known-answer test, the vector's
  // record), which GoogleTest prints as "file:line: Failure" and IDEs follow.
  void fail(const std::string& report) const {
    const SourceLocation& where = leaf_.location();
    if (where.known()) {
      ADD_FAILURE_AT(where.file().c_str(), static_cast<int>(where.line())) << report;
    } else {
      ADD_FAILURE() << report;
    }
  }

  Test leaf_;
  std::string suiteName_;
};

void registerLeaves(const std::string& suiteName, const Test& test) {
  if (test.kind() == TestKind::group) {
    const std::string inner = suiteName + "/" + test.name();
    for (const Test& child : test.children()) registerLeaves(inner, child);
    return;
  }
  // The leaf's own location makes reports and test explorers point at the
  // vector record or the builder's call rather than at this adapter.
  const SourceLocation& where = test.location();
  const char* file = where.known() ? where.file().c_str() : __FILE__;
  const int line = where.known() ? static_cast<int>(where.line()) : __LINE__;
  ::testing::RegisterTest(suiteName.c_str(), test.name().c_str(), nullptr, nullptr, file, line,
                          [test, suiteName]() -> ::testing::Test* {
                            return new LeafTest(test, suiteName);
                          });
}

}  // namespace

std::string gtestFilterFor(std::string_view suiteName, std::string_view testName) {
  std::string pattern;
  pattern.reserve(suiteName.size() + testName.size() + 1);
  auto append = [&pattern](std::string_view text) {
    for (char c : text) {
      const bool special = c == ':' || c == '-' || c == '*' || c == '?' || c == ' ' ||
                           c == '\'' || static_cast<unsigned char>(c) < 0x20;
      pattern += special ? '?' : c;
    }
  };
  append(suiteName);
  pattern += '.';
  append(testName);
  return pattern;
}

void registerTests(std::string_view suite, const std::vector<Test>& tests) {
  for (const Test& test : tests) registerLeaves(std::string(suite), test);
}

void registerTests(std::string_view suite, const Test& test) {
  registerLeaves(std::string(suite), test);
}

}  // namespace quillon_tests
