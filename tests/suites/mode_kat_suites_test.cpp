// The CTR, AES Monte Carlo and CMAC known-answer suites over the shipped
// vectors: the bindings pass, and AES-128 bindings with one planted fault
// each fail exactly the tests whose records expose it (worked out from the
// records themselves, read independently of the suites).

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/cmac.hpp>
#include <quillon_tests/aes.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/mode_kat.hpp>
#include <quillon_tests/runner.hpp>

#include "support/outcomes.hpp"
#include "support/seeds.hpp"
#include "support/temporary_data_dir.hpp"

namespace {

using namespace quillon_tests;
using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;
using quillon::IV;
using quillon::ModeResult;
using test_support::leafNames;
using test_support::outcomeLetters;
using test_support::sorted;
using test_support::TemporaryDataDir;
using test_support::withoutGroups;

/// The CMAC subkey step, for the faulty CMACs below: the block shifted one
/// bit to the left as a 128-bit number, 0x87 folded in when a bit falls out.
void doubleInGF128(std::vector<Byte>& block) {
  unsigned carry = 0;
  for (std::size_t i = block.size(); i-- > 0;) {
    const unsigned shifted = static_cast<unsigned>(block[i] << 1) | carry;
    carry = block[i] >> 7;
    block[i] = static_cast<Byte>(shifted);
  }
  if (carry != 0) block.back() ^= 0x87;
}

std::vector<std::string> sortedFailures(const std::vector<LeafResult>& results) {
  std::vector<std::string> names;
  for (const LeafResult& result : results) {
    EXPECT_NE(result.outcome, Outcome::error) << result.pathText() << "\n" << result.report;
    if (result.outcome != Outcome::passed) names.push_back(result.path.back());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// ---------------------------------------------------------------- faults

enum class Fault {
  none,
  ctrLittleEndian,          // the counter counts from its first byte
  ctrCounter32,             // only the low 32 bits count, wrapping alone
  cbcIVDriftsAfter500Calls, // cbc/unCbc return a wrong IV once a key made 500 calls
  cfbReturnsInputAsIV,      // cfb/unCfb hand back their input block as the IV
  cmacPadsWholeBlocks,      // a whole last block is padded and masked with K2
  cmacEmptyAsWholeBlock,    // the empty message is masked with K1, unpadded
};

/// OpenSSL's AES-128 with one faulty member, consistent between encryption
/// and decryption; every other function is OpenSSL's or generic.
template <Fault F>
class FaultyAes {
 public:
  static int blockSize() { return 128; }
  static int keyLength() { return 128; }
  static std::optional<FaultyAes> buildKey(ByteView bytes) {
    auto inner = quillon::openssl::AES128::buildKey(bytes);
    if (!inner) return std::nullopt;
    return FaultyAes(std::move(*inner));
  }
  [[nodiscard]] ByteString encryptBlock(ByteView in) const { return inner_.encryptBlock(in); }
  [[nodiscard]] ByteString decryptBlock(ByteView in) const { return inner_.decryptBlock(in); }

  ModeResult<FaultyAes> ctr(const IV<FaultyAes>& iv, ByteView in) const
    requires(F == Fault::ctrLittleEndian || F == Fault::ctrCounter32) {
    std::array<Byte, 16> counter{};
    std::copy(iv.bytes().begin(), iv.bytes().end(), counter.begin());
    std::vector<Byte> out(in.begin(), in.end());
    for (std::size_t at = 0; at < in.size(); at += 16) {
      const ByteString pad = encryptBlock(ByteView(counter));
      for (std::size_t i = at; i < std::min(in.size(), at + 16); ++i) out[i] ^= pad[i - at];
      increment(counter);
    }
    return {ByteString(std::move(out)), ivOf(counter)};
  }
  ModeResult<FaultyAes> unCtr(const IV<FaultyAes>& iv, ByteView in) const
    requires(F == Fault::ctrLittleEndian || F == Fault::ctrCounter32) {
    return ctr(iv, in);
  }

  ModeResult<FaultyAes> cbc(const IV<FaultyAes>& iv, ByteView in) const
    requires(F == Fault::cbcIVDriftsAfter500Calls) {
    return drift(quillon::cbc(inner_, innerIV(iv), in));
  }
  ModeResult<FaultyAes> unCbc(const IV<FaultyAes>& iv, ByteView in) const
    requires(F == Fault::cbcIVDriftsAfter500Calls) {
    return drift(quillon::unCbc(inner_, innerIV(iv), in));
  }

  ModeResult<FaultyAes> cfb(const IV<FaultyAes>& iv, ByteView in) const
    requires(F == Fault::cfbReturnsInputAsIV) {
    auto [out, next] = quillon::cfb(inner_, innerIV(iv), in);
    return {std::move(out), in.size() >= 16 ? ivOf(in.last(16)) : ivOf(next.bytes())};
  }
  ModeResult<FaultyAes> unCfb(const IV<FaultyAes>& iv, ByteView in) const
    requires(F == Fault::cfbReturnsInputAsIV) {
    auto [out, next] = quillon::unCfb(inner_, innerIV(iv), in);
    return {std::move(out), out.size() >= 16 ? ivOf(out.view().last(16)) : ivOf(next.bytes())};
  }

  ByteString cmac(ByteView message) const
    requires(F == Fault::cmacPadsWholeBlocks || F == Fault::cmacEmptyAsWholeBlock) {
    std::vector<Byte> subkey(16, 0);
    const ByteString l = encryptBlock(ByteView(subkey));
    subkey.assign(l.begin(), l.end());
    doubleInGF128(subkey);
    const bool whole = F == Fault::cmacPadsWholeBlocks ? false : message.size() % 16 == 0;
    if (!whole) doubleInGF128(subkey);
    std::vector<Byte> blocks(message.begin(), message.end());
    if (!whole) {
      blocks.push_back(0x80);
      blocks.resize((blocks.size() + 15) / 16 * 16, 0);
    }
    if (blocks.empty()) blocks.resize(16, 0);
    for (std::size_t i = 0; i < 16; ++i) blocks[blocks.size() - 16 + i] ^= subkey[i];
    const ByteString chained = quillon::cbc(inner_, innerIV(ByteView(std::vector<Byte>(16, 0))),
                                            ByteView(blocks)).first;
    return ByteString(chained.view().last(16));
  }

 private:
  using Inner = quillon::openssl::AES128;
  explicit FaultyAes(Inner inner) : inner_(std::move(inner)) {}

  static IV<FaultyAes> ivOf(ByteView bytes) {
    return std::get<quillon::Done<IV<FaultyAes>>>(IV<FaultyAes>::get(bytes)).value;
  }
  static IV<Inner> innerIV(ByteView bytes) {
    return std::get<quillon::Done<IV<Inner>>>(IV<Inner>::get(bytes)).value;
  }
  static IV<Inner> innerIV(const IV<FaultyAes>& iv) { return innerIV(iv.bytes()); }

  static void increment(std::array<Byte, 16>& counter) {
    if constexpr (F == Fault::ctrLittleEndian) {
      for (std::size_t i = 0; i < 16 && ++counter[i] == 0; ++i) {}
    } else {
      for (std::size_t i = 16; i-- > 12 && ++counter[i] == 0;) {}
    }
  }

  ModeResult<FaultyAes> drift(ModeResult<Inner> result) const {
    std::vector<Byte> next(result.second.bytes().begin(), result.second.bytes().end());
    if (++*calls_ > 500) next[0] ^= 0x01;
    return {std::move(result.first), ivOf(next)};
  }

  Inner inner_;
  std::shared_ptr<int> calls_ = std::make_shared<int>(0);
};

// ---------------------------------------------------------------- records

/// One shipped record, read with loadKATFiles rather than through a suite.
struct Shipped {
  std::string test;  // the name the suite gives it
  std::string file;
  std::string key;   // hex
  std::string iv;
  std::size_t inputBytes = 0;  // PLAINTEXT bytes; Mlen for CMAC
};

std::vector<Shipped> shipped(std::string_view directory, std::string_view startKey,
                             std::string_view filePrefix = "") {
  const KatFiles files = loadKATFiles(directory, startKey);
  std::vector<Shipped> records;
  for (std::size_t i = 0; i < files.files.size(); ++i) {
    const std::string file(fileNameOf(files.paths[i]));
    if (!file.starts_with(filePrefix)) continue;
    for (const KatCategory& category : files.files[i])
      for (const KatRecord& record : category.records) {
        auto field = [&](const char* key) {
          const std::string* value = findProperty(record, key);
          return value ? *value : std::string();
        };
        const bool cmac = startKey == "Count";
        records.push_back({std::string(fileStemOf(file)) + "-" + field(cmac ? "Count" : "COUNT"), file,
                           field(cmac ? "Key" : "KEY"), field("IV"),
                           cmac ? std::stoul(field("Mlen")) : field("PLAINTEXT").size() / 2});
      }
  }
  return records;
}

/// The tests of the 128-bit records that `exposes` picks, sorted.
std::vector<std::string> expected128(const std::vector<Shipped>& records,
                                     const std::function<bool(const Shipped&)>& exposes) {
  std::vector<std::string> names;
  for (const Shipped& record : records)
    if (record.key.size() == 32 && exposes(record)) names.push_back(record.test);
  std::sort(names.begin(), names.end());
  return names;
}

std::size_t count128(const std::vector<Shipped>& records) {
  return static_cast<std::size_t>(std::count_if(records.begin(), records.end(),
                                                [](const Shipped& r) { return r.key.size() == 32; }));
}

/// Whether a counter starting at `iv` runs out of its low `bits` bits
/// within a message of `bytes` bytes.
bool carriesOutOfLowBits(const std::string& iv, std::size_t bytes, int bits) {
  const ByteString counter = hexStringToBS(iv);
  unsigned long long low = 0;
  for (std::size_t i = 16 - static_cast<std::size_t>(bits / 8); i < 16; ++i) low = low << 8 | counter[i];
  const unsigned long long blocks = (bytes + 15) / 16;
  const unsigned long long limit = bits == 64 ? ~0ULL : (1ULL << bits) - 1;
  return blocks > 0 && limit - low < blocks - 1;
}

// ---------------------------------------------------------------- the bindings pass

template <class K>
void expectAllPass(const std::vector<Test>& tests, std::size_t expectedCount) {
  const auto results = runTests(tests);
  EXPECT_EQ(results.size(), expectedCount);
  EXPECT_EQ(sortedFailures(results), std::vector<std::string>{});
}

TEST(ModeKnownAnswers, EveryAesBindingPassesEachShippedRecordOfItsKeySize) {
  const auto ctr = shipped("Test/KAT_AES_CTR", "COUNT");
  const auto mct = shipped("Test/KAT_AES_MCT", "COUNT");
  const auto cmac = shipped("Test/KAT_CMAC", "Count", "CMACGenAES");
  auto ofSize = [](const std::vector<Shipped>& records, std::size_t keyHex) {
    return static_cast<std::size_t>(std::count_if(records.begin(), records.end(),
                                                  [&](const Shipped& r) { return r.key.size() == keyHex; }));
  };
  ASSERT_EQ(ctr.size(), 114u);
  ASSERT_EQ(mct.size(), 2400u);
  ASSERT_EQ(cmac.size(), 120u);
  expectAllPass<quillon::openssl::AES128>(makeAESCTRTests<quillon::openssl::AES128>(), ofSize(ctr, 32));
  expectAllPass<quillon::openssl::AES192>(makeAESCTRTests<quillon::openssl::AES192>(), ofSize(ctr, 48));
  expectAllPass<quillon::nettle::AES256>(makeAESCTRTests<quillon::nettle::AES256>(), ofSize(ctr, 64));
  expectAllPass<quillon::openssl::AES256>(makeAESMonteTests<quillon::openssl::AES256>(), ofSize(mct, 64));
  expectAllPass<quillon::nettle::AES128>(makeAESMonteTests<quillon::nettle::AES128>(), ofSize(mct, 32));
  expectAllPass<quillon::openssl::AES128>(makeCMACTests<quillon::openssl::AES128>(), ofSize(cmac, 32));
  expectAllPass<quillon::nettle::AES192>(makeCMACTests<quillon::nettle::AES192>(), ofSize(cmac, 48));
}

TEST(ModeKnownAnswers, TwoFishRunsItsOwnCmacFilesThroughTheGenericConstruction) {
  const auto twofish = shipped("Test/KAT_CMAC", "Count", "CMACGenTwofish");
  ASSERT_EQ(twofish.size(), 108u);
  expectAllPass<quillon::nettle::TwoFish>(makeTwoFishCMACTests<quillon::nettle::TwoFish>(), twofish.size());
  // AES vectors are not TwoFish's: the AES-CMAC suite run with TwoFish fails
  // every one, so it is a separate suite rather than a key-size selection.
  const auto wrongCipher = runTests(makeCMACTests<quillon::nettle::TwoFish>());
  EXPECT_EQ(wrongCipher.size(), 120u);
  EXPECT_EQ(sortedFailures(wrongCipher).size(), 120u);
}

TEST(ModeKnownAnswers, MemberCmacsAgreeWithTheGenericConstruction) {
  for (const auto& results : {runTests({makeCMACPropTests<quillon::openssl::AES128>()}),
                              runTests({makeCMACPropTests<quillon::nettle::AES256>()}),
                              runTests({makeCMACPropTests<quillon::nettle::TwoFish>()})}) {
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, Outcome::passed) << results[0].report;
  }
}

// ---------------------------------------------------------------- faults

struct FaultCase {
  const char* description;
  std::function<std::vector<LeafResult>()> ctr, monte, cmac, aes, property;
  std::function<bool(const Shipped&)> ctrExposed, monteExposed, cmacExposed;
  bool propertyFails;
};

template <Fault F>
FaultCase faultCase(const char* description, std::function<bool(const Shipped&)> ctr,
                    std::function<bool(const Shipped&)> monte, std::function<bool(const Shipped&)> cmac) {
  using K = FaultyAes<F>;
  return {description,
          [] { return runTests(makeAESCTRTests<K>()); },
          [] { return runTests(makeAESMonteTests<K>()); },
          [] { return runTests(makeCMACTests<K>()); },
          [] { return runTests(withoutGroups(makeAESTests<K>())); },
          [] {
            // Only the CMAC faults live in a member cmac the property can check.
            if constexpr (quillon::HasOwnCmac<K>) return runTests({makeCMACPropTests<K>()});
            else return std::vector<LeafResult>{};
          },
          std::move(ctr), std::move(monte), std::move(cmac),
          F == Fault::cmacPadsWholeBlocks || F == Fault::cmacEmptyAsWholeBlock};
}

bool none(const Shipped&) { return false; }
bool inFile(const Shipped& r, std::string_view prefix) { return r.file.starts_with(prefix); }

TEST(ModeKnownAnswerFaults, EachFaultFailsExactlyTheTestsWhoseRecordsExposeIt) {
  const auto ctr = shipped("Test/KAT_AES_CTR", "COUNT");
  const auto monte = shipped("Test/KAT_AES_MCT", "COUNT");
  const auto cmac = shipped("Test/KAT_CMAC", "Count", "CMACGenAES");
  const std::vector<FaultCase> cases{
      faultCase<Fault::none>("sound", none, none, none),
      // Any record of two blocks or more: the second counter block differs.
      faultCase<Fault::ctrLittleEndian>("little-endian CTR",
                                        [](const Shipped& r) { return r.inputBytes > 16; }, none, none),
      // Only counters that run out of their low 32 bits in the message.
      faultCase<Fault::ctrCounter32>("32-bit CTR counter",
                                     [](const Shipped& r) { return carriesOutOfLowBits(r.iv, r.inputBytes, 32); },
                                     none, none),
      // One call per record elsewhere; 1000 calls per Monte Carlo record.
      faultCase<Fault::cbcIVDriftsAfter500Calls>("CBC IV wrong after 500 calls", none,
                                                 [](const Shipped& r) { return inFile(r, "CBCMCT"); }, none),
      faultCase<Fault::cfbReturnsInputAsIV>("CFB returns its input as IV", none,
                                            [](const Shipped& r) { return inFile(r, "CFB128MCT"); }, none),
      faultCase<Fault::cmacPadsWholeBlocks>("CMAC pads a whole last block", none, none,
                                            [](const Shipped& r) { return r.inputBytes > 0 && r.inputBytes % 16 == 0; }),
      faultCase<Fault::cmacEmptyAsWholeBlock>("CMAC takes the empty message as a whole block", none, none,
                                              [](const Shipped& r) { return r.inputBytes == 0; }),
  };
  for (const FaultCase& fault : cases) {
    SCOPED_TRACE(fault.description);
    const auto ctrResults = fault.ctr();
    EXPECT_EQ(ctrResults.size(), count128(ctr));
    EXPECT_EQ(sortedFailures(ctrResults), expected128(ctr, fault.ctrExposed));
    const auto monteResults = fault.monte();
    EXPECT_EQ(monteResults.size(), count128(monte));
    EXPECT_EQ(sortedFailures(monteResults), expected128(monte, fault.monteExposed));
    const auto cmacResults = fault.cmac();
    EXPECT_EQ(cmacResults.size(), count128(cmac));
    EXPECT_EQ(sortedFailures(cmacResults), expected128(cmac, fault.cmacExposed));
    // The one-call known answers of the AES suite miss every one of them.
    EXPECT_EQ(sortedFailures(fault.aes()), std::vector<std::string>{});
    const test_support::PropertySeed seed(1);  // whether the property finds the fault
    const auto property = fault.property();
    ASSERT_EQ(property.size(), fault.propertyFails ? 1u : 0u);
    if (fault.propertyFails) {
      EXPECT_EQ(property[0].outcome, Outcome::failed) << property[0].report;
    }
  }
}

TEST(ModeKnownAnswerFaults, TheFaultsAreSeenByTheShippedRecordsAtAll) {
  // Guards the table above: a fault none of the records exposes would pass
  // it vacuously.
  const auto ctr = shipped("Test/KAT_AES_CTR", "COUNT");
  const auto cmac = shipped("Test/KAT_CMAC", "Count", "CMACGenAES");
  for (int bits : {8, 16, 32, 64}) {
    EXPECT_FALSE(expected128(ctr, [bits](const Shipped& r) { return carriesOutOfLowBits(r.iv, r.inputBytes, bits); })
                     .empty()) << bits;
  }
  EXPECT_FALSE(expected128(cmac, [](const Shipped& r) { return r.inputBytes == 0; }).empty());
}

TEST(ModeKnownAnswerReports, AFailureShowsTheVectorAsExpectedAndNamesFileRecordAndOperation) {
  const auto results = runTests(makeAESMonteTests<FaultyAes<Fault::cbcIVDriftsAfter500Calls>>());
  const auto found = std::find_if(results.begin(), results.end(),
                                  [](const LeafResult& r) { return r.path.back() == "CBCMCT128e-99"; });
  ASSERT_NE(found, results.end());
  const std::string& report = found->report;
  for (const char* needle : {"CBCMCT128e-99", "CBCMCT128e.rsp, record 100 (line 604)",
                             "expected = CIPHERTEXT from the vector file\ngot = cbc", "in block 0 (16-byte blocks",
                             "cbc(KEY, IV, ...) chained 1000 times from PLAINTEXT",
                             "expected: 7bed7671c8913aa1330f193761523e67"}) {
    EXPECT_NE(report.find(needle), std::string::npos) << needle << " missing in\n" << report;
  }
}

// ---------------------------------------------------------------- crafted directories

/// Per file (by name) its note, and each skipped record with its reason;
/// sorted, they stand file by file.
std::vector<std::string> diagnosticLines(const SuiteDiagnostics& diagnostics) {
  std::vector<std::string> lines;
  for (const FileDiagnostics& file : diagnostics.files) {
    const std::string name(fileNameOf(file.path));
    lines.push_back(name + " (" + std::to_string(file.tests) + " tests): " + file.note);
    for (const SkippedRecord& skipped : file.skipped)
      lines.push_back(name + " record " + std::to_string(skipped.record) + ": " + skipped.reason);
  }
  return lines;
}

const std::string key128 = "KEY = 000102030405060708090a0b0c0d0e0f\n";
const std::string key192 = "KEY = 000102030405060708090a0b0c0d0e0f1011121314151617\n";
const std::string iv16 = "IV = 00000000000000000000000000000000\n";
const std::string block = "PLAINTEXT = 00000000000000000000000000000000\n"
                          "CIPHERTEXT = 00000000000000000000000000000000\n";

struct SelectionCase {
  const char* suite;
  std::vector<std::pair<std::string, std::string>> files;  // path under the data directory, text
  std::function<std::vector<Test>()> build;
  std::function<SuiteDiagnostics()> diagnose;
  std::vector<std::string> names;
  std::vector<std::string> diagnostics;
};

TEST(ModeKnownAnswerSelection, FilesCategoriesAndRecordsAreTakenOrSkippedWithTheirReason) {
  using K = quillon::openssl::AES128;
  const std::vector<SelectionCase> cases{
      {"CTR",
       {{"Test/KAT_AES_CTR/CTRx128.rsp",
         "[ENCRYPT]\nCOUNT = 0\n" + key128 + iv16 + block + "\n[NEITHER]\nCOUNT = 5\n" + key128 + iv16 + block +
             "\n[DECRYPT]\nCOUNT = 1\n" + key192 + iv16 + block + "\nCOUNT = 2\n" + key128 +
             "IV = 0000\n" + block + "\nCOUNT = 3\n" + key128 + iv16 + block +
             "\n[ENCRYPT]\n[DECRYPT]\nCOUNT = 4\n" + key128 + iv16 + block}},
       [] { return makeAESCTRTests<K>(); },
       [] { return diagnoseAESCTRVectors<K>(); },
       {"CTRx128-0", "CTRx128-3"},
       {"CTRx128.rsp (2 tests): category 2 (1 record) names neither [ENCRYPT] nor [DECRYPT]; "
        "category 4 (1 record) names both [ENCRYPT] and [DECRYPT]",
        "CTRx128.rsp record 3: key refused by buildKey", "CTRx128.rsp record 4: IV does not deserialise"}},
      {"Monte Carlo",
       {{"Test/KAT_AES_MCT/ECBMCT128e.rsp", "[ENCRYPT]\nCOUNT = 0\n" + key128 + block},
        {"Test/KAT_AES_MCT/CFB8MCT128e.rsp", "[ENCRYPT]\nCOUNT = 0\n" + key128 + iv16 + block},
        {"Test/KAT_AES_MCT/OFBMCT128d.rsp", "[DECRYPT]\nCOUNT = 0\n" + key128 + block + "\nCOUNT = 1\n" + key128 +
                                                iv16 + block}},
       [] { return makeAESMonteTests<K>(); },
       [] { return diagnoseAESMonteVectors<K>(); },
       {"ECBMCT128e-0", "OFBMCT128d-1"},
       {"CFB8MCT128e.rsp (0 tests): not read: name begins with none of ECBMCT, CBCMCT, CFB128MCT, OFBMCT",
        "ECBMCT128e.rsp (1 tests): ", "OFBMCT128d.rsp (1 tests): ", "OFBMCT128d.rsp record 1: missing \"IV\""}},
      {"CMAC",
       {{"Test/KAT_CMAC/CMACGenAES128.rsp",
         "Count = 0\nMlen = 0\nTlen = 16\nKey = 2b7e151628aed2a6abf7158809cf4f3c\nMsg = 00\nMac = 00\n\n"
         "Count = 1\nMlen = x\nTlen = 16\nKey = 2b7e151628aed2a6abf7158809cf4f3c\nMsg = 00\nMac = 00\n\n"
         "Count = 2\nMlen = 0\nTlen = -4\nKey = 2b7e151628aed2a6abf7158809cf4f3c\nMsg = 00\nMac = 00\n\n"
         "Count = 3\nMlen = 0\nTlen = 16\nMsg = 00\nMac = 00\n"},
        {"Test/KAT_CMAC/CMACGenTwofish128.rsp",
         "Count = 0\nMlen = 0\nTlen = 16\nKey = 2b7e151628aed2a6abf7158809cf4f3c\nMsg = 00\nMac = 00\n"}},
       [] { return makeCMACTests<K>(); },
       [] { return diagnoseCMACVectors<K>(); },
       {"CMACGenAES128-0"},
       {"CMACGenAES128.rsp (1 tests): ", "CMACGenAES128.rsp record 2: Mlen or Tlen is not a decimal byte count",
        "CMACGenAES128.rsp record 3: Mlen or Tlen is not a decimal byte count",
        "CMACGenAES128.rsp record 4: missing \"Key\"",
        "CMACGenTwofish128.rsp (0 tests): not read: name does not begin with CMACGenAES"}},
  };
  for (const SelectionCase& c : cases) {
    SCOPED_TRACE(c.suite);
    TemporaryDataDir data;
    for (const auto& [path, text] : c.files) data.write(path, text);
    // Files come in the order the directory lists them.
    EXPECT_EQ(sorted(leafNames(c.build())), sorted(c.names));
    EXPECT_EQ(sorted(diagnosticLines(c.diagnose())), sorted(c.diagnostics));
  }
}

TEST(ModeKnownAnswerSelection, ACmacRecordAtOddsWithItsLengthsIsAnErrorOfTheVector) {
  // The first example of NIST SP 800-38B: the empty message under this key.
  const std::string head = "Key = 2b7e151628aed2a6abf7158809cf4f3c\nMsg = 00\n";
  struct Case {
    std::string lengths, mac;
    char outcome;
    const char* report;
  };
  const std::vector<Case> cases{
      {"Mlen = 0\nTlen = 16\n", "bb1d6929e95937287fa37d129b756746", 'P', ""},
      {"Mlen = 0\nTlen = 4\n", "bb1d6929", 'P', ""},
      {"Mlen = 0\nTlen = 4\n", "bb1d692a", 'F', "expected: bb1d692a"},
      // A Mac longer than Tlen is not cut to it.
      {"Mlen = 0\nTlen = 4\n", "bb1d6929e95937287fa37d129b756746", 'E', "Mac holds 16 bytes, Tlen says 4"},
      {"Mlen = 2\nTlen = 16\n", "bb1d6929e95937287fa37d129b756746", 'E', "Msg holds 1 bytes, Mlen says 2"},
      {"Mlen = 0\nTlen = 17\n", "bb1d6929e95937287fa37d129b75674600", 'E', "Tlen of 17 bytes, longer than"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lengths + c.mac);
    TemporaryDataDir data;
    data.write("Test/KAT_CMAC/CMACGenAES128.rsp", "Count = 0\n" + c.lengths + head + "Mac = " + c.mac + "\n");
    const auto results = runTests(makeCMACTests<quillon::openssl::AES128>());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(outcomeLetters(results), std::string(1, c.outcome));
    EXPECT_NE(results[0].report.find(c.report), std::string::npos) << results[0].report;
  }
}

}  // namespace
