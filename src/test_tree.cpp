#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

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

std::size_t countLeaves(const Test& test) noexcept {
  return test.kind() == TestKind::group ? countLeaves(test.children()) : 1;
}

std::size_t countLeaves(const std::vector<Test>& tests) noexcept {
  std::size_t count = 0;
  for (const Test& test : tests) count += countLeaves(test);
  return count;
}

}  // namespace quillon_tests
