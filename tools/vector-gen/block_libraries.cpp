#include "block_libraries.hpp"

#include "library_support.hpp"

#include <botan/mac.h>
#include <gcrypt.h>
#include <nettle/aes.h>
#include <nettle/cbc.h>
#include <nettle/cfb.h>
#include <nettle/cmac.h>
#include <nettle/ctr.h>
#include <nettle/twofish.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <stdexcept>

namespace vector_gen {

namespace {

constexpr std::size_t blockBytes = 16;

// ---- OpenSSL ----

const char* openSslModeName(StreamMode mode) {
  switch (mode) {
    case StreamMode::ecb: return "ECB";
    case StreamMode::cbc: return "CBC";
    case StreamMode::cfb128: return "CFB";
    case StreamMode::ofb: return "OFB";
  }
  throw std::logic_error("unknown mode");
}

Bytes openSslUpdate(EVP_CIPHER_CTX* context, const Bytes& input) {
  Bytes output(input.size() + blockBytes);
  int written = 0;
  if (EVP_CipherUpdate(context, output.data(), &written, input.data(),
                       static_cast<int>(input.size())) != 1 ||
      static_cast<std::size_t>(written) != input.size()) {
    throw std::runtime_error("OpenSSL EVP_CipherUpdate failed");
  }
  output.resize(input.size());
  return output;
}

class OpenSslStream final : public BlockStream {
 public:
  OpenSslStream(StreamMode mode, bool encrypt, const Bytes& key, const Bytes& iv)
      : context_(openSslContext("AES-" + aesBits(key) + "-" + openSslModeName(mode), encrypt, key,
                                mode == StreamMode::ecb ? Bytes{} : iv)) {}
  Bytes next(const Bytes& block) override { return openSslUpdate(context_.get(), block); }

 private:
  EvpContext context_;
};

Bytes openSslCmac(const Bytes& key, const Bytes& message) {
  EVP_MAC* mac = EVP_MAC_fetch(nullptr, "CMAC", nullptr);
  if (mac == nullptr) throw std::runtime_error("OpenSSL has no CMAC");
  EVP_MAC_CTX* context = EVP_MAC_CTX_new(mac);
  std::string cipher = "AES-" + aesBits(key) + "-CBC";
  const OSSL_PARAM params[] = {
      OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher.data(), 0),
      OSSL_PARAM_construct_end()};
  Bytes tag(blockBytes);
  std::size_t length = 0;
  const bool ok = context != nullptr &&
                  EVP_MAC_init(context, key.data(), key.size(), params) == 1 &&
                  EVP_MAC_update(context, message.data(), message.size()) == 1 &&
                  EVP_MAC_final(context, tag.data(), &length, tag.size()) == 1;
  EVP_MAC_CTX_free(context);
  EVP_MAC_free(mac);
  if (!ok || length != blockBytes) throw std::runtime_error("OpenSSL CMAC failed");
  return tag;
}

// ---- nettle ----

// nettle's CBC and CFB keep no state but the IV, which they advance in
// place; nettle has no OFB, so OFB is written out over its block function.
class NettleStream final : public BlockStream {
 public:
  NettleStream(StreamMode mode, bool encrypt, const Bytes& key, const Bytes& iv)
      : mode_(mode), encrypt_(encrypt), aes_(key), chain_(iv) {
    if (mode != StreamMode::ecb && iv.size() != blockBytes) {
      throw std::invalid_argument("IV of " + std::to_string(iv.size()) + " bytes");
    }
  }
  Bytes next(const Bytes& block) override {
    Bytes out(block.size());
    const auto* in = block.data();
    switch (mode_) {
      case StreamMode::ecb:
        if (encrypt_) aes_.encryptFunction()(aes_.encryptKey(), block.size(), out.data(), in);
        else aes_.decryptFunction()(aes_.decryptKey(), block.size(), out.data(), in);
        break;
      case StreamMode::cbc:
        if (encrypt_)
          cbc_encrypt(aes_.encryptKey(), aes_.encryptFunction(), blockBytes, chain_.data(),
                      block.size(), out.data(), in);
        else
          cbc_decrypt(aes_.decryptKey(), aes_.decryptFunction(), blockBytes, chain_.data(),
                      block.size(), out.data(), in);
        break;
      case StreamMode::cfb128:
        (encrypt_ ? cfb_encrypt : cfb_decrypt)(aes_.encryptKey(), aes_.encryptFunction(),
                                               blockBytes, chain_.data(), block.size(),
                                               out.data(), in);
        break;
      case StreamMode::ofb:
        for (std::size_t i = 0; i < block.size(); ++i) {
          if (i % blockBytes == 0) {
            aes_.encryptFunction()(aes_.encryptKey(), blockBytes, chain_.data(), chain_.data());
          }
          out[i] = static_cast<std::uint8_t>(in[i] ^ chain_[i % blockBytes]);
        }
        break;
    }
    return out;
  }

