// GCM's pre-counter block J0 for nonces that are not 12 bytes, and nonces
// chosen so that J0 ends in a given 32-bit word: the counter-wrap vectors
// need J0's low word just below 2^32, which no nonce drawn at random reaches.
#pragma once

#include "bytes.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace vector_gen {

// J0 = GHASH_H(nonce zero-padded to whole blocks || 0^64 || [bitlen(nonce)]_64)
// for a nonce that is not 12 bytes; `hashKey` is H = E_K(0^128).
Bytes gcmPreCounterBlock(const Bytes& hashKey, const Bytes& nonce);

// The last four bytes of J0, big-endian: where GCM's 32-bit counter starts.
std::uint32_t counterWord(const Bytes& preCounterBlock);

// For a fixed H and nonce length, J0's low word is an affine function over
// GF(2) of the nonce's bits. Returns `nonce` with some of its first 64 bits
// flipped so that counterWord(J0) == word, solving that linear system by
// Gaussian elimination; nothing when no change of those bits reaches `word`
// (likely only for nonces shorter than 5 bytes). Never for 12-byte nonces.
std::optional<Bytes> nonceForCounterWord(const Bytes& hashKey, Bytes nonce, std::uint32_t word);

// Keys and 1-byte nonces whose J0 ends in each of `words`. A 1-byte nonce
// has only 8 free bits against 32 equations, so keys are searched: key i is
// `seedKey` with i (64 bits, big-endian) xored into its last 8 bytes, from
// i = 0 on; each word gets the first key whose system reaches it (about 2^24
// keys are tried per word, all words in the same pass).
struct KeyAndNonce {
  Bytes key;
  Bytes nonce;
  std::uint64_t keyIndex = 0;
};
std::vector<KeyAndNonce> searchOneByteNonces(const Bytes& seedKey, const std::vector<std::uint32_t>& words);

}  // namespace vector_gen
