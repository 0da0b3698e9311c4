#include <primitives/nettle/twofish.hpp>

#include <nettle/twofish.h>

#include <stdexcept>
#include <string>

#include <primitives/nettle/cipher_modes.hpp>

namespace quillon::nettle::detail {

struct TwofishSchedule::Context {
  twofish_ctx key;
  KeyedCipher cipher;  // points into `key`; the context never moves
};

TwofishSchedule::TwofishSchedule(ByteView key) {
  if (key.size() != 16 && key.size() != 24 && key.size() != 32)
    throw std::invalid_argument("nettle TwoFish: keys are 16, 24 or 32 bytes, not " +
                                std::to_string(key.size()));
  auto context = std::make_shared<Context>();
  twofish_set_key(&context->key, key.size(), key.data());
  // TwoFish decrypts with the same expanded key it encrypts with.
  context->cipher = {"nettle TwoFish", blockFunction<twofish_ctx, twofish_encrypt>, &context->key,
                     blockFunction<twofish_ctx, twofish_decrypt>, &context->key};
  context_ = std::move(context);
}

ByteString TwofishSchedule::run(bindings::NativeMode mode, bool encrypt, ByteView iv,
                                ByteView input, Byte* ivOut) const {
  return runMode(context_->cipher, mode, encrypt, iv, input, ivOut);
}

LazyByteString TwofishSchedule::runLazy(bindings::NativeMode mode, bool encrypt, ByteView iv,
                                        const LazyByteString& input, Byte* ivOut) const {
  return runModeLazy(context_->cipher, mode, encrypt, iv, input, ivOut);
}

}  // namespace quillon::nettle::detail
