// The digest Monte Carlo suites: over the shipped NIST files for both
// bindings, and over edited copies of one file for selection, skipping and
// reports.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include <primitives/nettle/digests.hpp>
#include <primitives/openssl/digests.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/monte.hpp>
#include <quillon_tests/runner.hpp>

#include "suites/faulty_digests.hpp"
#include "support/outcomes.hpp"
#include "support/temporary_data_dir.hpp"

namespace {

using namespace quillon_tests;
using test_support::leafNames;
using test_support::outcomeLetters;
using test_support::TemporaryDataDir;
namespace openssl = quillon::openssl;
namespace nettle = quillon::nettle;

std::string readShipped(const std::string& relativePath) {
  std::ifstream in(std::string(QUILLON_TESTS_SOURCE_DATADIR) + "/" + relativePath, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (text.str().empty()) throw std::runtime_error("cannot read " + relativePath);
  return text.str();
}

// The shipped file cut after its first `records` records.
std::string firstRecords(const std::string& text, int records) {
  const std::size_t end = text.find("COUNT = " + std::to_string(records) + "\r\n");
  return end == std::string::npos ? text : text.substr(0, end);
}

void replaceOnce(std::string& text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) throw std::runtime_error("not in the text: " + from);
  text.replace(at, from.size(), to);
}

// --- The shipped files, both bindings -----------------------------------

struct ShippedSuite {
  const char* name;
  std::function<std::vector<quillon_tests::Test>()> build;
};

std::vector<ShippedSuite> shippedSuites() {
  return {
      {"SHA1/OpenSSL", [] { return makeSHA1MonteTests<openssl::SHA1>(); }},
      {"SHA1/nettle", [] { return makeSHA1MonteTests<nettle::SHA1>(); }},
      {"SHA224/OpenSSL", [] { return makeSHA224MonteTests<openssl::SHA224>(); }},
      {"SHA224/nettle", [] { return makeSHA224MonteTests<nettle::SHA224>(); }},
      {"SHA256/OpenSSL", [] { return makeSHA256MonteTests<openssl::SHA256>(); }},
      {"SHA256/nettle", [] { return makeSHA256MonteTests<nettle::SHA256>(); }},
      {"SHA384/OpenSSL", [] { return makeSHA384MonteTests<openssl::SHA384>(); }},
      {"SHA384/nettle", [] { return makeSHA384MonteTests<nettle::SHA384>(); }},
      {"SHA512/OpenSSL", [] { return makeSHA512MonteTests<openssl::SHA512>(); }},
      {"SHA512/nettle", [] { return makeSHA512MonteTests<nettle::SHA512>(); }},
      {"SHA512_224/OpenSSL", [] { return makeSHA512_224MonteTests<openssl::SHA512_224>(); }},
      {"SHA512_224/nettle", [] { return makeSHA512_224MonteTests<nettle::SHA512_224>(); }},
      {"SHA512_256/OpenSSL", [] { return makeSHA512_256MonteTests<openssl::SHA512_256>(); }},
      {"SHA512_256/nettle", [] { return makeSHA512_256MonteTests<nettle::SHA512_256>(); }},
      {"SHA3_224/OpenSSL", [] { return makeSHA3_224MonteTests<openssl::SHA3_224>(); }},
      {"SHA3_224/nettle", [] { return makeSHA3_224MonteTests<nettle::SHA3_224>(); }},
      {"SHA3_256/OpenSSL", [] { return makeSHA3_256MonteTests<openssl::SHA3_256>(); }},
      {"SHA3_256/nettle", [] { return makeSHA3_256MonteTests<nettle::SHA3_256>(); }},
      {"SHA3_384/OpenSSL", [] { return makeSHA3_384MonteTests<openssl::SHA3_384>(); }},
      {"SHA3_384/nettle", [] { return makeSHA3_384MonteTests<nettle::SHA3_384>(); }},
      {"SHA3_512/OpenSSL", [] { return makeSHA3_512MonteTests<openssl::SHA3_512>(); }},
      {"SHA3_512/nettle", [] { return makeSHA3_512MonteTests<nettle::SHA3_512>(); }},
  };
}

class ShippedMonteFile : public ::testing::TestWithParam<ShippedSuite> {};

TEST_P(ShippedMonteFile, EveryCheckpointPasses) {
  const std::vector<quillon_tests::Test> tests = GetParam().build();
  ASSERT_EQ(tests.size(), 100u);
  const auto results = runTests(tests);
  EXPECT_EQ(outcomeLetters(results), std::string(100, 'P'));
  for (const LeafResult& result : results)
    if (result.outcome != Outcome::passed) ADD_FAILURE() << result.report;
}

INSTANTIATE_TEST_SUITE_P(BothBindings, ShippedMonteFile, ::testing::ValuesIn(shippedSuites()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           std::replace(name.begin(), name.end(), '/', '_');
                           return name;
                         });

TEST(MonteSuites, SelectionKeepsSha512AwayFromItsTruncatedVariants) {
  const SuiteDiagnostics diagnostics = diagnoseMonteVectors("SHA512");
  EXPECT_EQ(diagnostics.tests(), 100u);
  std::vector<std::string> read;
  for (const FileDiagnostics& file : diagnostics.files)
    if (file.note.empty()) read.push_back(std::string(fileNameOf(file.path)));
  EXPECT_EQ(read, std::vector<std::string>{"SHA512Monte.rsp"});
  EXPECT_THROW(diagnoseMonteVectors("SHA3"), std::invalid_argument);
}

// --- Edited copies of the shipped SHA-256 file ---------------------------

class MonteEditedFile : public ::testing::Test {
 protected:
  std::string text = firstRecords(readShipped("Test/KAT_SHA/SHA256Monte.rsp"), 5);
  TemporaryDataDir data;

