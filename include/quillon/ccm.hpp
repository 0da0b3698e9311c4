#pragma once
// CCM (SP 800-38C, with the formatting of its appendix A) over any
// BlockCipher with 128-bit blocks, as an Aead.
//
//   q  = 15 - nonce bytes, the width of the message length and the counter
//   B0 = flags || nonce || [plaintext bytes]_q, with the flags holding
//        whether there is AAD, (tagBytes - 2) / 2 and q - 1
//   the AAD, when there is any, follows its length: 2 bytes below 0xFF00,
//        0xFF 0xFE and 4 bytes below 2^32, 0xFF 0xFF and 8 bytes beyond;
//        then zero bytes to a whole block; then the plaintext, padded alike
//   T  = the first tagBytes bytes of the CBC-MAC of all of that
//   A_i = (q - 1) || nonce || [i]_q;  C = the plaintext XOR the CTR
//        keystream from A_1;  tag = T XOR the first tagBytes bytes of E(A_0)
//
// Accepted: nonces of 7 to 13 bytes; tags of 4, 6, 8, 10, 12, 14 or 16
// bytes; plaintext up to 2^(8q) - 1 bytes (65,535 bytes for a 13-byte
// nonce): anything longer cannot be encoded in B0 and is refused.
// `open` decrypts into a buffer of its own and hands it out only once the
// tag has verified (in constant time). `sealLazy` / `openLazy` stream the
// chunks through the CBC-MAC and the counter; a block that straddles chunks
// is gathered first.
//
// A K whose blockSize() is not 128 bits gives no key: buildKey gives nothing
// (blockSize() is an ordinary function, so it cannot be checked while
// compiling).

#include <cstddef>
#include <optional>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/detail/aead_front.hpp>
#include <quillon/detail/aead_lengths.hpp>
#include <quillon/detail/ccm_impl.hpp>

namespace quillon {

template <BlockCipher K>
class Ccm : public detail::AeadFront<Ccm<K>, true> {
 public:
  /// The key length of K, in bits.
  static int keyLength() { return K::keyLength(); }

  /// A key from K::buildKey(bytes); nothing when K refuses the bytes or has
  /// no 128-bit block.
  static std::optional<Ccm> buildKey(ByteView bytes) {
    if (K::blockSize() != 128) return std::nullopt;
    std::optional<K> cipher = K::buildKey(bytes);
    if (!cipher) return std::nullopt;
    return Ccm(std::move(*cipher));
  }

  static bool acceptsNonceLength(std::size_t bytes) { return detail::CcmLengths::acceptsNonceLength(bytes); }
  static bool acceptsTagLength(std::size_t bytes) { return detail::CcmLengths::acceptsTagLength(bytes); }
  static bool acceptsAadLength(std::size_t bytes) { return detail::CcmLengths::acceptsAadLength(bytes); }
  /// Whether a plaintext of `textBytes` can be sealed under such a nonce.
  static bool acceptsTextLength(std::size_t nonceBytes, std::size_t textBytes) {
    return detail::CcmLengths::acceptsTextLength(nonceBytes, textBytes);
  }

  // seal, open, sealLazy and openLazy: see quillon/aead.hpp.

 private:
  friend detail::AeadFront<Ccm, true>;

  explicit Ccm(K cipher) : cipher_(std::move(cipher)) {}

  std::optional<ByteString> sealAccepted(ByteView nonce, detail::AeadChunks aad, detail::AeadChunks text,
                                         std::size_t tagBytes) const {
    return detail::ccmSeal(cipher_, nonce, aad, text, tagBytes);
  }
  std::optional<ByteString> openAccepted(ByteView nonce, detail::AeadChunks aad, detail::AeadChunks text,
                                         ByteView tag) const {
    return detail::ccmOpen(cipher_, nonce, aad, text, tag);
  }

  K cipher_;
};

}  // namespace quillon
