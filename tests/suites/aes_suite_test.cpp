// The AES known-answer suite over vector directories built by the tests and
// over the shipped vectors, with OpenSSL's AES and with faulty variants of it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include <primitives/openssl/aes.hpp>
#include <quillon_tests/aes.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/runner.hpp>

#include "kat_suites.hpp"
#include "support/bytes.hpp"
#include "support/outcomes.hpp"
#include "support/temporary_data_dir.hpp"

namespace {

using namespace quillon_tests;
using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;
using quillon::IV;
using quillon::ModeResult;
using namespace test_support;
namespace openssl = quillon::openssl;
using Aes128 = openssl::AES128;

// --- crafted vector files ----------------------------------------------

/// One record as its lines; a field that is nullopt is left out.
struct Fields {
  std::string count;
  std::optional<std::string> key, iv, plaintext, ciphertext;
  std::string extraLines;
};

std::string text(const Fields& f) {
  std::string out = "COUNT = " + f.count + "\n";
  if (f.key) out += "KEY = " + *f.key + "\n";
  if (f.iv) out += "IV = " + *f.iv + "\n";
  if (f.plaintext) out += "PLAINTEXT = " + *f.plaintext + "\n";
  if (f.ciphertext) out += "CIPHERTEXT = " + *f.ciphertext + "\n";
  return out + f.extraLines + "\n";
}

/// The correct output of `keyText`'s operation, from OpenSSL AES-128.
ByteString reference(std::string_view keyText, const ByteString& key, ByteView iv,
                     const ByteString& input) {
  const Aes128 k = *Aes128::buildKey(key);
  const std::string_view mode = keyText.substr(0, 3);
  const bool encrypt = keyText.back() == 'e';
  if (mode == "ECB") return encrypt ? k.encryptBlock(input) : k.decryptBlock(input);
  const IV<Aes128> v = ivOf<Aes128>(iv);
  if (mode == "CBC") return (encrypt ? quillon::cbc(k, v, input) : quillon::unCbc(k, v, input)).first;
  if (mode == "CFB") return (encrypt ? quillon::cfb(k, v, input) : quillon::unCfb(k, v, input)).first;
  return quillon::ofb(k, v, input).first;
}

/// A record that a correct AES-128 passes as a `keyText` vector: `blocks`
/// blocks of text and, for the IV kinds, an IV of `ivBytes` bytes (of which
/// the cipher reads the first 16).
Fields goodRecord(std::string_view keyText, const std::string& count, std::size_t blocks = 1,
                  std::size_t ivBytes = 16) {
  const unsigned seed = static_cast<unsigned>(std::stoul(count)) + 3 * static_cast<unsigned>(keyText[0]);
  const ByteString key = pattern(16, seed), iv = pattern(ivBytes, seed + 1),
                   input = pattern(16 * blocks, seed + 2);
  const ByteString output = reference(keyText, key, iv.view().first(std::min<std::size_t>(16, ivBytes)), input);
  const bool encrypt = keyText.back() == 'e';
  Fields fields{count, hex(key), std::nullopt, hex(encrypt ? input : output),
                hex(encrypt ? output : input), {}};
  if (keyText.substr(0, 3) != "ECB") fields.iv = hex(iv);
  return fields;
}

std::vector<std::string> failing(const std::vector<LeafResult>& results) {
  std::vector<std::string> names;
  for (const LeafResult& result : results)
    if (result.outcome != Outcome::passed) names.push_back(result.path.back());
  return names;
}

TEST(AesSuite, FileKindComesFromTheFirstThreeCharactersAndTheStemsLastOne) {
  using detail::ModeCall;
  using quillon::Mode;
  constexpr auto e = quillon::Direction::encrypt;
  constexpr auto d = quillon::Direction::decrypt;
  const std::vector<std::pair<std::string, std::optional<ModeCall>>> cases = {
      {"CBCGFSbox128e.rsp", ModeCall{Mode::cbc, e}}, {"ECBVarKey256d.rsp", ModeCall{Mode::ecb, d, true}},
      {"ECBe", ModeCall{Mode::ecb, e, true}},        {"OFBd.x", ModeCall{Mode::ofb, d}},
      {"CBCd.CFB128", ModeCall{Mode::cbc, d}},       {"CFB128MMT192e.rsp", ModeCall{Mode::cfb, e}},
      {"CFBe.CFB128", ModeCall{Mode::cfb, e}},  // "CFB128" may stand anywhere in the name
      {"CFB8e.txt", std::nullopt},                   {"CFB1MMT128d.rsp", std::nullopt},
      {"ECB1.txt", std::nullopt},                    {"ecbe.rsp", std::nullopt},
      {"ECBe.rsp.bak", std::nullopt},                {"EC", std::nullopt},
      {".hidden", std::nullopt},                     {".ECBe", std::nullopt},
      {"ECBx.e", std::nullopt}};
  for (const auto& [name, kind] : cases) EXPECT_EQ(detail::aesFileKind(name), kind) << name;
  EXPECT_EQ(detail::aesKeyText("CFB8e.txt"), "CFBe");
  EXPECT_EQ(detail::aesKeyText(".hidden"), std::nullopt);
}

TEST(AesSuite, EachSupportedKindRunsItsOwnOperationAndOtherNamesGiveNothing) {
  TemporaryDataDir data;
  std::vector<std::string> expected;
  for (const char* keyText : {"ECBe", "ECBd", "CBCe", "CBCd", "OFBe", "OFBd"}) {
    data.write(std::string("Test/KAT_AES/") + keyText + ".rsp", "[X]\n" + text(goodRecord(keyText, "0", 3)));
    expected.push_back(std::string(keyText) + ".rsp-0");
  }
  // Two blocks or more: a mode mixed up with another that shares its first
  // block (OFB and CFB) still fails.
  data.write("Test/KAT_AES/CFB128e.txt", text(goodRecord("CFBe", "4", 2)));
  data.write("Test/KAT_AES/CFB128d.txt", text(goodRecord("CFBd", "5", 2)));
  expected.insert(expected.end(), {"CFB128e.txt-4", "CFB128d.txt-5"});
  // Not full-block feedback: nothing, whatever its records hold.
  data.write("Test/KAT_AES/CFB8e.txt", text(goodRecord("CFBe", "1")));

  const std::vector<quillon_tests::Test> tests = makeAESTests<Aes128>();
  EXPECT_EQ(sorted(leafNames(tests)), sorted(expected));
  EXPECT_EQ(failing(runTests(withoutGroups(tests))), std::vector<std::string>{});
}

TEST(AesSuite, RecordsAreSkippedByTheRulesInTheirOrderAndTheRestStillRun) {
  Fields noIV = goodRecord("CBCe", "1");
  noIV.iv.reset();
  Fields shortIV = goodRecord("CBCe", "2");
  shortIV.iv = hex(pattern(15, 9));
  Fields missingPlaintextAndKey = goodRecord("CBCe", "7");
  missingPlaintextAndKey.plaintext.reset();
  missingPlaintextAndKey.key.reset();
  Fields refusedKey = goodRecord("CBCe", "4");
  refusedKey.key = hex(pattern(24, 4));  // AES-192's size: refused by AES-128
  Fields twoKeys = goodRecord("CBCe", "6");
  twoKeys.extraLines = "KEY = " + hex(pattern(16, 77)) + "\n";  // the first KEY counts

  TemporaryDataDir data;
  data.write("Test/KAT_AES/CBCe.txt",
             "[ENCRYPT]\n" + text(goodRecord("CBCe", "0")) + text(noIV) + text(shortIV) +
                 text(goodRecord("CBCe", "3", 2, 20)) + text(refusedKey) +
                 text(goodRecord("CBCe", "5")) + text(twoKeys) + text(missingPlaintextAndKey));
  // A record without "IV" is an ordinary vector in an ECB file.
  data.write("Test/KAT_AES/ECBe", text(goodRecord("ECBe", "0")));
  // Of no supported kind, whatever they hold.
  data.write("Test/KAT_AES/CFB8e.txt", text(goodRecord("CFBe", "1")));
  data.write("Test/KAT_AES/.hidden", text(goodRecord("ECBe", "2")));
  data.write("Test/KAT_AES/ECB1.txt", text(goodRecord("ECBe", "3")));

  const std::vector<quillon_tests::Test> tests = makeAESTests<Aes128>();
  EXPECT_EQ(sorted(leafNames(tests)),
            (std::vector<std::string>{"CBCe.txt-0", "CBCe.txt-3", "CBCe.txt-5", "CBCe.txt-6", "ECBe-0"}));
  EXPECT_EQ(failing(runTests(withoutGroups(tests))), std::vector<std::string>{});

  // The diagnostics run the same selection and say why.
  const SuiteDiagnostics diagnostics = diagnoseAESVectors<Aes128>();
  EXPECT_EQ(diagnostics.tests(), 5u);
  EXPECT_EQ(diagnostics.directory, (data.root() / "Test/KAT_AES").string());
  auto file = [&](std::string_view name) {
    for (const FileDiagnostics& f : diagnostics.files)
      if (fileNameOf(f.path) == name) return f;
    return FileDiagnostics{"(not listed)", 0, 0, 0, {}, {}};
  };
  EXPECT_EQ(file(".hidden").note, "no file kind: the name's stem is empty");
  EXPECT_EQ(file("ECB1.txt").note, "unsupported file kind \"ECB1\"");
  EXPECT_EQ(file("CFB8e.txt").note,
            "unsupported file kind \"CFBe\": CFB files count only with \"CFB128\" in the name");
  EXPECT_EQ(file("CFB8e.txt").records, 1u);
  const FileDiagnostics cbc = file("CBCe.txt");
  EXPECT_EQ(cbc.categories, 1u);
  EXPECT_EQ(cbc.records, 8u);
  EXPECT_EQ(cbc.tests, 4u);
  std::vector<std::pair<std::size_t, std::string>> skipped;
  for (const SkippedRecord& s : cbc.skipped) skipped.emplace_back(s.record, s.reason);
  EXPECT_EQ(skipped, (std::vector<std::pair<std::size_t, std::string>>{
                         {2, "missing \"IV\""},
                         {3, "IV does not deserialise"},
                         {5, "key refused by buildKey"},
                         {8, "missing \"PLAINTEXT\""}}));
}

TEST(AesSuite, EveryCategoryOfAFileGoesWithThatFilesOwnNameAndKind) {
  // Two categories in one file and none in another must not shift the
  // names or kinds of the other files, whatever the listing order.
  TemporaryDataDir data;
  data.write("Test/KAT_AES/ECBe.rsp", "[ENCRYPT]\n" + text(goodRecord("ECBe", "0", 2)) +
                                          "[ENCRYPT]\n" + text(goodRecord("ECBe", "1", 2)));
  data.write("Test/KAT_AES/ECBd.rsp", "# no category at all\n");
  data.write("Test/KAT_AES/OFBd.rsp", "[DECRYPT]\n" + text(goodRecord("OFBd", "0", 2)));
  data.write("Test/KAT_AES/CBCe.rsp", "[ENCRYPT]\n" + text(goodRecord("CBCe", "0", 2)));
  const std::vector<quillon_tests::Test> tests = makeAESTests<Aes128>();
  EXPECT_EQ(sorted(leafNames(tests)),
            (std::vector<std::string>{"CBCe.rsp-0", "ECBe.rsp-0", "ECBe.rsp-1", "OFBd.rsp-0"}));
  EXPECT_EQ(failing(runTests(withoutGroups(tests))), std::vector<std::string>{});
}

TEST(AesSuite, MalformedTextFailsOnlyItsTestWhileAMalformedIVOrKeyStopsTheBuilder) {
  {
    TemporaryDataDir data;
    Fields badText = goodRecord("ECBe", "1");
    badText.plaintext = "zz";
    data.write("Test/KAT_AES/ECBe.rsp", text(goodRecord("ECBe", "0")) + text(badText) +
                                            text(goodRecord("ECBe", "2")));
    const auto results = runTests(withoutGroups(makeAESTests<Aes128>()));
    EXPECT_EQ(outcomeLetters(results), "PEP");
  }
  for (const char* field : {"IV", "KEY"}) {
    TemporaryDataDir data;
    Fields bad = goodRecord("CBCd", "0");
    (std::string(field) == "IV" ? bad.iv : bad.key) = "0g0";
    data.write("Test/KAT_AES/CBCd.rsp", text(goodRecord("CBCd", "1")) + text(bad));
    try {
      makeAESTests<Aes128>();
      ADD_FAILURE() << field << ": the builder should have failed";
    } catch (const HexDecodeError& error) {
      const std::string what = error.what();
      EXPECT_NE(what.find("Not an even number of hex characters"), std::string::npos) << what;
      EXPECT_NE(what.find(std::string("\"") + field + "\""), std::string::npos) << what;
      EXPECT_NE(what.find("CBCd.rsp, record 2"), std::string::npos) << what;
    }
  }
}

TEST(AesSuite, AnEmptyDirectoryGivesAFailingTestAndThePropertyGroupsAndAMissingOneFails) {
  TemporaryDataDir data;
  EXPECT_THROW(makeAESTests<Aes128>(), DataFileError);
  data.makeDirectory("Test/KAT_AES");
  const auto tests = makeAESTests<Aes128>();
  ASSERT_EQ(tests.size(), 3u);
  EXPECT_EQ(tests[0].name(), "NoVectorApplies");
  EXPECT_EQ(tests[1].kind(), TestKind::group);
  EXPECT_EQ(tests[2].kind(), TestKind::group);
}

/// A cipher whose buildKey compares the byte count with bits, as a user's
/// first binding did: it refuses every key of the shipped vectors.
struct BitsForBytesCipher {
  static int blockSize() { return 128; }
  static int keyLength() { return 128; }
  static std::optional<BitsForBytesCipher> buildKey(ByteView bytes) {
    if (bytes.size() != 128) return std::nullopt;
    return BitsForBytesCipher{};
  }
  [[nodiscard]] ByteString encryptBlock(ByteView b) const { return ByteString(b); }
  [[nodiscard]] ByteString decryptBlock(ByteView b) const { return ByteString(b); }
};

TEST(AesSuite, TheSummaryCountsSkippedRecordsByKeySizeAndACipherRefusingEveryKeyFails) {
  const std::vector<quillon_tests::Test> sound = withoutGroups(makeAESTests<Aes128>());
  ASSERT_TRUE(sound.front().selection());
  const SelectionSummary& summary = *sound.front().selection();
  EXPECT_EQ(summary.title, "AES known answers");
  EXPECT_EQ(summary.tests, sound.size());
  EXPECT_EQ(summary.tests, 2352u);
  ASSERT_EQ(summary.skipped.size(), 1u);
  EXPECT_EQ(summary.skipped[0].reason, "key refused");
  EXPECT_EQ(summary.skipped[0].records, 6200u);
  std::vector<std::pair<std::string, std::size_t>> details;
  for (const auto& detail : summary.skipped[0].details) details.emplace_back(detail.label, detail.records);
  EXPECT_EQ(details, (std::vector<std::pair<std::string, std::size_t>>{{"192-bit", 2880}, {"256-bit", 3320}}));
  for (const quillon_tests::Test& test : sound) EXPECT_EQ(test.selection(), sound.front().selection());

  const std::vector<LeafResult> refused = runTests(withoutGroups(makeAESTests<BitsForBytesCipher>()));
  ASSERT_EQ(outcomeLetters(refused), "F");
  EXPECT_EQ(refused[0].path.back(), "NoVectorApplies");
  EXPECT_NE(refused[0].report.find("makeAESTests applies no vector to this type"), std::string::npos);
  EXPECT_NE(refused[0].report.find("skipped, key refused: 8,552 records (128-bit 2,352, 192-bit 2,880, 256-bit 3,320)"),
            std::string::npos)
      << refused[0].report;
}

// --- faulty ciphers ----------------------------------------------------

enum class AesFault { none, keySchedule192, cbcDecryptForgetsIV, ofbDecryptsAsCfb };

/// OpenSSL AES for all three key sizes in one type, so that one run takes
/// every shipped vector; with one deliberate fault unless F is none.
template <AesFault F>
class AnySizeAes {
 public:
  static int blockSize() { return 128; }
  static int keyLength() { return 256; }

