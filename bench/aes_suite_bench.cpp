// The AES known-answer suite over the shipped vectors for OpenSSL AES-128
// (building the list from the files and running every known-answer test
// through the plain runner) against the bare work: the same cipher calls on
// the same vectors, decoded, with keys and IVs built, up front. The records
// are a block or a few long, so the ratio measures the suite's cost per test
// (reading and parsing, allocation, type erasure, hex decoding, comparison).

#include <stdlib.h>

#include <optional>
#include <vector>

#include <primitives/openssl/aes.hpp>
#include <quillon_tests/aes.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/runner.hpp>

#include "kat_files_view.hpp"
#include "kat_suites.hpp"
#include "ratio_reporter.hpp"

namespace {

using Cipher = quillon::openssl::AES128;
using quillon_tests::detail::ModeCall;

struct PreparedVector {
  ModeCall call;
  Cipher key;
  std::optional<quillon::IV<Cipher>> iv;
  quillon::ByteString input;
};

/// The vectors the suite runs for AES-128, read and decoded independently.
std::vector<PreparedVector> prepare() {
  std::vector<PreparedVector> prepared;
  const quillon_tests::KatFiles files = quillon_tests::loadKATFiles("Test/KAT_AES", "COUNT");
  for (std::size_t file = 0; file < files.files.size(); ++file) {
    const auto call = quillon_tests::detail::aesFileKind(quillon_tests::fileNameOf(files.paths[file]));
    if (!call) continue;
    const bool encrypts = call->direction == quillon::Direction::encrypt;
    for (const auto& category : files.files[file])
      for (const auto& record : category.records) {
        const std::string* key = quillon_tests::findProperty(record, "KEY");
        const std::string* input = quillon_tests::findProperty(record, encrypts ? "PLAINTEXT" : "CIPHERTEXT");
        const std::string* iv = quillon_tests::findProperty(record, "IV");
        if (!key || !input) continue;
        std::optional<Cipher> built = Cipher::buildKey(quillon_tests::hexStringToBS(*key));
        if (!built) continue;
        std::optional<quillon::IV<Cipher>> readIV;
        if (!call->blockFunction) {
          if (!iv) continue;
          const auto read = quillon::IV<Cipher>::get(quillon_tests::hexStringToBS(*iv));
          const quillon::IV<Cipher>* value = quillon::doneValue(read);
          if (!value) continue;
          readIV = *value;
        }
        prepared.push_back({*call, *built, readIV, quillon_tests::hexStringToBS(*input)});
      }
  }
  return prepared;
}

quillon::ByteString cipherCall(const PreparedVector& v) {
  return quillon_tests::detail::runModeCall(v.call, v.key, v.iv ? &*v.iv : nullptr, v.input);
}

// Where the suite's time goes: reading and parsing the vector files alone,
// into views as the suite does and into strings as loadKATFiles does, and
// building the list without running it.
void loadVectorFileViews(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(quillon_tests::detail::loadKATFileViews("Test/KAT_AES", "COUNT"));
}

void loadVectorFiles(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(quillon_tests::loadKATFiles("Test/KAT_AES", "COUNT"));
}

void buildAesTests(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(quillon_tests::makeAESTests<Cipher>());
}

void aesSuiteKnownAnswers(benchmark::State& state) {
  std::size_t tests = 0;
  for (auto _ : state) {
    auto built = quillon_tests::makeAESTests<Cipher>();
    built.pop_back();  // the random property groups are not part of this comparison
    built.pop_back();
    const auto results = quillon_tests::runTests(built);
    for (const auto& result : results)
      if (result.outcome != quillon_tests::Outcome::passed) state.SkipWithError("a test failed");
    tests = results.size();
  }
  state.counters["tests"] = static_cast<double>(tests);
}

void bareCipherCalls(benchmark::State& state) {
  static const std::vector<PreparedVector> prepared = prepare();
  for (auto _ : state)
    for (const PreparedVector& vector : prepared) benchmark::DoNotOptimize(cipherCall(vector));
  state.counters["vectors"] = static_cast<double>(prepared.size());
}

BENCHMARK(aesSuiteKnownAnswers)->Unit(benchmark::kMillisecond);
BENCHMARK(bareCipherCalls)->Unit(benchmark::kMillisecond);
BENCHMARK(loadVectorFileViews)->Unit(benchmark::kMillisecond);
BENCHMARK(loadVectorFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(buildAesTests)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The shipped vectors, unless the caller chose a data directory.
  ::setenv("quillon_tests_datadir", QUILLON_BENCH_SOURCE_DATADIR, 0);
  return quillon_bench::runWithRatios(
      argc, argv,
      {{"AES-128 suite time / bare cipher calls time", "aesSuiteKnownAnswers", "bareCipherCalls"},
       {"  of which loading the files / bare cipher calls", "loadVectorFileViews", "bareCipherCalls"},
       {"loadKATFiles (strings per field) / bare cipher calls", "loadVectorFiles", "bareCipherCalls"},
       {"  of which building the list (loading included) / bare cipher calls", "buildAesTests",
        "bareCipherCalls"}});
}
