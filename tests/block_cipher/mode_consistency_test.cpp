// The mode-consistency group against toy ciphers whose own modes carry one
// bug each: the real builders, the plain runner, and exactly the leaves that
// must notice. The existing property groups run alongside and must pass,
// which is what makes these bugs worth a group of their own.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/mode_consistency.hpp>
#include <quillon_tests/runner.hpp>

#include "block_cipher/faulty_modes.hpp"
#include "support/outcomes.hpp"
#include "support/seeds.hpp"

namespace {

using quillon_tests::LeafResult;
using quillon_tests::Test;

/// The number of leaves of the mode-consistency group.
constexpr std::size_t consistencyLeafCount = 9;

/// Both property groups of makeBlockCipherPropTests, then the new group.
template <class K>
std::vector<LeafResult> runAllPropertyGroups() {
  std::vector<Test> tests = quillon_tests::makeBlockCipherPropTests<K>();
  for (Test& group : quillon_tests::makeModeConsistencyTests<K>()) tests.push_back(std::move(group));
  return quillon_tests::runTests(tests);
}

struct FaultCase {
  const char* binding;
  std::vector<LeafResult> (*run)();
  std::vector<std::string> failing;  // every other leaf passes
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.binding; }

const FaultCase faultCases[] = {
    {"SoundToy", &runAllPropertyGroups<faulty::SoundToy>, {}},
    {"CfbReturnsPlaintextAsIV", &runAllPropertyGroups<faulty::CfbReturnsPlaintextAsIV>,
     {"CFBContinuation", "CFBMatchesBlockFunction"}},
    {"CfbPartialBlockKeepsIV", &runAllPropertyGroups<faulty::CfbPartialBlockKeepsIV>,
     {"CFBMatchesBlockFunction"}},
    {"OfbNeverAdvancesIV", &runAllPropertyGroups<faulty::OfbNeverAdvancesIV>,
     {"OFBContinuation", "OFBMatchesBlockFunction"}},
    {"CbcReturnsFirstBlockAsIV", &runAllPropertyGroups<faulty::CbcReturnsFirstBlockAsIV>,
     {"CBCContinuation", "CBCMatchesBlockFunction"}},
    {"CtrReturnsLastUsedCounter", &runAllPropertyGroups<faulty::CtrReturnsLastUsedCounter>,
     {"CTRContinuation", "CTRMatchesBlockFunction"}},
    {"LittleEndianCtr", &runAllPropertyGroups<faulty::LittleEndianCtr>, {"CTRMatchesBlockFunction"}},
    {"Ctr32BitWraps", &runAllPropertyGroups<faulty::Ctr32BitWraps>, {"CTRMatchesBlockFunction"}},
    {"Ctr64BitWraps", &runAllPropertyGroups<faulty::Ctr64BitWraps>, {"CTRMatchesBlockFunction"}},
    // decryptBlock is wrong but every mode goes through it the same way:
    // round trips notice, consistency cannot.
    {"DecryptDropsKeyByte", &runAllPropertyGroups<faulty::DecryptDropsKeyByte>,
     {"ECBEncDecID", "CBCEncDecID"}},
};

class ModeConsistencyFaults : public ::testing::TestWithParam<FaultCase> {};

// How small the failures shrink: tests/core/shrunk_failures_test.cpp.
TEST_P(ModeConsistencyFaults, ExactlyTheLeavesForTheBugFail) {
  const FaultCase& c = GetParam();
  const test_support::PropertySeed seed(1);
  const std::vector<LeafResult> results = c.run();
  ASSERT_EQ(results.size(), 10 + consistencyLeafCount);
  std::map<std::string, char> expected;
  for (const std::string& leaf : c.failing) expected[leaf] = 'F';
  EXPECT_EQ(test_support::leavesNotPassed(results), expected);
  for (const LeafResult& result : results) {
    if (result.outcome != quillon_tests::Outcome::failed) continue;
    EXPECT_NE(result.report.find("to reproduce this case: RC_PARAMS="), std::string::npos)
        << result.pathText() << '\n' << result.report;
  }
}

INSTANTIATE_TEST_SUITE_P(Bindings, ModeConsistencyFaults, ::testing::ValuesIn(faultCases),
                         [](const auto& info) { return std::string(info.param.binding); });

template <class K>
class ModeConsistencyOnBinding : public ::testing::Test {};
using NativeBindings =
    ::testing::Types<quillon::openssl::AES128, quillon::openssl::AES256, quillon::nettle::AES192,
                     quillon::nettle::TwoFish, quillon::botan::TwoFish>;
TYPED_TEST_SUITE(ModeConsistencyOnBinding, NativeBindings);

TYPED_TEST(ModeConsistencyOnBinding, EveryLeafPasses) {
  const auto results = quillon_tests::runTests(quillon_tests::makeModeConsistencyTests<TypeParam>());
  EXPECT_EQ(results.size(), consistencyLeafCount);
  EXPECT_EQ(test_support::leavesNotPassed(results), (std::map<std::string, char>{}));
  for (const auto& result : results)
    EXPECT_EQ(result.outcome, quillon_tests::Outcome::passed) << result.pathText() << '\n' << result.report;
}

}  // namespace
