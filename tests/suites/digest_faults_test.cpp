// The SHA-512/t and SHA-3 known-answer suites over the shipped data for both
// bindings, and the faults each digest suite must catch, run through the
// real builders: exactly the listed tests fail, every other one passes.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <functional>
#include <set>
#include <sstream>

#include <primitives/nettle/digests.hpp>
#include <primitives/openssl/digests.hpp>
#include <quillon_tests/monte.hpp>
#include <quillon_tests/runner.hpp>
#include <quillon_tests/sha.hpp>

#include "suites/faulty_digests.hpp"
#include "support/outcomes.hpp"

namespace {

using namespace quillon_tests;
using test_support::outcomeLetters;
using test_support::withoutGroups;
namespace openssl = quillon::openssl;
namespace nettle = quillon::nettle;
namespace faulty = faulty_digests;

// Records ("Len" lines) of one shipped message file, counted from its text.
std::size_t lenLines(const std::string& relativePath) {
  std::ifstream in(std::string(QUILLON_TESTS_SOURCE_DATADIR) + "/" + relativePath, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + relativePath);
  std::size_t count = 0;
  for (std::string line; std::getline(in, line);) count += line.starts_with("Len =");
  return count;
}

struct KnownAnswerSuite {
  const char* name;  // "<variant>/<binding>"
  const char* directory;
  std::function<std::vector<quillon_tests::Test>()> build;
};

class ShippedKnownAnswers : public ::testing::TestWithParam<KnownAnswerSuite> {};

TEST_P(ShippedKnownAnswers, EveryRecordOfTheSuitesOwnFilesPasses) {
  const std::string name = GetParam().name;
  const std::string variant = name.substr(0, name.find('/'));
  const std::string directory = GetParam().directory;
  const std::size_t records = lenLines(directory + "/" + variant + "ShortMsg.rsp") +
                              lenLines(directory + "/" + variant + "LongMsg.rsp");
  const std::vector<quillon_tests::Test> tests = GetParam().build();
  ASSERT_EQ(tests.size(), records + 1) << "one test per record, then the property group";
  const auto results = runTests(tests);
  EXPECT_EQ(outcomeLetters(results), std::string(results.size(), 'P'));
  for (const LeafResult& result : results)
    if (result.outcome != Outcome::passed) ADD_FAILURE() << result.pathText() << "\n" << result.report;
}

INSTANTIATE_TEST_SUITE_P(
    BothBindings, ShippedKnownAnswers,
    ::testing::Values(
        KnownAnswerSuite{"SHA512_224/OpenSSL", "Test/KAT_SHA", [] { return makeSHA512_224Tests<openssl::SHA512_224>(); }},
        KnownAnswerSuite{"SHA512_224/nettle", "Test/KAT_SHA", [] { return makeSHA512_224Tests<nettle::SHA512_224>(); }},
        KnownAnswerSuite{"SHA512_256/OpenSSL", "Test/KAT_SHA", [] { return makeSHA512_256Tests<openssl::SHA512_256>(); }},
        KnownAnswerSuite{"SHA512_256/nettle", "Test/KAT_SHA", [] { return makeSHA512_256Tests<nettle::SHA512_256>(); }},
        KnownAnswerSuite{"SHA512/OpenSSL", "Test/KAT_SHA", [] { return makeSHA512Tests<openssl::SHA512>(); }},
        KnownAnswerSuite{"SHA512/nettle", "Test/KAT_SHA", [] { return makeSHA512Tests<nettle::SHA512>(); }},
        KnownAnswerSuite{"SHA3_224/OpenSSL", "Test/KAT_SHA3", [] { return makeSHA3_224Tests<openssl::SHA3_224>(); }},
        KnownAnswerSuite{"SHA3_224/nettle", "Test/KAT_SHA3", [] { return makeSHA3_224Tests<nettle::SHA3_224>(); }},
        KnownAnswerSuite{"SHA3_256/OpenSSL", "Test/KAT_SHA3", [] { return makeSHA3_256Tests<openssl::SHA3_256>(); }},
        KnownAnswerSuite{"SHA3_256/nettle", "Test/KAT_SHA3", [] { return makeSHA3_256Tests<nettle::SHA3_256>(); }},
        KnownAnswerSuite{"SHA3_384/OpenSSL", "Test/KAT_SHA3", [] { return makeSHA3_384Tests<openssl::SHA3_384>(); }},
        KnownAnswerSuite{"SHA3_384/nettle", "Test/KAT_SHA3", [] { return makeSHA3_384Tests<nettle::SHA3_384>(); }},
        KnownAnswerSuite{"SHA3_512/OpenSSL", "Test/KAT_SHA3", [] { return makeSHA3_512Tests<openssl::SHA3_512>(); }},
        KnownAnswerSuite{"SHA3_512/nettle", "Test/KAT_SHA3", [] { return makeSHA3_512Tests<nettle::SHA3_512>(); }}),
    [](const auto& info) {
      std::string name = info.param.name;
      std::replace(name.begin(), name.end(), '/', '_');
      return name;
    });

TEST(ShaSuites, Sha512StillHasExactly257KnownAnswers) {
  EXPECT_EQ(withoutGroups(makeSHA512Tests<openssl::SHA512>()).size(), 257u);
  EXPECT_EQ(diagnoseSHAVectors("SHA512").tests(), 257u);
}

// --- Faults -----------------------------------------------------------------

/// The suites a row runs, all leaves together.
std::vector<LeafResult> runAll(
    std::initializer_list<std::vector<quillon_tests::Test> (*)(const quillon_tests::SourceLocation&)> builders) {
  std::vector<LeafResult> results;
  for (auto build : builders) {
    auto some = runTests(build(quillon_tests::SourceLocation::current()));
    results.insert(results.end(), some.begin(), some.end());
  }
  return results;
}

struct FaultRow {
  const char* fault;
  std::function<std::vector<LeafResult>()> run;
  // The leaves that must fail: a name ending in "-" stands for every test
  // whose name begins with it, any other for that one leaf. All other leaves
  // must pass.
  std::vector<std::string> failing;
};

bool listed(const std::string& leaf, const std::string& entry) {
  return entry.ends_with('-') ? leaf.starts_with(entry) : leaf == entry;
}

const std::vector<FaultRow>& faultRows() {
  static const std::vector<FaultRow> rows{
      {"SHA-512/256 as SHA-512 truncated (SHA-512's initial values)",
       [] {
         using D = faulty::Sha512Truncated256;
         return runAll({&makeSHA512_256Tests<D>, &makeSHA512_256MonteTests<D>});
       },
       {"NistSHA512_256-", "MonteSHA512_256-"}},
      {"SHA3-256 with Keccak's padding byte 0x01",
       [] {
         using D = faulty::Sponge<256, 0x01>;
         return runAll({&makeSHA3_256Tests<D>, &makeSHA3_256MonteTests<D>});
       },
       {"NistSHA3_256-", "MonteSHA3_256-"}},
      {"SHA3-512 with Keccak's padding byte 0x01",
       [] {
         using D = faulty::Sponge<512, 0x01>;
         return runAll({&makeSHA3_512Tests<D>, &makeSHA3_512MonteTests<D>});
       },
       {"NistSHA3_512-", "MonteSHA3_512-"}},
      {"the same sponge with SHA-3's padding byte 0x06 (no fault)",
       [] {
         using D = faulty::Sponge<256, 0x06>;
         return runAll({&makeSHA3_256Tests<D>, &makeSHA3_256MonteTests<D>});
       },
       {}},
      {"SHA-256 reusing the previous final block for a message of the same length",
       [] {
         using D = faulty::CachedFinalBlock<openssl::SHA256>;
         return runAll({&makeSHA256Tests<D>, &makeSHA256MonteTests<D>});
       },
       {"MonteSHA256-"}},
      {"SHA3-384 reusing the previous final block for a message of the same length",
       [] {
         using D = faulty::CachedFinalBlock<nettle::SHA3_384>;
         return runAll({&makeSHA3_384Tests<D>, &makeSHA3_384MonteTests<D>});
       },
       {"MonteSHA3_384-"}},
      {"SHA-1 whose hash leaves out the last chunk",
       [] {
         using D = faulty::LosesLastChunk<openssl::SHA1>;
         return runAll({&makeSHA1MonteTests<D>});
       },
       {"MonteSHA1-0"}},
      {"SHA3-224 whose hash leaves out the last chunk",
       [] {
         using D = faulty::LosesLastChunk<nettle::SHA3_224>;
         return runAll({&makeSHA3_224MonteTests<D>});
       },
       {"MonteSHA3_224-0"}},
  };
  return rows;
}

class DigestFault : public ::testing::TestWithParam<std::size_t> {};

TEST_P(DigestFault, FailsExactlyTheListedTests) {
  const FaultRow& row = faultRows()[GetParam()];
  SCOPED_TRACE(row.fault);
  const std::vector<LeafResult> results = row.run();
  std::set<std::string> matched;
  std::size_t failed = 0;
  for (const LeafResult& result : results) {
    const std::string& leaf = result.path.back();
    bool mustFail = false;
    for (const std::string& entry : row.failing)
      if (listed(leaf, entry)) {
        mustFail = true;
        matched.insert(entry);
      }
    const Outcome expected = mustFail ? Outcome::failed : Outcome::passed;
    EXPECT_EQ(result.outcome, expected) << result.pathText() << "\n" << result.report;
    failed += result.outcome == Outcome::failed;
  }
  EXPECT_EQ(matched, std::set<std::string>(row.failing.begin(), row.failing.end()))
      << "every listed entry names at least one test";
  std::cout << "[ fault    ] " << row.fault << ": " << failed << " of " << results.size()
            << " tests fail\n";
}

INSTANTIATE_TEST_SUITE_P(Table, DigestFault, ::testing::Range<std::size_t>(0, faultRows().size()));

}  // namespace