  static std::optional<AnySizeAes> buildKey(ByteView bytes) {
    switch (bytes.size()) {
      case 16: return AnySizeAes{*openssl::AES128::buildKey(bytes)};
      case 24: {
        // The faulty schedule takes the last key byte with its low bit flipped.
        std::vector<Byte> key(bytes.begin(), bytes.end());
        if (F == AesFault::keySchedule192) key.back() ^= 1;
        return AnySizeAes{*openssl::AES192::buildKey(ByteString(std::move(key)))};
      }
      case 32: return AnySizeAes{*openssl::AES256::buildKey(bytes)};
      default: return std::nullopt;
    }
  }

  [[nodiscard]] ByteString encryptBlock(ByteView b) const {
    return std::visit([&](const auto& key) { return key.encryptBlock(b); }, key_);
  }
  [[nodiscard]] ByteString decryptBlock(ByteView b) const {
    return std::visit([&](const auto& key) { return key.decryptBlock(b); }, key_);
  }

  using Iv = IV<AnySizeAes>;
  ModeResult<AnySizeAes> cbc(const Iv& iv, ByteView b) const { return run(cbcMode, iv.bytes(), b); }
  ModeResult<AnySizeAes> unCbc(const Iv& iv, ByteView b) const {
    // The faulty decryption leaves the IV out of the first block.
    if (F == AesFault::cbcDecryptForgetsIV) return run(unCbcMode, ByteString(16, 0), b);
    return run(unCbcMode, iv.bytes(), b);
  }
  ModeResult<AnySizeAes> cfb(const Iv& iv, ByteView b) const { return run(cfbMode, iv.bytes(), b); }
  ModeResult<AnySizeAes> unCfb(const Iv& iv, ByteView b) const { return run(unCfbMode, iv.bytes(), b); }
  ModeResult<AnySizeAes> ofb(const Iv& iv, ByteView b) const { return run(ofbMode, iv.bytes(), b); }
  ModeResult<AnySizeAes> unOfb(const Iv& iv, ByteView b) const {
    if (F == AesFault::ofbDecryptsAsCfb) return run(unCfbMode, iv.bytes(), b);
    return run(ofbMode, iv.bytes(), b);
  }

