#include "library_support.hpp"

#include <stdexcept>

namespace vector_gen {

void requireAesKey(const Bytes& key) {
  if (key.size() != 16 && key.size() != 24 && key.size() != 32) {
    throw std::invalid_argument("AES key of " + std::to_string(key.size()) + " bytes");
  }
}

std::string aesBits(const Bytes& key) { return std::to_string(key.size() * 8); }

const std::uint8_t* dataOf(const Bytes& bytes) {
  static const std::uint8_t empty = 0;
  return bytes.empty() ? &empty : bytes.data();
}

EvpContext openSslContext(const std::string& cipherName, bool encrypt, const Bytes& key,
                          const Bytes& iv) {
  const EVP_CIPHER* cipher = EVP_get_cipherbyname(cipherName.c_str());
  if (cipher == nullptr) throw std::runtime_error("OpenSSL has no " + cipherName);
  EvpContext context(EVP_CIPHER_CTX_new());
  if (!context || EVP_CipherInit_ex(context.get(), cipher, nullptr, key.data(),
                                    iv.empty() ? nullptr : iv.data(), encrypt ? 1 : 0) != 1 ||
      EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1) {
    throw std::runtime_error("OpenSSL " + cipherName + " set-up failed");
  }
  return context;
}

namespace {

template <class Context, void (*Function)(const Context*, std::size_t, std::uint8_t*, const std::uint8_t*)>
void callAes(const void* context, std::size_t length, std::uint8_t* out, const std::uint8_t* in) {
  Function(static_cast<const Context*>(context), length, out, in);
}

}  // namespace

NettleAes::NettleAes(const Bytes& key) {
  requireAesKey(key);
  switch (key.size()) {
    case 16:
      aes128_set_encrypt_key(&encrypt_.aes128, key.data());
      aes128_set_decrypt_key(&decrypt_.aes128, key.data());
      encryptFunction_ = callAes<aes128_ctx, aes128_encrypt>;
      decryptFunction_ = callAes<aes128_ctx, aes128_decrypt>;
      break;
    case 24:
      aes192_set_encrypt_key(&encrypt_.aes192, key.data());
      aes192_set_decrypt_key(&decrypt_.aes192, key.data());
      encryptFunction_ = callAes<aes192_ctx, aes192_encrypt>;
      decryptFunction_ = callAes<aes192_ctx, aes192_decrypt>;
      break;
    default:
      aes256_set_encrypt_key(&encrypt_.aes256, key.data());
      aes256_set_decrypt_key(&decrypt_.aes256, key.data());
      encryptFunction_ = callAes<aes256_ctx, aes256_encrypt>;
      decryptFunction_ = callAes<aes256_ctx, aes256_decrypt>;
      break;
  }
}

void initialiseGcryptOnce() {
  static const bool initialised = [] {
    if (gcry_check_version(GCRYPT_VERSION) == nullptr) {
      throw std::runtime_error("libgcrypt is older than the headers it was built with");
    }
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  (void)initialised;
}

void gcryptCheck(gcry_error_t error, const char* what) {
  if (error != 0) throw std::runtime_error(std::string("libgcrypt ") + what + ": " + gcry_strerror(error));
}

int gcryptAes(const Bytes& key) {
  requireAesKey(key);
  return key.size() == 16 ? GCRY_CIPHER_AES128 : key.size() == 24 ? GCRY_CIPHER_AES192 : GCRY_CIPHER_AES256;
}

}  // namespace vector_gen
