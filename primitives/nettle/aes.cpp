#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/engine.hpp>

#include <nettle/aes.h>

#include <stdexcept>
#include <string>

#include <primitives/nettle/cipher_modes.hpp>

namespace quillon::nettle::detail {

namespace {

struct AesKeys {
  // nettle keeps separate expanded keys for the two directions.
  union Keys {
    aes128_ctx aes128[2];
    aes192_ctx aes192[2];
    aes256_ctx aes256[2];
  } keys;
  KeyedCipher cipher;  // points into `keys`; the object never moves
};

template <class Key, void (*SetEncrypt)(Key*, const std::uint8_t*),
          void (*SetDecrypt)(Key*, const std::uint8_t*),
          void (*Encrypt)(const Key*, std::size_t, std::uint8_t*, const std::uint8_t*),
          void (*Decrypt)(const Key*, std::size_t, std::uint8_t*, const std::uint8_t*)>
void expand(Key (&keys)[2], KeyedCipher& cipher, ByteView key) {
  SetEncrypt(&keys[0], key.data());
  SetDecrypt(&keys[1], key.data());
  cipher.encrypt = blockFunction<Key, Encrypt>;
  cipher.encryptKey = &keys[0];
  cipher.decrypt = blockFunction<Key, Decrypt>;
  cipher.decryptKey = &keys[1];
}

std::shared_ptr<const KeyedCipher> aesCipher(ByteView key) {
  if (!CipherEngine::takesKeyBytes(key.size()))
    throw std::invalid_argument("nettle AES: a key of " + std::to_string(key.size()) + " bytes");
  const auto keyBits = static_cast<int>(key.size() * 8);
  auto expanded = std::make_shared<AesKeys>();
  AesKeys::Keys& keys = expanded->keys;
  KeyedCipher& cipher = expanded->cipher;
  cipher.name = "nettle AES-" + std::to_string(keyBits);
  switch (keyBits) {
    case 128:
      expand<aes128_ctx, aes128_set_encrypt_key, aes128_set_decrypt_key, aes128_encrypt,
             aes128_decrypt>(keys.aes128, cipher, key);
      break;
    case 192:
      expand<aes192_ctx, aes192_set_encrypt_key, aes192_set_decrypt_key, aes192_encrypt,
             aes192_decrypt>(keys.aes192, cipher, key);
      break;
    default:
      expand<aes256_ctx, aes256_set_encrypt_key, aes256_set_decrypt_key, aes256_encrypt,
             aes256_decrypt>(keys.aes256, cipher, key);
      break;
  }
  // Shares ownership of the whole object while pointing at its cipher.
  return {expanded, &expanded->cipher};
}

}  // namespace

AesEngine::AesEngine(ByteView key) : CipherEngine(aesCipher(key)) {}

}  // namespace quillon::nettle::detail
