#pragma once
// The cases of the AEAD properties and differential tests, drawn to reach
// where AEAD bugs live, and shrinking toward small ones.
//
//  - Nonce and tag lengths come from those the type accepts, probed once:
//    the usual one half the time (a 12-byte nonce, the longest tag), a
//    short nonce (the 8 shortest accepted) or any accepted length otherwise.
//  - AAD and plaintext are, about half the time, 0, 1, 15, 16, 17, 31, 32,
//    33, 63, 64, 65, 255 or 256 bytes long (empty input and the edges of
//    16- and 64-byte blocks), one time in 64 4096 bytes long, otherwise of
//    any length up to 300; their bytes are random, or all 0xff one time in
//    four (carries in Poly1305 and in GHASH's reduction).
//  - A chunking (for the lazy members) is random cuts, 1-byte pieces, or
//    cuts next to the edges of 16- or 64-byte blocks (16a + b, 64a + b
//    for b of 1, 15 or 63, 16 or 64, and 17 or 65), taken for whatever
//    length it cuts, so that it stays valid as the bytes shrink.
// Shrinking shortens the plaintext and the AAD toward nothing, moves the
// lengths toward the usual ones, and zeroes bytes of the nonce, the key
// and the text.

#include <rapidcheck.h>

#include <cstddef>
#include <iosfwd>
#include <quillon/byte_string.hpp>
#include <string>
#include <vector>

namespace quillon_tests::detail {

/// The longest nonce and tag the suites try (bytes).
inline constexpr std::size_t maxProbedNonceBytes = 256;
inline constexpr std::size_t maxProbedTagBytes = 32;

/// What a type accepts, from 1 to the probed maximum, and what it must
/// refuse: 0, and the lengths up to one past the maximum that it refuses
/// next to one it accepts. Accepted lengths start with the usual one.
struct AeadLengths {
  std::vector<std::size_t> nonces;
  std::vector<std::size_t> tags;
  std::vector<std::size_t> refusedNonces;
  std::vector<std::size_t> refusedTags;
};

/// The lengths for which both predicates hold (a type's, or a type's and
/// its reference's).
template <class NonceRule, class TagRule>
AeadLengths probeAeadLengths(NonceRule acceptsNonce, TagRule acceptsTag);

/// One case: the plaintext, the AAD, the nonce, the tag length, the key
/// bytes, and the bit (0 for 0x01 ... 7 for 0x80) a forgery flips.
struct AeadCase {
  quillon::ByteString plaintext;
  quillon::ByteString aad;
  quillon::ByteString nonce;
  std::size_t tagBytes = 0;
  quillon::ByteString key;
  unsigned flippedBit = 0;
};

/// Cases over `lengths` (nonces and tags not empty) with keys of `keyBytes`.
rc::Gen<AeadCase> aeadCaseGen(const AeadLengths& lengths, std::size_t keyBytes);

/// How the engine shows a case in a report without notes.
void showValue(const AeadCase& value, std::ostream& os);

/// How the lazy members get their input: the kind of cuts and the draws
/// that place them.
struct AeadChunking {
  enum class Kind { random, oneBytePieces, nearBlocksOf16, nearBlocksOf64 };
  Kind kind = Kind::random;
  std::vector<std::size_t> draws;
};

rc::Gen<AeadChunking> aeadChunkingGen();
void showValue(const AeadChunking& value, std::ostream& os);

/// Where `chunking` cuts `length` bytes: ascending, each inside (0, length).
std::vector<std::size_t> cutsOf(const AeadChunking& chunking, std::size_t length);

/// `bytes` cut at `cuts`.
quillon::LazyByteString chunkedAt(quillon::ByteView bytes, const std::vector<std::size_t>& cuts);

/// "[1, 2, 3]".
std::string listText(const std::vector<std::size_t>& values);

/// Bytes for a report line: whole up to 32 bytes, else the first 32; then
/// the length ("0 bytes" alone for none).
std::string shortHex(quillon::ByteView bytes);

/// Notes the case's inputs for a report: "plaintext", "AAD" (chunked by
/// `chunking` when given, with the "chunk cuts" of each and of the sealed
/// message of `sealedBytes`), "nonce", "tag length", "key".
void noteAeadCase(const AeadCase& value, const AeadChunking* chunking = nullptr, std::size_t sealedBytes = 0);

template <class NonceRule, class TagRule>
AeadLengths probeAeadLengths(NonceRule acceptsNonce, TagRule acceptsTag) {
  const auto probe = [](auto accepts, std::size_t max, std::size_t usual, std::vector<std::size_t>& accepted,
                        std::vector<std::size_t>& refused) {
    refused.push_back(0);   // whatever the type says
    bool previous = false;  // whether n - 1 is accepted, taking 0 as refused
    for (std::size_t n = 1; n <= max + 1; ++n) {
      const bool here = accepts(n);
      if (here && n <= max) accepted.push_back(n);
      if (!here && (previous || accepts(n + 1))) refused.push_back(n);
      previous = here;
    }
    // The usual length first, so that shrinking heads for it.
    for (std::size_t i = 0; i < accepted.size(); ++i) {
      if (accepted[i] != usual) continue;
      accepted.erase(accepted.begin() + static_cast<std::ptrdiff_t>(i));
      accepted.insert(accepted.begin(), usual);
      break;
    }
  };
  AeadLengths lengths;
  probe(acceptsNonce, maxProbedNonceBytes, 12, lengths.nonces, lengths.refusedNonces);
  std::size_t longestTag = 0;
  for (std::size_t n = 1; n <= maxProbedTagBytes; ++n)
    if (acceptsTag(n)) longestTag = n;
  probe(acceptsTag, maxProbedTagBytes, longestTag, lengths.tags, lengths.refusedTags);
  return lengths;
}

}  // namespace quillon_tests::detail
