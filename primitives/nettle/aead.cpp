#include <primitives/nettle/aead.hpp>

#include <nettle/aes.h>
#include <nettle/ccm.h>
#include <nettle/chacha-poly1305.h>
#include <nettle/gcm.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <quillon/detail/aead_front.hpp>

#include <primitives/nettle/cipher_modes.hpp>

namespace quillon::nettle::detail {

namespace {

using quillon::detail::forEachWholePiece;

/// nettle's AES encryption function, keyed: all that GCM and CCM use of it.
class AesEncryption {
 public:
  explicit AesEncryption(ByteView key) {
    switch (key.size()) {
      case 16:
        aes128_set_encrypt_key(&keys_.aes128, key.data());
        function_ = blockFunction<aes128_ctx, aes128_encrypt>;
        break;
      case 24:
        aes192_set_encrypt_key(&keys_.aes192, key.data());
        function_ = blockFunction<aes192_ctx, aes192_encrypt>;
        break;
      case 32:
        aes256_set_encrypt_key(&keys_.aes256, key.data());
        function_ = blockFunction<aes256_ctx, aes256_encrypt>;
        break;
      default:
        throw std::invalid_argument("nettle AES: a key of " + std::to_string(key.size()) + " bytes");
    }
  }
  AesEncryption(const AesEncryption&) = delete;  // nettle holds pointers to it
  AesEncryption& operator=(const AesEncryption&) = delete;

  [[nodiscard]] const void* context() const noexcept { return &keys_; }
  [[nodiscard]] nettle_cipher_func* function() const noexcept { return function_; }

 private:
  union {
    aes128_ctx aes128;
    aes192_ctx aes192;
    aes256_ctx aes256;
  } keys_;
  nettle_cipher_func* function_ = nullptr;
};

/// One message through one of nettle's AEADs: the calls that differ between
/// them, with the piece sizes each needs in all but its last call.
class Message {
 public:
  Message(NettleAead algorithm, ByteView key, ByteView nonce, std::size_t aadBytes, std::size_t textBytes,
          std::size_t tagBytes)
      : algorithm_(algorithm) {
    if (algorithm_ != NettleAead::chacha20Poly1305) aes_.emplace(key);
    switch (algorithm_) {
      case NettleAead::gcm:
        gcm_set_key(&gcmKey_, aes_->context(), aes_->function());
        gcm_set_iv(&state_.gcm, &gcmKey_, nonce.size(), nonce.data());
        break;
      case NettleAead::ccm:
        ccm_set_nonce(&state_.ccm, aes_->context(), aes_->function(), nonce.size(), nonce.data(), aadBytes,
                      textBytes, tagBytes);
        break;
      case NettleAead::chacha20Poly1305:
        chacha_poly1305_set_key(&state_.chacha, key.data());
        chacha_poly1305_set_nonce(&state_.chacha, nonce.data());
        break;
    }
  }

  void aad(bindings::AeadChunks chunks) {
    // CCM and Poly1305 gather partial blocks of AAD themselves.
    forEachWholePiece(chunks, algorithm_ == NettleAead::gcm ? 16 : 1, [&](ByteView piece) {
      switch (algorithm_) {
        case NettleAead::gcm: gcm_update(&state_.gcm, &gcmKey_, piece.size(), piece.data()); break;
        case NettleAead::ccm: ccm_update(&state_.ccm, aes_->context(), aes_->function(), piece.size(), piece.data()); break;
        case NettleAead::chacha20Poly1305: chacha_poly1305_update(&state_.chacha, piece.size(), piece.data()); break;
      }
    });
  }

  void text(bool encrypt, bindings::AeadChunks chunks, Byte* out) {
    std::size_t done = 0;
    forEachWholePiece(chunks, algorithm_ == NettleAead::chacha20Poly1305 ? 64 : 16, [&](ByteView piece) {
      Byte* to = out + done;
      done += piece.size();
      switch (algorithm_) {
        case NettleAead::gcm:
          (encrypt ? gcm_encrypt : gcm_decrypt)(&state_.gcm, &gcmKey_, aes_->context(), aes_->function(),
                                                piece.size(), to, piece.data());
          break;
        case NettleAead::ccm:
          (encrypt ? ccm_encrypt : ccm_decrypt)(&state_.ccm, aes_->context(), aes_->function(), piece.size(), to,
                                                piece.data());
          break;
        case NettleAead::chacha20Poly1305:
          (encrypt ? chacha_poly1305_encrypt : chacha_poly1305_decrypt)(&state_.chacha, piece.size(), to,
                                                                        piece.data());
          break;
      }
    });
  }

  void digest(std::size_t tagBytes, Byte* out) {
    switch (algorithm_) {
      case NettleAead::gcm: gcm_digest(&state_.gcm, &gcmKey_, aes_->context(), aes_->function(), tagBytes, out); break;
      case NettleAead::ccm: ccm_digest(&state_.ccm, aes_->context(), aes_->function(), tagBytes, out); break;
      case NettleAead::chacha20Poly1305: chacha_poly1305_digest(&state_.chacha, tagBytes, out); break;
    }
  }

 private:
  NettleAead algorithm_;
  std::optional<AesEncryption> aes_;  // not for ChaCha20-Poly1305
  gcm_key gcmKey_{};
  union {
    gcm_ctx gcm;
    ccm_ctx ccm;
    chacha_poly1305_ctx chacha;
  } state_{};
};

}  // namespace

std::optional<ByteString> nettleSeal(NettleAead algorithm, ByteView key, ByteView nonce, bindings::AeadChunks aad,
                                     bindings::AeadChunks plaintext, std::size_t tagBytes) {
  const std::size_t textBytes = quillon::detail::totalSize(plaintext);
  Message message(algorithm, key, nonce, quillon::detail::totalSize(aad), textBytes, tagBytes);
  std::vector<Byte> out(textBytes + tagBytes);
  message.aad(aad);
  message.text(true, plaintext, out.data());
  message.digest(tagBytes, out.data() + textBytes);
  return ByteString(std::move(out));
}

std::optional<ByteString> nettleOpen(NettleAead algorithm, ByteView key, ByteView nonce, bindings::AeadChunks aad,
                                     bindings::AeadChunks ciphertext, ByteView tag) {
  const std::size_t textBytes = quillon::detail::totalSize(ciphertext);
  Message message(algorithm, key, nonce, quillon::detail::totalSize(aad), textBytes, tag.size());
  std::vector<Byte> out(textBytes);
  std::vector<Byte> expected(tag.size());
  message.aad(aad);
  message.text(false, ciphertext, out.data());
  message.digest(tag.size(), expected.data());
  if (!quillon::detail::equalInConstantTime(ByteView(expected), tag)) {
    std::fill(out.begin(), out.end(), Byte{0});
    return std::nullopt;
  }
  return ByteString(std::move(out));
}

}  // namespace quillon::nettle::detail
