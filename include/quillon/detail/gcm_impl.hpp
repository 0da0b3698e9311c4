#pragma once
// Body of quillon/gcm.hpp: GHASH and the GCM seal and open over any
// BlockCipher with 128-bit blocks.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/detail/aead_blocks.hpp>
#include <quillon/detail/aead_front.hpp>

namespace quillon::detail {

/// An element of GF(2^128) in GCM's bit order: `high` holds bytes 0 to 7 of
/// the block big-endian, so the block's first bit is the top bit of `high`.
struct Gf128 {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
};

inline std::uint64_t loadBigEndian64(const Byte* bytes) noexcept {
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value = (value << 8) | bytes[i];
  return value;
}

inline void storeBigEndian64(std::uint64_t value, Byte* bytes) noexcept {
  for (int i = 7; i >= 0; --i) {
    bytes[i] = static_cast<Byte>(value);
    value >>= 8;
  }
}

inline Gf128 loadGf128(const Byte* block) noexcept {
  return {loadBigEndian64(block), loadBigEndian64(block + 8)};
}

inline AeadBlock storeGf128(Gf128 value) noexcept {
  AeadBlock block;
  storeBigEndian64(value.high, block.data());
  storeBigEndian64(value.low, block.data() + 8);
  return block;
}

/// x * y in GCM's field (SP 800-38D, algorithm 1), one bit of x at a time
/// and without branches on the data.
inline Gf128 gf128Multiply(Gf128 x, Gf128 y) noexcept {
  Gf128 product;
  Gf128 v = y;
  for (int i = 0; i < 128; ++i) {
    const std::uint64_t word = i < 64 ? x.high : x.low;
    const std::uint64_t bitMask = 0 - ((word >> (63 - i % 64)) & 1);
    product.high ^= v.high & bitMask;
    product.low ^= v.low & bitMask;
    // v * x: one bit to the right, reduced by R = 11100001 || 0^120.
    const std::uint64_t reduce = 0 - (v.low & 1);
    v.low = (v.low >> 1) | (v.high << 63);
    v.high = (v.high >> 1) ^ (0xe100000000000000 & reduce);
  }
  return product;
}

/// GHASH under the hash key H, fed whole blocks; a piece's final partial
/// block counts as if padded with zero bytes.
class Ghash {
 public:
  explicit Ghash(Gf128 hashKey) noexcept : hashKey_(hashKey) {}

  void absorbPadded(ByteView piece) noexcept {
    for (std::size_t at = 0; at < piece.size(); at += aeadBlockBytes) {
      AeadBlock block{};
      const std::size_t length = std::min(aeadBlockBytes, piece.size() - at);
      std::copy(piece.begin() + static_cast<std::ptrdiff_t>(at),
                piece.begin() + static_cast<std::ptrdiff_t>(at + length), block.begin());
      absorbBlock(loadGf128(block.data()));
    }
  }
  /// The closing block: two 64-bit bit lengths.
  void absorbLengths(std::uint64_t firstBits, std::uint64_t secondBits) noexcept {
    absorbBlock({firstBits, secondBits});
  }
  [[nodiscard]] Gf128 value() const noexcept { return state_; }

 private:
  void absorbBlock(Gf128 block) noexcept {
    state_.high ^= block.high;
    state_.low ^= block.low;
    state_ = gf128Multiply(state_, hashKey_);
  }

  Gf128 hashKey_;
  Gf128 state_;
};

template <BlockCipher K>
Gf128 gcmHashKey(const K& key) {
  return loadGf128(encryptOneBlock(key, AeadBlock{}).data());
}

/// J0: IV || 0^31 || 1 for a 12-byte IV, else GHASH(IV padded || 0^64 || [IV bits]_64).
inline AeadBlock gcmPreCounterBlock(Gf128 hashKey, ByteView nonce) {
  AeadBlock j0{};
  if (nonce.size() == 12) {
    std::copy(nonce.begin(), nonce.end(), j0.begin());
    j0[15] = 1;
    return j0;
  }
  Ghash ghash(hashKey);
  ghash.absorbPadded(nonce);
  ghash.absorbLengths(0, std::uint64_t{nonce.size()} * 8);
  return storeGf128(ghash.value());
}

/// GCM over accepted lengths, for one key.
template <BlockCipher K>
struct GcmKey {
  const K& key;
  Gf128 hashKey;

  /// The text XOR the keystream from inc32(J0), into `out`.
  void crypt(const AeadBlock& j0, AeadChunks text, Byte* out) const {
    AeadBlock counter = j0;
    incrementLowBytes(counter, 4);  // inc32
    counterModeCrypt(key, counter, 4, text, out);
  }

  /// The full 16-byte tag: E(J0) XOR GHASH over the AAD, the ciphertext
  /// and their bit lengths.
  AeadBlock tag(const AeadBlock& j0, AeadChunks aad, AeadChunks ciphertext) const {
    Ghash ghash(hashKey);
    forEachWholePiece(aad, aeadBlockBytes, [&](ByteView piece) { ghash.absorbPadded(piece); });
    forEachWholePiece(ciphertext, aeadBlockBytes, [&](ByteView piece) { ghash.absorbPadded(piece); });
    ghash.absorbLengths(std::uint64_t{totalSize(aad)} * 8, std::uint64_t{totalSize(ciphertext)} * 8);
    AeadBlock tag = storeGf128(ghash.value());
    const AeadBlock mask = encryptOneBlock(key, j0);
    for (std::size_t i = 0; i < aeadBlockBytes; ++i) tag[i] ^= mask[i];
    return tag;
  }
};

template <BlockCipher K>
ByteString gcmSeal(const K& key, Gf128 hashKey, ByteView nonce, AeadChunks aad, AeadChunks plaintext,
                   std::size_t tagBytes) {
  const GcmKey<K> gcm{key, hashKey};
  const AeadBlock j0 = gcmPreCounterBlock(hashKey, nonce);
  const std::size_t textBytes = totalSize(plaintext);
  std::vector<Byte> out(textBytes + tagBytes);
  gcm.crypt(j0, plaintext, out.data());
  const ByteView ciphertext[] = {ByteView(out).first(textBytes)};
  const AeadBlock tag = gcm.tag(j0, aad, ciphertext);
  std::copy(tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(tagBytes),
            out.begin() + static_cast<std::ptrdiff_t>(textBytes));
  return ByteString(std::move(out));
}

/// Checks the tag before decrypting anything.
template <BlockCipher K>
std::optional<ByteString> gcmOpen(const K& key, Gf128 hashKey, ByteView nonce, AeadChunks aad,
                                  AeadChunks ciphertext, ByteView tag) {
  const GcmKey<K> gcm{key, hashKey};
  const AeadBlock j0 = gcmPreCounterBlock(hashKey, nonce);
  const AeadBlock expected = gcm.tag(j0, aad, ciphertext);
  if (!equalInConstantTime(ByteView(expected).first(tag.size()), tag)) return std::nullopt;
  std::vector<Byte> out(totalSize(ciphertext));
  gcm.crypt(j0, ciphertext, out.data());
  return ByteString(std::move(out));
}

}  // namespace quillon::detail
