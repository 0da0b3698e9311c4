// The extension point of the known-answer suites, driven by small layouts:
// lookups in the header, the previous record and the lines outside records,
// kinds chosen per category, checks while listing, naming, and a toy AEAD
// family over excerpts shaped like NIST's GCM and CCM files (sections of
// bracket lines, comma-separated headers, settings before the first
// section, rejection markers).

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <quillon_tests/detail/kat_selection.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/runner.hpp>

#include "kat_files_view.hpp"
#include "support/bytes.hpp"
#include "support/outcomes.hpp"
#include "support/temporary_data_dir.hpp"

namespace {

using namespace quillon_tests;
using namespace quillon_tests::detail;
using quillon::ByteString;
using test_support::TemporaryDataDir;

// --- a family that records what its tests are given ----------------------------

std::vector<std::string> seen;

/// "<name>: field|field|... (label, record n)", "-" for an absent field.
void recordFields(const KatRecord& record) {
  std::string line = record.testName() + ":";
  for (std::size_t i = 0; i < record.kind().fieldCount(); ++i) {
    const std::string_view name = record.kind().fields[i].name;
    line.append(i == 0 ? " " : "|").append(record.has(name) ? record.text(name) : "-");
  }
  seen.push_back(line + " (" + std::string(record.kind().label) + ", record " + std::to_string(record.record()) +
                 (record.rejected() ? ", refusal)" : ")"));
}

// An IV must be two bytes and a key must not be three.
std::optional<KatSkip> twoByteIV(const KatRecord& record, const KatField& field) {
  if (field.name != "iv" || record.bytes("iv").size() == 2) return std::nullopt;
  return KatSkip{"IV does not deserialise"};
}
std::optional<KatSkip> noThreeByteKey(const KatRecord& record) {
  if (!record.has("key")) return std::nullopt;
  const std::size_t bytes = record.bytes("key").size();
  if (bytes != 3) return std::nullopt;
  return KatSkip{"key refused by buildKey", "key refused", std::to_string(bytes * 8) + "-bit"};
}

constexpr KatFamily recording{&twoByteIV, &noThreeByteKey, &recordFields, nullptr};

struct Selection {
  std::vector<std::string> names, runs, skipped;  // skipped: "<record>: <note>"
  SelectionSummary summary;
};

/// The tests `layout` gives, run, with the diagnostics of the same selection.
Selection select(const KatLayout& layout, const KatFamily& family = recording) {
  Selection result;
  seen.clear();
  const std::vector<quillon_tests::Test> tests = makeKatTests(layout, family, SourceLocation("caller.cpp", 7));
  for (const quillon_tests::Test& test : tests) result.names.push_back(test.name());
  runTests(tests);
  result.runs = seen;
  if (!tests.empty() && tests[0].selection()) result.summary = *tests[0].selection();
  for (const FileDiagnostics& file : diagnoseKat(layout, family).files)
    for (const SkippedRecord& skip : file.skipped)
      result.skipped.push_back(std::to_string(skip.record) + ": " + skip.reason);
  return result;
}

// A hash Monte Carlo layout: each checkpoint starts from the previous
// record's MD, the first from the Seed line outside the records.
constexpr std::array<KatKind, 1> monteKinds{{
    {.label = "Monte",
     .fields = {recordField("COUNT").names(),
                lookedUp(FieldSource::previousRecord, "MD").as("seed").orIn(FieldSource::header, "Seed").orIn(
                    FieldSource::preamble, "Seed"),
                recordField("MD")}},
}};
static_assert(wellFormed(monteKinds));
const KatLayout monteLayout{.suite = "monte", .directory = "Test/M", .recordStartKey = "COUNT", .kinds = monteKinds,
                            .naming = NameScheme::fileStem};
constexpr const char* noSeed =
    "missing \"MD\" in the previous record, \"Seed\" in the category header or \"Seed\" outside the records";

TEST(KatSelection, ChainedFieldsComeFromThePreviousRecordTheHeaderOrTheLinesOutsideRecords) {
  struct Case {
    const char* text;
    std::vector<std::string> runs, skipped;
  };
  const std::vector<Case> cases = {
      // NIST's layout: the Seed line after the header, outside every record.
      {"# comment\n[L = 32]\n\nSeed = 5e\n\nCOUNT = 0\nMD = 01\n\nCOUNT = 1\nMD = 02\n",
       {"M-0: 0|5e|01 (Monte, record 1)", "M-1: 1|01|02 (Monte, record 2)"}, {}},
      // A second category takes the Seed line nearest before its records.
      {"[L = 32]\nSeed = aa\nCOUNT = 0\nMD = 01\n[L = 32]\nSeed = bb\nCOUNT = 0\nMD = 03\n",
       {"M-0: 0|aa|01 (Monte, record 1)", "M-0: 0|bb|03 (Monte, record 2)"}, {}},
      // The Seed in the category header; a Seed before the first header serves every category.
      {"Seed = dd\n[Seed = cc]\nCOUNT = 0\nMD = 01\n[L = 1]\nCOUNT = 0\nMD = 02\n",
       {"M-0: 0|cc|01 (Monte, record 1)", "M-0: 0|dd|02 (Monte, record 2)"}, {}},
      // A "Seed" inside a record is no line outside the records.
      {"COUNT = 0\nMD = 01\nSeed = ee\n[L = 1]\nCOUNT = 0\nMD = 02\n", {}, {std::string("1: ") + noSeed,
                                                                         std::string("2: ") + noSeed}},
      // Record 2 lacks its MD, so record 3 has nothing to start from: the Seed
      // is the first record's start, not a stand-in for a broken chain.
      {"Seed = 5e\nCOUNT = 0\nMD = 01\nCOUNT = 1\nCOUNT = 2\nMD = 03\nCOUNT = 3\nMD = 04\n",
       {"M-0: 0|5e|01 (Monte, record 1)", "M-3: 3|03|04 (Monte, record 4)"},
       {"2: missing \"MD\"", std::string("3: ") + noSeed}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TemporaryDataDir data;
    data.write("Test/M/M.rsp", c.text);
    const Selection selection = select(monteLayout);
    EXPECT_EQ(selection.runs, c.runs);
    EXPECT_EQ(selection.skipped, c.skipped);
    EXPECT_EQ(selection.summary.tests, c.runs.size());
  }
}

// A CTR-like layout: the category header gives the direction.
constexpr KatKind directionKind(std::string_view label, bool encrypts, int code) {
  return {.label = label,
          .fields = {recordField("COUNT").names(), recordField("KEY").as("key"), recordField("IV").as("iv"),
                     recordField(encrypts ? "PLAINTEXT" : "CIPHERTEXT"),
                     recordField(encrypts ? "CIPHERTEXT" : "PLAINTEXT"), recordField("NOTE").optional()},
          .code = code};
}
constexpr std::array<KatKind, 2> directionKinds{
    {directionKind("encrypt", true, 0), directionKind("decrypt", false, 1)}};

std::optional<std::size_t> byDirection(std::size_t, const KatCategoryView& category, std::size_t, FileDiagnostics*) {
  if (findProperty(category.header, "ENCRYPT") != nullptr) return 0;
  if (findProperty(category.header, "DECRYPT") != nullptr) return 1;
  return std::nullopt;
}

const KatLayout ctrLayout{.suite = "ctr", .title = "CTR", .directory = "Test/C", .recordStartKey = "COUNT",
                          .kinds = directionKinds, .chooseCategory = &byDirection, .naming = NameScheme::fileStem};

TEST(KatSelection, CategoriesChooseTheirKindAndIVsAndKeysAreCheckedInTurnAndCounted) {
  TemporaryDataDir data;
  data.write("Test/C/CTR128.rsp",
             "[ENCRYPT]\nCOUNT = 0\nKEY = 0001\nIV = 0a0b\nPLAINTEXT = 11\nCIPHERTEXT = 22\n\n"
             // IV of three bytes: refused by the IV check.
             "COUNT = 1\nKEY = 0001\nIV = 0a0b0c\nPLAINTEXT = 11\nCIPHERTEXT = 22\n\n"
             // Key of three bytes: refused by the key check.
             "COUNT = 2\nKEY = 000102\nIV = 0a0b\nPLAINTEXT = 11\nCIPHERTEXT = 22\n\n"
             "[DECRYPT]\nCOUNT = 0\nKEY = 0001\nIV = 0a0b\nCIPHERTEXT = 33\nPLAINTEXT = 44\nNOTE = n\n\n"
             "[OTHER]\nCOUNT = 9\nKEY = 0001\nIV = 0a0b\nCIPHERTEXT = 33\nPLAINTEXT = 44\n\n"
             "[DECRYPT]\nCOUNT = 1\nKEY = 0001\nCIPHERTEXT = 55\nPLAINTEXT = 66\n");
  const Selection selection = select(ctrLayout);
  // The optional NOTE is reported absent, then present.
  EXPECT_EQ(selection.runs, (std::vector<std::string>{"CTR128-0: 0|0001|0a0b|11|22|- (encrypt, record 1)",
                                                      "CTR128-0: 0|0001|0a0b|33|44|n (decrypt, record 4)"}));
  // Record 5 is in a category of no kind: left to other suites, silently.
  EXPECT_EQ(selection.skipped, (std::vector<std::string>{"2: IV does not deserialise", "3: key refused by buildKey",
                                                         "6: missing \"IV\""}));
  EXPECT_EQ(selection.summary.title, "CTR");
  EXPECT_EQ(selection.summary.tests, 2u);
  std::vector<std::string> counted;
  for (const auto& reason : selection.summary.skipped) {
    counted.push_back(reason.reason + " " + std::to_string(reason.records));
    for (const auto& detail : reason.details)
      counted.back() += " (" + detail.label + " " + std::to_string(detail.records) + ")";
  }
  EXPECT_EQ(counted, (std::vector<std::string>{"IV does not deserialise 1", "key refused 1 (24-bit 1)",
                                               "missing \"IV\" 1"}));
}

TEST(KatSelection, ACheckedRecordIsSkippedWithTheChecksReasonBeforeItsKeyIsChecked) {
  static constexpr std::array<KatKind, 1> kinds{{
      {.label = "checked", .fields = {recordField("COUNT").names(), recordField("LEN"), recordField("KEY").as("key")}},
  }};
  TemporaryDataDir data;
  data.write("Test/K/k.rsp",
             "COUNT = 0\nLEN = 1\nKEY = 0001\n\n"
             // Checked and refused: its three-byte key would be refused too.
             "COUNT = 1\nLEN = x\nKEY = 000102\n\n"
             "COUNT = 2\nKEY = 0001\n\n"
             "COUNT = 3\nLEN = 1\nKEY = 000102\n");
  const KatLayout layout{.suite = "checked", .directory = "Test/K", .recordStartKey = "COUNT", .kinds = kinds,
                         .checkRecord = [](const KatRecord& record) -> std::optional<std::string> {
                           if (record.text("LEN") == "1") return std::nullopt;
                           return "LEN " + std::string(record.text("LEN")) + " unreadable";
                         },
                         .naming = NameScheme::fileStem};
  const Selection selection = select(layout);
  EXPECT_EQ(selection.names, std::vector<std::string>{"k-0"});
  EXPECT_EQ(selection.skipped, (std::vector<std::string>{"2: LEN x unreadable", "3: missing \"LEN\"",
                                                         "4: key refused by buildKey"}));
}

TEST(KatSelection, AMalformedFieldDecodedWhileListingEndsTheBuilderNamingFieldFileAndRecord) {
  for (const char* field : {"IV", "KEY"}) {
    TemporaryDataDir data;
    const std::string iv = std::string(field) == "IV" ? "0a0" : "0a0b";
    const std::string key = std::string(field) == "KEY" ? "123" : "0001";
    data.write("Test/C/c.rsp", "[ENCRYPT]\nCOUNT = 0\nKEY = " + key + "\nIV = " + iv +
                                   "\nPLAINTEXT = 11\nCIPHERTEXT = 22\n");
    try {
      makeKatTests(ctrLayout, recording, {});
      ADD_FAILURE() << field << ": the builder should have failed";
    } catch (const HexDecodeError& error) {
      const std::string what = error.what();
      EXPECT_NE(what.find(std::string("field \"") + field + "\""), std::string::npos) << what;
      EXPECT_NE(what.find("c.rsp, record 1 (line 2)"), std::string::npos) << what;
    }
  }
}

TEST(KatSelection, TestNamesFollowTheLayoutsSchemeWithEveryNameFieldInTheKindsOrder) {
  static constexpr std::array<KatKind, 1> kinds{{
      {.label = "k", .fields = {headerField("IVlen").names(), recordField("COUNT").names()}, .namePrefix = "ECB-E-VK"},
  }};
  TemporaryDataDir data;
  data.write("Test/N/CBCMMT128e.rsp", "[IVlen = 96]\nCOUNT = 7\"\\\x01\n");
  struct Case {
    NameScheme scheme;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{{NameScheme::fileName, "CBCMMT128e.rsp-96-7\"\\\x01"},
                                         {NameScheme::fileStem, "CBCMMT128e-96-7\"\\\x01"},
                                         {NameScheme::kindPrefix, "ECB-E-VK96-7\"\\\x01"},
                                         {NameScheme::layoutPrefixQuoted, "P-\"96\"-\"7\\\"\\\\\\x01\""},
                                         {NameScheme::layoutPrefixOrdinal, "P-1"}}) {
    const KatLayout layout{.suite = "names", .directory = "Test/N", .recordStartKey = "COUNT", .kinds = kinds,
                           .naming = c.scheme, .namePrefix = "P-"};
    EXPECT_EQ(select(layout).names, std::vector<std::string>{c.expected});
  }
}

TEST(KatSelection, APrefixOwnsANameOnlyWhenNoDigitOrUnderscoreFollowsIt) {
  struct Case {
    std::string_view prefix, name;
    bool owned;
  };
  for (const Case& c : std::vector<Case>{{"SHA512", "SHA512", true},
                                         {"SHA512", "SHA512ShortMsg.rsp", true},
                                         {"SHA512", "SHA512.rsp", true},
                                         {"SHA512", "SHA512_224ShortMsg.rsp", false},
                                         {"SHA512", "SHA5120", false},
                                         {"SHA512", "SHA51", false},
                                         {"SHA512", "sha512.rsp", false},
                                         {"SHA1", "SHA1x2.rsp", true},
                                         {"SHA3_256", "SHA3_2560", false}})
    EXPECT_EQ(ownsFileName(c.prefix, c.name), c.owned) << c.prefix << " / " << c.name;
}

TEST(KatSelection, ASelectionThatTakesNothingIsOneFailingTestSayingWhy) {
  struct Case {
    std::string file, text;
    KatLayout layout;
    std::vector<std::string> lines;  // of the report, after its first
  };
  KatLayout owned = ctrLayout;
  owned.ownedPrefix = "CTR256";
  const std::vector<Case> cases = {
      {"CTR128.rsp", "[ENCRYPT]\nCOUNT = 0\nKEY = 000102\nIV = 0a0b\nPLAINTEXT = 11\nCIPHERTEXT = 22\n"
                     "COUNT = 1\nKEY = 000102\nIV = 0a0b\nPLAINTEXT = 11\nCIPHERTEXT = 22\n"
                     "[OTHER]\nCOUNT = 2\n",
       ctrLayout,
       {"1 file read, 3 records", "skipped, key refused: 2 records (24-bit 2)",
        "left to other suites, in categories of no kind this suite takes: 1 records"}},
      {"CTR128.rsp", "", owned, {"no file matches the prefix CTR256 in DIR/Test/C"}},
  };
  for (const Case& c : cases) {
    TemporaryDataDir data;
    data.write("Test/C/" + c.file, c.text);
    const std::vector<quillon_tests::Test> tests = makeKatTests(c.layout, recording, SourceLocation("caller.cpp", 7));
    ASSERT_EQ(tests.size(), 1u);
    EXPECT_EQ(tests[0].name(), "NoVectorApplies");
    EXPECT_EQ(tests[0].location(), SourceLocation("caller.cpp", 7));
    ASSERT_TRUE(tests[0].selection());
    EXPECT_EQ(tests[0].selection()->tests, 0u);
    const std::vector<LeafResult> results = runTests(tests);
    ASSERT_EQ(test_support::outcomeLetters(results), "F");
    std::string report = results[0].report;
    for (std::size_t at; (at = report.find(data.root().string())) != std::string::npos;)
      report.replace(at, data.root().string().size(), "DIR");
    std::string expected = "ctr applies no vector to this type: it made no test from DIR/Test/C\n";
    for (const std::string& line : c.lines) expected += line + "\n";
    EXPECT_EQ(report, expected);
  }
}

TEST(KatSelection, ATestReadsItsRecordWhenItRunsAndAFileChangedSinceListingIsAnError) {
  const std::string listed = "[ENCRYPT]\nCOUNT = 0\nKEY = 0001\nIV = 0a0b\nPLAINTEXT = 11\nCIPHERTEXT = 22\n";
  TemporaryDataDir data;
  data.write("Test/C/c.rsp", listed);
  seen.clear();
  const std::vector<quillon_tests::Test> tests = makeKatTests(ctrLayout, recording, {});
  EXPECT_TRUE(seen.empty()) << "listing runs nothing";
  data.write("Test/C/c.rsp", "[ENCRYPT]\nCOUNT = 0\nKEY = 0001\nIV = 0a0b\nPLAINTEXT = 11\nCIPHERTEXT = 33\n");
  const std::vector<LeafResult> changed = runTests(tests);
  ASSERT_EQ(test_support::outcomeLetters(changed), "E");
  EXPECT_NE(changed[0].report.find("c.rsp changed after its tests were made"), std::string::npos) << changed[0].report;
  data.write("Test/C/c.rsp", listed);
  EXPECT_EQ(test_support::outcomeLetters(runTests(tests)), "P");
  EXPECT_EQ(seen, std::vector<std::string>{"c-0: 0|0001|0a0b|11|22|- (encrypt, record 1)"});
}

// --- a toy AEAD over GCM- and CCM-shaped files ------------------------------------

/// Ciphertext: the text with every byte XORed with the key's first byte;
/// tag: tagBytes copies of the sum of the key, nonce, AAD and text bytes.
/// seal refuses text over 16 bytes; open refuses a wrong tag. With
/// `checksTags` false, open takes any tag; with `refusesLongText` false,
/// seal takes any length.
struct ToyAead {
  static inline bool checksTags = true;
  static inline bool refusesLongText = true;

  static ByteString tag(const ByteString& key, const ByteString& nonce, const ByteString& aad, const ByteString& text,
                        std::size_t tagBytes) {
    unsigned sum = 0;
    for (const ByteString* part : {&key, &nonce, &aad, &text})
      for (const quillon::Byte b : *part) sum += b;
    return ByteString(tagBytes, static_cast<quillon::Byte>(sum));
  }
  static ByteString xorKey(const ByteString& key, const ByteString& text) {
    std::vector<quillon::Byte> out(text.begin(), text.end());
    for (quillon::Byte& b : out) b ^= key[0];
    return ByteString(std::move(out));
  }
  static std::optional<ByteString> seal(const ByteString& key, const ByteString& nonce, const ByteString& aad,
                                        const ByteString& text, std::size_t tagBytes) {
    if (refusesLongText && text.size() > 16) return std::nullopt;
    std::vector<quillon::Byte> out;
    for (const ByteString& part : {xorKey(key, text), tag(key, nonce, aad, text, tagBytes)})
      out.insert(out.end(), part.begin(), part.end());
    return ByteString(std::move(out));
  }
  static std::optional<ByteString> open(const ByteString& key, const ByteString& nonce, const ByteString& aad,
                                        const ByteString& sealed, std::size_t tagBytes) {
    if (sealed.size() < tagBytes) return std::nullopt;
    const ByteString text = xorKey(key, sealed.take(sealed.size() - tagBytes));
    if (checksTags && sealed.drop(sealed.size() - tagBytes) != tag(key, nonce, aad, text, tagBytes))
      return std::nullopt;
    return text;
  }
};

enum ToyKind { gcmSeal, gcmOpen, ccmSeal, ccmOpen };

/// The first `bytes` bytes of a field whose length field says how many
/// count (CCM writes an empty AAD as "Adata = 00").
ByteString cut(const KatRecord& record, std::string_view field, std::string_view length) {
  const ByteString bytes = record.bytes(field);
  return record.has(length) ? bytes.take(static_cast<std::size_t>(record.number(length))) : bytes;
}

void runToy(const KatRecord& r) {
  const ByteString key = r.bytes("key"), nonce = r.bytes("nonce"), aad = cut(r, "aad", "aadBytes");
  const bool gcm = r.code() == gcmSeal || r.code() == gcmOpen;
  const std::size_t tagBytes = gcm ? r.bytes("tag").size() : static_cast<std::size_t>(r.number("tagBytes"));
  // GCM writes the tag apart, CCM after the ciphertext.
  const ByteString sealed = gcm ? hexStringToBS(std::string(r.text("ct")) + std::string(r.text("tag"))) : r.bytes("ct");
  if (r.code() == gcmSeal || r.code() == ccmSeal) {
    const std::optional<ByteString> out = ToyAead::seal(key, nonce, aad, cut(r, "text", "textBytes"), tagBytes);
    checkKnownAnswer(r, "ct", r.rejected() ? KatOutput() : KatOutput(sealed.view()),
                     {out ? KatOutput(out->view()) : KatOutput()});
    return;
  }
  const std::optional<ByteString> out = ToyAead::open(key, nonce, aad, sealed, tagBytes);
  const ByteString text = r.rejected() ? ByteString() : cut(r, "text", "textBytes");
  checkKnownAnswer(r, "text", r.rejected() ? KatOutput() : KatOutput(text.view()),
                   {out ? KatOutput(out->view()) : KatOutput()});
}

std::string toyNote(const KatRecord& record) { return "got = " + std::string(record.kind().operation); }

// NIST's GCM files: five bracket lines per section, Count restarting in
// each; a decrypt record carries a bare FAIL line instead of PT.
constexpr std::array<KatField, 4> gcmSection{headerField("IVlen").names(), headerField("PTlen").names(),
                                             headerField("AADlen").names(), headerField("Taglen").names()};
constexpr std::array<KatKind, 2> gcmKinds{{
    {.label = "gcmEncrypt",
     .fields = {gcmSection[0], gcmSection[1], gcmSection[2], gcmSection[3], recordField("Count").names(),
                recordField("Key").as("key"), recordField("IV").as("nonce"), recordField("PT").as("text"),
                recordField("AAD").as("aad"), recordField("CT").as("ct"), recordField("Tag").as("tag")},
     .operation = "seal(Key, IV, AAD, PT)",
     .code = gcmSeal},
    {.label = "gcmDecrypt",
     .fields = {gcmSection[0], gcmSection[1], gcmSection[2], gcmSection[3], recordField("Count").names(),
                recordField("Key").as("key"), recordField("IV").as("nonce"), recordField("CT").as("ct"),
                recordField("AAD").as("aad"), recordField("Tag").as("tag"), recordField("PT").as("text").whenAccepted(),
                rejectedWhen("FAIL")},
     .operation = "open(Key, IV, AAD, CT || Tag)",
     .code = gcmOpen},
}};
static_assert(wellFormed(gcmKinds));

// NIST's CCM files: settings before the first section or in a comma list in
// the section's header, Key (and Nonce) on lines before the first record, CT
// holding the ciphertext and the tag, Payload only on the records that pass.
constexpr KatField alen = headerField("Alen").orIn(FieldSource::preamble, "Alen").as("aadBytes");
constexpr KatField plen = headerField("Plen").orIn(FieldSource::preamble, "Plen").as("textBytes");
constexpr KatField tlen = headerField("Tlen").orIn(FieldSource::preamble, "Tlen").as("tagBytes");
constexpr std::array<KatKind, 2> ccmKinds{{
    {.label = "VADT",
     .fields = {alen.names(), recordField("Count").names(), plen, tlen, preambleField("Key").as("key"),
                preambleField("Nonce").as("nonce"), recordField("Adata").as("aad"), recordField("Payload").as("text"),
                recordField("CT").as("ct"), rejectedWhen("Result", "Fail")},
     .operation = "seal(Key, Nonce, Adata, Payload)",
     .code = ccmSeal},
    {.label = "DVPT",
     .fields = {alen, plen, headerField("Nlen").names(), tlen.names(), recordField("Count").names(),
                preambleField("Key").as("key"), recordField("Nonce").as("nonce"), recordField("Adata").as("aad"),
                recordField("CT").as("ct"), rejectedWhen("Result", "Fail"),
                recordField("Payload").as("text").whenAccepted()},
     .operation = "open(Key, Nonce, Adata, CT)",
     .code = ccmOpen},
}};
static_assert(wellFormed(ccmKinds));

/// A record's lines with the toy's values: the key, nonce, AAD and text
/// given, the rest computed (a wrong tag when `forged`).
struct ToyRecord {
  std::string key = "0f", nonce = "a0a1a2", aad = "", text = "c0c1";
  std::size_t tagBytes = 4;
  bool forged = false;

  [[nodiscard]] ByteString sealed() const {
    ByteString out = *ToyAead::seal(hexStringToBS(key), hexStringToBS(nonce), hexStringToBS(aad), hexStringToBS(text),
                                    tagBytes);
    if (!forged) return out;
    std::vector<quillon::Byte> bytes(out.begin(), out.end());
    bytes.back() ^= 1;
    return ByteString(std::move(bytes));
  }
  [[nodiscard]] std::string ct() const { return test_support::hex(sealed().take(sealed().size() - tagBytes)); }
  [[nodiscard]] std::string tag() const { return test_support::hex(sealed().drop(sealed().size() - tagBytes)); }
};

std::string gcmFile(bool decrypt) {
  std::string text = "# CAVS 14.0\n# GCM " + std::string(decrypt ? "Decrypt" : "Encrypt") + " excerpt\n\n";
  int count = 0;
  auto record = [&](ToyRecord r) {
    r.forged = r.forged && decrypt;
    text += "Count = " + std::to_string(count++) + "\nKey = " + r.key + "\nIV = " + r.nonce + "\n";
    if (!decrypt) text += "PT = " + r.text + "\n";
    text += (decrypt ? "CT = " + r.ct() + "\nAAD = " + r.aad : "AAD = " + r.aad + "\nCT = " + r.ct()) + "\nTag = " +
            r.tag() + "\n";
    if (decrypt) text += r.forged ? "FAIL\n" : "PT = " + r.text + "\n";
    text += "\n";
  };
  text += "[Keylen = 8]\n[IVlen = 24]\n[PTlen = 16]\n[AADlen = 0]\n[Taglen = 32]\n\n";
  record({});
  record({.key = "10", .forged = true});
  record({.key = "11"});
  text += "[Keylen = 8]\n[IVlen = 24]\n[PTlen = 16]\n[AADlen = 8]\n[Taglen = 32]\n\n";
  count = 0;
  record({.aad = "77", .forged = true});
  record({.aad = "78"});
  return text;
}

std::string ccmVadt() {
  // As VADT128.rsp: settings before the first section, Key and Nonce below
  // each section's header; the last record, generated, is one seal refuses.
  std::string text = "#  \"CCM-VADT\" excerpt\n\nPlen = 2\nTlen = 4\n\n";
  for (const char* aad : {"", "3132"}) {
    const ToyRecord r{.nonce = "a0a1a2a3", .aad = aad};
    text += "[Alen = " + std::to_string(std::string(aad).size() / 2) + "]\n\nKey = " + r.key + "\nNonce = " + r.nonce +
            "\n\nCount = 0\nAdata = " + (r.aad.empty() ? "00" : r.aad) + "\nPayload = " + r.text + "\nCT = " + r.ct() +
            r.tag() + "\n\n";
  }
  text += "[Alen = 0, Plen = 17]\n\nKey = 0f\nNonce = a0a1a2a3\n\nCount = 1\nAdata = 00\nPayload = " +
          std::string(34, '5') + "\nCT = 00\nResult = Fail (too long)\n";
  return text;
}

std::string ccmDvpt() {
  std::string text = "#  \"CCM-DVPT\" excerpt\n\n[Alen = 0, Plen = 2, Nlen = 3, Tlen = 4]\n\nKey = 0f\n\n";
  int count = 0;
  for (const ToyRecord& r : {ToyRecord{}, ToyRecord{.nonce = "b0b1b2", .forged = true}, ToyRecord{.nonce = "b3b4b5"}}) {
    text += "Count = " + std::to_string(count++) + "\nNonce = " + r.nonce + "\nAdata = 00\nCT = " + r.ct() + r.tag() +
            "\nResult = " + (r.forged ? "Fail" : "Pass\nPayload = " + r.text) + "\n\n";
  }
  // No Payload, no Fail: incomplete.
  text += "Count = " + std::to_string(count) + "\nNonce = b6b7b8\nAdata = 00\nCT = 00\nResult = Pass\n";
  return text;
}

TEST(KatSelection, AToyAeadReadsGcmAndCcmShapedFilesAndTheirRejectionsAreTestsOfARefusal) {
  TemporaryDataDir data;
  data.write("Test/KAT_TOY_GCM/gcmDecrypt8.rsp", gcmFile(true));
  data.write("Test/KAT_TOY_GCM/gcmEncryptExtIV8.rsp", gcmFile(false));
  data.write("Test/KAT_TOY_CCM/DVPT8.rsp", ccmDvpt());
  data.write("Test/KAT_TOY_CCM/VADT8.rsp", ccmVadt());
  const KatFamily toy{nullptr, nullptr, &runToy, &toyNote};
  const KatLayout gcm{.suite = "makeToyGCMTests", .title = "Toy GCM known answers", .directory = "Test/KAT_TOY_GCM",
                      .recordStartKey = "Count", .kinds = gcmKinds,
                      .chooseFile = [](const KatFileView& file, bool) {
                        return FileChoice{file.path().find("Decrypt") != std::string::npos ? 1u : 0u, {}};
                      },
                      .naming = NameScheme::fileStem};
  const KatLayout ccm{.suite = "makeToyCCMTests", .title = "Toy CCM known answers", .directory = "Test/KAT_TOY_CCM",
                      .recordStartKey = "Count", .kinds = ccmKinds,
                      .chooseFile = [](const KatFileView& file, bool) {
                        return FileChoice{file.path().find("DVPT") != std::string::npos ? 1u : 0u, {}};
                      },
                      .naming = NameScheme::fileStem};

  const std::vector<quillon_tests::Test> gcmTests = makeKatTests(gcm, toy, {}), ccmTests = makeKatTests(ccm, toy, {});
  EXPECT_EQ(test_support::leafNames(gcmTests),
            (std::vector<std::string>{"gcmDecrypt8-24-16-0-32-0", "gcmDecrypt8-24-16-0-32-1",
                                      "gcmDecrypt8-24-16-0-32-2",
                                      "gcmDecrypt8-24-16-8-32-0", "gcmDecrypt8-24-16-8-32-1",
                                      "gcmEncryptExtIV8-24-16-0-32-0", "gcmEncryptExtIV8-24-16-0-32-1",
                                      "gcmEncryptExtIV8-24-16-0-32-2", "gcmEncryptExtIV8-24-16-8-32-0",
                                      "gcmEncryptExtIV8-24-16-8-32-1"}));
  EXPECT_EQ(test_support::leafNames(ccmTests),
            (std::vector<std::string>{"DVPT8-3-4-0", "DVPT8-3-4-1", "DVPT8-3-4-2", "VADT8-0-0", "VADT8-2-0",
                                      "VADT8-0-1"}));
  EXPECT_EQ(gcmTests[0].selection()->refusals, 2u);
  EXPECT_EQ(ccmTests[0].selection()->refusals, 2u);
  std::vector<std::string> ccmSkips;
  for (const FileDiagnostics& file : diagnoseKat(ccm, toy).files)
    for (const SkippedRecord& skip : file.skipped)
      ccmSkips.push_back(file.path.substr(file.path.rfind('/') + 1) + " " + std::to_string(skip.record) + ": " +
                         skip.reason);
  EXPECT_EQ(ccmSkips, std::vector<std::string>{"DVPT8.rsp 4: missing \"Payload\""});

  // A sound toy passes all; each planted fault fails exactly the tests that
  // expect the refusal it misses.
  struct Row {
    bool checksTags, refusesLongText;
    std::map<std::string, char> failing;
  };
  for (const Row& row : std::vector<Row>{
           {true, true, {}},
           {false, true, {{"gcmDecrypt8-24-16-0-32-1", 'F'}, {"gcmDecrypt8-24-16-8-32-0", 'F'}, {"DVPT8-3-4-1", 'F'}}},
           {true, false, {{"VADT8-0-1", 'F'}}}}) {
    ToyAead::checksTags = row.checksTags;
    ToyAead::refusesLongText = row.refusesLongText;
    std::vector<LeafResult> results = runTests(gcmTests);
    for (LeafResult& r : runTests(ccmTests)) results.push_back(std::move(r));
    EXPECT_EQ(test_support::leavesNotPassed(results), row.failing) << row.checksTags << row.refusesLongText;
  }
  ToyAead::checksTags = ToyAead::refusesLongText = true;
}

TEST(KatSelection, AFailureReportNamesTheRecordTheExpectedFieldTheDifferenceAndTheFamilysNote) {
  TemporaryDataDir data;
  data.write("Test/KAT_TOY_GCM/gcmDecrypt8.rsp", gcmFile(true));
  const KatLayout gcm{.suite = "makeToyGCMTests", .directory = "Test/KAT_TOY_GCM", .recordStartKey = "Count",
                      .kinds = gcmKinds, .chooseFile = [](const KatFileView&, bool) { return FileChoice{1, {}}; },
                      .naming = NameScheme::fileStem};
  ToyAead::checksTags = false;
  const std::vector<LeafResult> results = runTests(makeKatTests(gcm, {nullptr, nullptr, &runToy, &toyNote}, {}));
  ToyAead::checksTags = true;
  ASSERT_EQ(test_support::outcomeLetters(results), "PFPFP");
  const std::string path = (data.root() / "Test/KAT_TOY_GCM/gcmDecrypt8.rsp").string();
  EXPECT_EQ(results[1].report, "gcmDecrypt8-24-16-0-32-1\n"
                               "expected: (refused: no output)\n"
                               " but got: c0c1\n"
                               "the operation gave output where the vector expects a refusal\n"
                               "vector file: " + path + ", record 2 (line 18)\n"
                               "expected = a refusal: the record carries FAIL\n"
                               "got = open(Key, IV, AAD, CT || Tag)\n");
}

}  // namespace
