#pragma once
// The test tree: named leaves (test cases and properties) and named groups.
// A Test is a plain value; building one runs nothing, and a tree can be
// inspected (names, kinds, children) without running it.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
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

class Test {
 public:
  [[nodiscard]] const std::string& name() const noexcept { return name_; }
  [[nodiscard]] TestKind kind() const noexcept { return kind_; }
  /// The members of a group, in order; empty for leaves.
  [[nodiscard]] const std::vector<Test>& children() const noexcept { return children_; }
  /// The body of a test case; empty for other kinds.
  [[nodiscard]] const TestAction& action() const noexcept { return action_; }
  /// The check of a property; empty for other kinds.
  [[nodiscard]] const PropertyCheck& propertyCheck() const noexcept { return property_; }

  friend Test testCase(std::string name, TestAction action);
  friend Test propertyTest(std::string name, PropertyCheck check);
  friend Test testGroup(std::string name, std::vector<Test> tests);

 private:
  Test(std::string name, TestKind kind) : name_(std::move(name)), kind_(kind) {}

  std::string name_;
  TestKind kind_;
  std::vector<Test> children_;
  TestAction action_;
  PropertyCheck property_;
};

/// A leaf that runs `action` once.
Test testCase(std::string name, TestAction action);
/// A leaf that runs a property through `check`. Most code wants
/// testProperty (quillon_tests/property.hpp), which makes the check from a
/// RapidCheck testable.
Test propertyTest(std::string name, PropertyCheck check);
/// A named, ordered group. Names need not be unique.
Test testGroup(std::string name, std::vector<Test> tests);

/// Number of leaves in a tree.
std::size_t countLeaves(const Test& test) noexcept;
std::size_t countLeaves(const std::vector<Test>& tests) noexcept;

}  // namespace quillon_tests
