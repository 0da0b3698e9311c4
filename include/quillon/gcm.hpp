#pragma once
// GCM (SP 800-38D) over any BlockCipher with 128-bit blocks, as an Aead.
//
//   H  = E(0^128)
//   J0 = IV || 0^31 || 1 for a 12-byte IV; otherwise GHASH of the IV padded
//        with zero bytes to whole blocks, then a block of 0^64 || [IV bits]_64
//   C  = the plaintext XOR the CTR keystream from inc32(J0), where inc32 adds
//        one to the low 32 bits of the counter block only, wrapping
//   S  = GHASH(AAD padded || C padded || [AAD bits]_64 || [C bits]_64)
//   tag = the first tagBytes bytes of E(J0) XOR S
//
// Accepted: nonces of at least one byte (an empty IV would make J0, and so
// the tag, the same for every nonce); tags of 4, 8, 12, 13, 14, 15 or 16
// bytes; plaintext up to 2^36 - 32 bytes, where inc32 would come back to J0.
// `open` checks the tag (in constant time) before it decrypts anything.
// `sealLazy` / `openLazy` stream the chunks through GHASH and the counter;
// a block that straddles chunks is gathered first.
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
#include <quillon/detail/gcm_impl.hpp>

namespace quillon {

template <BlockCipher K>
class Gcm : public detail::AeadFront<Gcm<K>, true> {
 public:
  /// The key length of K, in bits.
  static int keyLength() { return K::keyLength(); }

  /// A key from K::buildKey(bytes), with its hash key H; nothing when K
  /// refuses the bytes or has no 128-bit block.
  static std::optional<Gcm> buildKey(ByteView bytes) {
    if (K::blockSize() != 128) return std::nullopt;
    std::optional<K> cipher = K::buildKey(bytes);
    if (!cipher) return std::nullopt;
    const detail::Gf128 hashKey = detail::gcmHashKey(*cipher);
    return Gcm(std::move(*cipher), hashKey);
  }

  static bool acceptsNonceLength(std::size_t bytes) { return detail::GcmLengths::acceptsNonceLength(bytes); }
  static bool acceptsTagLength(std::size_t bytes) { return detail::GcmLengths::acceptsTagLength(bytes); }
  static bool acceptsAadLength(std::size_t bytes) { return detail::GcmLengths::acceptsAadLength(bytes); }
  /// Whether a plaintext of `textBytes` can be sealed under such a nonce.
  static bool acceptsTextLength(std::size_t nonceBytes, std::size_t textBytes) {
    return detail::GcmLengths::acceptsTextLength(nonceBytes, textBytes);
  }

  // seal, open, sealLazy and openLazy: see quillon/aead.hpp.

 private:
  friend detail::AeadFront<Gcm, true>;

  Gcm(K cipher, detail::Gf128 hashKey) : cipher_(std::move(cipher)), hashKey_(hashKey) {}

  std::optional<ByteString> sealAccepted(ByteView nonce, detail::AeadChunks aad, detail::AeadChunks text,
                                         std::size_t tagBytes) const {
    return detail::gcmSeal(cipher_, hashKey_, nonce, aad, text, tagBytes);
  }
  std::optional<ByteString> openAccepted(ByteView nonce, detail::AeadChunks aad, detail::AeadChunks text,
                                         ByteView tag) const {
    return detail::gcmOpen(cipher_, hashKey_, nonce, aad, text, tag);
  }

  K cipher_;
  detail::Gf128 hashKey_;
};

}  // namespace quillon
