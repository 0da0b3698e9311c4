#include <primitives/nettle/aes.hpp>

#include <nettle/aes.h>
#include <nettle/cbc.h>
#include <nettle/cfb.h>
#include <nettle/ctr.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include <quillon/detail/mode_driver.hpp>

namespace quillon::nettle::detail {

namespace {

constexpr std::size_t blockBytes = AES_BLOCK_SIZE;

// nettle's modes take the block function as a nettle_cipher_func, whose
// context is untyped.
template <class Context, void (*Function)(const Context*, std::size_t, std::uint8_t*,
                                          const std::uint8_t*)>
void blockFunction(const void* context, std::size_t length, std::uint8_t* out,
                   const std::uint8_t* in) {
  Function(static_cast<const Context*>(context), length, out, in);
}

}  // namespace

/// The expanded keys of one AES key, with nettle's block functions for them.
struct NettleAesKeys {
  int keyBits = 0;
  nettle_cipher_func* encrypt = nullptr;
  nettle_cipher_func* decrypt = nullptr;
  // nettle keeps separate expanded keys for the two directions.
  union Keys {
    aes128_ctx aes128[2];
    aes192_ctx aes192[2];
    aes256_ctx aes256[2];
  } keys;

  [[nodiscard]] const void* encryptKey() const noexcept { return &keys; }
  [[nodiscard]] const void* decryptKey() const noexcept {
    switch (keyBits) {
      case 128: return &keys.aes128[1];
      case 192: return &keys.aes192[1];
      default: return &keys.aes256[1];
    }
  }
};

struct AesSchedule::Context {
  NettleAesKeys keys;
};

namespace {

std::string functionName(int keyBits, AesMode mode, bool encrypt, bool lazy) {
  static const char* const names[][2] = {
      {"unEcb", "ecb"}, {"unCbc", "cbc"}, {"unCfb", "cfb"}, {"unCtr", "ctr"}};
  return "nettle AES-" + std::to_string(keyBits) + " " +
         names[static_cast<int>(mode)][encrypt ? 1 : 0] + (lazy ? "Lazy" : "");
}

void requireWholeBlocks(int keyBits, AesMode mode, bool encrypt, bool lazy, std::size_t length) {
  if (mode != AesMode::ecb && mode != AesMode::cbc) return;
  if (length % blockBytes != 0)
    throw std::invalid_argument(functionName(keyBits, mode, encrypt, lazy) + ": input of " +
                                std::to_string(length) +
                                " bytes is not a whole number of 16-byte blocks");
}

/// nettle's mode functions as an engine of quillon's mode driver.
class NettleEngine {
 public:
  NettleEngine(const NettleAesKeys& keys, AesMode mode, bool encrypt, ByteView iv)
      : keys_(keys), mode_(mode), encrypt_(encrypt) {
    if (!iv.empty()) std::memcpy(register_, iv.data(), blockBytes);
  }

  void blocks(const Byte* in, Byte* out, std::size_t length) {
    const void* encryptKey = keys_.encryptKey();
    switch (mode_) {
      case AesMode::ecb:
        if (encrypt_)
          keys_.encrypt(encryptKey, length, out, in);
        else
          keys_.decrypt(keys_.decryptKey(), length, out, in);
        return;
      case AesMode::cbc:
        if (encrypt_)
          cbc_encrypt(encryptKey, keys_.encrypt, blockBytes, register_, length, out, in);
        else
          cbc_decrypt(keys_.decryptKey(), keys_.decrypt, blockBytes, register_, length, out, in);
        return;
      case AesMode::cfb:
        (encrypt_ ? cfb_encrypt : cfb_decrypt)(encryptKey, keys_.encrypt, blockBytes, register_,
                                               length, out, in);
        return;
      case AesMode::ctr:
        ctr_crypt(encryptKey, keys_.encrypt, blockBytes, register_, length, out, in);
        return;
    }
  }

