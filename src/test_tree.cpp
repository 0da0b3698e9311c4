#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

SourceLocation::SourceLocation(std::string file, unsigned line)
    : file_(std::make_shared<const std::string>(std::move(file))), line_(line) {}

SourceLocation SourceLocation::current(const char* file, unsigned line) {
  return {file, line};
}

SourceLocation SourceLocation::atLine(unsigned line) const {
  SourceLocation moved = *this;
  moved.line_ = line;
  return moved;
}

const std::string& SourceLocation::file() const noexcept {
  static const std::string unknown;
  return file_ ? *file_ : unknown;
}

std::string SourceLocation::text() const {
  return known() ? file() + ":" + std::to_string(line_) : std::string();
}

const std::vector<Test>& Test::children() const noexcept {
  static const std::vector<Test> none;
  const auto* members = std::get_if<std::vector<Test>>(&body_);
  return members != nullptr ? *members : none;
}

const TestAction& Test::action() const noexcept {
  static const TestAction none;
  const auto* action = std::get_if<TestAction>(&body_);
  return action != nullptr ? *action : none;
}

const PropertyCheck& Test::propertyCheck() const noexcept {
  static const PropertyCheck none;
  const auto* check = std::get_if<PropertyCheck>(&body_);
  return check != nullptr ? *check : none;
}

Test testCase(std::string name, TestAction action) {
  return {std::move(name), Test::Body(std::in_place_index<0>, std::move(action))};
}

Test propertyTest(std::string name, PropertyCheck check) {
  return {std::move(name), Test::Body(std::in_place_index<1>, std::move(check))};
}

Test testGroup(std::string name, std::vector<Test> tests) {
  return {std::move(name), Test::Body(std::in_place_index<2>, std::move(tests))};
}

namespace {

void locateUnlocated(std::vector<Test>& tests, const SourceLocation& where) {
  for (Test& test : tests)
    if (!test.location().known()) test = withLocation(std::move(test), where);
}

}  // namespace

Test withLocation(Test test, const SourceLocation& where) {
  test.location_ = where;
  if (auto* members = std::get_if<std::vector<Test>>(&test.body_)) locateUnlocated(*members, where);
  return test;
}

Test withSelection(Test test, std::shared_ptr<const SelectionSummary> selection) {
  test.selection_ = std::move(selection);
  return test;
}

std::size_t countLeaves(const Test& test) noexcept {
  return test.kind() == TestKind::group ? countLeaves(test.children()) : 1;
}

std::size_t countLeaves(const std::vector<Test>& tests) noexcept {
  std::size_t count = 0;
  for (const Test& test : tests) count += countLeaves(test);
  return count;
}

}  // namespace quillon_tests
