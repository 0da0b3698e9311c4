#include <primitives/openssl/aead.hpp>

#include <openssl/err.h>
#include <openssl/evp.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon::openssl::detail {

namespace {

[[noreturn]] void throwEvpError(const std::string& what) {
  char reason[256] = "no reason given";
  if (unsigned long code = ERR_get_error(); code != 0) ERR_error_string_n(code, reason, sizeof reason);
  ERR_clear_error();
  throw std::runtime_error("OpenSSL: " + what + ": " + reason);
}

struct CipherDeleter {
  void operator()(EVP_CIPHER* cipher) const noexcept { EVP_CIPHER_free(cipher); }
};
struct ContextDeleter {
  void operator()(EVP_CIPHER_CTX* context) const noexcept { EVP_CIPHER_CTX_free(context); }
};

std::string cipherName(EvpAead algorithm, std::size_t keyBytes) {
  switch (algorithm) {
    case EvpAead::gcm: return "AES-" + std::to_string(keyBytes * 8) + "-GCM";
    case EvpAead::ccm: return "AES-" + std::to_string(keyBytes * 8) + "-CCM";
    case EvpAead::chacha20Poly1305: return "ChaCha20-Poly1305";
  }
  return "?";
}

// The seven ciphers, fetched once per process on first use.
class CipherTable {
 public:
  CipherTable() {
    for (int algorithm = 0; algorithm < 3; ++algorithm)
      for (std::size_t size = 0; size < 3; ++size) {
        const std::string name = cipherName(static_cast<EvpAead>(algorithm), 16 + 8 * size);
        EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, name.c_str(), nullptr);
        if (cipher == nullptr) throwEvpError("fetching " + name);
        ciphers_[algorithm][size].reset(cipher);
      }
  }
  const EVP_CIPHER* get(EvpAead algorithm, std::size_t keyBytes) const {
    const std::size_t size = algorithm == EvpAead::chacha20Poly1305 ? 0 : (keyBytes - 16) / 8;
    return ciphers_[static_cast<int>(algorithm)][size].get();
  }

 private:
  std::unique_ptr<EVP_CIPHER, CipherDeleter> ciphers_[3][3];
};

/// One EVP AEAD operation, keyed, with its nonce (and, for CCM, its tag
/// length, or when opening the tag itself) set.
class AeadOperation {
 public:
  AeadOperation(EvpAead algorithm, ByteView key, ByteView nonce, bool encrypt, std::size_t tagBytes,
                const Byte* tag)
      : context_(EVP_CIPHER_CTX_new()), name_(cipherName(algorithm, key.size())) {
    static const CipherTable table;
    if (!context_) throwEvpError("allocating a cipher context");
    const int direction = encrypt ? 1 : 0;
    if (EVP_CipherInit_ex2(context_.get(), table.get(algorithm, key.size()), nullptr, nullptr, direction,
                           nullptr) != 1 ||
        EVP_CIPHER_CTX_ctrl(context_.get(), EVP_CTRL_AEAD_SET_IVLEN, static_cast<int>(nonce.size()),
                            nullptr) != 1)
      throwEvpError("setting up " + name_ + " with a " + std::to_string(nonce.size()) + "-byte nonce");
    // CCM fixes the tag length (and, when opening, the tag) before the key.
    if (algorithm == EvpAead::ccm &&
        EVP_CIPHER_CTX_ctrl(context_.get(), EVP_CTRL_AEAD_SET_TAG, static_cast<int>(tagBytes),
                            const_cast<Byte*>(tag)) != 1)
      throwEvpError("setting the tag of " + name_);
    if (EVP_CipherInit_ex2(context_.get(), nullptr, key.data(), nonce.data(), direction, nullptr) != 1)
      throwEvpError("keying " + name_);
  }

  /// Feeds `length` bytes (AAD when `out` is null); false when EVP refuses.
  bool update(const Byte* in, std::size_t length, Byte* out, std::size_t& written) {
    // EVP counts in int: hand over long input in pieces.
    constexpr std::size_t piece = std::size_t{1} << 30;
    std::size_t at = 0;
    do {
      const int pieceLength = static_cast<int>(std::min(piece, length - at));
      int outLength = 0;
      if (EVP_CipherUpdate(context_.get(), out == nullptr ? nullptr : out + written, &outLength, in + at,
                           pieceLength) != 1)
        return false;
      written += static_cast<std::size_t>(outLength);
      at += static_cast<std::size_t>(pieceLength);
    } while (at < length);
    return true;
  }
  void mustUpdate(const Byte* in, std::size_t length, Byte* out, std::size_t& written) {
    if (!update(in, length, out, written)) throwEvpError(name_);
  }

