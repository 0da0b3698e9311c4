// The GCM, CCM and ChaCha20-Poly1305 known-answer suites: over crafted
// vector directories (names, rejection records, lengths a type refuses,
// NoVectorApplies), over the shipped vectors for the bindings, and against
// AEADs with one planted fault each, which must fail exactly the tests
// whose records expose the fault (worked out from the records, read
// independently of the suites).

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <primitives/botan/aead.hpp>
#include <primitives/nettle/aead.hpp>
#include <primitives/openssl/aead.hpp>
#include <quillon_tests/aead_kat.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/runner.hpp>

#include "aead/faulty_kat_aeads.hpp"
#include "support/temporary_data_dir.hpp"

namespace {

using namespace quillon_tests;
using quillon::ByteString;
namespace ossl = quillon::openssl;
// Spelled out: inside a TEST, Test is GoogleTest's.
using Tests = std::vector<quillon_tests::Test>;

/// What a list of tests did under the plain runner.
struct SuiteRun {
  std::vector<std::string> names;
  std::map<std::string, std::string> failed;  // name: report
  std::shared_ptr<const SelectionSummary> summary;
};

SuiteRun runAll(const Tests& tests) {
  SuiteRun run;
  for (const quillon_tests::Test& test : tests) run.names.push_back(test.name());
  run.summary = tests.front().selection();
  for (const LeafResult& result : runTests(tests)) {
    EXPECT_NE(result.outcome, Outcome::error) << result.pathText() << "\n" << result.report;
    if (result.outcome != Outcome::passed) run.failed[result.path.back()] = result.report;
  }
  return run;
}

/// "key refused 1 (192-bit 1); tag length refused 1 (4 bytes 1)".
std::string skips(const SelectionSummary& summary) {
  std::string text;
  for (const SelectionSummary::SkipReason& reason : summary.skipped) {
    text += (text.empty() ? "" : "; ") + reason.reason + " " + std::to_string(reason.records);
    for (std::size_t i = 0; i < reason.details.size(); ++i)
      text += (i == 0 ? " (" : ", ") + reason.details[i].label + " " + std::to_string(reason.details[i].records);
    if (!reason.details.empty()) text += ")";
  }
  return text;
}

// ------------------------------------------------------- crafted directories

/// Lines `first` to `last` (from 1) of a shipped vector file.
std::string shippedLines(const std::string& file, int first, int last) {
  std::ifstream in(std::string(QUILLON_TESTS_SOURCE_DATADIR) + "/Test/" + file, std::ios::binary);
  std::string text, line;
  for (int number = 1; number <= last && std::getline(in, line); ++number)
    if (number >= first) text += line + "\n";
  return text;
}

/// A type that takes only 13-byte nonces, else OpenSSL's AES-128-GCM.
struct Nonce13Gcm : ossl::AES128GCM {
  explicit Nonce13Gcm(ossl::AES128GCM inner) : ossl::AES128GCM(std::move(inner)) {}
  static std::optional<Nonce13Gcm> buildKey(quillon::ByteView bytes) {
    std::optional<ossl::AES128GCM> inner = ossl::AES128GCM::buildKey(bytes);
    if (!inner) return std::nullopt;
    return Nonce13Gcm(std::move(*inner));
  }
  static bool acceptsNonceLength(std::size_t bytes) { return bytes == 13; }
};

struct CraftedCase {
  const char* label;
  std::function<Tests()> build;
  std::vector<std::string> passed;  // every test passes, in this order
  std::size_t refusals;
  std::string skipped;
};

// Excerpts of the shipped files: each layout, a rejection record of each
// kind, a 4-byte tag, another key size, and a file that is no vectors.
TEST(AeadKatSuites, CraftedDirectoriesNameTestsCountRefusalsAndSkips) {
  test_support::TemporaryDataDir dir;
  dir.write("Test/KAT_AES_GCM/gcmDecrypt128.rsp", shippedLines("KAT_AES_GCM/gcmDecrypt128.rsp", 1, 28));
  dir.write("Test/KAT_AES_GCM/gcmDecrypt192.rsp", shippedLines("KAT_AES_GCM/gcmDecrypt192.rsp", 1, 20));
  dir.write("Test/KAT_AES_GCM/gcmEncryptExtIV128.rsp",
            shippedLines("KAT_AES_GCM/gcmEncryptExtIV128.rsp", 1, 20) +
                shippedLines("KAT_AES_GCM/gcmEncryptExtIV128.rsp", 763, 776));
  dir.write("Test/KAT_AES_GCM/README.txt", "not vectors\n");
  dir.write("Test/KAT_AES_CCM/VADT128.rsp",
            shippedLines("KAT_AES_CCM/VADT128.rsp", 1, 19) + shippedLines("KAT_AES_CCM/VADT128.rsp", 65, 74));
  dir.write("Test/KAT_AES_CCM/DVPT128.rsp", shippedLines("KAT_AES_CCM/DVPT128.rsp", 1, 22));
  dir.write("Test/KAT_CHACHA20_POLY1305/ChaCha20Poly1305OpenSSL.rsp",
            shippedLines("KAT_CHACHA20_POLY1305/ChaCha20Poly1305OpenSSL.rsp", 1, 22));

  const std::vector<std::string> gcmNames{"gcmDecrypt128-96-0-0-128-0", "gcmDecrypt128-96-0-0-128-1",
                                          "gcmEncryptExtIV128-96-0-0-128-0", "gcmEncryptExtIV128-96-0-0-32-0"};
  const std::vector<CraftedCase> cases{
      {"GCM: section lengths in the names, FAIL a refusal, another key size skipped",
       [] { return makeGCMTests<ossl::AES128GCM>(); }, gcmNames, 1, "key refused 1 (192-bit 1)"},
      {"GCM without 4-byte tags: the record skipped and counted by length",
       [] { return makeGCMTests<quillon::botan::AES128GCM>(); }, {gcmNames.begin(), gcmNames.end() - 1}, 1,
       "key refused 1 (192-bit 1); tag length refused 1 (4 bytes 1)"},
      {"CCM: lengths and Key before the records, Count through the file, Result = Fail a refusal",
       [] { return makeCCMTests<quillon::nettle::AES128CCM>(); },
       {"DVPT128-0", "DVPT128-1", "VADT128-0", "VADT128-10"}, 1, ""},
      {"ChaCha20-Poly1305: <file stem>-<Count>",
       [] { return makeChaCha20Poly1305Tests<quillon::botan::ChaCha20Poly1305>(); },
       {"ChaCha20Poly1305OpenSSL-0", "ChaCha20Poly1305OpenSSL-1"}, 1, ""},
  };
  for (const CraftedCase& c : cases) {
    SCOPED_TRACE(c.label);
    const SuiteRun run = runAll(c.build());
    EXPECT_EQ(run.names, c.passed);
    EXPECT_TRUE(run.failed.empty()) << run.failed.begin()->first << "\n" << run.failed.begin()->second;
    EXPECT_EQ(run.summary->refusals, c.refusals);
    EXPECT_EQ(skips(*run.summary), c.skipped);
  }

  // A type accepting none of the nonce lengths gets one failing test saying why.
  const SuiteRun none = runAll(makeGCMTests<Nonce13Gcm>());
  ASSERT_EQ(none.names, std::vector<std::string>{"NoVectorApplies"});
  EXPECT_NE(none.failed.at("NoVectorApplies").find("skipped, nonce length refused: 4 records (12 bytes 4)"),
            std::string::npos)
      << none.failed.at("NoVectorApplies");
}

// ---------------------------------------------------------- shipped vectors

struct ShippedCase {
  const char* label;
  std::function<std::vector<Tests>()> build;  // one list per type
  std::size_t tests, refusals;
};

TEST(AeadKatSuites, ShippedVectorsPassForTheBindingsWithUniqueNames) {
  using namespace quillon;
  const std::vector<ShippedCase> cases{
      {"GCM, nettle, all three key sizes (NIST's 47,250 and the 48 counter-wrap records)",
       [] { return std::vector<Tests>{makeGCMTests<nettle::AES128GCM>(), makeGCMTests<nettle::AES192GCM>(),
                               makeGCMTests<nettle::AES256GCM>()}; },
       47'298, 11'908},
      {"CCM, OpenSSL, all three key sizes (NIST's 2,880 and the 5 length records)",
       [] { return std::vector<Tests>{makeCCMTests<openssl::AES128CCM>(), makeCCMTests<openssl::AES192CCM>(),
                               makeCCMTests<openssl::AES256CCM>()}; },
       2'885, 481},
      {"ChaCha20-Poly1305, nettle",
       [] { return std::vector<Tests>{makeChaCha20Poly1305Tests<nettle::ChaCha20Poly1305>()}; },
       119, 1},
  };
  for (const ShippedCase& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> names;
    std::size_t tests = 0, refusals = 0;
    for (const Tests& list : c.build()) {
      const SuiteRun run = runAll(list);
      EXPECT_TRUE(run.failed.empty()) << run.failed.size() << " failed, first " << run.failed.begin()->first << "\n"
                                      << run.failed.begin()->second;
      names.insert(names.end(), run.names.begin(), run.names.end());
      tests += run.summary->tests;
      refusals += run.summary->refusals;
    }
    EXPECT_EQ(tests, c.tests);
    EXPECT_EQ(names.size(), c.tests);
    EXPECT_EQ(refusals, c.refusals);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size()) << "names repeated";
  }
}

TEST(AeadKatSuites, LengthsBotanRefusesAreSkippedAndCounted) {
  const Tests gcm = quillon_tests::makeGCMTests<quillon::botan::AES128GCM>();
  EXPECT_EQ(gcm.front().selection()->tests, 13'516u);
  EXPECT_EQ(skips(*gcm.front().selection()),
            "tag length refused 2250 (4 bytes 2250); key refused 31532 (192-bit 15766, 256-bit 15766)");
  const SuiteRun ccm = runAll(quillon_tests::makeCCMTests<quillon::botan::AES128CCM>());
  EXPECT_TRUE(ccm.failed.empty());
  EXPECT_EQ(ccm.names.size(), 963u);
  EXPECT_EQ(skips(*ccm.summary),
            "key refused 1920 (192-bit 960, 256-bit 960); AAD length refused 2 (65280 bytes 1, 65281 bytes 1)");
}

// ------------------------------------------------------------ planted faults

/// A record of the shipped files, read with the public parser, named as the
/// suites name it.
struct VectorRecord {
  std::string name, file;
  std::map<std::string, std::string> fields;  // the record's and its header's
  bool rejected = false;
};

std::vector<VectorRecord> shippedRecords(std::string_view directory, bool sectionNames) {
  std::vector<VectorRecord> records;
  const KatFiles files = loadKATFiles(directory, "Count");
  for (std::size_t f = 0; f < files.paths.size(); ++f)
    for (const KatCategory& category : files.files[f])
      for (const KatRecord& record : category.records) {
        VectorRecord r{std::string(fileStemOf(files.paths[f])), std::string(fileStemOf(files.paths[f])), {}, false};
        for (const auto& [key, value] : category.header) r.fields[key] = value;
        for (const auto& [key, value] : record) r.fields.emplace(key, value);
        r.rejected = r.fields.count("FAIL") > 0 || r.fields["Result"] == "Fail";
        if (sectionNames)
          for (const char* length : {"IVlen", "PTlen", "AADlen", "Taglen"}) r.name += "-" + r.fields.at(length);
        r.name += "-" + r.fields.at("Count");
        records.push_back(std::move(r));
      }
  return records;
}

/// Whether OpenSSL's tag of a GCM record's CT has the first byte of its Tag.
bool firstTagByteRight(const VectorRecord& r) {
  const ByteString key = hexStringToBS(r.fields.at("Key")), iv = hexStringToBS(r.fields.at("IV")),
                   aad = hexStringToBS(r.fields.at("AAD")), ct = hexStringToBS(r.fields.at("CT")),
                   tag = hexStringToBS(r.fields.at("Tag"));
  const auto aes = ossl::AES128GCM::buildKey(key);
  const ByteString keystream = *aes->seal(iv, aad, ByteString(ct.size(), 0), tag.size());
  std::vector<quillon::Byte> plaintext(ct.size());
  for (std::size_t i = 0; i < ct.size(); ++i) plaintext[i] = ct[i] ^ keystream[i];
  return (*aes->seal(iv, aad, ByteString(plaintext), tag.size()))[ct.size()] == tag[0];
}

struct FaultCase {
  const char* fault;
  std::function<Tests()> build;
  std::string_view directory;
  std::function<bool(const VectorRecord&)> fails;  // of the AES-128 (or ChaCha20) records
  std::size_t failures;
  // The report of the first failing test whose name starts with the first
  // string matches the others (regular expressions).
  std::vector<std::string> report = {};
};

TEST(AeadKatSuites, PlantedFaultsFailExactlyTheTestsWhoseRecordsExposeThem) {
  using namespace faulty_kat;
  auto ivBits = [](const VectorRecord& r) { return r.fields.at("IVlen"); };
  const std::vector<FaultCase> cases{
      {"GCM counter incremented over 128 bits", [] { return makeGCMTests<GcmCounter128>(); },
       "Test/KAT_AES_GCM", [](const VectorRecord& r) { return r.file == "gcmEncryptExtIVWrap128"; }, 16,
       {"gcmEncryptExtIVWrap128-8-256-160-128-0", "gcmEncryptExtIVWrap128\\.rsp, record 1 \\(line 16\\)",
        "expected: 94596eb563e20b43", "expected = CT from the vector file",
        "got = seal\\(Key, IV, AAD, PT\\) with a tag as long as Tag, computed by the AEAD",
        "the vector's value is CT followed by Tag"}},
      {"GCM IV of other than 96 bits cut to 12 bytes",
       [] { return makeGCMTests<Faulty<ossl::AES128GCM, Fault::nonceCutTo12>>(); },
       "Test/KAT_AES_GCM", [&](const VectorRecord& r) { return !r.rejected && ivBits(r) != "96"; }, 7'868,
       {"gcmDecrypt128-", " but got: \\(refused: no output\\)", "expected = PT from the vector file",
        "the operation refused where the vector expects output"}},
      {"GCM tag compared on its first byte",
       [] { return makeGCMTests<Faulty<ossl::AES128GCM, Fault::firstTagByte>>(); }, "Test/KAT_AES_GCM",
       [](const VectorRecord& r) { return r.rejected && firstTagByteRight(r); }, 13},
      {"ChaCha20-Poly1305 tag compared on its first byte",
       [] { return makeChaCha20Poly1305Tests<Faulty<ossl::ChaCha20Poly1305, Fault::firstTagByte>>(); },
       "Test/KAT_CHACHA20_POLY1305", [](const VectorRecord& r) { return r.rejected; }, 1},
      {"GCM text returned when the tag is wrong",
       [] { return makeGCMTests<Faulty<ossl::AES128GCM, Fault::textOnBadTag>>(); }, "Test/KAT_AES_GCM",
       [](const VectorRecord& r) { return r.rejected; }, 4'011,
       // The 16 bytes of plaintext released.
       {"gcmDecrypt128-96-128-", "expected: \\(refused: no output\\)\n but got: [0-9a-f]{32}\n",
        "expected = a refusal: the record carries FAIL",
        "the operation gave output where the vector expects a refusal", "each must give nothing"}},
      // Not the over-long DVPTLengths record: there the keystream itself is refused.
      {"CCM text returned when the tag is wrong",
       [] { return makeCCMTests<Faulty<ossl::AES128CCM, Fault::textOnBadTag>>(); }, "Test/KAT_AES_CCM",
       [](const VectorRecord& r) { return r.rejected && r.file == "DVPT128"; }, 160},
      {"CCM AAD length of 0xFF00 and more in the 2-byte form", [] { return makeCCMTests<CcmShortAadLength>(); },
       "Test/KAT_AES_CCM",
       [](const VectorRecord& r) { return r.name == "DVPTLengths128-1" || r.name == "DVPTLengths128-2"; },
       2},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.fault);
    const bool gcm = c.directory == "Test/KAT_AES_GCM";
    std::set<std::string> expected;
    for (const VectorRecord& r : shippedRecords(c.directory, gcm))
      if ((!c.directory.starts_with("Test/KAT_AES") || r.file.ends_with("128")) && c.fails(r)) expected.insert(r.name);
    const SuiteRun run = runAll(c.build());
    std::set<std::string> failed;
    for (const auto& [name, report] : run.failed) failed.insert(name);
    EXPECT_EQ(failed, expected);
    EXPECT_EQ(failed.size(), c.failures);
    if (c.report.empty()) continue;
    const auto shown = std::find_if(run.failed.begin(), run.failed.end(),
                                    [&](const auto& entry) { return entry.first.starts_with(c.report[0]); });
    ASSERT_NE(shown, run.failed.end());
    for (std::size_t i = 1; i < c.report.size(); ++i)
      EXPECT_TRUE(std::regex_search(shown->second, std::regex(c.report[i]))) << c.report[i] << " in\n" << shown->second;
  }
}

}  // namespace
