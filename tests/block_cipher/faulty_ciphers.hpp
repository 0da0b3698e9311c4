#pragma once
// Small block ciphers for testing the block-cipher suite: a sound toy cipher
// and variants of it, each with one deliberate fault.

#include <array>
#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include <quillon/quillon.hpp>

namespace faulty {

using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;
using quillon::IV;
using quillon::LazyByteString;
using quillon::Direction;

/// A toy 128-bit cipher with 128-bit keys: each byte is mixed with the key
/// and a constant of its position; a bijection per block, cheap enough for
/// many runs. The constants keep a zero key from fixing bytes (0x00 and 0xff
/// would otherwise encrypt to themselves at position 0), which would let a
/// keystream repeat and hide a fault on inputs a real cipher fails on.
/// It has no mode members of its own, so every mode is the generic one.
template <class Self>
struct Toy {
  static int blockSize() { return 128; }
  static int keyLength() { return 128; }
  static std::optional<Self> buildKey(ByteView bytes) {
    if (bytes.size() != 16) return std::nullopt;
    Self key{};
    std::copy(bytes.begin(), bytes.end(), key.key.begin());
    return key;
  }
  [[nodiscard]] ByteString encryptBlock(ByteView in) const { return encryptWith(key, in); }
  [[nodiscard]] ByteString decryptBlock(ByteView in) const { return decryptWith(key, in); }

  static Byte positionConstant(std::size_t i) { return static_cast<Byte>(0x5b * (i % 16 + 1)); }
  static ByteString encryptWith(const std::array<Byte, 16>& k, ByteView in) {
    std::vector<Byte> out(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
      const auto x = static_cast<Byte>(in[i] ^ k[i % 16]);
      out[i] = static_cast<Byte>(((x << 3) | (x >> 5)) + positionConstant(i) + k[(i + 7) % 16]);
    }
    return ByteString(std::move(out));
  }
  static ByteString decryptWith(const std::array<Byte, 16>& k, ByteView in) {
    std::vector<Byte> out(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
      const auto x = static_cast<Byte>(in[i] - positionConstant(i) - k[(i + 7) % 16]);
      out[i] = static_cast<Byte>(((x >> 3) | (x << 5)) ^ k[i % 16]);
    }
    return ByteString(std::move(out));
  }

  std::array<Byte, 16> key{};
};

/// The IV of `Self` holding `block`.
template <class Self>
IV<Self> ivOf(ByteView block) {
  return std::get<quillon::Done<IV<Self>>>(IV<Self>::get(block)).value;
}

struct SoundToy : Toy<SoundToy> {};

/// cbcLazy returns the chaining block reached at the end of the first chunk
/// instead of the one after the last chunk; its output is right.
struct LazyCbcFirstChunkIV : Toy<LazyCbcFirstChunkIV> {
  std::pair<LazyByteString, IV<LazyCbcFirstChunkIV>> cbcLazy(const IV<LazyCbcFirstChunkIV>& iv,
                                                             const LazyByteString& input) const {
    auto [out, last] = quillon::generic::cbcLazy(*this, iv, input);
    if (input.chunks().size() < 2) return {std::move(out), std::move(last)};
    const std::size_t blocksInFirst = input.chunks().front().size() / 16;
    if (blocksInFirst == 0) return {std::move(out), iv};
    const ByteString flat = out.toStrict();
    return {std::move(out), ivOf<LazyCbcFirstChunkIV>(flat.view().subspan(16 * (blocksInFirst - 1), 16))};
  }
};

/// The lazy CTR functions start every chunk again from the caller's counter.
struct CtrLazyRestartsPerChunk : Toy<CtrLazyRestartsPerChunk> {
  using Self = CtrLazyRestartsPerChunk;
  std::pair<LazyByteString, IV<Self>> ctrLazy(const IV<Self>& iv, const LazyByteString& input) const {
    std::vector<ByteString> chunks;
    IV<Self> last = iv;
    for (const ByteString& chunk : input.chunks()) {
      auto [out, next] = quillon::generic::ctr(*this, iv, chunk);
      chunks.push_back(std::move(out));
      last = std::move(next);
    }
    return {LazyByteString(std::move(chunks)), std::move(last)};
  }
  std::pair<LazyByteString, IV<Self>> unCtrLazy(const IV<Self>& iv, const LazyByteString& input) const {
    return ctrLazy(iv, input);
  }
};

/// ECB decryption damages the last ESP pad byte: when the final byte n is at
/// least 1, the byte before it (which a valid padding sets to n) is changed.
/// The message bytes stay intact, so only an unpadESP that checks every pad
/// byte notices; the lazy form damages the same byte, so the two agree.
struct UnEcbDamagesPadByte : Toy<UnEcbDamagesPadByte> {
  [[nodiscard]] ByteString unEcb(ByteView input) const {
    const ByteString plain = quillon::generic::unEcb(*this, input);
    if (plain.size() < 2 || plain[plain.size() - 1] == 0) return plain;
    std::vector<Byte> bytes(plain.begin(), plain.end());
    bytes[bytes.size() - 2] ^= 0x80;
    return ByteString(std::move(bytes));
  }
  [[nodiscard]] LazyByteString unEcbLazy(const LazyByteString& input) const {
    return quillon::splitLike(unEcb(input.toStrict()).release(), input);
  }
};

/// decryptBlock leaves out key byte 5: not the inverse of encryptBlock
/// whenever that byte is not zero.
struct DecryptDropsKeyByte : Toy<DecryptDropsKeyByte> {
  [[nodiscard]] ByteString decryptBlock(ByteView in) const {
    std::array<Byte, 16> wrong = key;
    wrong[5] = 0;
    return decryptWith(wrong, in);
  }
};

/// buildKey accepts nothing: every case is discarded.
struct RefusesEveryKey : Toy<RefusesEveryKey> {
  static std::optional<RefusesEveryKey> buildKey(ByteView) { return std::nullopt; }
};

/// Four-bit blocks: less than the byte that any mode or padding needs.
struct QuarterByteBlock : Toy<QuarterByteBlock> {
  static int blockSize() { return 4; }
};

}  // namespace faulty
