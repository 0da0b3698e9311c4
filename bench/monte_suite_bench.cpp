// The digest Monte Carlo suites over the shipped files (building the list and
// running every checkpoint through the plain runner) against the bare work
// they perform: the same chains, from the same seeds, as a loop over the
// binding's digest in one reused buffer. That includes the one chain per
// file that the suite runs a second time through `hash` in 13-byte chunks.

#include <stdlib.h>

#include <algorithm>
#include <cstring>

#include <primitives/openssl/digests.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/monte.hpp>
#include <quillon_tests/runner.hpp>

#include "ratio_reporter.hpp"

namespace {

using quillon::ByteString;

// Where each checkpoint's chain starts: the file's Seed, then each MD.
std::vector<ByteString> chainStarts(std::string_view directory, const std::string& fileName) {
  const quillon_tests::KatFiles seeds = quillon_tests::loadKATFiles(directory, "Seed", fileName);
  const quillon_tests::KatFiles records = quillon_tests::loadKATFiles(directory, "COUNT", fileName);
  std::vector<ByteString> starts{
      quillon_tests::hexStringToBS(seeds.files.at(0).at(0).records.at(0).front().second)};
  for (const auto& record : records.files.at(0).at(0).records)
    starts.push_back(quillon_tests::hexStringToBS(*quillon_tests::findProperty(record, "MD")));
  starts.pop_back();  // the last checkpoint starts nothing
  return starts;
}

template <class D>
ByteString bareChain(const ByteString& seed, bool threeDigests, bool chunked) {
  auto digest = [chunked](quillon::ByteView message) {
    return chunked ? D::hash(quillon::LazyByteString::chunked(message, 13)).encode()
                   : D::hashStrict(message).encode();
  };
  const std::size_t n = seed.size();
  if (!threeDigests) {
    ByteString md = seed;
    for (int i = 0; i < 1000; ++i) md = digest(md);
    return md;
  }
  std::vector<quillon::Byte> buffer(3 * n);
  for (int k = 0; k < 3; ++k) std::copy(seed.begin(), seed.end(), buffer.begin() + k * n);
  for (int i = 0; i < 1000; ++i) {
    const ByteString next = digest(buffer);
    std::memmove(buffer.data(), buffer.data() + n, 2 * n);
    std::memcpy(buffer.data() + 2 * n, next.data(), n);
  }
  return ByteString(std::vector<quillon::Byte>(buffer.end() - static_cast<std::ptrdiff_t>(n), buffer.end()));
}

void bareChains(benchmark::State& state, ByteString (*bareChain)(const ByteString&, bool, bool),
                const char* directory, const char* variant, bool threeDigests) {
  const std::vector<ByteString> starts = chainStarts(directory, std::string(variant) + "Monte");
  for (auto _ : state) {
    benchmark::DoNotOptimize(bareChain(starts.front(), threeDigests, true));
    for (const ByteString& start : starts)
      benchmark::DoNotOptimize(bareChain(start, threeDigests, false));
  }
  state.counters["chains"] = static_cast<double>(starts.size() + 1);
}

void monteSuite(benchmark::State& state,
                std::vector<quillon_tests::Test> (*build)(const quillon_tests::SourceLocation&)) {
  std::size_t tests = 0;
  for (auto _ : state) {
    const auto results = quillon_tests::runTests(build(quillon_tests::SourceLocation()));
    for (const auto& result : results)
      if (result.outcome != quillon_tests::Outcome::passed) state.SkipWithError("a test failed");
    tests = results.size();
  }
  state.counters["tests"] = static_cast<double>(tests);
}

using SHA256 = quillon::openssl::SHA256;
using SHA512 = quillon::openssl::SHA512;
using SHA3_256 = quillon::openssl::SHA3_256;

BENCHMARK_CAPTURE(monteSuite, sha256, &quillon_tests::makeSHA256MonteTests<SHA256>)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bareChains, sha256, &bareChain<SHA256>, "Test/KAT_SHA", "SHA256", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(monteSuite, sha512, &quillon_tests::makeSHA512MonteTests<SHA512>)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bareChains, sha512, &bareChain<SHA512>, "Test/KAT_SHA", "SHA512", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(monteSuite, sha3_256, &quillon_tests::makeSHA3_256MonteTests<SHA3_256>)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bareChains, sha3_256, &bareChain<SHA3_256>, "Test/KAT_SHA3", "SHA3_256", false)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The shipped vectors, unless the caller chose a data directory.
  ::setenv("quillon_tests_datadir", QUILLON_BENCH_SOURCE_DATADIR, 0);
  return quillon_bench::runWithRatios(
      argc, argv,
      {{"SHA-256 Monte Carlo suite time / bare chains", "monteSuite/sha256", "bareChains/sha256"},
       {"SHA-512 Monte Carlo suite time / bare chains", "monteSuite/sha512", "bareChains/sha512"},
       {"SHA3-256 Monte Carlo suite time / bare chains", "monteSuite/sha3_256",
        "bareChains/sha3_256"}});
}
