// The GCM known-answer suite over the shipped vectors for OpenSSL's
// AES-128-GCM (building the list from the files and running every test
// through the plain runner) against the bare work: the same seal and open
// calls, strict and lazy over 13-byte chunks as the suite makes them, on
// the same records decoded, chunked and with keys built up front. The
// records are a few blocks long, so the ratio measures the suite's cost
// per test (reading and parsing, selection, hex decoding, comparison).

#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

#include <primitives/openssl/aead.hpp>
#include <quillon_tests/aead_kat.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/runner.hpp>

#include "ratio_reporter.hpp"

namespace {

using Aead = quillon::openssl::AES128GCM;
using quillon::ByteString;
using quillon::LazyByteString;

struct PreparedRecord {
  Aead key;
  ByteString nonce, aad, text;  // the plaintext to seal, or the ciphertext and tag to open
  LazyByteString lazyAad, lazyText;
  std::size_t tagBytes;
  bool opens;
};

/// The AES-128 records of the suite, read and decoded independently.
std::vector<PreparedRecord> prepare() {
  std::vector<PreparedRecord> prepared;
  const quillon_tests::KatFiles files = quillon_tests::loadKATFiles("Test/KAT_AES_GCM", "Count");
  for (std::size_t file = 0; file < files.files.size(); ++file) {
    const std::string_view name = quillon_tests::fileNameOf(files.paths[file]);
    const bool opens = name.starts_with("gcmDecrypt");
    for (const auto& category : files.files[file])
      for (const auto& record : category.records) {
        auto field = [&](const char* key) {
          const std::string* value = quillon_tests::findProperty(record, key);
          return value ? quillon_tests::hexStringToBS(*value) : ByteString();
        };
        std::optional<Aead> key = Aead::buildKey(field("Key"));
        if (!key) continue;
        const ByteString tag = field("Tag");
        ByteString text = opens ? quillon::concat({field("CT"), tag}) : field("PT");
        ByteString aad = field("AAD");
        LazyByteString lazyAad = quillon_tests::detail::aeadChunks(aad);
        LazyByteString lazyText = quillon_tests::detail::aeadChunks(text);
        prepared.push_back({*key, field("IV"), std::move(aad), std::move(text), std::move(lazyAad), std::move(lazyText),
                            tag.size(), opens});
      }
  }
  return prepared;
}

void gcmSuiteKnownAnswers(benchmark::State& state) {
  std::size_t tests = 0;
  for (auto _ : state) {
    const auto results = quillon_tests::runTests(quillon_tests::makeGCMTests<Aead>());
    for (const auto& result : results)
      if (result.outcome != quillon_tests::Outcome::passed) state.SkipWithError("a test failed");
    tests = results.size();
  }
  state.counters["tests"] = static_cast<double>(tests);
}

void bareSealOpenCalls(benchmark::State& state) {
  static const std::vector<PreparedRecord> prepared = prepare();
  for (auto _ : state)
    for (const PreparedRecord& r : prepared) {
      if (r.opens) {
        benchmark::DoNotOptimize(r.key.open(r.nonce, r.aad, r.text, r.tagBytes));
        benchmark::DoNotOptimize(r.key.openLazy(r.nonce, r.lazyAad, r.lazyText, r.tagBytes));
      } else {
        benchmark::DoNotOptimize(r.key.seal(r.nonce, r.aad, r.text, r.tagBytes));
        benchmark::DoNotOptimize(r.key.sealLazy(r.nonce, r.lazyAad, r.lazyText, r.tagBytes));
      }
    }
  state.counters["records"] = static_cast<double>(prepared.size());
}

// Where the rest goes: building the list alone (reading, parsing, selecting).
void buildGcmTests(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(quillon_tests::makeGCMTests<Aead>());
}

BENCHMARK(gcmSuiteKnownAnswers)->Unit(benchmark::kMillisecond);
BENCHMARK(bareSealOpenCalls)->Unit(benchmark::kMillisecond);
BENCHMARK(buildGcmTests)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The shipped vectors, unless the caller chose a data directory.
  ::setenv("quillon_tests_datadir", QUILLON_BENCH_SOURCE_DATADIR, 0);
  return quillon_bench::runWithRatios(
      argc, argv,
      {{"AES-128-GCM suite time / bare seal and open calls time", "gcmSuiteKnownAnswers", "bareSealOpenCalls"},
       {"  of which building the list / bare seal and open calls", "buildGcmTests", "bareSealOpenCalls"}});
}
