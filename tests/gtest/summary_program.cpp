// A program whose run summary (installSummary) is compared with
// summary.golden: tests passing and failing, two known-answer selections in
// one suite (one skipping records for two reasons), thousands, and groups
// without a selection.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/test_tree.hpp>

namespace {

using namespace quillon_tests;

Test outcome(std::string name, bool passes) {
  return testCase(std::move(name), [passes] {
    if (!passes) throw AssertionFailure("planted failure\n");
  });
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  auto aes = std::make_shared<SelectionSummary>(SelectionSummary{
      "AES known answers", 1'002, 0, {{"key refused", 4'784, {{"192-bit", 2'392}, {"256-bit", 2'392}}}}});
  auto ctr = std::make_shared<SelectionSummary>(SelectionSummary{
      "CTR known answers", 2, 1, {{"IV does not deserialise", 3, {}}, {"key refused", 1, {{"256-bit", 1}}}}});
  auto cmac = std::make_shared<SelectionSummary>(SelectionSummary{"CMAC known answers", 1, 0, {}});

  std::vector<Test> aesTests;
  for (int i = 1; i <= 1'002; ++i) {
    aesTests.push_back(withSelection(outcome("ECBVarKey128-" + std::to_string(i), i != 7), aes));
  }
  aesTests.push_back(testGroup("Round trips", {outcome("ECB", true), outcome("CBC", false)}));
  registerTests("MyAES128", aesTests);
  registerTests("MyAES128", std::vector<Test>{withSelection(outcome("CTR-1", true), ctr),
                                              withSelection(outcome("CTR-2", false), ctr),
                                              withSelection(outcome("CMAC-1", true), cmac)});
  std::vector<Test> md5(7, outcome("md5KAT", true));
  registerTests("MyMD5", testGroup("MD5 KATs", md5));

  installSummary();
  installSummary();  // a second call adds nothing
  return RUN_ALL_TESTS();
}
