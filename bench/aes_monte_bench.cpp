// The AES Monte Carlo suite for OpenSSL AES-128 (building the list from the
// shipped files and running every test through the plain runner) against the
// bare chained cipher calls it performs: for every record the same 1000
// calls (encryptBlock for ECB; cbc, cfb, ofb and their inverses one block per
// call, each from the IV the last one returned), with the keys, IVs and
// inputs decoded up front. The chain is the work; the ratio is what the suite
// adds to it.

#include <stdlib.h>

#include <optional>
#include <vector>

#include <primitives/openssl/aes.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/mode_kat.hpp>
#include <quillon_tests/runner.hpp>

#include "ratio_reporter.hpp"

namespace {

using Cipher = quillon::openssl::AES128;
using quillon_tests::detail::MonteCarloMode;

struct PreparedRecord {
  MonteCarloMode mode;
  bool encrypt;
  Cipher key;
  std::optional<quillon::IV<Cipher>> iv;
  quillon::ByteString input;
};

/// The Monte Carlo records the suite runs for AES-128, read independently.
std::vector<PreparedRecord> prepare() {
  std::vector<PreparedRecord> prepared;
  const quillon_tests::KatFiles files = quillon_tests::loadKATFiles("Test/KAT_AES_MCT", "COUNT");
  for (std::size_t file = 0; file < files.files.size(); ++file) {
    const std::string_view name = quillon_tests::fileNameOf(files.paths[file]);
    const MonteCarloMode mode = name.starts_with("ECB")   ? MonteCarloMode::ecb
                                : name.starts_with("CBC") ? MonteCarloMode::cbc
                                : name.starts_with("CFB") ? MonteCarloMode::cfb
                                                          : MonteCarloMode::ofb;
    for (const auto& category : files.files[file]) {
      const bool encrypt = quillon_tests::findProperty(category.header, "ENCRYPT") != nullptr;
      for (const auto& record : category.records) {
        std::optional<Cipher> key =
            Cipher::buildKey(quillon_tests::hexStringToBS(*quillon_tests::findProperty(record, "KEY")));
        if (!key) continue;
        std::optional<quillon::IV<Cipher>> iv;
        if (mode != MonteCarloMode::ecb) {
          const auto read =
              quillon::IV<Cipher>::get(quillon_tests::hexStringToBS(*quillon_tests::findProperty(record, "IV")));
          iv = *quillon::doneValue(read);
        }
        const std::string* input = quillon_tests::findProperty(record, encrypt ? "PLAINTEXT" : "CIPHERTEXT");
        prepared.push_back({mode, encrypt, *key, iv, quillon_tests::hexStringToBS(*input)});
      }
    }
  }
  return prepared;
}

/// The 1000 chained calls of one record, nothing else.
quillon::ByteString chainedCalls(const PreparedRecord& record) {
  if (record.mode == MonteCarloMode::ecb) {
    quillon::ByteString block = record.input;
    for (int j = 0; j < 1000; ++j)
      block = record.encrypt ? record.key.encryptBlock(block) : record.key.decryptBlock(block);
    return block;
  }
  quillon::IV<Cipher> chain = *record.iv;
  quillon::ByteString in = record.input, last;
  for (int j = 0; j < 1000; ++j) {
    auto [out, next] = quillon_tests::detail::monteCarloStep(record.key, record.mode, record.encrypt, chain, in);
    chain = std::move(next);
    in = j == 0 ? quillon::ByteString(record.iv->bytes()) : std::move(last);
    last = std::move(out);
  }
  return last;
}

void aesMonteSuite(benchmark::State& state) {
  std::size_t tests = 0;
  for (auto _ : state) {
    const auto results = quillon_tests::runTests(quillon_tests::makeAESMonteTests<Cipher>());
    tests = results.size();
    for (const auto& result : results)
      if (result.outcome != quillon_tests::Outcome::passed) state.SkipWithError("a Monte Carlo test failed");
  }
  state.counters["tests"] = static_cast<double>(tests);
}

void bareChainedCalls(benchmark::State& state) {
  static const std::vector<PreparedRecord> prepared = prepare();
  for (auto _ : state)
    for (const PreparedRecord& record : prepared) benchmark::DoNotOptimize(chainedCalls(record));
  state.counters["records"] = static_cast<double>(prepared.size());
}

BENCHMARK(aesMonteSuite)->Unit(benchmark::kMillisecond);
BENCHMARK(bareChainedCalls)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("quillon_tests_datadir", QUILLON_BENCH_SOURCE_DATADIR, 0);
  return quillon_bench::runWithRatios(
      argc, argv, {{"AES-128 Monte Carlo suite time / bare chained calls time", "aesMonteSuite", "bareChainedCalls"}});
}
