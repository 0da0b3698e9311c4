#include <primitives/openssl/aes.hpp>

#include <openssl/err.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <climits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <quillon/detail/mode_driver.hpp>

namespace quillon::openssl::detail {

namespace {

constexpr std::size_t aesBlockBytes = 16;

[[noreturn]] void throwOpenSSLError(const std::string& what) {
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

const char* modeName(AesMode mode) {
  switch (mode) {
    case AesMode::ecb: return "ECB";
    case AesMode::cbc: return "CBC";
    case AesMode::cfb: return "CFB";
    case AesMode::ofb: return "OFB";
    case AesMode::ctr: return "CTR";
  }
  return "?";
}

// The fifteen ciphers, fetched from OpenSSL's provider tables once per
// process on first use: a fetch is a table lookup that would otherwise
// dominate a short encryption.
class CipherTable {
 public:
  CipherTable() {
    for (int size = 0; size < 3; ++size)
      for (int mode = 0; mode < 5; ++mode) {
        const std::string name = "AES-" + std::to_string(128 + 64 * size) + "-" +
                                 modeName(static_cast<AesMode>(mode));
        EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, name.c_str(), nullptr);
        if (cipher == nullptr) throwOpenSSLError("fetching " + name);
        ciphers_[size][mode].reset(cipher);
      }
  }
  const EVP_CIPHER* get(int keyBits, AesMode mode) const {
    return ciphers_[(keyBits - 128) / 64][static_cast<int>(mode)].get();
  }

 private:
  std::unique_ptr<EVP_CIPHER, CipherDeleter> ciphers_[3][5];
};

const EVP_CIPHER* cipherFor(int keyBits, AesMode mode) {
  static const CipherTable table;
  return table.get(keyBits, mode);
}

/// The name of the quillon function an operation implements, for errors.
std::string functionName(const AesOperation& operation, bool lazy) {
  static const char* const names[] = {"ecb", "cbc", "cfb", "ofb", "ctr"};
  std::string name = names[static_cast<int>(operation.mode)];
  if (!operation.encrypt) {
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    name = "un" + name;
  }
  return "OpenSSL AES-" + std::to_string(operation.keyBits) + " " + name + (lazy ? "Lazy" : "");
}

/// One EVP cipher context set up for one operation, without padding.
class Stream {
 public:
  Stream(const AesOperation& operation, const Byte* key, ByteView iv)
      : context_(EVP_CIPHER_CTX_new()), name_(functionName(operation, false)) {
    if (!context_) throwOpenSSLError("allocating a cipher context");
    if (EVP_CipherInit_ex2(context_.get(), cipherFor(operation.keyBits, operation.mode), key,
                           iv.empty() ? nullptr : iv.data(), operation.encrypt ? 1 : 0,
                           nullptr) != 1)
      throwOpenSSLError("initialising " + name_);
    EVP_CIPHER_CTX_set_padding(context_.get(), 0);
  }

  /// Feeds `length` bytes; returns how many bytes were written to `out`.
  std::size_t update(const Byte* in, std::size_t length, Byte* out) {
    std::size_t written = 0;
    // EVP counts in int: hand over very long input in pieces.
    constexpr std::size_t piece = std::size_t{1} << 30;
    for (std::size_t at = 0; at < length; at += piece) {
      const int pieceLength = static_cast<int>(std::min(piece, length - at));
      int outLength = 0;
      if (EVP_CipherUpdate(context_.get(), out + written, &outLength, in + at, pieceLength) != 1)
        throwOpenSSLError(name_);
      written += static_cast<std::size_t>(outLength);
    }
    return written;
  }

  std::size_t finish(Byte* out) {
    int outLength = 0;
    if (EVP_CipherFinal_ex(context_.get(), out, &outLength) != 1) throwOpenSSLError(name_);
    return static_cast<std::size_t>(outLength);
  }

  void updatedIv(Byte* out) {
    if (EVP_CIPHER_CTX_get_updated_iv(context_.get(), out, aesBlockBytes) != 1)
      throwOpenSSLError("reading the IV of " + name_);
  }

 private:
  std::unique_ptr<EVP_CIPHER_CTX, ContextDeleter> context_;
  std::string name_;
};

void requireWholeBlocks(const AesOperation& operation, bool lazy, std::size_t length) {
  if (operation.mode != AesMode::ecb && operation.mode != AesMode::cbc) return;
  if (length % aesBlockBytes != 0)
    throw std::invalid_argument(functionName(operation, lazy) + ": input of " +
                                std::to_string(length) +
                                " bytes is not a whole number of 16-byte blocks");
}

template <class Feed>
std::vector<Byte> runStream(const AesOperation& operation, const Byte* key, ByteView iv,
                            std::size_t total, Byte* ivOut, Feed&& feed) {
  Stream stream(operation, key, iv);
  // Spare room for a final block, which OpenSSL may write to; none is
  // expected without padding.
  std::vector<Byte> out(total + aesBlockBytes);
  std::size_t written = feed(stream, out.data());
  written += stream.finish(out.data() + written);
  if (written != total)
    throw std::logic_error(functionName(operation, false) + ": OpenSSL returned " +
                           std::to_string(written) + " bytes for " + std::to_string(total));
  out.resize(total);
  if (ivOut != nullptr) stream.updatedIv(ivOut);
  return out;
}

}  // namespace

ByteString aesStrict(const AesOperation& operation, const Byte* key, ByteView iv, ByteView input,
                     Byte* ivOut) {
  requireWholeBlocks(operation, false, input.size());
  return ByteString(runStream(operation, key, iv, input.size(), ivOut, [&](Stream& stream, Byte* out) {
    return stream.update(input.data(), input.size(), out);
  }));
}

LazyByteString aesLazy(const AesOperation& operation, const Byte* key, ByteView iv,
                       const LazyByteString& input, Byte* ivOut) {
  requireWholeBlocks(operation, true, input.size());
  std::vector<Byte> out =
      runStream(operation, key, iv, input.size(), ivOut, [&](Stream& stream, Byte* out) {
        std::size_t written = 0;
        for (const ByteString& chunk : input.chunks())
          written += stream.update(chunk.data(), chunk.size(), out + written);
        return written;
      });
  return quillon::detail::splitLike(std::move(out), input);
}

ByteString aesCmac(int keyBits, const Byte* key, ByteView message) {
  // The MAC algorithm is fetched once per process, like the ciphers.
  static const std::unique_ptr<EVP_MAC, decltype(&EVP_MAC_free)> mac(
      EVP_MAC_fetch(nullptr, "CMAC", nullptr), EVP_MAC_free);
  if (!mac) throwOpenSSLError("fetching CMAC");
  const std::unique_ptr<EVP_MAC_CTX, decltype(&EVP_MAC_CTX_free)> context(EVP_MAC_CTX_new(mac.get()),
                                                                          EVP_MAC_CTX_free);
  std::string cipher = "AES-" + std::to_string(keyBits) + "-CBC";
  const OSSL_PARAM params[] = {
      OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher.data(), 0),
      OSSL_PARAM_construct_end()};
  std::vector<Byte> tag(aesBlockBytes);
  std::size_t length = 0;
  if (!context || EVP_MAC_init(context.get(), key, static_cast<std::size_t>(keyBits / 8), params) != 1 ||
      EVP_MAC_update(context.get(), message.data(), message.size()) != 1 ||
      EVP_MAC_final(context.get(), tag.data(), &length, tag.size()) != 1 || length != aesBlockBytes)
    throwOpenSSLError("CMAC with AES-" + std::to_string(keyBits));
  return ByteString(std::move(tag));
}

}  // namespace quillon::openssl::detail
