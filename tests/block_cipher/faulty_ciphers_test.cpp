// The block-cipher suite against ciphers with one deliberate fault each: the
// real builder, the plain runner, and exactly the leaves that must notice.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/runner.hpp>

#include "block_cipher/faulty_ciphers.hpp"
#include "support/seeds.hpp"

namespace {

using quillon_tests::Outcome;

const std::vector<std::string> allLeaves = {
    "ECBEncDecID",     "CBCEncDecID",     "CFBEncDecID",     "OFBEncDecID",     "CTREncDecID",
    "ECBStringLazyEq", "CBCStrictLazyEq", "CFBStrictLazyEq", "OFBStrictLazyEq", "CTRStrictLazyEq"};

struct Deviation {
  Outcome outcome;
  std::string reportExcerpt;  // must appear in the leaf's report
};

/// Runs the suite for K under a fixed seed and checks every leaf: passed, unless `deviations`
/// names it with another outcome and a piece of its report.
template <class K>
void expectOutcomes(const std::map<std::string, Deviation>& deviations) {
  const test_support::PropertySeed seed(1);
  const auto results = quillon_tests::runTests(quillon_tests::makeBlockCipherPropTests<K>());
  ASSERT_EQ(results.size(), allLeaves.size());
  for (std::size_t i = 0; i < results.size(); ++i) {
    const auto& result = results[i];
    const std::string& leaf = result.path.back();
    ASSERT_EQ(leaf, allLeaves[i]);
    const auto deviation = deviations.find(leaf);
    const Outcome expected = deviation == deviations.end() ? Outcome::passed : deviation->second.outcome;
    EXPECT_EQ(quillon_tests::toString(result.outcome), std::string(quillon_tests::toString(expected)))
        << result.pathText() << "\n" << result.report;
    if (deviation != deviations.end()) {
      EXPECT_NE(result.report.find(deviation->second.reportExcerpt), std::string::npos)
          << result.pathText() << " report lacks \"" << deviation->second.reportExcerpt
          << "\":\n" << result.report;
    }
  }
}

TEST(FaultyCiphers, SoundToyCipherPassesEveryLeaf) { expectOutcomes<faulty::SoundToy>({}); }

TEST(FaultyCiphers, LazyCbcReturningFirstChunkIVFailsOnlyCbcLazyEquality) {
  expectOutcomes<faulty::LazyCbcFirstChunkIV>(
      {{"CBCStrictLazyEq",
        {Outcome::failed, "the lazy encryption returned a different IV from the contiguous one"}}});
}

TEST(FaultyCiphers, LazyCtrRestartingPerChunkFailsOnlyCtrLazyEquality) {
  expectOutcomes<faulty::CtrLazyRestartsPerChunk>(
      {{"CTRStrictLazyEq",
        {Outcome::failed, "the lazy encryption's output differs from the contiguous one"}}});
}

TEST(FaultyCiphers, DamagedPadByteIsCaughtByUnpadESP) {
  expectOutcomes<faulty::UnEcbDamagesPadByte>(
      {{"ECBEncDecID", {Outcome::failed, "unpadESP found no valid padding after ecb and unEcb"}}});
}

TEST(FaultyCiphers, DecryptionIgnoringAKeyByteFailsTheModesThatDecrypt) {
  // CFB, OFB and CTR decrypt with encryptBlock, so only ECB and CBC notice.
  expectOutcomes<faulty::DecryptDropsKeyByte>(
      {{"ECBEncDecID", {Outcome::failed, "unEcb"}},
       {"CBCEncDecID", {Outcome::failed, "decryption did not give back the padded message"}}});
}

TEST(FaultyCiphers, RefusedKeysDiscardEveryCaseSoEveryLeafGivesUp) {
  std::map<std::string, Deviation> all;
  for (const std::string& leaf : allLeaves) all[leaf] = {Outcome::gaveUp, ""};
  expectOutcomes<faulty::RefusesEveryKey>(all);
}

TEST(FaultyCiphers, BlocksUnderOneByteFailWithErrorsNotUndefinedBehaviour) {
  std::map<std::string, Deviation> all;
  for (std::size_t i = 0; i < allLeaves.size(); ++i)
    all[allLeaves[i]] = {Outcome::failed, i < 5 ? "quillon::padESP" : "block size under 8 bits"};
  expectOutcomes<faulty::QuarterByteBlock>(all);
}

}  // namespace