 private:
  using Key = std::variant<openssl::AES128, openssl::AES192, openssl::AES256>;
  explicit AnySizeAes(Key key) : key_(std::move(key)) {}

  // The quillon mode functions, for any of the three inner key types.
  static constexpr auto cbcMode = [](const auto& k, const auto& v, ByteView b) { return quillon::cbc(k, v, b); };
  static constexpr auto unCbcMode = [](const auto& k, const auto& v, ByteView b) { return quillon::unCbc(k, v, b); };
  static constexpr auto cfbMode = [](const auto& k, const auto& v, ByteView b) { return quillon::cfb(k, v, b); };
  static constexpr auto unCfbMode = [](const auto& k, const auto& v, ByteView b) { return quillon::unCfb(k, v, b); };
  static constexpr auto ofbMode = [](const auto& k, const auto& v, ByteView b) { return quillon::ofb(k, v, b); };

  /// The inner key's mode from `iv`, the IV carried across the key types.
  template <class Mode>
  ModeResult<AnySizeAes> run(Mode mode, ByteView iv, ByteView b) const {
    return std::visit(
        [&](const auto& key) {
          using Inner = std::decay_t<decltype(key)>;
          auto [out, next] = mode(key, ivOf<Inner>(iv), b);
          return ModeResult<AnySizeAes>{std::move(out), ivOf<AnySizeAes>(next.bytes())};
        },
        key_);
  }
  Key key_;
};

/// A shipped AES record, read independently of the suite, under the name
/// the suite gives its test.
struct ShippedRecord {
  std::string name, file, key, iv, ciphertext;
};

std::vector<ShippedRecord> shippedRecords() {
  const KatFiles files = loadKATFiles("Test/KAT_AES", "COUNT");
  std::vector<ShippedRecord> records;
  for (std::size_t i = 0; i < files.files.size(); ++i) {
    const std::string file(fileNameOf(files.paths[i]));
    for (const KatCategory& category : files.files[i])
      for (const KatRecord& record : category.records) {
        auto field = [&](const char* key) {
          const std::string* value = findProperty(record, key);
          return value ? *value : std::string();
        };
        records.push_back({file + "-" + field("COUNT"), file, field("KEY"), field("IV"),
                           field("CIPHERTEXT")});
      }
  }
  return records;
}

bool decryptsIn(const ShippedRecord& r, std::string_view mode) {
  return r.file.starts_with(mode) && fileStemOf(r.file).ends_with("d");
}

/// Runs the shipped AES known-answer tests with AnySizeAes<F> and checks that
/// exactly the tests of the records that `exposes` picks fail.
template <AesFault F, class Exposes>
void expectExactlyExposedVectorsFail(Exposes exposes) {
  TemporaryDataDir data;  // holding only the shipped AES vectors
  std::filesystem::create_directory(data.root() / "Test");
  std::filesystem::create_directory_symlink(QUILLON_TESTS_SOURCE_DATADIR "/Test/KAT_AES",
                                            data.root() / "Test/KAT_AES");
  const std::vector<ShippedRecord> records = shippedRecords();
  std::vector<std::string> expected;
  for (const ShippedRecord& record : records)
    if (exposes(record)) expected.push_back(record.name);
  if (F != AesFault::none) {
    ASSERT_FALSE(expected.empty()) << "no shipped vector exposes the fault";
  }

  const auto results = runTests(withoutGroups(makeAESTests<AnySizeAes<F>>()));
  ASSERT_EQ(results.size(), records.size()) << "every shipped record is a test";
  for (const LeafResult& result : results)
    EXPECT_NE(result.outcome, Outcome::error) << result.pathText() << "\n" << result.report;
  EXPECT_EQ(sorted(failing(results)), sorted(expected));
}

TEST(AesSuiteFaults, SoundCipherPassesEveryShippedVector) {
  expectExactlyExposedVectorsFail<AesFault::none>([](const ShippedRecord&) { return false; });
}

TEST(AesSuiteFaults, WrongAes192KeyScheduleFailsExactlyThe192BitVectors) {
  expectExactlyExposedVectorsFail<AesFault::keySchedule192>(
      [](const ShippedRecord& r) { return r.key.size() == 48; });
}

TEST(AesSuiteFaults, CbcDecryptionWithoutTheIVFailsTheCbcDecryptionVectorsWithANonzeroIV) {
  expectExactlyExposedVectorsFail<AesFault::cbcDecryptForgetsIV>([](const ShippedRecord& r) {
    return decryptsIn(r, "CBC") && r.iv.find_first_not_of('0') != std::string::npos;
  });
}

TEST(AesSuiteFaults, OfbDecryptionDoneAsCfbFailsTheOfbDecryptionVectorsOfSeveralBlocks) {
  // OFB and CFB agree on the first block; they part from the second on.
  expectExactlyExposedVectorsFail<AesFault::ofbDecryptsAsCfb>(
      [](const ShippedRecord& r) { return decryptsIn(r, "OFB") && r.ciphertext.size() > 32; });
}

TEST(AesSuiteFaults, AFailureNamesTheVectorFileTheOperationAndTheFirstDifferingBlock) {
  TemporaryDataDir data;
  data.write("Test/KAT_AES/CBCd.rsp", "[DECRYPT]\n" + text(goodRecord("CBCd", "0", 3)));
  data.write("Test/KAT_AES/OFBd.rsp", "[DECRYPT]\n" + text(goodRecord("OFBd", "1")) +
                                          text(goodRecord("OFBd", "2", 3)));
  const auto cbc = runTests(withoutGroups(makeAESTests<AnySizeAes<AesFault::cbcDecryptForgetsIV>>()));
  const auto ofb = runTests(withoutGroups(makeAESTests<AnySizeAes<AesFault::ofbDecryptsAsCfb>>()));
  auto reportOf = [](const std::vector<LeafResult>& results, const std::string& name) {
    for (const LeafResult& r : results)
      if (r.path.back() == name) return r.report;
    return std::string("no test ") + name;
  };
  const std::string cbcReport = reportOf(cbc, "CBCd.rsp-0");
  for (const char* needle :
       {"CBCd.rsp-0\n", "CBCd.rsp, record 1", "expected = PLAINTEXT from the vector file",
        "got = unCbc(KEY, IV, CIPHERTEXT) computed by the cipher",
        "first difference at byte 0, in block 0 (16-byte blocks"})
    EXPECT_NE(cbcReport.find(needle), std::string::npos) << needle << " missing in\n" << cbcReport;
  EXPECT_EQ(reportOf(ofb, "OFBd.rsp-1"), "") << "one block: OFB and CFB agree";
  const std::string ofbReport = reportOf(ofb, "OFBd.rsp-2");
  for (const char* needle : {"OFBd.rsp, record 2", ", in block 1 (16-byte blocks"})
    EXPECT_NE(ofbReport.find(needle), std::string::npos) << needle << " missing in\n" << ofbReport;
}

TEST(AesSuite, ACorruptedVectorShowsItsOwnValueAsTheExpectedOne) {
  // Each kind with its output field corrupted in the last byte: the report
  // shows the file's value as expected and the cipher's output as got.
  for (const char* keyText : {"ECBe", "CBCd", "OFBe"}) {
    SCOPED_TRACE(keyText);
    TemporaryDataDir data;
    Fields record = goodRecord(keyText, "0", 2);
    std::optional<std::string>& output = keyText[3] == 'e' ? record.ciphertext : record.plaintext;
    const std::string correct = *output;
    output->back() = output->back() == '0' ? '1' : '0';
    data.write(std::string("Test/KAT_AES/") + keyText + ".rsp", text(record));
    const auto results = runTests(withoutGroups(makeAESTests<Aes128>()));
    ASSERT_EQ(outcomeLetters(results), "F");
    const std::string& report = results[0].report;
    EXPECT_NE(report.find("expected: " + *output + "\n but got: " + correct + "\n"), std::string::npos) << report;
    EXPECT_NE(report.find("first difference at byte 31, in block 1"), std::string::npos) << report;
  }
}

}  // namespace
