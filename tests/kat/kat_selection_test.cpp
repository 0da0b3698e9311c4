// The record selection the known-answer suites share, driven by small
// layouts of the kinds the suites use: lookups in the header, the previous
// record and the lines outside records, kinds chosen per category, the
// naming schemes and the file-name ownership rule.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <quillon_tests/detail/kat_selection.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"
#include "support/temporary_data_dir.hpp"

namespace {

using namespace quillon_tests;
using namespace quillon_tests::detail;
using test_support::TemporaryDataDir;

/// Keeps what the selection hands over, as "name: field|field|...".
class RecordingSink final : public KatRecordSink {
 public:
  explicit RecordingSink(const KatLayout& layout) : layout_(layout) {}
  void startFile(const std::string& path, const std::shared_ptr<const void>& owner) override {
    path_ = path;
    owners_.push_back(owner);
  }
  bool acceptIV(quillon::ByteView bytes) override { return bytes.size() == 2; }
  bool acceptKey(quillon::ByteView bytes) override { return bytes.size() != 3; }
  void add(SelectedRecord&& record) override {
    std::string line = katTestName(layout_.naming, layout_.namePrefix, path_, record) + ":";
    for (std::size_t i = 0; i < record.kind->fieldCount; ++i)
      line.append(i == 0 ? " " : "|").append(record.values[i]);
    lines.push_back(line + " (" + std::string(record.kind->label) + ", record " +
                    std::to_string(record.record) + ")");
  }
  std::vector<std::string> lines;

