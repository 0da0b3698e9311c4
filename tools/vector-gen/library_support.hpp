// What the generator's library wrappers share: OpenSSL cipher contexts,
// nettle's AES key schedules, libgcrypt's set-up and error checks.
#pragma once

#include "bytes.hpp"

#include <nettle/aes.h>
#include <nettle/nettle-types.h>
#include <openssl/evp.h>

#include <gcrypt.h>

#include <memory>
#include <string>

namespace vector_gen {

// Throws unless the key is 16, 24 or 32 bytes.
void requireAesKey(const Bytes& key);
// "128", "192" or "256".
std::string aesBits(const Bytes& key);

// Never null, also for empty input: some libraries refuse a null pointer even
// for zero bytes.
const std::uint8_t* dataOf(const Bytes& bytes);

struct EvpContextDeleter {
  void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using EvpContext = std::unique_ptr<EVP_CIPHER_CTX, EvpContextDeleter>;

// A fresh context of the named OpenSSL cipher ("AES-128-CBC"), keyed, with
// padding off; an empty `iv` passes none.
EvpContext openSslContext(const std::string& cipherName, bool encrypt, const Bytes& key, const Bytes& iv);

// An AES key of any size for nettle's mode functions, both directions.
class NettleAes {
 public:
  explicit NettleAes(const Bytes& key);
  NettleAes(const NettleAes&) = delete;
  NettleAes& operator=(const NettleAes&) = delete;

  const void* encryptKey() const { return &encrypt_; }
  const void* decryptKey() const { return &decrypt_; }
  nettle_cipher_func* encryptFunction() const { return encryptFunction_; }
  nettle_cipher_func* decryptFunction() const { return decryptFunction_; }

 private:
  union Keys {
    aes128_ctx aes128;
    aes192_ctx aes192;
    aes256_ctx aes256;
  };
  Keys encrypt_{};
  Keys decrypt_{};
  nettle_cipher_func* encryptFunction_ = nullptr;
  nettle_cipher_func* decryptFunction_ = nullptr;
};

// Checks the library version and turns secure memory off, once.
void initialiseGcryptOnce();
// Throws with `what` and libgcrypt's message unless `error` is 0.
void gcryptCheck(gcry_error_t error, const char* what);
// GCRY_CIPHER_AES128, ...AES192 or ...AES256 for the key's size.
int gcryptAes(const Bytes& key);

}  // namespace vector_gen
