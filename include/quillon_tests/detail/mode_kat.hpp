#pragma once
// The record selection of the CTR, AES Monte Carlo and CMAC known-answer
// suites (compiled, in src/mode_kat_suites.cpp), and the per-record
// computations their tests run (templates over the cipher).

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/cmac.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>
#include <quillon_tests/diagnostics.hpp>

namespace quillon_tests::detail {

enum class ModeKatSuite { aesCtr, aesMonte, cmacAes, cmacTwoFish };

/// The chaining of an AES Monte Carlo file, from its name.
enum class MonteCarloMode { ecb, cbc, cfb, ofb };

/// A selected record; the texts are views into the vector file the sink was
/// given with startFile.
struct ModeKatRecord {
  std::string_view name;      // COUNT (Count for CMAC): the test is "<file stem>-<name>"
  std::string_view input;     // hex: PLAINTEXT when encrypting, CIPHERTEXT when decrypting; Msg
  std::string_view expected;  // hex: the other text; Mac
  std::size_t record = 0;     // position in its file, from 1
  bool encrypt = true;
  MonteCarloMode mode = MonteCarloMode::ecb;
  std::size_t messageBytes = 0;  // CMAC: Mlen
  std::size_t tagBytes = 0;      // CMAC: Tlen
};

/// Where the selection sends what it takes, as for the AES suite: startFile
/// before a file's records, then per record acceptIV (when it has an IV),
/// acceptKey, and add for a record both accepted.
class ModeKatSink {
 public:
  virtual void startFile(const std::string& path, const std::shared_ptr<const void>& owner) = 0;
  virtual bool acceptIV(quillon::ByteView bytes) = 0;
  virtual bool acceptKey(quillon::ByteView bytes) = 0;
  virtual void add(ModeKatRecord&& record) = 0;

 protected:
  ~ModeKatSink() = default;
};

/// Walks the suite's vector directory ("Test/KAT_AES_CTR", "Test/KAT_AES_MCT"
/// or "Test/KAT_CMAC") and selects its records; with `diagnostics` it also
/// says per file what it gave and why records were skipped.
void collectModeKatVectors(ModeKatSuite suite, ModeKatSink& sink, SuiteDiagnostics* diagnostics);

/// The builder's name for diagnostics and what a test computes, for notes:
/// e.g. "ctr(KEY, IV, PLAINTEXT)".
std::string_view modeKatSuiteName(ModeKatSuite suite) noexcept;
std::string modeKatOperation(ModeKatSuite suite, const ModeKatRecord& record);

/// Passes when the implementation's `computed` equals the vector's `vectorValue`;
/// otherwise fails through assertEqual(test name, vectorValue, computed, note),
/// the note naming the vector file and record, the operation and the first
/// differing byte and block.
void checkModeKnownAnswer(const quillon::ByteString& vectorValue, const quillon::ByteString& computed,
                          std::string_view testName, std::string_view path, std::size_t record,
                          std::string_view operation, int blockSizeBits);

inline constexpr int monteCarloIterations = 1000;

/// One block through the binding's mode function of `mode` from `iv`, with
/// the IV it returns.
template <class K>
quillon::ModeResult<K> monteCarloStep(const K& key, MonteCarloMode mode, bool encrypt,
                                      const quillon::IV<K>& iv, quillon::ByteView block) {
  switch (mode) {
    case MonteCarloMode::cbc: return encrypt ? quillon::cbc(key, iv, block) : quillon::unCbc(key, iv, block);
    case MonteCarloMode::cfb: return encrypt ? quillon::cfb(key, iv, block) : quillon::unCfb(key, iv, block);
    case MonteCarloMode::ofb: return encrypt ? quillon::ofb(key, iv, block) : quillon::unOfb(key, iv, block);
    case MonteCarloMode::ecb: break;
  }
  throw std::logic_error("monteCarloStep: ECB has no IV");
}

/// The output of one Monte Carlo record: 1000 operations from its own key,
/// IV and input. ECB feeds each output of encryptBlock (decryptBlock) back
/// in. The other modes call the binding's mode function once per block,
/// each call starting from the IV the previous call returned, as a stream
/// split into 1000 calls would; the second input is the record's IV, each
/// later input the output two blocks back. The result is the last output.
template <quillon::BlockCipher K>
quillon::ByteString monteCarloOutput(const K& key, MonteCarloMode mode, bool encrypt,
                                     const std::optional<quillon::IV<K>>& iv, quillon::ByteView input) {
  const auto blockBytes = static_cast<std::size_t>(K::blockSize() / 8);
  if (input.size() != blockBytes)
    throw std::invalid_argument("Monte Carlo input of " + std::to_string(input.size()) +
                                " bytes; one block is " + std::to_string(blockBytes));
  if (mode == MonteCarloMode::ecb) {
    quillon::ByteString block(input);
    for (int j = 0; j < monteCarloIterations; ++j)
      block = encrypt ? key.encryptBlock(block) : key.decryptBlock(block);
    return block;
  }
  if (!iv) throw std::invalid_argument("Monte Carlo record without an IV");
  quillon::IV<K> chain = *iv;
  quillon::ByteString in(input);
  quillon::ByteString last;
  for (int j = 0; j < monteCarloIterations; ++j) {
    auto [out, next] = monteCarloStep(key, mode, encrypt, chain, in);
    chain = std::move(next);
    in = j == 0 ? quillon::ByteString(iv->bytes()) : std::move(last);
    last = std::move(out);
  }
  return last;
}

/// The CMAC tag of `message` cut to `tagBytes`; a tag length beyond the
/// block is an error of the vector, not of the cipher.
template <quillon::BlockCipher K>
quillon::ByteString truncatedCmac(const K& key, quillon::ByteView message, std::size_t tagBytes) {
  const quillon::ByteString tag = quillon::cmac(key, message);
  if (tagBytes > tag.size())
    throw std::invalid_argument("Tlen of " + std::to_string(tagBytes) + " bytes, longer than the " +
                                std::to_string(tag.size()) + "-byte tag");
  return quillon::ByteString(tag.view().first(tagBytes));
}

}  // namespace quillon_tests::detail
