// The TwoFish known-answer suite over vector directories built by the tests,
// with nettle's and Botan's TwoFish.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/twofish.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/runner.hpp>
#include <quillon_tests/twofish.hpp>

#include "support/bytes.hpp"
#include "support/outcomes.hpp"
#include "support/temporary_data_dir.hpp"

namespace {

using namespace quillon_tests;
using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;
using namespace test_support;
using Reference = quillon::nettle::TwoFish;

Reference keyOf(const ByteString& bytes) { return *Reference::buildKey(bytes); }
quillon::IV<Reference> ivOf(const ByteString& bytes) { return test_support::ivOf<Reference>(bytes); }

std::string line(const char* key, const ByteString& value) { return std::string(key) + "=" + hex(value) + "\n"; }

/// A correct ECB record: I, KEY, PT, CT.
std::string ecbRecord(const std::string& index, std::size_t keyBytes, std::size_t blocks, unsigned seed) {
  const ByteString key = pattern(keyBytes, seed), plain = pattern(16 * blocks, seed + 1);
  return "I=" + index + "\n" + line("KEY", key) + line("PT", plain) +
         line("CT", quillon::ecb(keyOf(key), plain)) + "\n";
}

/// A correct CBC record with an IV of `ivBytes` bytes (the cipher reads 16).
std::string cbcRecord(const std::string& index, std::size_t keyBytes, std::size_t blocks,
                      unsigned seed, std::size_t ivBytes = 16) {
  const ByteString key = pattern(keyBytes, seed), plain = pattern(16 * blocks, seed + 1),
                   iv = pattern(ivBytes, seed + 2);
  const ByteString cipher = quillon::cbc(keyOf(key), ivOf(iv.take(16)), plain).first;
  return "I=" + index + "\n" + line("KEY", key) + line("IV", iv) + line("CT", cipher) +
         line("PT", plain) + "\n";
}

template <class K>
std::string runLetters() {
  return outcomeLetters(runTests(withoutGroups(makeTwoFishTests<K>())));
}

TEST(TwoFishSuite, SevenKindsByExactStemEachRunningItsOwnOperationForBothBindings) {
  TemporaryDataDir data;
  const ByteString vkPlain = pattern(16, 40), vtKey = pattern(24, 41), vtPlain = pattern(16, 42);
  const ByteString vkKey = pattern(32, 43);
  data.write("Test/KAT_TWOFISH/ECB_TLB.TXT", "[KEYSIZE=128]\n" + ecbRecord("7", 16, 1, 1));
  data.write("Test/KAT_TWOFISH/ECB_E_M.txt", "[KEYSIZE=192]\n" + ecbRecord("7", 24, 3, 2));
  {
    // Decryption: CT is the input, PT the expected value.
    const ByteString key = pattern(32, 3), cipher = pattern(32, 4);
    data.write("Test/KAT_TWOFISH/ECB_D_M", "I=7\n" + line("KEY", key) + line("CT", cipher) +
                                               line("PT", quillon::unEcb(keyOf(key), cipher)));
  }
  // The header's PT counts; the record's own PT is ignored.
  data.write("Test/KAT_TWOFISH/ECB_VK.TXT",
             "[KEYSIZE=256]\n[PT=" + hex(vkPlain) + "]\nI=7\n" +
                 line("KEY", vkKey) + line("PT", pattern(16, 99)) +
                 line("CT", quillon::ecb(keyOf(vkKey), vkPlain)));
  data.write("Test/KAT_TWOFISH/ECB_VT.TXT",
             "[KEY=" + hex(vtKey) + "]\nI=7\n" + line("PT", vtPlain) +
                 line("CT", quillon::ecb(keyOf(vtKey), vtPlain)));
  data.write("Test/KAT_TWOFISH/CBC_E_M.TXT", cbcRecord("7", 16, 2, 5));
  {
    const ByteString key = pattern(24, 6), iv = pattern(16, 7), cipher = pattern(48, 8);
    data.write("Test/KAT_TWOFISH/CBC_D_M.TXT",
               "I=7\n" + line("KEY", key) + line("IV", iv) + line("CT", cipher) +
                   line("PT", quillon::unCbc(keyOf(key), ivOf(iv), cipher).first));
  }
  EXPECT_EQ(runLetters<Reference>(), "PPPPPPP");
  EXPECT_EQ(runLetters<quillon::botan::TwoFish>(), "PPPPPPP");
}

TEST(TwoFishSuite, AFileOfUnknownKindFailsTheBuilderOnlyWhenItHoldsRecords) {
  struct Case {
    const char* fileName;
    bool holdsRecords;
  };
  for (const Case& c : {Case{"ecb_tlb.txt", true}, Case{"ECB_TLB.TXT.bak", true},
                        Case{".ECB_VK", true}, Case{"ECB-TLB.TXT", true},
                        Case{"README", false}, Case{"notes.txt", false}}) {
    SCOPED_TRACE(c.fileName);
    TemporaryDataDir data;
    data.write("Test/KAT_TWOFISH/ECB_E_M.TXT", ecbRecord("1", 16, 1, 1));
    const std::string path = getDataFileName("Test/KAT_TWOFISH") + "/" + c.fileName;
    data.write(std::string("Test/KAT_TWOFISH/") + c.fileName,
               c.holdsRecords ? "[KEYSIZE=128]\n" + ecbRecord("1", 16, 1, 2)
                              : "# comments and headers only\n[KEYSIZE=128]\nKEY=00\n");
    if (!c.holdsRecords) {
      EXPECT_EQ(runLetters<Reference>(), "P");
      continue;
    }
    try {
      makeTwoFishTests<Reference>();
      ADD_FAILURE() << "the builder should have failed";
    } catch (const UnknownVectorFileKindError& error) {
      const std::string what = error.what();
      EXPECT_TRUE(what.starts_with("makeTwoFishTests: the vector file " + path + " holds records")) << what;
      EXPECT_NE(what.find(path), std::string::npos) << what;
      EXPECT_EQ(error.path(), path);
    }
    // The diagnostics note the file and still read the others.
    const SuiteDiagnostics diagnostics = diagnoseTwoFishVectors<Reference>();
    EXPECT_EQ(diagnostics.tests(), 1u);
    for (const FileDiagnostics& file : diagnostics.files) {
      if (file.path == path) {
        EXPECT_NE(file.note.find("makeTwoFishTests fails here"), std::string::npos) << file.note;
      }
    }
  }
}

TEST(TwoFishSuite, HeaderFieldsComeFromTheirOwnCategoryAndEqualNamesAreAllKept) {
  TemporaryDataDir data;
  const ByteString key = pattern(16, 20), plain = pattern(16, 21);
  const std::string vtRecord =
      "I=1\n" + line("PT", plain) + line("CT", quillon::ecb(keyOf(key), plain)) + "\n";
  // The first category has no KEY header: its record gives no test.
  data.write("Test/KAT_TWOFISH/ECB_VT.TXT",
             "[KEYSIZE=128]\n" + vtRecord + "[KEYSIZE=128]\n[KEY=" + hex(key) + "]\n" + vtRecord);
  // Two categories with the same I: both tests, in file order (the second
  // category's CT is wrong, so their order shows in the outcomes).
  data.write("Test/KAT_TWOFISH/ECB_TLB.TXT", "[KEYSIZE=128]\n" + ecbRecord("1", 16, 1, 22) +
                                                 "[KEYSIZE=128]\nI=1\n" + line("KEY", key) +
                                                 line("PT", plain) + line("CT", plain));
  const std::vector<quillon_tests::Test> tests = withoutGroups(makeTwoFishTests<Reference>());
  std::vector<std::string> tlb, vt;
  const auto results = runTests(tests);
  for (const LeafResult& result : results) {
    std::string& letters = result.path.back() == "ECB-TLB-E-1" ? tlb.emplace_back() : vt.emplace_back();
    letters = outcomeLetters({result});
  }
  EXPECT_EQ(tlb, (std::vector<std::string>{"P", "F"}));
  EXPECT_EQ(vt, (std::vector<std::string>{"P"}));
}

TEST(TwoFishSuite, IVsAreCheckedWhileBuildingButKeysOnlyWhenTheTestRuns) {
  TemporaryDataDir data;
  const ByteString key = pattern(16, 30), iv = pattern(16, 31), cipher = pattern(16, 32);
  data.write("Test/KAT_TWOFISH/CBC_D_M.TXT",
             cbcRecord("1", 32, 2, 33) +
                 // An IV shorter than a block: no test.
                 "I=2\n" + line("KEY", key) + line("IV", pattern(8, 1)) + line("CT", cipher) +
                 line("PT", cipher) + "\n" +
                 // A valid IV and a key of a length TwoFish refuses: a test that errs.
                 "I=3\n" + line("KEY", pattern(20, 2)) + line("IV", iv) + line("CT", cipher) +
                 line("PT", cipher) + "\n" +
                 // An IV longer than a block: its first 16 bytes are read.
                 cbcRecord("4", 24, 1, 34, 20));
  const std::vector<quillon_tests::Test> tests = withoutGroups(makeTwoFishTests<Reference>());
  EXPECT_EQ(leafNames(tests), (std::vector<std::string>{"CBC-D-1", "CBC-D-3", "CBC-D-4"}));
  const auto results = runTests(tests);
  ASSERT_EQ(outcomeLetters(results), "PEP");
  for (const char* needle : {"makeTwoFishTests: CBC-D-3: buildKey refused the 20-byte key of field \"KEY\"",
                             "CBC_D_M.TXT, record 3"})
    EXPECT_NE(results[1].report.find(needle), std::string::npos) << needle << " missing in\n"
                                                                  << results[1].report;
  // An IV that is not hex ends the builder, naming the file and record.
  data.write("Test/KAT_TWOFISH/CBC_E_M.TXT", "I=1\nKEY=" + hex(key) + "\nIV=xyz0\nCT=00\nPT=00\n");
  try {
    makeTwoFishTests<Reference>();
    ADD_FAILURE() << "the builder should have failed";
  } catch (const HexDecodeError& error) {
    EXPECT_NE(std::string(error.what()).find("CBC_E_M.TXT, record 1"), std::string::npos) << error.what();
  }
}

TEST(TwoFishSuite, OneCipherCallPerRecordAndAFailureSaysWhere) {
  TemporaryDataDir data;
  // CT made by encrypting twice: a suite that iterates would pass it.
  const ByteString key = pattern(16, 50), plain = pattern(32, 51);
  const ByteString twice = quillon::ecb(keyOf(key), quillon::ecb(keyOf(key), plain));
  data.write("Test/KAT_TWOFISH/ECB_E_M.TXT", "[KEYSIZE=128]\n" + ecbRecord("1", 16, 2, 52) + "I=2\n" +
                                                 line("KEY", key) + line("PT", plain) +
                                                 line("CT", twice) + "\n" + "I=3\nKEY=" +
                                                 hex(key) + "\nPT=zz\nCT=00\n");
  const auto results = runTests(withoutGroups(makeTwoFishTests<Reference>()));
  ASSERT_EQ(outcomeLetters(results), "PFE");
  for (const char* needle : {"ECB-E-2\n", "ECB_E_M.TXT, record 2", "expected = CT from the vector file",
                             "got = ecb(KEY, PT) computed by the cipher", "first difference at byte 0, in block 0"})
    EXPECT_NE(results[1].report.find(needle), std::string::npos) << needle << " missing in\n"
                                                                  << results[1].report;
}

TEST(TwoFishSuite, DiagnosticsGiveTheFirstMissingFieldHeaderFirst) {
  TemporaryDataDir data;
  const ByteString key = pattern(16, 60), plain = pattern(16, 61);
  const std::string ct = line("CT", quillon::ecb(keyOf(key), plain));
  data.write("Test/KAT_TWOFISH/ECB_VK.TXT",
             // No PT header, and the record lacks KEY too: the header is named.
             "[KEYSIZE=128]\nI=1\n" + ct + "\n" +
                 "[KEYSIZE=128]\n[PT=" + hex(plain) + "]\nI=2\n" + ct + "\nI=3\n" + line("KEY", key) +
                 "\nI=4\n" + line("KEY", key) + ct);
  data.write("Test/KAT_TWOFISH/CBC_E_M.TXT",
             "I=1\n" + line("KEY", key) + line("IV", pattern(15, 1)) + ct + line("PT", plain) +
                 "\nI=2\n" + line("KEY", key) + ct + line("PT", plain) + "\nI=3\n" + ct);
  data.write("Test/KAT_TWOFISH/other.txt", "# nothing\n");
  const SuiteDiagnostics diagnostics = diagnoseTwoFishVectors<Reference>();
  EXPECT_EQ(diagnostics.suite, "makeTwoFishTests");
  EXPECT_EQ(diagnostics.tests(), withoutGroups(makeTwoFishTests<Reference>()).size());
  std::vector<std::string> lines;
  for (const FileDiagnostics& file : diagnostics.files) {
    const std::string name(fileNameOf(file.path));
    lines.push_back(name + ": " + std::to_string(file.categories) + " categories, " +
                    std::to_string(file.records) + " records, " + std::to_string(file.tests) +
                    " tests" + (file.note.empty() ? "" : "; " + file.note));
    for (const SkippedRecord& s : file.skipped)
      lines.push_back(name + " record " + std::to_string(s.record) + ": " + s.reason);
  }
  EXPECT_EQ(sorted(lines),
            (std::vector<std::string>{
                "CBC_E_M.TXT record 1: IV does not deserialise",
                "CBC_E_M.TXT record 2: missing \"IV\"",
                "CBC_E_M.TXT record 3: missing \"KEY\"",
                "CBC_E_M.TXT: 1 categories, 3 records, 0 tests",
                "ECB_VK.TXT record 1: missing \"PT\" in the category header",
                "ECB_VK.TXT record 2: missing \"KEY\"",
                "ECB_VK.TXT record 3: missing \"CT\"",
                "ECB_VK.TXT: 2 categories, 4 records, 1 tests",
                "other.txt: 0 categories, 0 records, 0 tests; unknown file kind \"other\", but no "
                "records: nothing"}));
}

}  // namespace