 private:
  const KatLayout& layout_;
  std::string path_;
  std::vector<std::shared_ptr<const void>> owners_;  // the views stay valid
};

FileChoice firstKind(const KatLayout&, const KatFileView&, bool) { return {0, {}}; }

// A hash Monte Carlo layout: each checkpoint starts from the previous
// record's MD, the first from the Seed line outside the records.
constexpr KatField seed{{{{FieldSource::previousRecord, "MD"},
                          {FieldSource::header, "Seed"},
                          {FieldSource::preamble, "Seed"}}},
                        3,
                        FieldRole::input};
constexpr std::array<KatKind, 1> monteKinds{{
    {"Monte", {recordField("COUNT", FieldRole::name), seed, recordField("MD", FieldRole::expected)}, 3,
     "chain", "MD", {}, 0},
}};

TEST(KatSelection, ChainedFieldsComeFromThePreviousRecordTheHeaderOrTheLinesOutsideRecords) {
  struct Case {
    const char* text;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      // NIST's layout: the Seed line after the header, outside every record.
      {"# comment\n[L = 32]\n\nSeed = 5e\n\nCOUNT = 0\nMD = 01\n\nCOUNT = 1\nMD = 02\n",
       {"M-0: 0|5e|01 (Monte, record 1)", "M-1: 1|01|02 (Monte, record 2)"}},
      // A second category takes the Seed line nearest before its records.
      {"[L = 32]\nSeed = aa\nCOUNT = 0\nMD = 01\n[L = 32]\nSeed = bb\nCOUNT = 0\nMD = 03\n",
       {"M-0: 0|aa|01 (Monte, record 1)", "M-0: 0|bb|03 (Monte, record 2)"}},
      // The Seed in the category header.
      {"[Seed = cc]\nCOUNT = 0\nMD = 01\n", {"M-0: 0|cc|01 (Monte, record 1)"}},
      // No Seed anywhere: the first record is skipped, the next chains on.
      {"COUNT = 0\nMD = 01\nCOUNT = 1\nMD = 02\n", {"M-1: 1|01|02 (Monte, record 2)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TemporaryDataDir data;
    data.write("Test/M/M.rsp", c.text);
    KatLayout layout{.suite = "monte", .directory = "Test/M", .recordStartKey = "COUNT", .kinds = monteKinds,
                     .chooseFile = &firstKind, .naming = NameScheme::fileStem};
    RecordingSink sink(layout);
    SuiteDiagnostics diagnostics;
    selectKatRecords(layout, sink, &diagnostics);
    EXPECT_EQ(sink.lines, c.expected);
    ASSERT_EQ(diagnostics.files.size(), 1u);
    EXPECT_EQ(diagnostics.files[0].tests, c.expected.size());
    for (const SkippedRecord& skipped : diagnostics.files[0].skipped)
      EXPECT_EQ(skipped.reason, "missing \"MD\" in the previous record, \"Seed\" in the category header "
                                "or \"Seed\" outside the records");
  }
}

TEST(KatSelection, AChainedFieldMissingInThePreviousRecordDoesNotFallBackOnTheFirstRecordsSource) {
  // Record 2 has no MD, so record 3 has nothing to start from: the Seed is
  // the first record's start, not a stand-in for a broken chain.
  TemporaryDataDir data;
  data.write("Test/M/M.rsp", "Seed = 5e\nCOUNT = 0\nMD = 01\nCOUNT = 1\nCOUNT = 2\nMD = 03\n"
                             "COUNT = 3\nMD = 04\n");
  KatLayout layout{.suite = "monte", .directory = "Test/M", .recordStartKey = "COUNT", .kinds = monteKinds,
                   .chooseFile = &firstKind, .naming = NameScheme::fileStem};
  RecordingSink sink(layout);
  SuiteDiagnostics diagnostics;
  selectKatRecords(layout, sink, &diagnostics);
  EXPECT_EQ(sink.lines, (std::vector<std::string>{"M-0: 0|5e|01 (Monte, record 1)",
                                                  "M-3: 3|03|04 (Monte, record 4)"}));
  ASSERT_EQ(diagnostics.files.size(), 1u);
  std::vector<std::pair<std::size_t, std::string>> skipped;
  for (const SkippedRecord& record : diagnostics.files[0].skipped)
    skipped.emplace_back(record.record, record.reason);
  EXPECT_EQ(skipped, (std::vector<std::pair<std::size_t, std::string>>{
                         {2, "missing \"MD\""},
                         {3, "missing \"MD\" in the previous record, \"Seed\" in the category header "
                             "or \"Seed\" outside the records"}}));
}

// A CTR-like layout: the category header gives the direction.
constexpr std::array<KatKind, 2> directionKinds{{
    {"encrypt", {recordField("COUNT", FieldRole::name), recordField("KEY", FieldRole::key),
                 recordField("IV", FieldRole::iv), recordField("PLAINTEXT", FieldRole::input),
                 recordField("CIPHERTEXT", FieldRole::expected)}, 5, "ctr", "CIPHERTEXT", {}, 0},
    {"decrypt", {recordField("COUNT", FieldRole::name), recordField("KEY", FieldRole::key),
                 recordField("IV", FieldRole::iv), recordField("CIPHERTEXT", FieldRole::input),
                 recordField("PLAINTEXT", FieldRole::expected)}, 5, "unCtr", "PLAINTEXT", {}, 1},
}};

std::optional<std::size_t> byDirection(const KatLayout&, std::size_t, const KatCategoryView& category,
                                       std::size_t, FileDiagnostics*) {
  if (findProperty(category.header, "ENCRYPT") != nullptr) return 0;
  if (findProperty(category.header, "DECRYPT") != nullptr) return 1;
  return std::nullopt;
}

TEST(KatSelection, CategoriesChooseTheirKindAndIVsAndKeysAreAskedForInTurn) {
  TemporaryDataDir data;
  data.write("Test/C/CTR128.rsp",
             "[ENCRYPT]\nCOUNT = 0\nKEY = 0001\nIV = 0a0b\nPLAINTEXT = 11\nCIPHERTEXT = 22\n\n"
             // IV of three bytes: refused by the sink's acceptIV.
             "COUNT = 1\nKEY = 0001\nIV = 0a0b0c\nPLAINTEXT = 11\nCIPHERTEXT = 22\n\n"
             // Key of three bytes: refused by acceptKey.
             "COUNT = 2\nKEY = 000102\nIV = 0a0b\nPLAINTEXT = 11\nCIPHERTEXT = 22\n\n"
             "[DECRYPT]\nCOUNT = 0\nKEY = 0001\nIV = 0a0b\nCIPHERTEXT = 33\nPLAINTEXT = 44\n\n"
             "[OTHER]\nCOUNT = 9\nKEY = 0001\nIV = 0a0b\nCIPHERTEXT = 33\nPLAINTEXT = 44\n\n"
             "[DECRYPT]\nCOUNT = 1\nKEY = 0001\nCIPHERTEXT = 55\nPLAINTEXT = 66\n");
  for (const bool keyWhileListing : {true, false}) {
    SCOPED_TRACE(keyWhileListing);
    KatLayout layout{.suite = "ctr", .directory = "Test/C", .recordStartKey = "COUNT", .kinds = directionKinds,
                     .chooseFile = &firstKind, .chooseCategory = &byDirection,
                     .naming = NameScheme::fileStem, .keyWhileListing = keyWhileListing};
    RecordingSink sink(layout);
    SuiteDiagnostics diagnostics;
    selectKatRecords(layout, sink, &diagnostics);
    std::vector<std::string> expected{"CTR128-0: 0|0001|0a0b|11|22 (encrypt, record 1)"};
    if (!keyWhileListing) expected.push_back("CTR128-2: 2|000102|0a0b|11|22 (encrypt, record 3)");
    expected.push_back("CTR128-0: 0|0001|0a0b|33|44 (decrypt, record 4)");
    EXPECT_EQ(sink.lines, expected);
    ASSERT_EQ(diagnostics.files.size(), 1u);
    std::vector<std::string> skipped;
    for (const SkippedRecord& s : diagnostics.files[0].skipped)
      skipped.push_back(std::to_string(s.record) + ": " + s.reason);
    std::vector<std::string> expectedSkips{"2: IV does not deserialise"};
    if (keyWhileListing) expectedSkips.push_back("3: key refused by buildKey");
    expectedSkips.push_back("6: missing \"IV\"");  // record 5 is in a category of no kind: silent
    EXPECT_EQ(skipped, expectedSkips);
    EXPECT_EQ(diagnostics.tests(), expected.size());
  }
}

// A record whose "LEN" is not "1" is one the suite cannot read.
constexpr std::array<KatKind, 1> checkedKinds{{
    {"checked", {recordField("COUNT", FieldRole::name), recordField("LEN"), recordField("KEY", FieldRole::key)},
     3, "op", "X", {}, 0},
}};

std::optional<std::string> lengthIsOne(const KatLayout&, const SelectedRecord& record) {
  if (record.values[1] == "1") return std::nullopt;
  return "LEN " + std::string(record.values[1]) + " unreadable";
}

TEST(KatSelection, ACheckedRecordIsSkippedWithTheChecksReasonBeforeItsKeyIsBuilt) {
  TemporaryDataDir data;
  data.write("Test/K/k.rsp",
             "COUNT = 0\nLEN = 1\nKEY = 0001\n\n"
             // Checked and refused: its three-byte key would be refused too,
             // but the check comes first.
             "COUNT = 1\nLEN = x\nKEY = 000102\n\n"
             // A missing field is reported as such, unchecked.
             "COUNT = 2\nKEY = 0001\n\n"
             "COUNT = 3\nLEN = 1\nKEY = 000102\n\n"
             "COUNT = 4\nLEN = 2\nKEY = 0001\n");
  KatLayout layout{.suite = "checked", .directory = "Test/K", .recordStartKey = "COUNT", .kinds = checkedKinds,
                   .chooseFile = &firstKind, .checkRecord = &lengthIsOne, .naming = NameScheme::fileStem,
                   .keyWhileListing = true};
  RecordingSink sink(layout);
  SuiteDiagnostics diagnostics;
  selectKatRecords(layout, sink, &diagnostics);
  EXPECT_EQ(sink.lines, std::vector<std::string>{"k-0: 0|1|0001 (checked, record 1)"});
  ASSERT_EQ(diagnostics.files.size(), 1u);
  std::vector<std::string> skipped;
  for (const SkippedRecord& s : diagnostics.files[0].skipped)
    skipped.push_back(std::to_string(s.record) + ": " + s.reason);
  EXPECT_EQ(skipped, (std::vector<std::string>{"2: LEN x unreadable", "3: missing \"LEN\"",
                                               "4: key refused by buildKey", "5: LEN 2 unreadable"}));
  EXPECT_EQ(diagnostics.tests(), 1u);
}

TEST(KatSelection, AMalformedIVOrKeyEndsTheSelectionNamingFieldFileAndRecord) {
  for (const char* field : {"IV", "KEY"}) {
    TemporaryDataDir data;
    const std::string iv = std::string(field) == "IV" ? "0a0" : "0a0b";
    const std::string key = std::string(field) == "KEY" ? "123" : "0001";
    data.write("Test/C/c.rsp", "[ENCRYPT]\nCOUNT = 0\nKEY = " + key + "\nIV = " + iv +
                                   "\nPLAINTEXT = 11\nCIPHERTEXT = 22\n");
    KatLayout layout{.suite = "ctr", .directory = "Test/C", .recordStartKey = "COUNT", .kinds = directionKinds,
                     .chooseFile = &firstKind, .chooseCategory = &byDirection, .keyWhileListing = true};
    RecordingSink sink(layout);
    try {
      selectKatRecords(layout, sink, nullptr);
      ADD_FAILURE() << field << ": the selection should have failed";
    } catch (const HexDecodeError& error) {
      const std::string what = error.what();
      EXPECT_NE(what.find(std::string("field \"") + field + "\""), std::string::npos) << what;
      EXPECT_NE(what.find("c.rsp, record 1"), std::string::npos) << what;
    }
  }
}

TEST(KatSelection, TestNamesFollowTheLayoutsScheme) {
  static constexpr KatKind kind{"k", {recordField("COUNT", FieldRole::name)}, 1, "op", "X", "ECB-E-VK", 0};
  SelectedRecord record;
  record.kind = &kind;
  record.values[0] = "7\"\\\x01";
  record.ordinal = 12;
  struct Case {
    NameScheme scheme;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{{NameScheme::fileName, "CBCMMT128e.rsp-7\"\\\x01"},
                                         {NameScheme::fileStem, "CBCMMT128e-7\"\\\x01"},
                                         {NameScheme::kindPrefix, "ECB-E-VK7\"\\\x01"},
                                         {NameScheme::layoutPrefixQuoted, "P-\"7\\\"\\\\\\x01\""},
                                         {NameScheme::layoutPrefixOrdinal, "P-12"}})
    EXPECT_EQ(katTestName(c.scheme, "P-", "dir/CBCMMT128e.rsp", record), c.expected);
}

TEST(KatSelection, APrefixOwnsANameOnlyWhenNoDigitOrUnderscoreFollowsIt) {
  struct Case {
    std::string_view prefix, name;
    bool owned;
  };
  for (const Case& c : std::vector<Case>{{"SHA512", "SHA512", true},
                                         {"SHA512", "SHA512ShortMsg.rsp", true},
                                         {"SHA512", "SHA512Monte.rsp", true},
                                         {"SHA512", "SHA512.rsp", true},
                                         {"SHA512", "SHA512_224ShortMsg.rsp", false},
                                         {"SHA512", "SHA5120", false},
                                         {"SHA512", "SHA51", false},
                                         {"SHA512", "sha512.rsp", false},
                                         {"SHA1", "SHA12x.rsp", false},
                                         {"SHA1", "SHA1x2.rsp", true},
                                         {"SHA3_256", "SHA3_256LongMsg.rsp", true},
                                         {"SHA3_256", "SHA3_2560", false}})
    EXPECT_EQ(ownsFileName(c.prefix, c.name), c.owned) << c.prefix << " / " << c.name;
}

}  // namespace
