#pragma once
// Block-level plumbing of the generic GCM and CCM: one 16-byte block, and
// the counter-mode keystream both run, whose counter wraps within its low
// bytes only (GCM's inc32: the low 4; CCM: the q length bytes).

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/detail/aead_front.hpp>

namespace quillon::detail {

inline constexpr std::size_t aeadBlockBytes = 16;
using AeadBlock = std::array<Byte, aeadBlockBytes>;

/// E(block) under `key`, checked to be one block long.
template <BlockCipher K>
AeadBlock encryptOneBlock(const K& key, const AeadBlock& block) {
  const ByteString out = key.encryptBlock(ByteView(block));
  if (out.size() != aeadBlockBytes)
    throw std::logic_error("quillon: encryptBlock turned one 16-byte block into " +
                           std::to_string(out.size()) + " bytes");
  AeadBlock result;
  std::copy(out.begin(), out.end(), result.begin());
  return result;
}

/// Adds one to the last `width` bytes of `block`, big-endian, wrapping
/// within them; the bytes before are left alone.
inline void incrementLowBytes(AeadBlock& block, std::size_t width) noexcept {
  for (std::size_t i = aeadBlockBytes; i-- > aeadBlockBytes - width;)
    if (++block[i] != 0) break;
}

/// Counter-mode keystream from a first counter block, which `apply` uses and
/// then moves past.
template <BlockCipher K>
class CounterKeystream {
 public:
  CounterKeystream(const K& key, const AeadBlock& firstCounter, std::size_t counterWidth)
      : key_(key), counter_(firstCounter), width_(counterWidth) {}

  /// `out` = `in` XOR the keystream: `in` is whole blocks or, last of all, a
  /// partial block. The counter blocks of one call go to encryptBlock
  /// together, so a key type with a costly call pays it once per piece.
  void apply(ByteView in, Byte* out) {
    const std::size_t blocks = (in.size() + aeadBlockBytes - 1) / aeadBlockBytes;
    std::vector<Byte> counters(blocks * aeadBlockBytes);
    for (std::size_t b = 0; b < blocks; ++b) {
      std::copy(counter_.begin(), counter_.end(), counters.begin() + static_cast<std::ptrdiff_t>(b * aeadBlockBytes));
      incrementLowBytes(counter_, width_);
    }
    const ByteString stream = key_.encryptBlock(ByteView(counters));
    if (stream.size() != counters.size())
      throw std::logic_error("quillon: encryptBlock turned " + std::to_string(counters.size()) +
                             " bytes into " + std::to_string(stream.size()));
    for (std::size_t i = 0; i < in.size(); ++i) out[i] = static_cast<Byte>(in[i] ^ stream[i]);
  }

 private:
  const K& key_;
  AeadBlock counter_;
  std::size_t width_;
};

/// `text`, as one stream, XOR the keystream from `firstCounter` (wrapping
/// in its last `counterWidth` bytes), into `out`.
template <BlockCipher K>
void counterModeCrypt(const K& key, const AeadBlock& firstCounter, std::size_t counterWidth,
                      std::span<const ByteView> text, Byte* out) {
  CounterKeystream<K> keystream(key, firstCounter, counterWidth);
  std::size_t done = 0;
  forEachWholePiece(text, aeadBlockBytes, [&](ByteView piece) {
    keystream.apply(piece, out + done);
    done += piece.size();
  });
}

}  // namespace quillon::detail
