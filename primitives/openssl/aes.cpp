#include <primitives/openssl/aes.hpp>

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <algorithm>
#include <cctype>
#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <primitives/openssl/errors.hpp>
#include <primitives/prepared_streams.hpp>

namespace quillon::openssl::detail {

namespace {

constexpr std::size_t blockBytes = AesEngine::blockBytes;

struct CipherDeleter {
  void operator()(EVP_CIPHER* cipher) const noexcept { EVP_CIPHER_free(cipher); }
};
struct ContextDeleter {
  void operator()(EVP_CIPHER_CTX* context) const noexcept { EVP_CIPHER_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextDeleter>;
using Stream = bindings::PreparedStreams<Context, blockBytes>::Stream;

/// "AES-128-CBC": OpenSSL's name of the cipher.
std::string cipherName(int keyBits, Mode mode) {
  std::string name = "AES-" + std::to_string(keyBits) + "-" + std::string(modeName(mode));
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
  return name;
}

// The fifteen ciphers, fetched from OpenSSL's provider tables once per
// process on first use: a fetch is a table lookup that would otherwise
// dominate a short encryption.
class CipherTable {
 public:
  CipherTable() {
    for (int size = 0; size < 3; ++size)
      for (const Mode mode : allModes) {
        const std::string name = cipherName(128 + 64 * size, mode);
        EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, name.c_str(), nullptr);
        if (cipher == nullptr) throwOpenSSLError("fetching " + name);
        ciphers_[size][static_cast<int>(mode)].reset(cipher);
      }
  }
  const EVP_CIPHER* get(int keyBits, Mode mode) const {
    return ciphers_[(keyBits - 128) / 64][static_cast<int>(mode)].get();
  }

 private:
  std::unique_ptr<EVP_CIPHER, CipherDeleter> ciphers_[3][allModes.size()];
};

const EVP_CIPHER* cipherFor(int keyBits, Mode mode) {
  static const CipherTable table;
  return table.get(keyBits, mode);
}

/// The quillon function a call implements, for errors: "OpenSSL AES-128 unCbc".
std::string functionName(int keyBits, Mode mode, Direction direction, bool lazy) {
  return "OpenSSL AES-" + std::to_string(keyBits) + " " + modeFunctionName(mode, direction, lazy);
}

/// Feeds `length` bytes to the context; returns how many it wrote to `out`.
std::size_t update(EVP_CIPHER_CTX* context, const Byte* in, std::size_t length, Byte* out) {
  std::size_t written = 0;
  // EVP counts in int: hand over very long input in pieces.
  constexpr std::size_t piece = std::size_t{1} << 30;
  for (std::size_t at = 0; at < length; at += piece) {
    int outLength = 0;
    if (EVP_CipherUpdate(context, out + written, &outLength, in + at,
                         static_cast<int>(std::min(piece, length - at))) != 1)
      return written;  // the caller reports the shortfall with OpenSSL's reason
    written += static_cast<std::size_t>(outLength);
  }
  return written;
}

}  // namespace

struct AesEngine::Prepared {
  int keyBits = 0;
  std::array<Byte, 32> key{};
  bindings::PreparedStreams<Context, blockBytes> streams;

  Prepared() = default;
  Prepared(const Prepared&) = delete;
  Prepared& operator=(const Prepared&) = delete;
  ~Prepared() { OPENSSL_cleanse(key.data(), key.size()); }

  /// A context keyed for `mode` in `direction`, without padding, IV unset.
  [[nodiscard]] Context keyed(Mode mode, Direction direction) const {
    Context context(EVP_CIPHER_CTX_new());
    if (!context) throwOpenSSLError("allocating a cipher context");
    if (EVP_CipherInit_ex2(context.get(), cipherFor(keyBits, mode), key.data(), nullptr,
                           direction == Direction::encrypt ? 1 : 0, nullptr) != 1)
      throwOpenSSLError("keying " + cipherName(keyBits, mode));
    if (!takesPartialBlocks(mode)) EVP_CIPHER_CTX_set_padding(context.get(), 0);
    return context;
  }

