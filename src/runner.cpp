#include <exception>
#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/runner.hpp>

namespace quillon_tests {

const char* toString(Outcome outcome) noexcept {
  switch (outcome) {
    case Outcome::passed: return "passed";
    case Outcome::failed: return "failed";
    case Outcome::error: return "error";
    case Outcome::gaveUp: return "gave up";
  }
  return "unknown";
}

std::string LeafResult::pathText() const {
  std::string text;
  for (const std::string& part : path) {
    if (!text.empty()) text += '/';
    text += part;
  }
  return text;
}

namespace {

LeafResult runTestCase(const Test& leaf, std::vector<std::string> path) {
  LeafResult result{std::move(path), Outcome::passed, {}, leaf.location()};
  try {
    leaf.action()();
  } catch (const AssertionFailure& failure) {
    result.outcome = Outcome::failed;
    result.report = failure.what();
  } catch (const std::exception& error) {
    result.outcome = Outcome::error;
    result.report = std::string("error: ") + error.what();
  } catch (...) {
    result.outcome = Outcome::error;
    result.report = "error: an exception of unknown type";
  }
  return result;
}

LeafResult runProperty(const Test& leaf, std::vector<std::string> path) {
  LeafResult result{std::move(path), Outcome::passed, {}, leaf.location()};
  PropertyReport report;
  try {
    report = leaf.propertyCheck()(result.pathText());
  } catch (const std::exception& error) {
    report = {PropertyVerdict::error, std::string("error: ") + error.what()};
  }
  switch (report.verdict) {
    case PropertyVerdict::passed: result.outcome = Outcome::passed; break;
    case PropertyVerdict::failed: result.outcome = Outcome::failed; break;
    case PropertyVerdict::gaveUp: result.outcome = Outcome::gaveUp; break;
    case PropertyVerdict::error: result.outcome = Outcome::error; break;
  }
  result.report = std::move(report.text);
  return result;
}

void runInto(const Test& test, std::vector<std::string>& path, std::vector<LeafResult>& out) {
  if (test.kind() == TestKind::group) {
    path.push_back(test.name());
    for (const Test& child : test.children()) runInto(child, path, out);
    path.pop_back();
    return;
  }
  // Sized once: a copy of `path` would grow again for the leaf's name.
  std::vector<std::string> leafPath;
  leafPath.reserve(path.size() + 1);
  leafPath.assign(path.begin(), path.end());
  leafPath.push_back(test.name());
  out.push_back(runLeaf(test, std::move(leafPath)));
}

}  // namespace

LeafResult runLeaf(const Test& leaf, std::vector<std::string> path) {
  switch (leaf.kind()) {
    case TestKind::testCase: return runTestCase(leaf, std::move(path));
    case TestKind::property: return runProperty(leaf, std::move(path));
    case TestKind::group: break;
  }
  return {std::move(path), Outcome::error, "error: a group is not a leaf", leaf.location()};
}

std::vector<LeafResult> runTest(const Test& test) {
  std::vector<LeafResult> out;
  std::vector<std::string> path;
  runInto(test, path, out);
  return out;
}

std::vector<LeafResult> runTests(const std::vector<Test>& tests) {
  std::vector<LeafResult> out;
  out.reserve(countLeaves(tests));
  std::vector<std::string> path;
  for (const Test& test : tests) runInto(test, path, out);
  return out;
}

}  // namespace quillon_tests