 private:
  StreamMode mode_;
  bool encrypt_;
  NettleAes aes_;
  Bytes chain_;
};

Bytes nettleCtr(const Bytes& key, const Bytes& counter, const Bytes& input) {
  const NettleAes aes(key);
  Bytes chain = counter;
  Bytes out(input.size());
  ctr_crypt(aes.encryptKey(), aes.encryptFunction(), blockBytes, chain.data(), input.size(),
            out.data(), input.data());
  return out;
}

Bytes nettleCmacOver(const void* cipher, nettle_cipher_func* encrypt, const Bytes& message) {
  cmac128_key key;
  cmac128_ctx context;
  cmac128_set_key(&key, cipher, encrypt);
  cmac128_init(&context);
  cmac128_update(&context, cipher, encrypt, message.size(), message.data());
  Bytes tag(blockBytes);
  cmac128_digest(&context, &key, cipher, encrypt, tag.size(), tag.data());
  return tag;
}

void nettleTwofish(const void* context, std::size_t length, std::uint8_t* out,
                   const std::uint8_t* in) {
  twofish_encrypt(static_cast<const twofish_ctx*>(context), length, out, in);
}

Bytes nettleCmac(CmacCipher cipher, const Bytes& key, const Bytes& message) {
  if (cipher == CmacCipher::aes) {
    const NettleAes aes(key);
    return nettleCmacOver(aes.encryptKey(), aes.encryptFunction(), message);
  }
  requireAesKey(key);  // TwoFish takes the same three sizes
  twofish_ctx context;
  twofish_set_key(&context, key.size(), key.data());
  return nettleCmacOver(&context, nettleTwofish, message);
}

// ---- libgcrypt ----

class GcryptStream final : public BlockStream {
 public:
  GcryptStream(int mode, bool encrypt, const Bytes& key, const Bytes& iv, bool counter = false)
      : encrypt_(encrypt) {
    initialiseGcryptOnce();
    gcryptCheck(gcry_cipher_open(&handle_, gcryptAes(key), mode, 0), "cipher_open");
    gcryptCheck(gcry_cipher_setkey(handle_, key.data(), key.size()), "cipher_setkey");
    if (counter) gcryptCheck(gcry_cipher_setctr(handle_, iv.data(), iv.size()), "cipher_setctr");
    else if (!iv.empty()) gcryptCheck(gcry_cipher_setiv(handle_, iv.data(), iv.size()), "cipher_setiv");
  }
  ~GcryptStream() override { gcry_cipher_close(handle_); }
  GcryptStream(const GcryptStream&) = delete;
  GcryptStream& operator=(const GcryptStream&) = delete;

  Bytes next(const Bytes& block) override {
    Bytes out(block.size());
    gcryptCheck(encrypt_ ? gcry_cipher_encrypt(handle_, out.data(), out.size(), block.data(), block.size())
                         : gcry_cipher_decrypt(handle_, out.data(), out.size(), block.data(), block.size()),
                "cipher");
    return out;
  }

