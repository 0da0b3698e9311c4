// The AES Monte Carlo suite (makeAESMonteTests<K>(): building the list from
// the shipped files and running every test through the plain runner) over
// each bundled AES binding and key size, against the same chained one-block
// operations done directly with OpenSSL, decoded inputs up front:
//   "direct"   one EVP context per record, keyed once; each of the 1000
//              operations sets the IV (EVP_CipherInit_ex2 with the IV
//              alone), runs one block and reads back the IV that continues
//              the stream, as a mode function called once per block must;
//   "carried"  one EVP context per record carrying its state through 1000
//              one-block updates: the least work there is, which no
//              per-call mode function can reach.
// "chained" runs the chains through the binding's mode functions
// (quillon::cbc and the others, one block per call, carrying the returned
// IV; a key built per record), so that suite - chained is the suite's own
// cost (files, tree, runner) and chained / carried what the binding and
// quillon's modes add to the bare cipher.
//
// Times are the thread's CPU time (manual time), since the machines this
// runs on are shared: run with --benchmark_repetitions=5 for medians.

#include <openssl/evp.h>
#include <stdlib.h>
#include <time.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <primitives/botan/aes.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/mode_table.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/mode_kat.hpp>
#include <quillon_tests/runner.hpp>

#include "ratio_reporter.hpp"

namespace {

using quillon::ByteString;
using quillon::Mode;

constexpr int chainLength = 1000;

double threadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

/// Runs `work` once per benchmark iteration, timed in thread CPU time.
template <class Work>
void timed(benchmark::State& state, Work&& work) {
  for (auto _ : state) {
    const double start = threadSeconds();
    work();
    state.SetIterationTime(threadSeconds() - start);
  }
}

struct Record {
  Mode mode;
  quillon::Direction direction;
  ByteString key, iv, input, expected;
};

/// The Monte Carlo records of one key size, read and decoded independently
/// of the suite.
std::vector<Record> records(int keyBits) {
  std::vector<Record> out;
  const quillon_tests::KatFiles files = quillon_tests::loadKATFiles("Test/KAT_AES_MCT", "COUNT");
  for (std::size_t file = 0; file < files.files.size(); ++file) {
    const std::string_view name = quillon_tests::fileNameOf(files.paths[file]);
    if (name.find("MCT" + std::to_string(keyBits)) == std::string_view::npos) continue;
    const Mode mode = name.starts_with("ECB")   ? Mode::ecb
                      : name.starts_with("CBC") ? Mode::cbc
                      : name.starts_with("CFB") ? Mode::cfb
                                                : Mode::ofb;
    for (const auto& category : files.files[file]) {
      const bool encrypt = quillon_tests::findProperty(category.header, "ENCRYPT") != nullptr;
      for (const auto& record : category.records) {
        const auto field = [&](const char* key) {
          const std::string* value = quillon_tests::findProperty(record, key);
          return value == nullptr ? ByteString() : quillon_tests::hexStringToBS(*value);
        };
        out.push_back({mode, encrypt ? quillon::Direction::encrypt : quillon::Direction::decrypt,
                       field("KEY"), field("IV"), field(encrypt ? "PLAINTEXT" : "CIPHERTEXT"),
                       field(encrypt ? "CIPHERTEXT" : "PLAINTEXT")});
      }
    }
  }
  return out;
}

const std::vector<Record>& recordsOf(int keyBits) {
  static const std::vector<Record> all[3] = {records(128), records(192), records(256)};
  return all[(keyBits - 128) / 64];
}

const EVP_CIPHER* cipherOf(int keyBits, Mode mode) {
  static const char* const modes[] = {"ECB", "CBC", "CFB", "OFB", "CTR"};
  const std::string name = "AES-" + std::to_string(keyBits) + "-" + modes[static_cast<int>(mode)];
  static std::vector<std::pair<std::string, std::unique_ptr<EVP_CIPHER, decltype(&EVP_CIPHER_free)>>>
      fetched;
  for (const auto& [known, cipher] : fetched)
    if (known == name) return cipher.get();
  fetched.emplace_back(name, std::unique_ptr<EVP_CIPHER, decltype(&EVP_CIPHER_free)>(
                                 EVP_CIPHER_fetch(nullptr, name.c_str(), nullptr), EVP_CIPHER_free));
  return fetched.back().second.get();
}

/// One record's chain straight through OpenSSL with one context, keyed once
/// for the record. Each one-block operation starts from the IV the last one
/// left, as a mode function called once per block must: the context's IV is
/// set (EVP_CipherInit_ex2 with the IV alone), one block is run, and the IV
/// that continues the stream is read back (EVP_CIPHER_CTX_get_updated_iv).
/// With `carry`, the context simply carries its state from block to block
/// instead: the least work there is, which no per-call API can reach.
bool directChain(EVP_CIPHER_CTX* context, int keyBits, const Record& record, bool carry) {
  const bool encrypt = record.direction == quillon::Direction::encrypt;
  const bool chainsIV = record.mode != Mode::ecb;
  EVP_CipherInit_ex2(context, cipherOf(keyBits, record.mode), record.key.data(),
                     chainsIV ? record.iv.data() : nullptr, encrypt ? 1 : 0, nullptr);
  EVP_CIPHER_CTX_set_padding(context, 0);
  unsigned char in[16], out[16], last[16] = {}, iv[16] = {};
  std::memcpy(in, record.input.data(), 16);
  if (chainsIV) std::memcpy(iv, record.iv.data(), 16);
  int length = 0;
  for (int j = 0; j < chainLength; ++j) {
    if (chainsIV && !carry) EVP_CipherInit_ex2(context, nullptr, nullptr, iv, -1, nullptr);
    EVP_CipherUpdate(context, out, &length, in, 16);
    if (chainsIV && !carry) EVP_CIPHER_CTX_get_updated_iv(context, iv, 16);
    // ECB feeds its output back; the others take the IV, then the output
    // two blocks back.
    if (!chainsIV)
      std::memcpy(in, out, 16);
    else
      std::memcpy(in, j == 0 ? record.iv.data() : last, 16);
    std::memcpy(last, out, 16);
  }
  return std::memcmp(last, record.expected.data(), 16) == 0;
}

void direct(benchmark::State& state, int keyBits, bool carry) {
  const std::vector<Record>& all = recordsOf(keyBits);
  const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(),
                                                                                 EVP_CIPHER_CTX_free);
  timed(state, [&] {
    for (const Record& record : all)
      if (!directChain(context.get(), keyBits, record, carry))
        state.SkipWithError("a direct chain went wrong");
  });
  state.counters["records"] = static_cast<double>(all.size());
}

