// The AEAD property and differential suites against AEADs with one planted
// fault each: the real builders, the plain runner, and exactly the leaves
// that must notice, under a fixed seed. The generic constructions pass.

#include <gtest/gtest.h>

#include <map>
#include <primitives/openssl/aead.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/ccm.hpp>
#include <quillon/gcm.hpp>
#include <quillon_tests/aead_differential.hpp>
#include <quillon_tests/aead_properties.hpp>
#include <quillon_tests/runner.hpp>
#include <string>
#include <vector>

#include "aead/faulty_aeads.hpp"
#include "support/outcomes.hpp"
#include "support/seeds.hpp"

namespace {

using faulty_aeads::FaultyGcm;
using faulty_aeads::GcmFault;
using quillon_tests::LeafResult;
using quillon_tests::Test;
namespace openssl = quillon::openssl;

/// The property group of A, then its differential group against R.
template <class A, class R>
std::vector<LeafResult> runBothSuites() {
  std::vector<Test> tests = quillon_tests::makeAeadPropTests<A>();
  for (Test& group : quillon_tests::makeAeadDifferentialTests<A, R>()) tests.push_back(std::move(group));
  return quillon_tests::runTests(tests);
}

template <GcmFault Fault>
std::vector<LeafResult> runFaultyGcm() {
  return runBothSuites<FaultyGcm<Fault>, quillon::Gcm<openssl::AES128>>();
}

struct FaultRow {
  const char* fault;
  std::vector<LeafResult> (*run)();
  std::vector<std::string> failing;  // every other leaf passes
  const char* smallest = "";         // in the first line of the first failing leaf's report
};

void PrintTo(const FaultRow& row, std::ostream* os) { *os << row.fault; }

// Empty, zero bytes, 12-byte nonces and 16-byte tags are where shrinking
// heads: the smallest cases below say only what differs from that.
const FaultRow faultRows[] = {
    {"SoundGcm", &runFaultyGcm<GcmFault::none>, {}},
    {"GenericGcm", &runBothSuites<quillon::Gcm<openssl::AES128>, openssl::AES128GCM>, {}},
    {"GenericCcm", &runBothSuites<quillon::Ccm<openssl::AES192>, openssl::AES192CCM>, {}},
    {"IvCutTo12",
     &runFaultyGcm<GcmFault::ivCutTo12>,
     {"NonceSensitivity", "SealMatchesReference", "OpenMatchesReference"},
     "plaintext of 0 bytes; AAD of 0 bytes; nonce 000000...00 (12 bytes)"},
    {"IvZeroPaddedTo12",
     &runFaultyGcm<GcmFault::ivZeroPaddedTo12>,
     {"NonceSensitivity", "SealMatchesReference", "OpenMatchesReference"},
     "nonce 00 (1 byte)"},
    // One forgery in 256 gets past a 1-byte check: the leaves that try many
    // forgeries per case meet one within a hundred cases.
    {"TagFirstByteOnly",
     &runFaultyGcm<GcmFault::tagFirstByteOnly>,
     {"TagBitFlips", "CiphertextAndAADFlips", "NonceSensitivity", "TruncatedAndExtendedInput",
      "OpenMatchesReference"},
     "plaintext of 0 bytes; AAD of 0 bytes"},
    {"TagAtCallerLength",
     &runFaultyGcm<GcmFault::tagAtCallerLength>,
     {"RefusedLengths"},
     "plaintext of 0 bytes; AAD of 0 bytes"},
    {"EmptyNonceAccepted",
     &runFaultyGcm<GcmFault::emptyNonceAccepted>,
     {"RefusedLengths"},
     "plaintext of 0 bytes; AAD of 0 bytes"},
    {"TextOnWrongTag",
     &runFaultyGcm<GcmFault::textOnWrongTag>,
     {"TagBitFlips", "CiphertextAndAADFlips", "NonceSensitivity", "TruncatedAndExtendedInput",
      "OpenMatchesReference"},
     "plaintext of 0 bytes; AAD of 0 bytes"},
    {"NoLengthBlockWhenEmpty",
     &runFaultyGcm<GcmFault::noLengthBlockWhenEmpty>,
     {"TruncatedAndExtendedInput", "SealMatchesReference", "OpenMatchesReference"},
     "plaintext of 0 bytes; AAD of 0 bytes"},
    {"LazyLosesPartialBlock",
     &runFaultyGcm<GcmFault::lazyLosesPartialBlock>,
     {"LazyStrictEqual", "SealMatchesReference", "OpenMatchesReference"},
     "plaintext of 0 bytes in chunks []; AAD of 2 bytes in chunks [1, 1]"},
    // The counter differs from inc32 only once its low 32 bits wrap, which
    // random nonces do not reach: only counter-wrap known answers can tell.
    {"CounterOver128Bits", &runFaultyGcm<GcmFault::counterOver128Bits>, {}},
    {"ChaChaCuts16ByteNonce",
     &runBothSuites<faulty_aeads::ChaChaCuts16ByteNonce, openssl::ChaCha20Poly1305>,
     {"NonceSensitivity"},
     "plaintext of 0 bytes; AAD of 0 bytes; nonce 000000...00 (16 bytes)"},
};

class AeadSuiteFaults : public ::testing::TestWithParam<FaultRow> {};

TEST_P(AeadSuiteFaults, ExactlyTheLeavesForTheFaultFail) {
  const FaultRow& row = GetParam();
  const test_support::PropertySeed seed(1);
  const std::vector<LeafResult> results = row.run();
  std::map<std::string, char> expected;
  for (const std::string& leaf : row.failing) expected[leaf] = 'F';
  EXPECT_EQ(test_support::leavesNotPassed(results), expected);
  bool first = true;
  for (const LeafResult& result : results) {
    if (result.outcome != quillon_tests::Outcome::failed) continue;
    const std::string firstLine = result.report.substr(0, result.report.find('\n'));
    EXPECT_EQ(firstLine.rfind("smallest failing case: ", 0), 0u) << result.pathText() << '\n'
                                                                 << result.report;
    if (first) {
      EXPECT_NE(firstLine.find(row.smallest), std::string::npos) << result.pathText() << '\n'
                                                                 << result.report;
      first = false;
    }
    EXPECT_NE(result.report.find("to reproduce this case: RC_PARAMS="), std::string::npos)
        << result.pathText() << '\n'
        << result.report;
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, AeadSuiteFaults, ::testing::ValuesIn(faultRows),
                         [](const auto& info) { return std::string(info.param.fault); });

/// Every leaf of `tests` fails, saying `why`.
void expectEveryLeafFailsSaying(const std::vector<Test>& tests, const std::string& why) {
  const std::vector<LeafResult> results = quillon_tests::runTests(tests);
  ASSERT_FALSE(results.empty());
  for (const LeafResult& result : results) {
    EXPECT_EQ(result.outcome, quillon_tests::Outcome::failed) << result.pathText();
    EXPECT_NE(result.report.find(why), std::string::npos) << result.pathText() << '\n' << result.report;
  }
}

TEST(MakeAeadSuites, TypesWithNothingToTestFailEveryLeafSayingWhy) {
  // ChaCha20-Poly1305 takes only 12-byte nonces, 16-byte tags, 256-bit keys.
  using NoNonce = faulty_aeads::AcceptsNoNonce;
  expectEveryLeafFailsSaying(quillon_tests::makeAeadPropTests<NoNonce>(),
                             "the type accepts no nonce length from 1 to 256 bytes");
  expectEveryLeafFailsSaying(quillon_tests::makeAeadDifferentialTests<NoNonce, openssl::ChaCha20Poly1305>(),
                             "accept no nonce length in common");
  expectEveryLeafFailsSaying(
      quillon_tests::makeAeadDifferentialTests<openssl::ChaCha20Poly1305, quillon::Gcm<openssl::AES128>>(),
      "the reference's keyLength() is 128 bits, the implementation's 256: not the same algorithm");
}

}  // namespace
