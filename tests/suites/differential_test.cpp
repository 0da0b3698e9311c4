// The differential suites: a binding with one bug against a sound reference
// fails exactly the leaves of that bug, with the reference's value as
// "expected"; independent bindings of the same algorithm pass.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/digests.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <primitives/openssl/digests.hpp>
#include <primitives/raw_digest.hpp>
#include <quillon_tests/differential.hpp>
#include <quillon_tests/runner.hpp>

#include "block_cipher/faulty_modes.hpp"
#include "support/outcomes.hpp"
#include "support/seeds.hpp"

namespace {

using quillon::ByteString;
using quillon::ByteView;
using quillon::LazyByteString;
using quillon_tests::LeafResult;

enum class DigestFault { none, lazyHashDropsLastChunk, hmacTruncatesLongKeys };

/// nettle's SHA-256 with its own HMAC members, and optionally one bug.
template <DigestFault Fault>
class WrappedSHA256 : public quillon::bindings::RawDigest<WrappedSHA256<Fault>, 32> {
  using Inner = quillon::nettle::SHA256;

 public:
  static int outputLength() { return 256; }
  static int blockLength() { return 512; }
  static WrappedSHA256 hash(const LazyByteString& message) {
    if (Fault != DigestFault::lazyHashDropsLastChunk || message.chunks().size() < 2)
      return WrappedSHA256(Inner::hash(message).encode());
    std::vector<ByteString> chunks = message.chunks();
    chunks.pop_back();
    return WrappedSHA256(Inner::hash(LazyByteString(std::move(chunks))).encode());
  }
  static WrappedSHA256 hashStrict(ByteView message) {
    return WrappedSHA256(Inner::hashStrict(message).encode());
  }
  // A key longer than the block must be hashed first; the faulty one cuts it.
  static WrappedSHA256 hmac(ByteView key, const LazyByteString& message) {
    return WrappedSHA256(quillon::hmac<Inner>(hmacKey(key), message).encode());
  }
  static WrappedSHA256 hmacStrict(ByteView key, ByteView message) {
    return WrappedSHA256(quillon::hmacStrict<Inner>(hmacKey(key), message).encode());
  }

