#pragma once
// Body of quillon/ccm.hpp: CBC-MAC and the CCM seal and open over any
// BlockCipher with 128-bit blocks (SP 800-38C, appendix A formatting).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/detail/aead_blocks.hpp>
#include <quillon/detail/aead_front.hpp>

namespace quillon::detail {

/// CBC-MAC from the zero IV, fed whole blocks; a piece's final partial
/// block counts as if padded with zero bytes. One encryptBlock call per
/// block: each block needs the one before.
template <BlockCipher K>
class CbcMac {
 public:
  explicit CbcMac(const K& key) : key_(key) {}

  void absorbPadded(ByteView piece) {
    for (std::size_t at = 0; at < piece.size(); at += aeadBlockBytes) {
      const std::size_t length = std::min(aeadBlockBytes, piece.size() - at);
      for (std::size_t i = 0; i < length; ++i) state_[i] ^= piece[at + i];
      state_ = encryptOneBlock(key_, state_);
    }
  }
  [[nodiscard]] const AeadBlock& value() const noexcept { return state_; }

 private:
  const K& key_;
  AeadBlock state_{};
};

/// The counter block A_i: flags q - 1, the nonce, then i in q bytes.
inline AeadBlock ccmCounterBlock(ByteView nonce, std::uint64_t index) {
  AeadBlock block{};
  block[0] = static_cast<Byte>(14 - nonce.size());
  std::copy(nonce.begin(), nonce.end(), block.begin() + 1);
  for (std::size_t i = aeadBlockBytes; i-- > 1 + nonce.size(); index >>= 8) block[i] = static_cast<Byte>(index);
  return block;
}

/// The AAD's length as CCM encodes it before the AAD: 2 bytes below 0xFF00,
/// 0xFFFE and 4 bytes below 2^32, 0xFFFF and 8 bytes beyond.
inline std::vector<Byte> ccmAadLengthField(std::uint64_t length) {
  std::vector<Byte> field;
  std::size_t width = 2;
  if (length >= 0xFF00) {
    const bool fitsFour = length <= 0xFFFFFFFF;
    field = {0xFF, static_cast<Byte>(fitsFour ? 0xFE : 0xFF)};
    width = fitsFour ? 4 : 8;
  }
  for (std::size_t i = width; i-- > 0;) field.push_back(static_cast<Byte>(length >> (8 * i)));
  return field;
}

/// The CBC-MAC of B0, the formatted AAD and the plaintext, cut to
/// `tagBytes` and masked with E(A_0).
template <BlockCipher K>
std::vector<Byte> ccmTag(const K& key, ByteView nonce, AeadChunks aad, AeadChunks plaintext,
                         std::size_t tagBytes) {
  const std::size_t aadBytes = totalSize(aad);
  AeadBlock b0 = ccmCounterBlock(nonce, totalSize(plaintext));
  b0[0] = static_cast<Byte>((aadBytes > 0 ? 0x40 : 0) | ((tagBytes - 2) / 2) << 3 | (14 - nonce.size()));
  CbcMac<K> mac(key);
  mac.absorbPadded(ByteView(b0));
  if (aadBytes > 0) {
    const std::vector<Byte> lengthField = ccmAadLengthField(aadBytes);
    std::vector<ByteView> formatted{ByteView(lengthField)};
    formatted.insert(formatted.end(), aad.begin(), aad.end());
    forEachWholePiece(formatted, aeadBlockBytes, [&](ByteView piece) { mac.absorbPadded(piece); });
  }
  forEachWholePiece(plaintext, aeadBlockBytes, [&](ByteView piece) { mac.absorbPadded(piece); });
  const AeadBlock mask = encryptOneBlock(key, ccmCounterBlock(nonce, 0));
  std::vector<Byte> tag(tagBytes);
  for (std::size_t i = 0; i < tagBytes; ++i) tag[i] = static_cast<Byte>(mac.value()[i] ^ mask[i]);
  return tag;
}

template <BlockCipher K>
ByteString ccmSeal(const K& key, ByteView nonce, AeadChunks aad, AeadChunks plaintext, std::size_t tagBytes) {
  const std::size_t textBytes = totalSize(plaintext);
  std::vector<Byte> out(textBytes + tagBytes);
  counterModeCrypt(key, ccmCounterBlock(nonce, 1), 15 - nonce.size(), plaintext, out.data());
  const std::vector<Byte> tag = ccmTag(key, nonce, aad, plaintext, tagBytes);
  std::copy(tag.begin(), tag.end(), out.begin() + static_cast<std::ptrdiff_t>(textBytes));
  return ByteString(std::move(out));
}

/// CCM authenticates the plaintext, so it is decrypted first, into a buffer
/// that is handed out only once the tag has verified.
template <BlockCipher K>
std::optional<ByteString> ccmOpen(const K& key, ByteView nonce, AeadChunks aad, AeadChunks ciphertext,
                                  ByteView tag) {
  std::vector<Byte> plaintext(totalSize(ciphertext));
  counterModeCrypt(key, ccmCounterBlock(nonce, 1), 15 - nonce.size(), ciphertext, plaintext.data());
  const ByteView plaintextChunks[] = {ByteView(plaintext)};
  const std::vector<Byte> expected = ccmTag(key, nonce, aad, plaintextChunks, tag.size());
  if (!equalInConstantTime(ByteView(expected), tag)) {
    std::fill(plaintext.begin(), plaintext.end(), Byte{0});
    return std::nullopt;
  }
  return ByteString(std::move(plaintext));
}

}  // namespace quillon::detail
