// What registering the shipped data costs: every suite quillon-check
// registers (its own registration code, GoogleTest included), timed, with
// the heap bytes it keeps per registered test and the process's peak
// resident memory. For scale, the same number of GoogleTest tests with the
// same names and locations and nothing behind them is registered next, and
// its bytes per test are reported as GoogleTest's own share. First, on its
// own, one GCM known-answer suite (OpenSSL's AES-128-GCM: 15,766 tests from
// 47,298 records), the largest suite per binding: building its list and
// registering it, per test.

#include <gtest/gtest.h>
#include <malloc.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <primitives/openssl/aead.hpp>
#include <quillon_tests/aead_kat.hpp>
#include <quillon_tests/gtest.hpp>

#include "ratio_reporter.hpp"
#include "suites.hpp"

namespace {

std::size_t heapInUse() { return mallinfo2().uordblks; }

/// A line of /proc/self/status, in kB.
std::size_t statusKilobytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::stoul(line.substr(field.size() + 1));
  return 0;
}

class NothingTest : public ::testing::Test {
  void TestBody() override {}
};

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void registerOneGcmSuite(benchmark::State& state) {
  double listing = 0, registering = 0;
  std::size_t tests = 0, bytes = 0;
  for (auto _ : state) {
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    const int testsBefore = unit.total_test_count();
    const std::size_t before = heapInUse();
    const auto start = std::chrono::steady_clock::now();
    std::vector<quillon_tests::Test> gcm = quillon_tests::makeGCMTests<quillon::openssl::AES128GCM>();
    listing = secondsSince(start);
    const auto registered = std::chrono::steady_clock::now();
    quillon_tests::registerTests("bench-OpenSSL-AES128-GCM", gcm);
    gcm.clear();
    registering = secondsSince(registered);
    bytes = heapInUse() - before;
    tests = static_cast<std::size_t>(unit.total_test_count() - testsBefore);
  }
  const double perTest = 1e6 / static_cast<double>(tests);
  state.counters["tests"] = static_cast<double>(tests);
  state.counters["bytes_per_test"] = static_cast<double>(bytes) / static_cast<double>(tests);
  state.counters["list_us_per_test"] = listing * perTest;
  state.counters["register_us_per_test"] = registering * perTest;
  std::printf("one GCM suite: %zu tests, listed in %.3f s (%.2f us per test, the 47,298 records read), "
              "registered in %.3f s (%.2f us per test), %.0f bytes per test kept on the heap\n",
              tests, listing, listing * perTest, registering, registering * perTest,
              static_cast<double>(bytes) / static_cast<double>(tests));
}

void registerShippedData(benchmark::State& state) {
  double seconds = 0;
  std::size_t tests = 0, bytes = 0, gtestBytes = 0;
  for (auto _ : state) {
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    const int testsBefore = unit.total_test_count(), suitesBefore = unit.total_test_suite_count();
    const std::size_t before = heapInUse();
    const auto start = std::chrono::steady_clock::now();
    quillon_check::registerAllSuites();
    seconds = secondsSince(start);
    bytes = heapInUse() - before;
    tests = static_cast<std::size_t>(unit.total_test_count() - testsBefore);

    // GoogleTest's share: bare tests under the same names and locations.
    struct Registered {
      std::string suite, name, file;
      int line;
    };
    std::vector<Registered> registered;
    for (int i = suitesBefore; i < unit.total_test_suite_count(); ++i) {
      const ::testing::TestSuite& suite = *unit.GetTestSuite(i);
      for (int j = 0; j < suite.total_test_count(); ++j) {
        const ::testing::TestInfo& info = *suite.GetTestInfo(j);
        registered.push_back({std::string("bare-") + suite.name(), info.name(), info.file(), info.line()});
      }
    }
    const std::size_t bareBefore = heapInUse();
    for (const Registered& r : registered)
      ::testing::RegisterTest(r.suite.c_str(), r.name.c_str(), nullptr, nullptr, r.file.c_str(), r.line,
                              []() -> ::testing::Test* { return new NothingTest; });
    gtestBytes = heapInUse() - bareBefore;
  }
  state.counters["tests"] = static_cast<double>(tests);
  state.counters["bytes_per_test"] = static_cast<double>(bytes) / static_cast<double>(tests);
  state.counters["gtest_bytes_per_test"] = static_cast<double>(gtestBytes) / static_cast<double>(tests);
  state.counters["peak_rss_MB"] = static_cast<double>(statusKilobytes("VmHWM")) / 1024.0;
  std::printf("registered %zu tests in %.3f s: %.0f bytes per test kept on the heap (GoogleTest's own share "
              "%.0f), peak resident memory %.1f MB (with the bare copies)\n",
              tests, seconds, static_cast<double>(bytes) / static_cast<double>(tests),
              static_cast<double>(gtestBytes) / static_cast<double>(tests),
              static_cast<double>(statusKilobytes("VmHWM")) / 1024.0);
}

// GoogleTest keeps what is registered: one registration per process.
BENCHMARK(registerOneGcmSuite)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(registerShippedData)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The shipped vectors, unless the caller chose a data directory.
  ::setenv("quillon_tests_datadir", QUILLON_BENCH_SOURCE_DATADIR, 0);
  return quillon_bench::runWithRatios(argc, argv, {});
}
