// The SHA and HMAC known-answer suites over vector directories built by the
// tests, with correct and deliberately faulty digests.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include <primitives/openssl/digests.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hmac.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/runner.hpp>
#include <quillon_tests/sha.hpp>

#include "support/bytes.hpp"
#include "support/outcomes.hpp"
#include "support/temporary_data_dir.hpp"

namespace {

using namespace quillon_tests;
using quillon::ByteString;
using quillon::ByteView;
using quillon::LazyByteString;
using test_support::hex;
using test_support::leafNames;
using test_support::pattern;
using test_support::outcomeLetters;
using test_support::TemporaryDataDir;
using test_support::withoutGroups;
namespace openssl = quillon::openssl;


// A SHA record whose MD is the reference digest of the first `length` bytes.
std::string shaRecord(std::size_t length, const std::string& lenText = "") {
  const ByteString message = pattern(length);
  return "Len = " + (lenText.empty() ? std::to_string(length * 8) : lenText) +
         "\nMsg = " + (length ? hex(message) : "00") +
         "\nMD = " + hex(openssl::SHA256::hashStrict(message).encode()) + "\n\n";
}

// --- SHA ---------------------------------------------------------------

TEST(ShaSuite, NumbersAcrossFilesReadsOnlyPrefixedNamesAndSkipsIncompleteRecords) {
  TemporaryDataDir data;
  data.write("Test/KAT_SHA/SHA256A.rsp", "[L = 32]\n" + shaRecord(3) +
                                             "Len = 8\nMsg = 61\n\n" +  // no MD: skipped
                                             shaRecord(0));
  data.write("Test/KAT_SHA/SHA256B.txt", shaRecord(64));
  data.write("Test/KAT_SHA/sha256.rsp", "Len = 0\nMsg = 00\nMD = 00\n");    // wrong case
  data.write("Test/KAT_SHA/ShortSHA256.rsp", "Len = 0\nMsg = 00\nMD = 00\n");
  data.write("Test/KAT_SHA/SHA1.rsp", "Len = 0\nMsg = 00\nMD = 00\n");
  const auto tests = makeSHA256Tests<openssl::SHA256>();
  EXPECT_EQ(leafNames(tests),
            (std::vector<std::string>{"NistSHA256-1", "NistSHA256-2", "NistSHA256-3"}));
  EXPECT_EQ(outcomeLetters(runTests(withoutGroups(tests))), "PPP");
}

TEST(ShaSuite, APrefixOwnsNoFileWhereItIsFollowedByADigitOrAnUnderscore) {
  // Each file holds one correct SHA-256 record, so a file read by the wrong
  // suite shows as an extra test.
  struct Case {
    const char* prefix;
    std::vector<std::string> owned;     // read, in this order of writing
    std::vector<std::string> notOwned;  // another suite's files
  };
  const std::vector<Case> cases = {
      {"SHA512", {"SHA512ShortMsg.rsp", "SHA512", "SHA512.rsp", "SHA512Monte.rsp", "SHA512-x"},
       {"SHA512_224ShortMsg.rsp", "SHA512_256LongMsg.rsp", "SHA5120.rsp", "SHA512_", "SHA51"}},
      {"SHA1", {"SHA1ShortMsg.rsp", "SHA1x2.rsp"},
       {"SHA12x.rsp", "SHA10", "SHA1_extra.rsp", "sha1.rsp", "XSHA1.rsp"}},
      {"SHA3_256", {"SHA3_256ShortMsg.rsp"}, {"SHA3_2560.rsp", "SHA3_256_x.rsp", "SHA3_224ShortMsg.rsp"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefix);
    TemporaryDataDir data;
    // SHA-3 suites read Test/KAT_SHA3, the others Test/KAT_SHA.
    const std::string directory = std::string(detail::shaDirectory(c.prefix)) + "/";
    for (const std::string& name : c.owned) data.write(directory + name, shaRecord(3));
    for (const std::string& name : c.notOwned) data.write(directory + name, shaRecord(4));
    for (const std::string& name : c.owned) EXPECT_TRUE(detail::ownsFileName(c.prefix, name)) << name;
    for (const std::string& name : c.notOwned) EXPECT_FALSE(detail::ownsFileName(c.prefix, name)) << name;

    const SuiteDiagnostics diagnostics = diagnoseSHAVectors(c.prefix);
    EXPECT_EQ(diagnostics.tests(), c.owned.size());
    std::vector<std::string> read, skippedNotes;
    for (const FileDiagnostics& file : diagnostics.files) {
      const std::string name(fileNameOf(file.path));
      if (file.note.empty()) {
        read.push_back(name);
      } else {
        skippedNotes.push_back(name + ": " + file.note);
      }
    }
    std::vector<std::string> owned = c.owned, expectedNotes;
    std::sort(owned.begin(), owned.end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, owned);
    for (const std::string& name : c.notOwned)
      expectedNotes.push_back(name + ": not read: " +
                              (name.starts_with(c.prefix)
                                   ? "\"" + std::string(c.prefix) + "\" is followed by a digit or \"_\": another suite's file"
                                   : "the name does not begin with \"" + std::string(c.prefix) + "\""));
    std::sort(expectedNotes.begin(), expectedNotes.end());
    std::sort(skippedNotes.begin(), skippedNotes.end());
    EXPECT_EQ(skippedNotes, expectedNotes);
  }
  // The builder reads the same files as the diagnostics.
  TemporaryDataDir data;
  data.write("Test/KAT_SHA/SHA512ShortMsg.rsp", shaRecord(3));
  data.write("Test/KAT_SHA/SHA512_224ShortMsg.rsp", shaRecord(3));
  data.write("Test/KAT_SHA/SHA512_256ShortMsg.rsp", shaRecord(3));
  EXPECT_EQ(leafNames(makeSHA512Tests<openssl::SHA512>()), (std::vector<std::string>{"NistSHA512-1"}));
}

TEST(ShaSuite, TheShippedSha512FilesGiveExactly257Tests) {
  const SuiteDiagnostics diagnostics = diagnoseSHAVectors("SHA512");
  EXPECT_EQ(diagnostics.tests(), 257u);
  EXPECT_EQ(withoutGroups(makeSHA512Tests<openssl::SHA512>()).size(), 257u);
}

TEST(ShaSuite, LenCutsTheMessageToWholeBytes) {
  const ByteString ten = pattern(10);
  auto recordFor = [&](const std::string& len, std::size_t hashedBytes) {
    return "Len = " + len + "\nMsg = " + hex(ten) +
           "\nMD = " + hex(openssl::SHA256::hashStrict(ten.take(hashedBytes)).encode()) + "\n";
  };
  TemporaryDataDir data;
  data.write("Test/KAT_SHA/SHA256.rsp", recordFor("0", 0) + recordFor("8", 1) +
                                            recordFor("15", 1) + recordFor("1000", 10) +
                                            recordFor("-8", 0) + recordFor("80", 10));
  EXPECT_EQ(outcomeLetters(runTests(withoutGroups(makeSHA256Tests<openssl::SHA256>()))), "PPPPPP");
}

TEST(ShaSuite, MalformedFieldsFailOnlyTheirOwnTest) {
  TemporaryDataDir data;
  data.write("Test/KAT_SHA/SHA256.rsp", shaRecord(5) + "Len = abc\nMsg = 00\nMD = 00\n" +
                                            "Len = 8\nMsg = zz\nMD = 00\n" +
                                            "Len = 8\nMsg = 616\nMD = 00\n" + shaRecord(7));
  const auto results = runTests(withoutGroups(makeSHA256Tests<openssl::SHA256>()));
  EXPECT_EQ(outcomeLetters(results), "PEEEP");
  EXPECT_NE(results[1].report.find("Len is not an integer"), std::string::npos);
  EXPECT_NE(results[3].report.find("Not an even number of hex characters"), std::string::npos);
}

TEST(ShaSuite, ACorruptedVectorShowsItsOwnValueAsTheExpectedOneInBothComponents) {
  const ByteString message = pattern(40);
  const std::string correct = hex(openssl::SHA256::hashStrict(message).encode());
  std::string corrupt = correct;
  corrupt[0] = corrupt[0] == 'f' ? '0' : 'f';
  TemporaryDataDir data;
  data.write("Test/KAT_SHA/SHA256.rsp", "Len = 320\nMsg = " + hex(message) + "\nMD = " + corrupt + "\n");
  data.write("Test/KAT_HMAC/h.rsp", "[L=32]\nCount = 0\nTlen = 32\nKey = 00\nMsg = " + hex(message) +
                                        "\nMac = " + corrupt + "\n");
  const auto sha = runTests(withoutGroups(makeSHA256Tests<openssl::SHA256>()));
  ASSERT_EQ(outcomeLetters(sha), "F");
  EXPECT_NE(sha[0].report.find("expected: (" + corrupt + ", " + corrupt + ")\n but got: (" + correct + ", " +
                               correct + ")\n"),
            std::string::npos)
      << sha[0].report;
  const std::string mac = hex(openssl::SHA256::hmacStrict(ByteString(std::size_t{1}, quillon::Byte{0}), message).encode());
  const auto hmac = runTests(makeSHA256HMACTests<openssl::SHA256>());
  ASSERT_EQ(outcomeLetters(hmac), "F");
  EXPECT_NE(hmac[0].report.find("expected: (" + corrupt + ", " + corrupt + ")\n but got: (" + mac + ", " + mac +
                                ")\n"),
            std::string::npos)
      << hmac[0].report;
}

TEST(ShaSuite, MissingDirectoryFailsTheBuilder) {
  TemporaryDataDir data;
  EXPECT_THROW(makeSHA1Tests<openssl::SHA1>(), DataFileError);
}

// SHA-256 whose chunked path loses the byte that follows the first 64.
struct DropsByteAfter64 {
  ByteString bytes;
  static int outputLength() { return 256; }
  static int blockLength() { return 512; }
  static DropsByteAfter64 hash(const LazyByteString& message) {
    const ByteString all = message.toStrict();
    const ByteString kept = all.size() > 64 ? quillon::concat({all.take(64), all.drop(65)}) : all;
    return {openssl::SHA256::hashStrict(kept).encode()};
  }
  static DropsByteAfter64 hashStrict(ByteView message) {
    return {openssl::SHA256::hashStrict(message).encode()};
  }
  ByteString encode() const { return bytes; }
  static quillon::GetResult<DropsByteAfter64> get(ByteView b) {
    if (b.size() < 32) return quillon::Partial{};
    return quillon::Done<DropsByteAfter64>{{ByteString(b.first(32))}, 32};
  }
  friend bool operator==(const DropsByteAfter64&, const DropsByteAfter64&) = default;
  // Required by the Hash concept; the SHA suite itself compares bytes.
  [[maybe_unused]] friend std::ostream& operator<<(std::ostream& os, const DropsByteAfter64& d) {
    return os << d.bytes;
  }
};

TEST(ShaSuite, ChunkedFaultFailsOnlyLongMessagesAndTheReportSaysWhere) {
  TemporaryDataDir data;
  data.write("Test/KAT_SHA/SHA256.rsp",
             shaRecord(0) + shaRecord(37) + shaRecord(64) + shaRecord(65) + shaRecord(100));
  const auto tests = makeSHA256Tests<DropsByteAfter64>();
  const auto results = runTests(withoutGroups(tests));
  ASSERT_EQ(outcomeLetters(results), "PPPFF");
  const std::string& report = results[3].report;
  for (const char* needle : {"NistSHA256-4", "first component: equal", "second component: DIFFERS",
                             "first difference at byte 0", "SHA256.rsp, record 4",
                             "second = hash over 37-byte chunks"})
    EXPECT_NE(report.find(needle), std::string::npos) << needle << " missing in\n" << report;
  const auto properties = runTest(tests.back());
  EXPECT_EQ(outcomeLetters(properties), "FPPPP") << "LazyStrictEqual must catch it too";
}

// --- HMAC --------------------------------------------------------------

template <class D>
std::string hmacRecord(const std::string& count, std::size_t keyLength, std::size_t messageLength,
                       const std::string& tlen = "") {
  const ByteString key = pattern(keyLength), message = pattern(messageLength + 1).drop(1);
  const ByteString mac = D::hmacStrict(key, message).encode();
  return "Count = " + count + "\nKlen = " + std::to_string(keyLength) +
         "\nTlen = " + (tlen.empty() ? std::to_string(mac.size()) : tlen) + "\nKey = " + hex(key) +
         "\nMsg = " + hex(message) + "\nMac = " + hex(mac) + "\n\n";
}

TEST(HmacSuite, SelectsCategoriesByTheExactLValue) {
  TemporaryDataDir data;
  data.write("Test/KAT_HMAC/mixed.rsp",
             "[L=20]\n" + hmacRecord<openssl::SHA1>("0", 10, 20) +
                 hmacRecord<openssl::SHA1>("1", 100, 0) + "[L=32]\n" +
                 hmacRecord<openssl::SHA256>("0", 64, 129) + "[L=020]\n" +
                 hmacRecord<openssl::SHA1>("9", 1, 1) + "[Other=20]\n" +
                 hmacRecord<openssl::SHA1>("8", 1, 1));
  const auto sha1 = makeSHA1HMACTests<openssl::SHA1>();
  EXPECT_EQ(leafNames(sha1), (std::vector<std::string>{"NistHMACSHA1-\"0\"", "NistHMACSHA1-\"1\""}));
  EXPECT_EQ(outcomeLetters(runTests(sha1)), "PP");
  const auto sha256 = makeSHA256HMACTests<openssl::SHA256>();
  EXPECT_EQ(leafNames(sha256), (std::vector<std::string>{"NistHMACSHA256-\"0\""}));
  EXPECT_EQ(outcomeLetters(runTests(sha256)), "P");
  // No category is SHA-384's: one failing test says so; nothing is appended.
  const auto sha384 = makeSHA384HMACTests<openssl::SHA384>();
  EXPECT_EQ(leafNames(sha384), std::vector<std::string>{"NoVectorApplies"});
  EXPECT_EQ(outcomeLetters(runTests(sha384)), "F");
}

TEST(HmacSuite, TlenTruncatesBothDigestsAndOddFieldsFailAlone) {
  const ByteString key = pattern(5), message = pattern(9);
  const ByteString mac = openssl::SHA1::hmacStrict(key, message).encode();
  auto record = [&](const std::string& count, const std::string& tlen, const ByteString& expected) {
    return "Count = " + count + "\nTlen = " + tlen + "\nKey = " + hex(key) +
           "\nMsg = " + hex(message) + "\nMac = " + hex(expected) + "\n";
  };
  TemporaryDataDir data;
  data.write("Test/KAT_HMAC/t.rsp",
             "[L=20]\n" + record("a\"b\\", "12", mac.take(12)) + record("1", "0", ByteString{}) +
                 record("2", "0", mac.take(1)) + record("3", "400", mac) + record("4", "-3", {}) +
                 record("5", "x", mac) + "Count = 6\nKey = 00\nMsg = 00\nMac = 00\n");
  const auto tests = makeSHA1HMACTests<openssl::SHA1>();
  EXPECT_EQ(leafNames(tests),
            (std::vector<std::string>{"NistHMACSHA1-\"a\\\"b\\\\\"", "NistHMACSHA1-\"1\"",
                                      "NistHMACSHA1-\"2\"", "NistHMACSHA1-\"3\"",
                                      "NistHMACSHA1-\"4\"", "NistHMACSHA1-\"5\""}));
  EXPECT_EQ(outcomeLetters(runTests(tests)), "PPFPPE");
}

// HMAC-SHA256 with one fault each, built on OpenSSL's digest.
enum class HmacFault { longKeyNotHashed, chunkedPathDiffers };

template <HmacFault F>
struct FaultyHmacSha256 {
  using Real = openssl::SHA256;
  ByteString bytes;
  static int outputLength() { return 256; }
  static int blockLength() { return 512; }
  static FaultyHmacSha256 hash(const LazyByteString& m) { return {Real::hash(m).encode()}; }
  static FaultyHmacSha256 hashStrict(ByteView m) { return {Real::hashStrict(m).encode()}; }
  static FaultyHmacSha256 hmacStrict(ByteView key, ByteView message) {
    // Keys longer than the block are cut instead of hashed.
    const ByteString used = F == HmacFault::longKeyNotHashed && key.size() > 64
                                ? ByteString(key.first(64))
                                : ByteString(key);
    return {Real::hmacStrict(used, message).encode()};
  }
  static FaultyHmacSha256 hmac(ByteView key, const LazyByteString& message) {
    if (F == HmacFault::chunkedPathDiffers && message.chunks().size() > 1)
      return hmacStrict(key, message.chunks().front());
    return hmacStrict(key, message.toStrict());
  }
  ByteString encode() const { return bytes; }
  static quillon::GetResult<FaultyHmacSha256> get(ByteView b) {
    if (b.size() < 32) return quillon::Partial{};
    return quillon::Done<FaultyHmacSha256>{{ByteString(b.first(32))}, 32};
  }
  friend bool operator==(const FaultyHmacSha256&, const FaultyHmacSha256&) = default;
  friend std::ostream& operator<<(std::ostream& os, const FaultyHmacSha256& d) {
    return os << d.bytes;
  }
};

TEST(HmacSuite, FaultyImplementationsFailExactlyTheVectorsThatExposeThem) {
  TemporaryDataDir data;
  // Key lengths 0, 64 (one block), 65 and 131; messages of 38, 37, 1 and 101 bytes.
  data.write("Test/KAT_HMAC/k.rsp", "[L=32]\n" + hmacRecord<openssl::SHA256>("0", 0, 38) +
                                        hmacRecord<openssl::SHA256>("1", 64, 37) +
                                        hmacRecord<openssl::SHA256>("2", 65, 1) +
                                        hmacRecord<openssl::SHA256>("3", 131, 101));
  EXPECT_EQ(outcomeLetters(runTests(makeSHA256HMACTests<openssl::SHA256>())), "PPPP");
  EXPECT_EQ(outcomeLetters(
                runTests(makeSHA256HMACTests<FaultyHmacSha256<HmacFault::longKeyNotHashed>>())),
            "PPFF");
  const auto chunked =
      runTests(makeSHA256HMACTests<FaultyHmacSha256<HmacFault::chunkedPathDiffers>>());
  EXPECT_EQ(outcomeLetters(chunked), "FPPF");
  EXPECT_NE(chunked[0].report.find("first component: equal"), std::string::npos);
  EXPECT_NE(chunked[0].report.find("second component: DIFFERS"), std::string::npos);
  // The note names the file and the record's position, also for the last one.
  for (const char* needle : {"NistHMACSHA256-\"3\"", "k.rsp, record 4",
                             "first = hmacStrict over the whole message, second = hmac over 37-byte chunks"})
    EXPECT_NE(chunked[3].report.find(needle), std::string::npos) << needle << " missing in\n"
                                                                 << chunked[3].report;
}

TEST(Diagnostics, ShaAndHmacSelectionsGiveEverySkipWithItsReason) {
  TemporaryDataDir data;
  data.write("Test/KAT_SHA/SHA1A.rsp",
             "Len = 8\nMsg = 61\nMD = 00\nLen = 0\nMsg = 00\nLen = 0\nMD = 00\n");
  data.write("Test/KAT_SHA/Other.rsp", "Len = 0\nMsg = 00\nMD = 00\n");
  data.write("Test/KAT_HMAC/h.rsp", "[L=16]\nCount = 0\n[L=20]\nCount = 1\nKey = 00\nMsg = 00\n"
                                    "Mac = 00\nCount = 2\nKey = 00\nMsg = 00\nMac = 00\nTlen = 1\n");
  const SuiteDiagnostics sha = diagnoseSHAVectors("SHA1");
  ASSERT_EQ(sha.files.size(), 2u);
  EXPECT_EQ(sha.tests(), 1u);
  for (const FileDiagnostics& file : sha.files) {
    if (file.path.ends_with("Other.rsp")) {
      EXPECT_EQ(file.note, "not read: the name does not begin with \"SHA1\"");
    } else {
      EXPECT_EQ(file.records, 3u);
      ASSERT_EQ(file.skipped.size(), 2u);
      EXPECT_EQ(file.skipped[0].record, 2u);
      EXPECT_EQ(file.skipped[0].reason, "missing \"MD\"");
      EXPECT_EQ(file.skipped[1].reason, "missing \"Msg\"");
    }
  }
  const SuiteDiagnostics hmac = diagnoseHMACVectors("SHA1");
  ASSERT_EQ(hmac.files.size(), 1u);
  EXPECT_EQ(hmac.tests(), 1u);
  EXPECT_EQ(hmac.files[0].note, "category 1 (1 record): \"L\" = \"16\" matches no HMAC suite");
  ASSERT_EQ(hmac.files[0].skipped.size(), 1u);
  EXPECT_EQ(hmac.files[0].skipped[0].record, 2u);
  EXPECT_EQ(hmac.files[0].skipped[0].reason, "missing \"Tlen\"");
  // The suites build exactly what the diagnostics count.
  EXPECT_EQ(leafNames(makeSHA1HMACTests<openssl::SHA1>()).size(), hmac.tests());
}

TEST(HmacSuite, AlgToLenCoversTheFiveNamesOnly) {
  EXPECT_EQ(algToLen("SHA1"), "20");
  EXPECT_EQ(algToLen("SHA512"), "64");
  EXPECT_THROW(algToLen("MD5"), std::invalid_argument);
}

}  // namespace