  /// EVP_CipherFinal_ex; false when EVP refuses (a tag that does not verify).
  bool finish(Byte* out, std::size_t& written) {
    int outLength = 0;
    if (EVP_CipherFinal_ex(context_.get(), out + written, &outLength) != 1) return false;
    written += static_cast<std::size_t>(outLength);
    return true;
  }

  void tagControl(int control, std::size_t tagBytes, Byte* tag) {
    if (EVP_CIPHER_CTX_ctrl(context_.get(), control, static_cast<int>(tagBytes), tag) != 1)
      throwEvpError("the tag of " + name_);
  }

  void expectLength(std::size_t written, std::size_t length) const {
    if (written != length)
      throw std::logic_error(name_ + ": OpenSSL returned " + std::to_string(written) + " bytes for " +
                             std::to_string(length));
  }

 private:
  std::unique_ptr<EVP_CIPHER_CTX, ContextDeleter> context_;
  std::string name_;
};

/// Feeds the AAD and the text: chunk by chunk, except for CCM, which takes
/// the total length first and then each in one call. False when EVP refuses
/// the text (CCM checks the tag there).
bool feed(AeadOperation& operation, EvpAead algorithm, bindings::AeadChunks aad, bindings::AeadChunks text,
          Byte* out, std::size_t& written) {
  std::size_t ignored = 0;
  if (algorithm != EvpAead::ccm) {
    for (ByteView chunk : aad)
      if (!chunk.empty()) operation.mustUpdate(chunk.data(), chunk.size(), nullptr, ignored);
    for (ByteView chunk : text)
      if (!chunk.empty()) operation.mustUpdate(chunk.data(), chunk.size(), out, written);
    return true;
  }
  const std::vector<Byte> joinedText = bindings::joinChunks(text);
  operation.mustUpdate(nullptr, joinedText.size(), nullptr, ignored);
  if (const std::vector<Byte> joinedAad = bindings::joinChunks(aad); !joinedAad.empty())
    operation.mustUpdate(joinedAad.data(), joinedAad.size(), nullptr, ignored);
  // The text call comes even for empty text: that is where CCM produces or
  // checks the tag. EVP wants real pointers for it.
  Byte none = 0;
  return operation.update(joinedText.empty() ? &none : joinedText.data(), joinedText.size(),
                          out, written);
}

}  // namespace

std::optional<ByteString> evpSeal(EvpAead algorithm, ByteView key, ByteView nonce, bindings::AeadChunks aad,
                                  bindings::AeadChunks plaintext, std::size_t tagBytes) {
  AeadOperation operation(algorithm, key, nonce, true, tagBytes, nullptr);
  const std::size_t textBytes = quillon::detail::totalSize(plaintext);
  // Room for the tag after the text, and for a final block EVP may write.
  std::vector<Byte> out(textBytes + std::max<std::size_t>(tagBytes, 16));
  std::size_t written = 0;
  if (!feed(operation, algorithm, aad, plaintext, out.data(), written) || !operation.finish(out.data(), written))
    throwEvpError("sealing with " + cipherName(algorithm, key.size()));
  operation.expectLength(written, textBytes);
  operation.tagControl(EVP_CTRL_AEAD_GET_TAG, tagBytes, out.data() + textBytes);
  out.resize(textBytes + tagBytes);
  return ByteString(std::move(out));
}

std::optional<ByteString> evpOpen(EvpAead algorithm, ByteView key, ByteView nonce, bindings::AeadChunks aad,
                                  bindings::AeadChunks ciphertext, ByteView tag) {
  std::vector<Byte> tagCopy(tag.begin(), tag.end());  // EVP's controls take a non-const pointer
  AeadOperation operation(algorithm, key, nonce, false, tag.size(), tagCopy.data());
  if (algorithm != EvpAead::ccm) operation.tagControl(EVP_CTRL_AEAD_SET_TAG, tagCopy.size(), tagCopy.data());
  const std::size_t textBytes = quillon::detail::totalSize(ciphertext);
  std::vector<Byte> out(textBytes + 16);
  std::size_t written = 0;
  const bool verified =
      feed(operation, algorithm, aad, ciphertext, out.data(), written) && operation.finish(out.data(), written);
  ERR_clear_error();
  if (!verified) {
    std::fill(out.begin(), out.end(), Byte{0});
    return std::nullopt;
  }
  operation.expectLength(written, textBytes);
  out.resize(textBytes);
  return ByteString(std::move(out));
}

}  // namespace quillon::openssl::detail
