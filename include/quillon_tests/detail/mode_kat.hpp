#pragma once
// What one test of the CTR, AES Monte Carlo and CMAC known-answer suites
// computes from its record (templates over the cipher). Their layouts, the
// files and fields they read, are in src/mode_kat_suites.cpp; the CTR suite
// needs nothing here, each of its tests being one ctr or unCtr call.

#include <cstddef>
#include <stdexcept>
#include <string>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/cmac.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>
#include <quillon_tests/detail/block_cipher_kat.hpp>
#include <quillon_tests/detail/kat_selection.hpp>

namespace quillon_tests::detail {

/// The chaining of an AES Monte Carlo file, from its name.
enum class MonteCarloMode { ecb, cbc, cfb, ofb };

/// The code of a Monte Carlo kind: its chaining and its direction.
constexpr int monteCarloCode(MonteCarloMode mode, bool encrypt) noexcept {
  return static_cast<int>(mode) * 2 + (encrypt ? 0 : 1);
}
constexpr MonteCarloMode monteCarloModeOf(int code) noexcept { return static_cast<MonteCarloMode>(code / 2); }
constexpr bool monteCarloEncrypts(int code) noexcept { return code % 2 == 0; }

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
/// IV (null for ECB) and input. ECB feeds each output of encryptBlock
/// (decryptBlock) back in. The other modes call the binding's mode function
/// once per block, each call starting from the IV the previous call
/// returned, as a stream split into 1000 calls would; the second input is
/// the record's IV, each later input the output two blocks back. The result
/// is the last output.
template <quillon::BlockCipher K>
quillon::ByteString monteCarloOutput(const K& key, MonteCarloMode mode, bool encrypt, const quillon::IV<K>* iv,
                                     quillon::ByteView input) {
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
  if (iv == nullptr) throw std::invalid_argument("Monte Carlo record without an IV");
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

/// The Monte Carlo suite's operation: the kind's code gives the chaining
/// and direction.
template <quillon::BlockCipher K>
quillon::ByteString monteCarloOperation(const CipherCall<K>& call) {
  return monteCarloOutput(call.key, monteCarloModeOf(call.kind()), monteCarloEncrypts(call.kind()), call.iv,
                          call.input);
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

/// A CMAC record's Mlen and Tlen, in bytes.
struct CmacLengths {
  std::size_t message;
  std::size_t tag;
};

/// The lengths of a record the CMAC selection took (its Mlen and Tlen were
/// checked while listing). Throws std::invalid_argument when Msg holds fewer
/// than Mlen bytes or Mac other than Tlen: the vector is wrong, not the
/// cipher.
CmacLengths cmacLengths(const KatRecord& record, std::size_t messageBytes);

/// The CMAC suites' operation: the first Tlen bytes of the tag of the first
/// Mlen bytes of Msg (an empty message is written "Msg = 00").
template <quillon::BlockCipher K>
quillon::ByteString cmacOperation(const CipherCall<K>& call) {
  const CmacLengths lengths = cmacLengths(call.record, call.input.size());
  return truncatedCmac(call.key, call.input.first(lengths.message), lengths.tag);
}

}  // namespace quillon_tests::detail