  /// The final partial block of a stream mode (the driver never hands ECB
  /// or CBC one: they check for whole blocks first).
  void tail(const Byte* in, Byte* out, std::size_t length) {
    const void* encryptKey = keys_.encryptKey();
    if (mode_ == AesMode::ctr) {
      // nettle steps the counter past a partly used block, as quillon does.
      ctr_crypt(encryptKey, keys_.encrypt, blockBytes, register_, length, out, in);
      return;
    }
    if (mode_ != AesMode::cfb)
      throw std::logic_error(functionName(keys_.keyBits, mode_, encrypt_, false) +
                             ": a partial block reached a block mode");
    // nettle leaves the register alone after a partial block; quillon's
    // register is the partial ciphertext followed by the unused keystream.
    Byte stream[blockBytes];
    keys_.encrypt(encryptKey, blockBytes, stream, register_);
    (encrypt_ ? cfb_encrypt : cfb_decrypt)(encryptKey, keys_.encrypt, blockBytes, register_,
                                           length, out, in);
    std::memcpy(register_, encrypt_ ? out : in, length);
    std::memcpy(register_ + length, stream + length, blockBytes - length);
  }

  void copyRegister(Byte* out) const {
    if (out != nullptr) std::memcpy(out, register_, blockBytes);
  }

 private:
  const NettleAesKeys& keys_;
  AesMode mode_;
  bool encrypt_;
  Byte register_[blockBytes] = {};
};

}  // namespace

AesSchedule::AesSchedule(int keyBits, ByteView key) {
  if ((keyBits != 128 && keyBits != 192 && keyBits != 256) ||
      key.size() != static_cast<std::size_t>(keyBits / 8))
    throw std::invalid_argument("nettle AES-" + std::to_string(keyBits) + ": a key of " +
                                std::to_string(key.size()) + " bytes");
  auto context = std::make_shared<Context>();
  NettleAesKeys& expanded = context->keys;
  expanded.keyBits = keyBits;
  NettleAesKeys::Keys& keys = expanded.keys;
  switch (keyBits) {
    case 128:
      aes128_set_encrypt_key(&keys.aes128[0], key.data());
      aes128_set_decrypt_key(&keys.aes128[1], key.data());
      expanded.encrypt = blockFunction<aes128_ctx, aes128_encrypt>;
      expanded.decrypt = blockFunction<aes128_ctx, aes128_decrypt>;
      break;
    case 192:
      aes192_set_encrypt_key(&keys.aes192[0], key.data());
      aes192_set_decrypt_key(&keys.aes192[1], key.data());
      expanded.encrypt = blockFunction<aes192_ctx, aes192_encrypt>;
      expanded.decrypt = blockFunction<aes192_ctx, aes192_decrypt>;
      break;
    default:
      aes256_set_encrypt_key(&keys.aes256[0], key.data());
      aes256_set_decrypt_key(&keys.aes256[1], key.data());
      expanded.encrypt = blockFunction<aes256_ctx, aes256_encrypt>;
      expanded.decrypt = blockFunction<aes256_ctx, aes256_decrypt>;
      break;
  }
  context_ = std::move(context);
}

ByteString AesSchedule::run(AesMode mode, bool encrypt, ByteView iv, ByteView input,
                            Byte* ivOut) const {
  requireWholeBlocks(context_->keys.keyBits, mode, encrypt, false, input.size());
  NettleEngine engine(context_->keys, mode, encrypt, iv);
  ByteString out = quillon::detail::runMode(engine, blockBytes, input);
  engine.copyRegister(ivOut);
  return out;
}

LazyByteString AesSchedule::runLazy(AesMode mode, bool encrypt, ByteView iv,
                                    const LazyByteString& input, Byte* ivOut) const {
  requireWholeBlocks(context_->keys.keyBits, mode, encrypt, true, input.size());
  NettleEngine engine(context_->keys, mode, encrypt, iv);
  LazyByteString out = quillon::detail::runModeChunked(engine, blockBytes, input);
  engine.copyRegister(ivOut);
  return out;
}

}  // namespace quillon::nettle::detail
