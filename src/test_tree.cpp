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

Test testCase(std::string name, TestAction action) {
  Test test(std::move(name), TestKind::testCase);
  test.action_ = std::move(action);
  return test;
}

Test propertyTest(std::string name, PropertyCheck check) {
  Test test(std::move(name), TestKind::property);
  test.property_ = std::move(check);
  return test;
}

Test testGroup(std::string name, std::vector<Test> tests) {
  Test test(std::move(name), TestKind::group);
  test.children_ = std::move(tests);
  return test;
}

namespace {

void locateUnlocated(std::vector<Test>& tests, const SourceLocation& where) {
  for (Test& test : tests)
    if (!test.location().known()) test = withLocation(std::move(test), where);
}

}  // namespace

Test withLocation(Test test, const SourceLocation& where) {
  test.location_ = where;
  locateUnlocated(test.children_, where);
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