 private:
  gcry_cipher_hd_t handle_ = nullptr;
  bool encrypt_;
};

int gcryptMode(StreamMode mode) {
  switch (mode) {
    case StreamMode::ecb: return GCRY_CIPHER_MODE_ECB;
    case StreamMode::cbc: return GCRY_CIPHER_MODE_CBC;
    case StreamMode::cfb128: return GCRY_CIPHER_MODE_CFB;
    case StreamMode::ofb: return GCRY_CIPHER_MODE_OFB;
  }
  throw std::logic_error("unknown mode");
}

Bytes gcryptCmac(CmacCipher cipher, const Bytes& key, const Bytes& message) {
  initialiseGcryptOnce();
  requireAesKey(key);
  const int algorithm = cipher == CmacCipher::aes ? GCRY_MAC_CMAC_AES : GCRY_MAC_CMAC_TWOFISH;
  gcry_mac_hd_t handle = nullptr;
  gcryptCheck(gcry_mac_open(&handle, algorithm, 0, nullptr), "mac_open");
  Bytes tag(blockBytes);
  std::size_t length = tag.size();
  gcry_error_t error = gcry_mac_setkey(handle, key.data(), key.size());
  if (error == 0 && !message.empty()) error = gcry_mac_write(handle, message.data(), message.size());
  if (error == 0) error = gcry_mac_read(handle, tag.data(), &length);
  gcry_mac_close(handle);
  gcryptCheck(error, "CMAC");
  if (length != blockBytes) throw std::runtime_error("libgcrypt CMAC of " + std::to_string(length) + " bytes");
  return tag;
}

// ---- Botan ----

Bytes botanCmac(CmacCipher cipher, const Bytes& key, const Bytes& message) {
  requireAesKey(key);
  const std::string name =
      cipher == CmacCipher::aes ? "CMAC(AES-" + aesBits(key) + ")" : std::string("CMAC(Twofish)");
  std::unique_ptr<Botan::MessageAuthenticationCode> mac =
      Botan::MessageAuthenticationCode::create_or_throw(name);
  mac->set_key(key.data(), key.size());
  mac->update(message.data(), message.size());
  const Botan::secure_vector<std::uint8_t> tag = mac->final();
  return Bytes(tag.begin(), tag.end());
}

[[noreturn]] void unsupported(Library library, const char* what) {
  throw std::logic_error(std::string(libraryName(library)) + " is not used for " + what);
}

}  // namespace

std::string_view libraryName(Library library) {
  switch (library) {
    case Library::openssl: return "OpenSSL";
    case Library::nettle: return "nettle";
    case Library::gcrypt: return "libgcrypt";
    case Library::botan: return "Botan";
  }
  return "?";
}

Bytes aesCtr(Library library, const Bytes& key, const Bytes& counter, const Bytes& input) {
  requireAesKey(key);
  if (counter.size() != blockBytes) throw std::invalid_argument("counter block of wrong size");
  switch (library) {
    case Library::openssl: {
      const EvpContext context = openSslContext("AES-" + aesBits(key) + "-CTR", true, key, counter);
      return openSslUpdate(context.get(), input);
    }
    case Library::nettle: return nettleCtr(key, counter, input);
    case Library::gcrypt: return GcryptStream(GCRY_CIPHER_MODE_CTR, true, key, counter, true).next(input);
    case Library::botan: break;
  }
  unsupported(library, "AES-CTR");
}

std::unique_ptr<BlockStream> aesStream(Library library, StreamMode mode, bool encrypt,
                                       const Bytes& key, const Bytes& iv) {
  requireAesKey(key);
  const Bytes modeIv = mode == StreamMode::ecb ? Bytes{} : iv;
  switch (library) {
    case Library::openssl: return std::make_unique<OpenSslStream>(mode, encrypt, key, modeIv);
    case Library::nettle: return std::make_unique<NettleStream>(mode, encrypt, key, modeIv);
    case Library::gcrypt: return std::make_unique<GcryptStream>(gcryptMode(mode), encrypt, key, modeIv);
    case Library::botan: break;
  }
  unsupported(library, "AES mode streams");
}

Bytes cmac(Library library, CmacCipher cipher, const Bytes& key, const Bytes& message) {
  switch (library) {
    case Library::openssl:
      if (cipher != CmacCipher::aes) unsupported(library, "TwoFish");
      return openSslCmac(key, message);
    case Library::nettle: return nettleCmac(cipher, key, message);
    case Library::gcrypt: return gcryptCmac(cipher, key, message);
    case Library::botan: return botanCmac(cipher, key, message);
  }
  unsupported(library, "CMAC");
}

}  // namespace vector_gen
