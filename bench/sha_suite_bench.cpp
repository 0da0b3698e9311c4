// The SHA-256 known-answer suite over the shipped vectors (building the list
// from the files and running every known-answer test through the plain
// runner) against the bare work: the same messages, hex-decoded up front,
// hashed contiguous and in 37-byte chunks with the same binding.

#include <stdlib.h>

#include <primitives/openssl/digests.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/runner.hpp>
#include <quillon_tests/sha.hpp>

#include "ratio_reporter.hpp"

namespace {

using Digest = quillon::openssl::SHA256;

struct Prepared {
  std::vector<quillon::ByteString> messages;
  std::vector<quillon::LazyByteString> chunked;
  std::size_t hexBytes = 0;
};

Prepared prepare() {
  Prepared prepared;
  const quillon_tests::KatFiles files = quillon_tests::loadKATFiles("Test/KAT_SHA", "Len", "SHA256");
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

void shaSuiteKnownAnswers(benchmark::State& state) {
  std::size_t tests = 0;
  for (auto _ : state) {
    auto built = quillon_tests::makeSHA256Tests<Digest>();
    built.pop_back();  // the random property group is not part of this comparison
    const auto results = quillon_tests::runTests(built);
    for (const auto& result : results)
      if (result.outcome != quillon_tests::Outcome::passed) state.SkipWithError("a test failed");
    tests = results.size();
  }
  state.counters["tests"] = static_cast<double>(tests);
}

void bareHashing(benchmark::State& state) {
  static const Prepared prepared = prepare();
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

BENCHMARK(shaSuiteKnownAnswers)->Unit(benchmark::kMillisecond);
BENCHMARK(bareHashing)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The shipped vectors, unless the caller chose a data directory.
  ::setenv("quillon_tests_datadir", QUILLON_BENCH_SOURCE_DATADIR, 0);
  return quillon_bench::runWithRatios(
      argc, argv,
      {{"SHA-256 suite time / bare hashing time", "shaSuiteKnownAnswers", "bareHashing"}});
}
