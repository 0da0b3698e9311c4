#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <memory>
#include <stdexcept>

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/property.hpp>

#include "summary.hpp"

namespace quillon_tests {

namespace {

/// `text` as one word of a shell line: quoted unless it needs no quoting.
std::string shellWord(const std::string& text) {
  const bool plain = !text.empty() && text.find_first_not_of(
                                          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789_-+=./:,@%") == std::string::npos;
  if (plain) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

/// The shell command that runs one test of this program alone: the program
/// as it was started, then the filter.
std::string rerunCommand(const std::string& suiteName, const std::string& testName) {
  const std::vector<std::string> arguments = ::testing::internal::GetArgvs();
  const std::string program = arguments.empty() || arguments.front().empty()
                                  ? std::string("<test program>")
                                  : shellWord(arguments.front());
  return program + " --gtest_filter='" + gtestFilterFor(suiteName, testName) + "'";
}

/// The last line of a failed test's report: the shell line that runs it alone.
std::string rerunHint(const std::string& suiteName, const std::string& testName) {
  return "to rerun only this test: " + rerunCommand(suiteName, testName);
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
      case PropertyVerdict::failed:
        // One line reruns exactly the shrunk case: its RC_PARAMS and the filter.
        fail(detail::withRerunCommand(report.text, rerunCommand(suiteName_, leaf_.name())));
        return;
      case PropertyVerdict::gaveUp: fail("gave up: " + report.text + '\n' + hint); return;
      case PropertyVerdict::error: fail("ended with an error: " + report.text + '\n' + hint); return;
    }
  }

  // Reported at the leaf's location (for a known-answer test, the vector's
  // record), which GoogleTest prints as "file:line: Failure" and IDEs follow;
  // without one, at no file ("unknown file: Failure") rather than here.
  void fail(const std::string& report) const {
    const SourceLocation& where = leaf_.location();
    if (where.known()) {
      ADD_FAILURE_AT(where.file().c_str(), static_cast<int>(where.line())) << report;
    } else {
      ADD_FAILURE_AT(nullptr, -1) << report;
    }
  }

  Test leaf_;
  std::string suiteName_;
};

// What GoogleTest keeps of the registered leaves: each suite name once, its
// leaves beside it, and per test a factory holding where its leaf is.
// GoogleTest's registry is destroyed with its own statics, after those of a
// library constructed earlier, such as the memory pool Botan allocates its
// keys from; so every leaf is released when the program exits, before those
// statics go.
class RegisteredSuite {
 public:
  explicit RegisteredSuite(std::string name) : name_(std::move(name)) {}

  [[nodiscard]] const std::string& name() const noexcept { return name_; }

  [[nodiscard]] const quillon_tests::Test& leaf(std::size_t index) const {
    if (index >= leaves_.size()) throw std::logic_error("the test was released: the program is exiting");
    return leaves_[index];
  }

  /// Registers `leaf` under this suite's name with GoogleTest.
  void add(const quillon_tests::Test& leaf) {
    // The leaf's own location makes reports and test explorers point at the
    // vector record or the builder's call; a leaf without one has no file
    // (never this adapter's, which is no place of the user's).
    const SourceLocation& where = leaf.location();
    const char* file = where.known() ? where.file().c_str() : "";
    const int line = where.known() ? static_cast<int>(where.line()) : 0;
    leaves_.push_back(leaf);
    const ::testing::TestInfo* info = ::testing::RegisterTest(
        name_.c_str(), leaf.name().c_str(), nullptr, nullptr, file, line,
        [suite = this, index = leaves_.size() - 1]() -> ::testing::Test* {
          return new LeafTest(suite->leaf(index), suite->name());
        });
    detail::rememberSelection(*info, leaf.selection());
  }

  /// The suite of that name, made at its first leaf; its address never changes.
  static RegisteredSuite& named(const std::string& name) {
    std::deque<RegisteredSuite>& suites = all();
    if (suites.empty() || suites.back().name() != name) suites.emplace_back(name);
    return suites.back();
  }

  // exit() runs atexit functions and destroys statics in the reverse order
  // of their registration and construction. Registered by every
  // registerTests call, after its tests were built, the release runs before
  // the destruction of any static those tests may hold objects of.
  static void releaseAtExit() {
    all();  // constructed before the release is registered, so destroyed after it runs
    std::atexit(&releaseAll);
  }

 private:
  static std::deque<RegisteredSuite>& all() {
    static std::deque<RegisteredSuite> suites;
    return suites;
  }
  static void releaseAll() {
    for (RegisteredSuite& suite : all()) std::deque<quillon_tests::Test>().swap(suite.leaves_);
  }

  std::string name_;
  std::deque<quillon_tests::Test> leaves_;  // no spare capacity to speak of, unlike a vector
};

void registerLeaves(const std::string& suiteName, const Test& test) {
  if (test.kind() == TestKind::group) {
    const std::string inner = suiteName + "/" + test.name();
    for (const Test& child : test.children()) registerLeaves(inner, child);
    return;
  }
  RegisteredSuite::named(suiteName).add(test);
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
  RegisteredSuite::releaseAtExit();
  for (const Test& test : tests) registerLeaves(std::string(suite), test);
}

void registerTests(std::string_view suite, const Test& test) {
  RegisteredSuite::releaseAtExit();
  registerLeaves(std::string(suite), test);
}

}  // namespace quillon_tests
