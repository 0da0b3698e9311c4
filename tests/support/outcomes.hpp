#pragma once
// Compact views of runner results for assertions.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <quillon_tests/runner.hpp>
#include <quillon_tests/test_tree.hpp>

namespace test_support {

/// One letter per leaf: Passed, Failed, Error, Gave up.
inline std::string outcomeLetters(const std::vector<quillon_tests::LeafResult>& results) {
  std::string letters;
  for (const auto& r : results) {
    switch (r.outcome) {
      case quillon_tests::Outcome::passed: letters += 'P'; break;
      case quillon_tests::Outcome::failed: letters += 'F'; break;
      case quillon_tests::Outcome::error: letters += 'E'; break;
      case quillon_tests::Outcome::gaveUp: letters += 'G'; break;
    }
  }
  return letters;
}

/// The names of the top-level leaves (groups are left out).
inline std::vector<std::string> leafNames(const std::vector<quillon_tests::Test>& tests) {
  std::vector<std::string> names;
  for (const auto& test : tests)
    if (test.kind() != quillon_tests::TestKind::group) names.push_back(test.name());
  return names;
}

/// `names` in ascending order, for comparing sets of test names.
inline std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

/// The tests without the trailing groups (property groups), so known-answer
/// leaves can be run alone.
inline std::vector<quillon_tests::Test> withoutGroups(std::vector<quillon_tests::Test> tests) {
  std::erase_if(tests, [](const auto& t) { return t.kind() == quillon_tests::TestKind::group; });
  return tests;
}

/// The leaves that did not pass, by name, with the first letter of their
/// outcome as outcomeLetters gives it.
inline std::map<std::string, char> leavesNotPassed(const std::vector<quillon_tests::LeafResult>& results) {
  std::map<std::string, char> notPassed;
  for (const auto& r : results)
    if (r.outcome != quillon_tests::Outcome::passed)
      notPassed[r.path.back()] = outcomeLetters({r}).front();
  return notPassed;
}

}  // namespace test_support
