#include <primitives/nettle/engine.hpp>
#include <primitives/nettle/twofish.hpp>

#include <nettle/twofish.h>

#include <stdexcept>
#include <string>

#include <primitives/nettle/cipher_modes.hpp>

namespace quillon::nettle::detail {

namespace {

struct TwofishKey {
  twofish_ctx key;
  KeyedCipher cipher;  // points into `key`; the object never moves
};

std::shared_ptr<const KeyedCipher> twofishCipher(ByteView key) {
  if (!CipherEngine::takesKeyBytes(key.size()))
    throw std::invalid_argument("nettle TwoFish: keys are 16, 24 or 32 bytes, not " +
                                std::to_string(key.size()));
  auto expanded = std::make_shared<TwofishKey>();
  twofish_set_key(&expanded->key, key.size(), key.data());
  // TwoFish decrypts with the same expanded key it encrypts with.
  expanded->cipher = {"nettle TwoFish", blockFunction<twofish_ctx, twofish_encrypt>,
                      &expanded->key, blockFunction<twofish_ctx, twofish_decrypt>,
                      &expanded->key};
  // Shares ownership of the whole object while pointing at its cipher.
  return {expanded, &expanded->cipher};
}

}  // namespace

TwofishEngine::TwofishEngine(ByteView key) : CipherEngine(twofishCipher(key)) {}

}  // namespace quillon::nettle::detail
