// What shrinking gives and costs. First, for each planted fault of the
// kit's own tests (tests/support/shrink_faults.hpp), the property that
// catches it is run under seeds 1 to 200 (--seeds=N for another count) and
// its shrunk cases summed up: the largest, how many are at the smallest
// case that fails at all, and the time from the first case to the report.
// Then the benchmark: the digest property suite over an MD5 losing a byte
// at each chunk boundary, from the first case to the shrunk report. Passing
// runs pay nothing for shrinking (the trees are lazy).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include <quillon_tests/hash_properties.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/runner.hpp>

#include "ratio_reporter.hpp"
#include "support/shrink_faults.hpp"

namespace {

struct Figures {
  std::size_t failed = 0, withinBound = 0, atMinimum = 0, maxBytes = 0, maxChunks = 0;
  std::vector<double> milliseconds;
};

Figures measure(const test_support::ShrinkFault& fault, std::uint64_t seeds) {
  const quillon_tests::Test leaf = fault.leaf();
  Figures figures;
  for (std::uint64_t seed = 1; seed <= seeds; ++seed) {
    const quillon_tests::ScopedPropertyParams params("seed=" + std::to_string(seed));
    const auto start = std::chrono::steady_clock::now();
    const quillon_tests::LeafResult result = quillon_tests::runLeaf(leaf, {leaf.name()});
    figures.milliseconds.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    const auto shrunk = test_support::shrunkCaseOf(result.report);
    if (result.outcome != quillon_tests::Outcome::failed || !shrunk) {
      std::printf("  seed %llu: no shrunk failure\n%s\n", static_cast<unsigned long long>(seed),
                  result.report.c_str());
      continue;
    }
    ++figures.failed;
    figures.maxBytes = std::max(figures.maxBytes, shrunk->bytes);
    figures.maxChunks = std::max(figures.maxChunks, shrunk->chunks.size());
    figures.withinBound += shrunk->bytes <= fault.maxBytes && shrunk->chunks.size() <= fault.maxChunks;
    if (fault.atMinimum(*shrunk)) {
      ++figures.atMinimum;
    } else {
      std::printf("  seed %llu: %s\n", static_cast<unsigned long long>(seed), shrunk->line.c_str());
    }
  }
  return figures;
}

void printShrinkFigures(std::uint64_t seeds) {
  std::printf("Shrunk cases over seeds 1 to %llu (time: the whole failing check, shrinking included)\n",
              static_cast<unsigned long long>(seeds));
  for (const test_support::ShrinkFault& fault : test_support::shrinkFaults()) {
    Figures f = measure(fault, seeds);
    std::sort(f.milliseconds.begin(), f.milliseconds.end());
    std::printf("%s\n  failed %zu/%llu, within bound %zu, at the minimum (%s) %zu = %.1f %%; "
                "largest %zu bytes, %zu chunks; time median %.1f ms, max %.1f ms\n",
                fault.name.c_str(), f.failed, static_cast<unsigned long long>(seeds), f.withinBound,
                fault.minimum.c_str(), f.atMinimum, 100.0 * static_cast<double>(f.atMinimum) / static_cast<double>(seeds),
                f.maxBytes, f.maxChunks, f.milliseconds[f.milliseconds.size() / 2], f.milliseconds.back());
  }
  std::fflush(stdout);
}

double numberAfter(const std::string& report, const char* pattern) {
  std::smatch match;
  return std::regex_search(report, match, std::regex(pattern)) ? std::stod(match[1].str()) : -1;
}

void chunkBoundaryFailureShrunk(benchmark::State& state) {
  using Faulty = faulty_digests::MisChunkedMD5<faulty_digests::ChunkFault::losesByteAtBoundary>;
  const quillon_tests::Test tests = quillon_tests::makeHashPropTests<Faulty>();
  const quillon_tests::Test& lazyStrictEqual = tests.children().front();
  std::string report;
  for (auto _ : state) {
    const auto result = quillon_tests::runLeaf(lazyStrictEqual, {"LazyStrictEqual"});
    if (result.outcome != quillon_tests::Outcome::failed) state.SkipWithError("the fault went unnoticed");
    report = result.report;
  }
  state.counters["shrink_steps"] = numberAfter(report, R"(shrunk in (\d+) step)");
  state.counters["candidates"] = numberAfter(report, R"(\((\d+) candidates? tried\))");
  state.counters["smallest_bytes"] = numberAfter(report, R"(smallest failing case: message of (\d+) byte)");
}

BENCHMARK(chunkBoundaryFailureShrunk)->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t seeds = 200;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--seeds=", 8) == 0) {
      seeds = std::stoull(argv[i] + 8);
    } else {
      rest.push_back(argv[i]);
    }
  }
  printShrinkFigures(seeds);
  int count = static_cast<int>(rest.size());
  return quillon_bench::runWithRatios(count, rest.data(), {});
}
