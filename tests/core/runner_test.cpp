#include <gtest/gtest.h>

#include <stdexcept>

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/runner.hpp>

#include "support/seeds.hpp"

namespace {

using namespace quillon_tests;
using quillon::ByteString;

Test sampleTree() {
  return testGroup(
      "root",
      {testCase("passes", [] { assertEqual("same", 1, 1); }),
       testCase("fails", [] { assertEqual("numbers differ", 1, 2); }),
       testCase("throws", [] { throw std::runtime_error("boom"); }),
       testGroup("inner",
                 {testCase("dup", [] {}), testCase("dup", [] { assertEqual("second dup", 0, 1); })}),
       testProperty("propertyHolds", [](int x) { return x - x == 0; }),
       testProperty("propertyFails", [](int x) { return x < 3; }),
       testProperty("propertyGivesUp", [](int) { RC_PRE(false); })});
}

TEST(Runner, ReportsEachLeafWithPathAndOutcome) {
  const test_support::PropertySeed seed(1);  // whether propertyFails finds its case
  const std::vector<LeafResult> results = runTest(sampleTree());
  std::vector<std::pair<std::string, Outcome>> seen;
  for (const LeafResult& r : results) seen.emplace_back(r.pathText(), r.outcome);
  const std::vector<std::pair<std::string, Outcome>> expected{
      {"root/passes", Outcome::passed},          {"root/fails", Outcome::failed},
      {"root/throws", Outcome::error},           {"root/inner/dup", Outcome::passed},
      {"root/inner/dup", Outcome::failed},       {"root/propertyHolds", Outcome::passed},
      {"root/propertyFails", Outcome::failed},   {"root/propertyGivesUp", Outcome::gaveUp}};
  EXPECT_EQ(seen, expected);
  EXPECT_NE(results[1].report.find("numbers differ"), std::string::npos) << results[1].report;
  EXPECT_NE(results[2].report.find("boom"), std::string::npos) << results[2].report;
  EXPECT_NE(results[6].report.find("Falsifiable"), std::string::npos) << results[6].report;
  EXPECT_NE(results[6].report.find("to reproduce this case: RC_PARAMS=\"reproduce="),
            std::string::npos)
      << results[6].report;
}

TEST(Runner, CountsLeavesWithoutRunningThem) {
  bool ran = false;
  const quillon_tests::Test tree = testGroup("g", {testCase("a", [&] { ran = true; }), sampleTree()});
  EXPECT_EQ(countLeaves(tree), 9u);
  EXPECT_FALSE(ran);
  EXPECT_EQ(tree.children()[1].children()[3].kind(), TestKind::group);
}

std::string failureText(auto&& assertion) {
  try {
    assertion();
  } catch (const AssertionFailure& failure) {
    return failure.what();
  }
  return "<no failure>";
}

TEST(AssertEqual, ByteMismatchShowsBothValuesOffsetAndLengths) {
  const std::string report = failureText([] {
    assertEqual("vector 7", ByteString{0x01, 0x02, 0x03}, ByteString{0x01, 0x09, 0x03, 0x04},
                "from file X");
  });
  for (const char* needle : {"vector 7", "expected: 010203", "but got: 01090304",
                             "expected 3 bytes, actual 4 bytes", "first difference at byte 1",
                             "from file X"})
    EXPECT_NE(report.find(needle), std::string::npos) << needle << " missing from\n" << report;
}

TEST(AssertEqual, PrefixMismatchSaysOneValueEnds) {
  const std::string report =
      failureText([] { assertEqual("m", ByteString{1, 2}, ByteString{1, 2, 3}); });
  EXPECT_NE(report.find("equal for the first 2 bytes"), std::string::npos) << report;
}

TEST(AssertEqual, PairMismatchNamesTheDifferingComponent) {
  const ByteString good{0xaa, 0xbb}, bad{0xaa, 0xbc};
  const std::string report = failureText(
      [&] { assertEqual("pair", std::pair{good, bad}, std::pair{good, good}); });
  EXPECT_NE(report.find("first component: equal"), std::string::npos) << report;
  EXPECT_NE(report.find("second component: DIFFERS"), std::string::npos) << report;
  EXPECT_NE(report.find("first difference at byte 1"), std::string::npos) << report;
  EXPECT_NO_THROW(assertEqual("equal pair", std::pair{good, bad}, std::pair{good, bad}));
}

TEST(GTestAdapter, FilterPatternsEscapeFilterSyntax) {
  const std::vector<std::array<std::string, 3>> cases{
      {"OpenSSL-SHA256", "NistSHA256-12", "OpenSSL?SHA256.NistSHA256?12"},
      {"s/Block Cipher tests (ident)", "ECBEncDecID", "s/Block?Cipher?tests?(ident).ECBEncDecID"},
      {"s", "NistHMACSHA1-\"0\"", "s.NistHMACSHA1?\"0\""},
      {"a:b", "x*y?", "a?b.x?y?"}};
  for (const auto& [suite, name, pattern] : cases)
    EXPECT_EQ(gtestFilterFor(suite, name), pattern);
}

}  // namespace
