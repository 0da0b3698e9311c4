#pragma once
// The test tree: named leaves (test cases and properties) and named groups.
// A Test is a plain value; building one runs nothing, and a tree can be
// inspected (names, kinds, children) without running it.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quillon_tests {

/// The body of a test case. It passes by returning, fails by throwing
/// AssertionFailure, and ends with an error by throwing anything else.
using TestAction = std::function<void()>;

/// How a property run ended.
enum class PropertyVerdict { passed, failed, gaveUp, error };

struct PropertyReport {
  PropertyVerdict verdict = PropertyVerdict::passed;
  /// The engine's own report: counterexample, reproduction parameters.
  std::string text;
};

/// Runs a property to its end. `id` identifies the test to the property
/// engine, which uses it to replay a recorded failure.
using PropertyCheck = std::function<PropertyReport(const std::string& id)>;

enum class TestKind { testCase, property, group };

struct SelectionSummary;  // quillon_tests/diagnostics.hpp

/// Where a test comes from: the vector record of a known-answer test, the
/// call that built a property. Reports, test explorers and GoogleTest's
/// JSON and XML output show it. A default-made location is unknown.
class SourceLocation {
 public:
  SourceLocation() = default;
  /// `file` as it should be shown (not resolved or checked); lines count from 1.
  SourceLocation(std::string file, unsigned line);

  /// The location of the expression that calls this, when used as a default
  /// argument: `void f(SourceLocation where = SourceLocation::current())`
  /// gets the caller's file and line. (The compiler builtins stand in for
  /// std::source_location, which not every supported compiler provides.)
  static SourceLocation current(const char* file = __builtin_FILE(),
                                unsigned line = __builtin_LINE());

  /// The same file, another line. Shares the file name rather than copying
  /// it, so that thousands of tests from one vector file hold it once.
  [[nodiscard]] SourceLocation atLine(unsigned line) const;

  [[nodiscard]] bool known() const noexcept { return file_ != nullptr; }
  /// Empty when unknown.
  [[nodiscard]] const std::string& file() const noexcept;
  /// 0 when unknown.
  [[nodiscard]] unsigned line() const noexcept { return line_; }
  /// "file:line", or "" when unknown.
  [[nodiscard]] std::string text() const;

  friend bool operator==(const SourceLocation& a, const SourceLocation& b) noexcept {
    return a.line_ == b.line_ && a.file() == b.file();
  }

 private:
  std::shared_ptr<const std::string> file_;
  unsigned line_ = 0;
};

/// A test is small: a known-answer suite makes tens of thousands of them.
/// Its body is one of an action, a property check and the members of a
/// group; its location and selection are shared with its siblings.
class Test {
 public:
  [[nodiscard]] const std::string& name() const noexcept { return name_; }
  [[nodiscard]] TestKind kind() const noexcept { return static_cast<TestKind>(body_.index()); }
  /// The members of a group, in order; empty for leaves.
  [[nodiscard]] const std::vector<Test>& children() const noexcept;
  /// The body of a test case; empty for other kinds.
  [[nodiscard]] const TestAction& action() const noexcept;
  /// The check of a property; empty for other kinds.
  [[nodiscard]] const PropertyCheck& propertyCheck() const noexcept;
  /// Where the test comes from; unknown unless attached with withLocation.
  [[nodiscard]] const SourceLocation& location() const noexcept { return location_; }
  /// For the tests of a known-answer builder: what its selection of vector
  /// records built and skipped, shared by all of them; null otherwise.
  [[nodiscard]] const std::shared_ptr<const SelectionSummary>& selection() const noexcept {
    return selection_;
  }

  friend Test testCase(std::string name, TestAction action);
  friend Test propertyTest(std::string name, PropertyCheck check);
  friend Test testGroup(std::string name, std::vector<Test> tests);
  friend Test withLocation(Test test, const SourceLocation& where);
  friend Test withSelection(Test test, std::shared_ptr<const SelectionSummary> selection);

 private:
  // In the order of TestKind.
  using Body = std::variant<TestAction, PropertyCheck, std::vector<Test>>;

  Test(std::string name, Body body) : name_(std::move(name)), body_(std::move(body)) {}

  std::string name_;
  Body body_;
  SourceLocation location_;
  std::shared_ptr<const SelectionSummary> selection_;
};

/// A leaf that runs `action` once.
Test testCase(std::string name, TestAction action);
/// A leaf that runs a property through `check`. Most code wants
/// testProperty (quillon_tests/property.hpp), which makes the check from a
/// RapidCheck testable.
Test propertyTest(std::string name, PropertyCheck check);
/// A named, ordered group. Names need not be unique.
Test testGroup(std::string name, std::vector<Test> tests);

/// `test` located at `where`; in a group, so is every test beneath it that
/// has no location of its own (a builder can locate all its properties at
/// once while a leaf keeps a more precise one).
Test withLocation(Test test, const SourceLocation& where);

/// `test` marked as one of the tests that `selection` summarises, so that a
/// run's summary can count its outcomes beside the records it skipped.
Test withSelection(Test test, std::shared_ptr<const SelectionSummary> selection);

/// Number of leaves in a tree.
std::size_t countLeaves(const Test& test) noexcept;
std::size_t countLeaves(const std::vector<Test>& tests) noexcept;

}  // namespace quillon_tests