 private:
  friend quillon::bindings::RawDigest<WrappedSHA256, 32>;
  explicit WrappedSHA256(ByteString bytes)
      : quillon::bindings::RawDigest<WrappedSHA256, 32>(std::move(bytes)) {}
  static ByteView hmacKey(ByteView key) {
    return Fault == DigestFault::hmacTruncatesLongKeys && key.size() > 64 ? key.first(64) : key;
  }
};

template <class D, class R>
std::vector<LeafResult> runHash() {
  return quillon_tests::runTests(quillon_tests::makeHashDifferentialTests<D, R>());
}
template <class K, class R>
std::vector<LeafResult> runCipher() {
  return quillon_tests::runTests(quillon_tests::makeBlockCipherDifferentialTests<K, R>());
}

struct PairCase {
  const char* name;
  std::vector<LeafResult> (*run)();
  std::size_t leaves;
  std::vector<std::string> failing;  // every other leaf passes
};

void PrintTo(const PairCase& c, std::ostream* os) { *os << c.name; }

const PairCase pairCases[] = {
    {"NettleSha256AgainstOpenSsl", &runHash<quillon::nettle::SHA256, quillon::openssl::SHA256>, 2, {}},
    {"NettleSha1AgainstOpenSsl", &runHash<quillon::nettle::SHA1, quillon::openssl::SHA1>, 2, {}},
    {"OwnHmacMembersAgainstOpenSsl",
     &runHash<WrappedSHA256<DigestFault::none>, quillon::openssl::SHA256>, 2, {}},
    {"LazyHashDroppingLastChunk",
     &runHash<WrappedSHA256<DigestFault::lazyHashDropsLastChunk>, quillon::openssl::SHA256>, 2,
     {"HashMatchesReference"}},
    {"HmacCuttingLongKeys",
     &runHash<WrappedSHA256<DigestFault::hmacTruncatesLongKeys>, quillon::openssl::SHA256>, 2,
     {"HMACMatchesReference"}},
    {"NettleAes128AgainstOpenSsl", &runCipher<quillon::nettle::AES128, quillon::openssl::AES128>, 6, {}},
    {"NettleAes256AgainstOpenSsl", &runCipher<quillon::nettle::AES256, quillon::openssl::AES256>, 6, {}},
    {"BotanTwoFishAgainstNettle", &runCipher<quillon::botan::TwoFish, quillon::nettle::TwoFish>, 6, {}},
    {"ToyAgainstItself", &runCipher<faulty::SoundToy, faulty::SoundToy>, 6, {}},
    {"AcceptsLongerKeys", &runCipher<faulty::AcceptsLongerKeys, faulty::SoundToy>, 6,
     {"BuildKeyMatchesReference"}},
    {"DecryptDropsKeyByte", &runCipher<faulty::DecryptDropsKeyByte, faulty::SoundToy>, 6,
     {"ECBMatchesReference", "CBCMatchesReference"}},
    {"CbcReturnsFirstBlockAsIV", &runCipher<faulty::CbcReturnsFirstBlockAsIV, faulty::SoundToy>, 6,
     {"CBCMatchesReference"}},
    {"CfbReturnsPlaintextAsIV", &runCipher<faulty::CfbReturnsPlaintextAsIV, faulty::SoundToy>, 6,
     {"CFBMatchesReference"}},
    {"OfbNeverAdvancesIV", &runCipher<faulty::OfbNeverAdvancesIV, faulty::SoundToy>, 6,
     {"OFBMatchesReference"}},
    {"LittleEndianCtr", &runCipher<faulty::LittleEndianCtr, faulty::SoundToy>, 6,
     {"CTRMatchesReference"}},
    {"Ctr32BitWraps", &runCipher<faulty::Ctr32BitWraps, faulty::SoundToy>, 6, {"CTRMatchesReference"}},
    // The reference is the faulty side here: its value is still "expected".
    {"SoundAgainstLittleEndianReference", &runCipher<faulty::SoundToy, faulty::LittleEndianCtr>, 6,
     {"CTRMatchesReference"}},
};

class DifferentialPairs : public ::testing::TestWithParam<PairCase> {};

TEST_P(DifferentialPairs, ExactlyTheLeavesOfTheBugFailAndSayWhichSideIsWhich) {
  const PairCase& c = GetParam();
  const test_support::PropertySeed seed(1);
  const std::vector<LeafResult> results = c.run();
  ASSERT_EQ(results.size(), c.leaves);
  std::map<std::string, char> expected;
  for (const std::string& leaf : c.failing) expected[leaf] = 'F';
  EXPECT_EQ(test_support::leavesNotPassed(results), expected);
  for (const LeafResult& result : results) {
    if (result.outcome != quillon_tests::Outcome::failed) continue;
    EXPECT_NE(result.report.find("expected (the reference)"), std::string::npos) << result.report;
    EXPECT_NE(result.report.find("actual (the implementation under test)"), std::string::npos)
        << result.report;
  }
}

INSTANTIATE_TEST_SUITE_P(Pairs, DifferentialPairs, ::testing::ValuesIn(pairCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DifferentialReports, HmacFailureNamesTheKeyLengthAndShowsBothDigests) {
  test_support::forEachSeed(test_support::fixedSeeds(20), [](std::uint64_t) {
    const auto results =
        runHash<WrappedSHA256<DigestFault::hmacTruncatesLongKeys>, quillon::openssl::SHA256>();
    ASSERT_EQ(results.size(), 2u);
    const std::string& report = results[1].report;
    // Only keys over the 64-byte block differ, and shrinking keeps one byte over.
    EXPECT_NE(report.find("; HMAC key 000000...00 (65 bytes)\n"), std::string::npos) << report;
    EXPECT_NE(report.find("hmac with a 65-byte key: the output differs"), std::string::npos) << report;
    EXPECT_EQ(results[0].outcome, quillon_tests::Outcome::passed) << results[0].report;
  });
}

}  // namespace
