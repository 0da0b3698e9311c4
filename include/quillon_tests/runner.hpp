#pragma once
// A runner that needs no test framework: runs a tree and reports each leaf.

#include <string>
#include <vector>

#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

enum class Outcome {
  passed,
  failed,   // an assertion failed, or a property found a counterexample
  error,    // the test ended with an exception other than an assertion failure
  gaveUp,   // a property discarded too many cases to reach a verdict
};

const char* toString(Outcome outcome) noexcept;

struct LeafResult {
  /// Group names from the root down, then the leaf's own name.
  std::vector<std::string> path;
  Outcome outcome = Outcome::passed;
  /// Empty for a passed test case; the failure, error or engine report otherwise.
  std::string report;
  /// Where the leaf comes from (its vector record, or the call that built
  /// it); unknown when the tree did not say.
  SourceLocation location;

  /// The path joined with "/".
  [[nodiscard]] std::string pathText() const;
};

/// Runs every leaf of `test`, depth first in tree order, on this thread.
std::vector<LeafResult> runTest(const Test& test);
std::vector<LeafResult> runTests(const std::vector<Test>& tests);

/// Runs one leaf. `path` is its full path (used as the property engine's id).
LeafResult runLeaf(const Test& leaf, std::vector<std::string> path);

}  // namespace quillon_tests
