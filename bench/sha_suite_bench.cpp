// The SHA-256 and SHA3-256 known-answer suites over the shipped vectors
// (building the list from the files and running every known-answer test
// through the plain runner) against the bare work: the same messages,
// hex-decoded up front, hashed contiguous and in 37-byte chunks with the same
// binding.

#include <stdlib.h>

#include <primitives/openssl/digests.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/runner.hpp>
#include <quillon_tests/sha.hpp>

#include "ratio_reporter.hpp"

namespace {

struct Prepared {
  std::vector<quillon::ByteString> messages;
  std::vector<quillon::LazyByteString> chunked;
  std::size_t hexBytes = 0;
};

Prepared prepare(std::string_view directory, std::string_view prefix) {
  Prepared prepared;
  const quillon_tests::KatFiles files = quillon_tests::loadKATFiles(directory, "Len", prefix);
  for (const auto& file : files.files)
    for (const auto& category : file)
      for (const auto& record : category.records) {
        const auto* message = quillon_tests::findProperty(record, "Msg");
        const auto* length = quillon_tests::findProperty(record, "Len");
        if (!message || !length || !quillon_tests::findProperty(record, "MD")) continue;
        const auto bits = quillon_tests::parseDecimalField("Len", *length);
        auto bytes = quillon_tests::hexStringToBS(*message).take(
            bits > 0 ? static_cast<std::size_t>(bits / 8) : 0);
        prepared.hexBytes += message->size();
        prepared.chunked.push_back(quillon::LazyByteString::chunked(bytes, 37));
        prepared.messages.push_back(std::move(bytes));
      }
  return prepared;
}

void shaSuiteKnownAnswers(benchmark::State& state,
                          std::vector<quillon_tests::Test> (*build)(const quillon_tests::SourceLocation&)) {
  std::size_t tests = 0;
  for (auto _ : state) {
    auto built = build(quillon_tests::SourceLocation());
    built.pop_back();  // the random property group is not part of this comparison
    const auto results = quillon_tests::runTests(built);
    for (const auto& result : results)
      if (result.outcome != quillon_tests::Outcome::passed) state.SkipWithError("a test failed");
    tests = results.size();
  }
  state.counters["tests"] = static_cast<double>(tests);
}

template <class Digest>
void bareHashing(benchmark::State& state, const char* directory, const char* prefix) {
  const Prepared prepared = prepare(directory, prefix);
  std::size_t bytes = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < prepared.messages.size(); ++i) {
      benchmark::DoNotOptimize(Digest::hashStrict(prepared.messages[i]));
      benchmark::DoNotOptimize(Digest::hash(prepared.chunked[i]));
      bytes += 2 * prepared.messages[i].size();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["messages"] = static_cast<double>(prepared.messages.size());
}

using SHA256 = quillon::openssl::SHA256;
using SHA3_256 = quillon::openssl::SHA3_256;

void sha256Suite(benchmark::State& state) {
  shaSuiteKnownAnswers(state, &quillon_tests::makeSHA256Tests<SHA256>);
}
void sha256Bare(benchmark::State& state) { bareHashing<SHA256>(state, "Test/KAT_SHA", "SHA256"); }
void sha3_256Suite(benchmark::State& state) {
  shaSuiteKnownAnswers(state, &quillon_tests::makeSHA3_256Tests<SHA3_256>);
}
void sha3_256Bare(benchmark::State& state) {
  bareHashing<SHA3_256>(state, "Test/KAT_SHA3", "SHA3_256");
}

BENCHMARK(sha256Suite)->Unit(benchmark::kMillisecond);
BENCHMARK(sha256Bare)->Unit(benchmark::kMillisecond);
BENCHMARK(sha3_256Suite)->Unit(benchmark::kMillisecond);
BENCHMARK(sha3_256Bare)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The shipped vectors, unless the caller chose a data directory.
  ::setenv("quillon_tests_datadir", QUILLON_BENCH_SOURCE_DATADIR, 0);
  return quillon_bench::runWithRatios(
      argc, argv,
      {{"SHA-256 suite time / bare hashing time", "sha256Suite", "sha256Bare"},
       {"SHA3-256 suite time / bare hashing time", "sha3_256Suite", "sha3_256Bare"}});
}
