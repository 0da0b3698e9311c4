// The hash property suite and the MD5 suite, run over deliberately faulty
// digest types: each fault must fail exactly the leaves meant to catch it.

#include <gtest/gtest.h>

#include <primitives/openssl/digests.hpp>
#include <quillon_tests/md5.hpp>
#include <quillon_tests/runner.hpp>

#include "support/seeds.hpp"

namespace {

using namespace quillon_tests;
using quillon::ByteString;
using quillon::ByteView;
using quillon::LazyByteString;

enum class Fault {
  none,
  losesByteAtChunkBoundary,  // hash() drops the first byte of every chunk but the first
  encodeDropsLastByte,
  getNeedsOneMoreByte,
  lengthsNotWholeBytes,  // outputLength 12, blockLength 4 (consistent otherwise)
  hashThrows,
};

// MD5 from OpenSSL with one fault injected.
template <Fault F>
class FaultyMD5 {
  using Real = quillon::openssl::MD5;

 public:
  static int outputLength() { return F == Fault::lengthsNotWholeBytes ? 12 : 128; }
  static int blockLength() { return F == Fault::lengthsNotWholeBytes ? 4 : 512; }

  static FaultyMD5 hash(const LazyByteString& message) {
    if constexpr (F == Fault::hashThrows) throw std::runtime_error("hash exploded");
    if constexpr (F == Fault::losesByteAtChunkBoundary) {
      std::vector<ByteString> chunks = message.chunks();
      for (std::size_t i = 1; i < chunks.size(); ++i) chunks[i] = chunks[i].drop(1);
      return FaultyMD5(Real::hash(LazyByteString(std::move(chunks))).encode());
    }
    return FaultyMD5(Real::hash(message).encode());
  }
  static FaultyMD5 hashStrict(ByteView message) {
    return FaultyMD5(Real::hashStrict(message).encode());
  }
  [[nodiscard]] ByteString encode() const {
    return F == Fault::encodeDropsLastByte ? bytes_.take(bytes_.size() - 1) : bytes_;
  }
  static quillon::GetResult<FaultyMD5> get(ByteView bytes) {
    const std::size_t wanted = F == Fault::getNeedsOneMoreByte ? 17 : storedLength();
    if (bytes.size() < wanted) return quillon::Partial{};
    return quillon::Done<FaultyMD5>{FaultyMD5(ByteString(bytes.first(storedLength()))), wanted};
  }
  friend bool operator==(const FaultyMD5&, const FaultyMD5&) = default;
  friend std::ostream& operator<<(std::ostream& os, const FaultyMD5& d) { return os << d.bytes_; }

 private:
  static std::size_t storedLength() { return F == Fault::lengthsNotWholeBytes ? 1 : 16; }
  explicit FaultyMD5(ByteString bytes) : bytes_(bytes.take(storedLength())) {}
  ByteString bytes_;
};

// One letter per leaf, in tree order: Passed, Failed, Error, Gave up.
std::string outcomeLetters(const std::vector<LeafResult>& results) {
  std::string letters;
  for (const LeafResult& r : results)
    letters += r.outcome == Outcome::passed ? 'P'
               : r.outcome == Outcome::failed ? 'F'
               : r.outcome == Outcome::error  ? 'E'
                                              : 'G';
  return letters;
}

struct FaultCase {
  const char* fault;
  std::vector<LeafResult> (*run)();
  // Five hash properties, "|", then the seven MD5 vectors.
  const char* expected;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.fault; }

/// The suite under a fixed seed: whether a property finds a fault is a draw.
template <Fault F>
std::vector<LeafResult> runMD5Suite() {
  const test_support::PropertySeed seed(1);
  return runTests(makeMD5Tests<FaultyMD5<F>>());
}

class HashSuiteFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(HashSuiteFaults, FailExactlyTheLeavesThatCatchThem) {
  const std::vector<LeafResult> results = GetParam().run();
  ASSERT_EQ(results.size(), 12u);
  const std::string letters = outcomeLetters(results);
  EXPECT_EQ(letters.substr(0, 5) + "|" + letters.substr(5), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Md5AndProperties, HashSuiteFaults,
    ::testing::Values(
        FaultCase{"none", runMD5Suite<Fault::none>, "PPPPP|PPPPPPP"},
        FaultCase{"losesByteAtChunkBoundary", runMD5Suite<Fault::losesByteAtChunkBoundary>,
                  "FPPPP|PPPPPFF"},
        FaultCase{"encodeDropsLastByte", runMD5Suite<Fault::encodeDropsLastByte>, "PFFPP|PPPPPPP"},
        FaultCase{"getNeedsOneMoreByte", runMD5Suite<Fault::getNeedsOneMoreByte>, "PPFPP|EEEEEEE"},
        FaultCase{"lengthsNotWholeBytes", runMD5Suite<Fault::lengthsNotWholeBytes>,
                  "PPPFF|PPPPPPP"},
        FaultCase{"hashThrows", runMD5Suite<Fault::hashThrows>, "FFPPP|EEEEEEE"}),
    [](const auto& info) { return std::string(info.param.fault); });

TEST(MD5Suite, ReportsNameTheVectorAndTheDecodeError) {
  const auto boundary = runMD5Suite<Fault::losesByteAtChunkBoundary>();
  EXPECT_NE(boundary[10].report.find("md5KAT6"), std::string::npos) << boundary[10].report;
  EXPECT_NE(boundary[11].report.find("md5KAT7"), std::string::npos) << boundary[11].report;
  const auto undecodable = runMD5Suite<Fault::getNeedsOneMoreByte>();
  EXPECT_NE(undecodable[5].report.find("makeMD5Tests: md5KAT1: the digest type's get could not read"),
            std::string::npos)
      << undecodable[5].report;
}

TEST(HashProperties, FailureReportsSayWhatDifferedAndShowTheChunking) {
  struct Case {
    std::vector<LeafResult> results;
    std::size_t leaf;
    std::vector<const char*> needles;
  };
  const std::vector<Case> cases{
      {runMD5Suite<Fault::losesByteAtChunkBoundary>(), 0,
       {"hash over the chunks gave", "hashStrict of the bytes gave", "smallest failing case: ",
        " in chunks [",
        "to reproduce this case: RC_PARAMS="}},
      {runMD5Suite<Fault::encodeDropsLastByte>(), 1,
       {"encode(hash(x)) has 15 bytes, outputLength() 128 promises 16"}},
      {runMD5Suite<Fault::getNeedsOneMoreByte>(), 2,
       {"get asked for more than the 16 bytes that encode wrote"}},
  };
  for (const Case& c : cases)
    for (const char* needle : c.needles)
      EXPECT_NE(c.results[c.leaf].report.find(needle), std::string::npos)
          << needle << " missing from\n" << c.results[c.leaf].report;
}

}  // namespace
