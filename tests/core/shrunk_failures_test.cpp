// Failing properties are shrunk to a small case, reported within bounds, and
// replayed from the printed RC_PARAMS: over plain properties and the planted
// faults of tests/support/shrink_faults.hpp, under fixed seeds.

#include <gtest/gtest.h>

#include <iostream>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/runner.hpp>

#include "block_cipher/faulty_ciphers.hpp"
#include "support/seeds.hpp"
#include "support/shrink_faults.hpp"

namespace {

using namespace quillon_tests;
using quillon::ByteString;
using quillon::LazyByteString;
using test_support::forEachSeed;
using Leaf = quillon_tests::Test;  // not gtest's Test

/// The first line of a report, less its "smallest failing case: ".
std::string headlineOf(const std::string& report) {
  static const std::string start = "smallest failing case: ";
  if (!report.starts_with(start)) {
    ADD_FAILURE() << "no smallest failing case in\n" << report;
    return {};
  }
  return report.substr(start.size(), report.find('\n') - start.size());
}

std::string rcParamsOf(const std::string& report) {
  static const std::regex line(R"(to reproduce this case: RC_PARAMS="([^"]*)\")");
  std::smatch match;
  if (!std::regex_search(report, match, line)) {
    ADD_FAILURE() << "no RC_PARAMS in\n" << report;
    return {};
  }
  return match[1].str();
}

std::size_t shrinkStepsOf(const std::string& report, const char* prefix) {
  const std::regex line(std::string(prefix) + R"( (\d+) (shrink )?steps?)");
  std::smatch match;
  if (!std::regex_search(report, match, line)) {
    ADD_FAILURE() << "no \"" << prefix << "\" line in\n" << report;
    return 0;
  }
  return std::stoul(match[1].str());
}

/// The report up to the lines that differ between a run and its replay by design.
std::string caseText(const std::string& report) { return report.substr(0, report.find("\nFalsifiable after ")); }

/// `leaf`'s failure report under the current seed.
std::string failureOf(const Leaf& leaf) {
  const LeafResult result = runLeaf(leaf, {leaf.name()});
  EXPECT_EQ(result.outcome, Outcome::failed) << result.report;
  EXPECT_LT(result.report.size(), 4000u) << result.report;
  return result.report;
}

// ---- The planted faults -------------------------------------------------------

TEST(ShrunkFailures, PlantedFaultsShrinkToTheSmallestCaseThatFails) {
  for (const test_support::ShrinkFault& fault : test_support::shrinkFaults()) {
    SCOPED_TRACE(fault.name);
    const Leaf leaf = fault.leaf();
    const auto seeds = test_support::fixedSeeds(20);
    std::size_t atMinimum = 0;
    forEachSeed(seeds, [&](std::uint64_t seed) {
      const std::string report = failureOf(leaf);
      const auto shrunk = test_support::shrunkCaseOf(report);
      ASSERT_TRUE(shrunk) << report;
      EXPECT_LE(shrunk->bytes, fault.maxBytes) << report;
      EXPECT_LE(shrunk->chunks.size(), fault.maxChunks) << report;
      atMinimum += fault.atMinimum(*shrunk);
      EXPECT_NE(report.find(fault.says), std::string::npos) << report;
      if (seed != seeds.front()) return;
      // The printed setting replays the same case, without a search.
      const ScopedPropertyParams replay(rcParamsOf(report));
      const std::string replayed = failureOf(leaf);
      EXPECT_EQ(caseText(replayed), caseText(report));
      EXPECT_EQ(shrinkStepsOf(replayed, "replayed"), shrinkStepsOf(report, "shrunk in"));
    });
    // At least 95 % at the smallest case (over 200 seeds: bench/shrink_bench.cpp).
    EXPECT_GE(atMinimum * 100, seeds.size() * 95) << fault.minimum;
  }
}

TEST(ShrunkFailures, KeysShrinkToTheBytesTheFaultNeeds) {
  // Decryption that ignores key byte 5 fails only while that byte is not
  // zero: the key shown has it lowered to 1.
  const Leaf leaf = test_support::leafNamed(makeBlockCipherPropTests<faulty::DecryptDropsKeyByte>(), "ECBEncDecID");
  const std::regex key(R"(\n  key: +([0-9a-f]{32}) \(16 bytes\)\n)");
  forEachSeed(test_support::fixedSeeds(20), [&](std::uint64_t) {
    const std::string report = failureOf(leaf);
    std::smatch match;
    ASSERT_TRUE(std::regex_search(report, match, key)) << report;
    EXPECT_EQ(match[1].str().substr(10, 2), "01") << report;
  });
}

// ---- Plain properties: where shrinking ends, limits, errors -------------------

Leaf property(const char* name, bool (*holds)(const LazyByteString&)) {
  return testProperty(name, [holds](const LazyByteString& x) { return holds(x); });
}

TEST(ShrunkFailures, PlainPropertiesEndAtTheirSmallestCounterexample) {
  struct Row {
    Leaf test;
    const char* smallest;
    std::vector<const char*> shown;  // any one of these: equally small cases
  };
  const std::vector<Row> rows{
      {property("at most one chunk", [](const LazyByteString& x) { return x.chunks().size() < 2; }),
       "2 bytes in chunks [1, 1]", {"[00, 00]"}},
      {property("shorter than 20 bytes", [](const LazyByteString& x) { return x.size() < 20; }),
       "20 bytes in chunks [20]", {"[0000000000000000000000000000000000000000]"}},
      {property("no byte from 100 up",
                [](const LazyByteString& x) {
                  const ByteString bytes = x.toStrict();
                  return std::all_of(bytes.begin(), bytes.end(), [](quillon::Byte b) { return b < 100; });
                }),
       "1 byte in chunks [1]", {"[64]"}},
      {property("the same reversed",
                [](const LazyByteString& x) {
                  std::vector<ByteString> reversed(x.chunks().rbegin(), x.chunks().rend());
                  return LazyByteString(reversed) == x.toStrict();
                }),
       "2 bytes in chunks [1, 1]", {"[00, 01]", "[01, 00]"}},
      {property("a first chunk of whole blocks in 32 bytes",
                [](const LazyByteString& x) {
                  return x.chunks().size() < 2 || x.chunks()[0].size() % 16 == 0 || x.size() < 32;
                }),
       "32 bytes in chunks [1, 31]", {"[00, 00000000000000000000000000000000...]"}},
  };
  forEachSeed(test_support::fixedSeeds(20), [&](std::uint64_t) {
    for (const Row& row : rows) {
      const LeafResult result = runLeaf(row.test, {row.test.name()});
      ASSERT_EQ(result.outcome, Outcome::failed) << row.test.name() << "\n" << result.report;
      // Inputs the property does not name are shown as the engine's arguments.
      EXPECT_EQ(headlineOf(result.report), row.smallest) << result.report;
      EXPECT_TRUE(std::any_of(row.shown.begin(), row.shown.end(), [&](const char* shown) {
        return result.report.find(std::string("\n  arguments: (") + row.smallest + ": " + shown + ")\n") !=
               std::string::npos;
      })) << result.report;
    }
  });
}

TEST(ShrunkFailures, LimitsStopShrinkingEarlyAndSaySo) {
  const auto alwaysTwoChunks =
      rc::detail::toProperty([](const LazyByteString& x) { return x.chunks().size() < 2; });
  struct Row {
    detail::ShrinkLimits limits;
    std::size_t maxSteps;
  };
  std::cout << "[ seed     ] 1" << std::endl;
  const rc::detail::Configuration seeded = rc::detail::configFromString("seed=1", rc::detail::configuration());
  for (const Row& row : {Row{{3, 10000}, 3}, Row{{500, 4}, 4}, Row{{0, 10000}, 0}}) {
    const PropertyReport report = detail::checkRapidCheckProperty(alwaysTwoChunks, "limited", seeded, row.limits);
    EXPECT_EQ(report.verdict, PropertyVerdict::failed);
    EXPECT_LE(shrinkStepsOf(report.text, "shrunk in"), row.maxSteps) << report.text;
    EXPECT_NE(report.text.find("shrinking stopped early"), std::string::npos) << report.text;
  }
  const PropertyReport unlimited =
      detail::checkRapidCheckProperty(alwaysTwoChunks, "unlimited", seeded, detail::ShrinkLimits{});
  EXPECT_EQ(unlimited.text.find("stopped early"), std::string::npos) << unlimited.text;
}

TEST(ShrunkFailures, AnErrorThrownWhileShrinkingIsReported) {
  // Large inputs fail by returning false; once shrinking reaches small ones
  // they throw, and the smallest case reports the exception.
  const Leaf test = testProperty("throws when small", [](const ByteString& x) {
    if (x.size() <= 8) throw std::runtime_error("small input exploded");
    return false;
  });
  const test_support::PropertySeed seed(1);
  const LeafResult result = runLeaf(test, {"throws when small"});
  EXPECT_EQ(result.outcome, Outcome::failed);
  EXPECT_EQ(headlineOf(result.report), "1 byte") << result.report;
  EXPECT_NE(result.report.find("small input exploded"), std::string::npos) << result.report;
}

TEST(ShrunkFailures, ReportsStayShortWhateverTheMessages) {
  // A property that logs a long text for every failing case.
  const Leaf test = testProperty("logs a lot", [](const LazyByteString& x, const ByteString& y) {
    RC_LOG() << std::string(20000, 'x') << '\n';
    return x.size() + y.size() < 5000;
  });
  const test_support::PropertySeed seed(1);
  const LeafResult result = runLeaf(test, {"logs a lot"});
  ASSERT_EQ(result.outcome, Outcome::failed);
  EXPECT_LT(result.report.size(), 4000u) << result.report.size();
  EXPECT_NE(result.report.find("more characters)"), std::string::npos) << result.report;
  EXPECT_FALSE(rcParamsOf(result.report).empty());
}

}  // namespace