/// One record's chain through K's mode functions, one block per call.
template <class K>
bool bindingChain(const Record& record) {
  const K key = *K::buildKey(record.key);
  ByteString in = record.input, last;
  if (record.mode == Mode::ecb) {
    const bool encrypt = record.direction == quillon::Direction::encrypt;
    for (int j = 0; j < chainLength; ++j) in = encrypt ? key.encryptBlock(in) : key.decryptBlock(in);
    return in == record.expected;
  }
  const auto function = quillon::modeTable<K>.ivMode(record.mode, record.direction).strict;
  quillon::IV<K> chain = *quillon::doneValue(quillon::IV<K>::get(record.iv));
  for (int j = 0; j < chainLength; ++j) {
    auto [out, next] = function(key, chain, in);
    chain = std::move(next);
    in = j == 0 ? record.iv : std::move(last);
    last = std::move(out);
  }
  return last == record.expected;
}

template <class K>
void chained(benchmark::State& state) {
  const std::vector<Record>& all = recordsOf(K::keyLength());
  timed(state, [&] {
    for (const Record& record : all)
      if (!bindingChain<K>(record)) state.SkipWithError("a chain through the binding went wrong");
  });
}

template <class K>
void suite(benchmark::State& state) {
  std::size_t tests = 0;
  timed(state, [&] {
    const auto results = quillon_tests::runTests(quillon_tests::makeAESMonteTests<K>());
    tests = results.size();
    for (const auto& result : results)
      if (result.outcome != quillon_tests::Outcome::passed) state.SkipWithError("a Monte Carlo test failed");
  });
  state.counters["tests"] = static_cast<double>(tests);
}

template <template <int> class AES>
void registerBinding(const std::string& library, std::vector<quillon_bench::Ratio>& ratios) {
  const auto add = [&]<class K>(const std::string& bits) {
    const std::string suiteName = "suite/" + library + "/" + bits;
    const std::string chainedName = "chained/" + library + "/" + bits;
    benchmark::RegisterBenchmark(suiteName.c_str(), suite<K>)->Unit(benchmark::kMillisecond)->UseManualTime();
    benchmark::RegisterBenchmark(chainedName.c_str(), chained<K>)->Unit(benchmark::kMillisecond)->UseManualTime();
    ratios.push_back({library + " AES-" + bits + ": suite / direct", suiteName, "direct/" + bits});
    ratios.push_back({library + " AES-" + bits + ": suite / carried", suiteName, "carried/" + bits});
    ratios.push_back({library + " AES-" + bits + ": chained / carried", chainedName, "carried/" + bits});
  };
  add.template operator()<AES<128>>("128");
  add.template operator()<AES<192>>("192");
  add.template operator()<AES<256>>("256");
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("quillon_tests_datadir", QUILLON_BENCH_SOURCE_DATADIR, 0);
  std::vector<quillon_bench::Ratio> ratios;
  for (const int bits : {128, 192, 256}) {
    const std::string name = std::to_string(bits);
    benchmark::RegisterBenchmark(("direct/" + name).c_str(), direct, bits, false)
        ->Unit(benchmark::kMillisecond)->UseManualTime();
    benchmark::RegisterBenchmark(("carried/" + name).c_str(), direct, bits, true)
        ->Unit(benchmark::kMillisecond)->UseManualTime();
    ratios.push_back({"direct / carried AES-" + name, "direct/" + name, "carried/" + name});
  }
  registerBinding<quillon::openssl::AES>("OpenSSL", ratios);
  registerBinding<quillon::nettle::AES>("nettle", ratios);
  registerBinding<quillon::botan::AES>("Botan", ratios);
  return quillon_bench::runWithRatios(argc, argv, ratios);
}