  /// Runs `feed(context)` (which returns the bytes it wrote, `total`
  /// expected) on the prepared context of `mode` and `direction`, started
  /// at `iv` unless it already stands there. The IV that continues the
  /// stream goes to `ivOut`: from the data when `in` and `out` hold it all
  /// in whole blocks, else from the context.
  template <class Feed>
  void run(Mode mode, Direction direction, bool lazy, ByteView iv, std::size_t total,
           const Byte* in, const Byte* out, Byte* ivOut, Feed&& feed) const {
    streams.lend(mode, direction, [&] { return keyed(mode, direction); }, [&](Stream& stream) {
      EVP_CIPHER_CTX* context = stream.object.get();
      if (!stream.resumeAt(iv) &&
          EVP_CipherInit_ex2(context, nullptr, nullptr, iv.empty() ? nullptr : iv.data(), -1,
                             nullptr) != 1)
        throwOpenSSLError("setting the IV of " + functionName(keyBits, mode, direction, lazy));
      if (const std::size_t written = feed(context); written != total)
        throwOpenSSLError(functionName(keyBits, mode, direction, lazy) + " wrote " +
                          std::to_string(written) + " bytes of " + std::to_string(total));
      const bool wholeBlocks = total % blockBytes == 0;
      if (ivOut != nullptr) {
        if (in != nullptr && wholeBlocks)
          bindings::ivAfterWholeBlocks<blockBytes>(mode, direction, iv, in, out, total, ivOut);
        else if (EVP_CIPHER_CTX_get_updated_iv(context, ivOut, blockBytes) != 1)
          throwOpenSSLError("reading the IV of " + functionName(keyBits, mode, direction, lazy));
      }
      // After a partial block the context holds part of a keystream block.
      if (wholeBlocks) stream.stoppedAt(ivOut);
    });
  }
};

AesEngine::AesEngine(ByteView key) {
  if (!takesKeyBytes(key.size()))
    throw std::invalid_argument("OpenSSL AES: a key of " + std::to_string(key.size()) + " bytes");
  auto prepared = std::make_shared<Prepared>();
  prepared->keyBits = static_cast<int>(key.size() * 8);
  std::copy(key.begin(), key.end(), prepared->key.begin());
  prepared_ = std::move(prepared);
}

void AesEngine::run(Mode mode, Direction direction, ByteView iv, ByteView input, Byte* out,
                    Byte* ivOut) const {
  prepared_->run(mode, direction, false, iv, input.size(), input.data(), out, ivOut,
                 [&](EVP_CIPHER_CTX* context) { return update(context, input.data(), input.size(), out); });
}

void AesEngine::runLazy(Mode mode, Direction direction, ByteView iv, const LazyByteString& input,
                        Byte* out, Byte* ivOut) const {
  prepared_->run(mode, direction, true, iv, input.size(), nullptr, out, ivOut,
                 [&](EVP_CIPHER_CTX* context) {
                   std::size_t written = 0;
                   for (const ByteString& chunk : input.chunks())
                     written += update(context, chunk.data(), chunk.size(), out + written);
                   return written;
                 });
}

ByteString AesEngine::cmac(ByteView message) const {
  // The MAC algorithm is fetched once per process, like the ciphers.
  static const std::unique_ptr<EVP_MAC, decltype(&EVP_MAC_free)> mac(
      EVP_MAC_fetch(nullptr, "CMAC", nullptr), EVP_MAC_free);
  if (!mac) throwOpenSSLError("fetching CMAC");
  const std::unique_ptr<EVP_MAC_CTX, decltype(&EVP_MAC_CTX_free)> context(EVP_MAC_CTX_new(mac.get()),
                                                                          EVP_MAC_CTX_free);
  std::string cipher = cipherName(prepared_->keyBits, Mode::cbc);
  const OSSL_PARAM params[] = {
      OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher.data(), 0),
      OSSL_PARAM_construct_end()};
  std::vector<Byte> tag(blockBytes);
  std::size_t length = 0;
  if (!context ||
      EVP_MAC_init(context.get(), prepared_->key.data(),
                   static_cast<std::size_t>(prepared_->keyBits / 8), params) != 1 ||
      EVP_MAC_update(context.get(), message.data(), message.size()) != 1 ||
      EVP_MAC_final(context.get(), tag.data(), &length, tag.size()) != 1 || length != blockBytes)
    throwOpenSSLError("CMAC with " + cipher);
  return ByteString(std::move(tag));
}

}  // namespace quillon::openssl::detail