  template <class D = openssl::SHA256>
  std::vector<LeafResult> run() {
    data.write("Test/KAT_SHA/SHA256Monte.rsp", text);
    return runTests(makeSHA256MonteTests<D>());
  }
};

TEST_F(MonteEditedFile, AWrongCheckpointFailsItselfAndTheOneThatStartsFromIt) {
  // Record 3 (COUNT = 2): its digest's first hex digit changed.
  const std::size_t at = text.find("MD = ", text.find("COUNT = 2\r\n")) + 5;
  const std::string original = text.substr(at, 64);
  text[at] = text[at] == '0' ? '1' : '0';
  const std::string edited = text.substr(at, 64);
  const auto results = run();
  ASSERT_EQ(outcomeLetters(results), "PPFFP");
  const std::string& report = results[2].report;
  for (const std::string& needle :
       {std::string("MonteSHA256-2"), "expected: " + edited, " but got: " + original,
        std::string("SHA256Monte.rsp, record 3"), std::string("1000 digests after the seed"),
        std::string("over the last three digests")})
    EXPECT_NE(report.find(needle), std::string::npos) << needle << " missing in\n" << report;
}

TEST_F(MonteEditedFile, OnlyTheFirstCheckpointAlsoRunsTheChunkedChain) {
  // hashStrict right, hash wrong: only the record that runs both chains fails.
  const auto results = run<faulty_digests::LosesLastChunk<openssl::SHA256>>();
  ASSERT_EQ(outcomeLetters(results), "FPPPP");
  const std::string& report = results[0].report;
  for (const char* needle :
       {"MonteSHA256-0", "first component: equal", "second component: DIFFERS",
        "first = every digest by hashStrict, second = every digest by hash over 13-byte chunks"})
    EXPECT_NE(report.find(needle), std::string::npos) << needle << " missing in\n" << report;
}

TEST_F(MonteEditedFile, RecordsWithoutAStartingPointAreSkippedAndSaidWhy) {
  struct Case {
    const char* edit;
    std::function<void(std::string&)> apply;
    std::vector<std::string> names;
    std::vector<std::pair<std::size_t, std::string>> skipped;
  };
  const std::vector<Case> cases{
      {"no Seed",
       [](std::string& t) { replaceOnce(t, "Seed = ", "Sead = "); },
       {"MonteSHA256-1", "MonteSHA256-2", "MonteSHA256-3", "MonteSHA256-4"},
       {{1, "missing \"MD\" in the previous record, \"Seed\" in the category header or "
            "\"Seed\" outside the records"}}},
      {"record 3 without MD",
       [](std::string& t) {
         const std::size_t at = t.find("MD = ", t.find("COUNT = 2\r\n"));
         t.replace(at, 2, "XX");
       },
       {"MonteSHA256-0", "MonteSHA256-1", "MonteSHA256-4"},
       {{3, "missing \"MD\""},
        {4, "missing \"MD\" in the previous record, \"Seed\" in the category header or "
            "\"Seed\" outside the records"}}},
  };
  const std::string shipped = text;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit);
    text = shipped;
    c.apply(text);
    const auto results = run();
    EXPECT_EQ(outcomeLetters(results), std::string(c.names.size(), 'P'));
    EXPECT_EQ(leafNames(makeSHA256MonteTests<openssl::SHA256>()), c.names);
    const SuiteDiagnostics diagnostics = diagnoseMonteVectors("SHA256");
    std::vector<std::pair<std::size_t, std::string>> skipped;
    for (const FileDiagnostics& file : diagnostics.files)
      for (const SkippedRecord& record : file.skipped) skipped.emplace_back(record.record, record.reason);
    EXPECT_EQ(skipped, c.skipped);
  }
}

}  // namespace
