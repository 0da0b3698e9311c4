#include <primitives/nettle/cipher_modes.hpp>
#include <primitives/nettle/schedule.hpp>

#include <nettle/cbc.h>
#include <nettle/cfb.h>
#include <nettle/cmac.h>
#include <nettle/ctr.h>

#include <cstring>
#include <stdexcept>

#include <quillon/detail/mode_driver.hpp>

namespace quillon::nettle::detail {

namespace {

using bindings::NativeMode;

// Every cipher bound here has 16-byte blocks.
constexpr std::size_t blockBytes = 16;

std::string functionName(const KeyedCipher& cipher, NativeMode mode, bool encrypt, bool lazy) {
  static const char* const names[][2] = {
      {"unEcb", "ecb"}, {"unCbc", "cbc"}, {"unCfb", "cfb"}, {"unOfb", "ofb"}, {"unCtr", "ctr"}};
  return cipher.name + " " + names[static_cast<int>(mode)][encrypt ? 1 : 0] +
         (lazy ? "Lazy" : "");
}

void checkInput(const KeyedCipher& cipher, NativeMode mode, bool encrypt, bool lazy,
                std::size_t length) {
  if (mode == NativeMode::ofb)
    throw std::logic_error(functionName(cipher, mode, encrypt, lazy) + ": nettle has no OFB");
  if (mode != NativeMode::ecb && mode != NativeMode::cbc) return;
  if (length % blockBytes != 0)
    throw std::invalid_argument(functionName(cipher, mode, encrypt, lazy) + ": input of " +
                                std::to_string(length) +
                                " bytes is not a whole number of 16-byte blocks");
}

/// nettle's mode functions as an engine of quillon's mode driver.
class NettleEngine {
 public:
  NettleEngine(const KeyedCipher& cipher, NativeMode mode, bool encrypt, ByteView iv)
      : cipher_(cipher), mode_(mode), encrypt_(encrypt) {
    if (!iv.empty()) std::memcpy(register_, iv.data(), blockBytes);
  }

  void blocks(const Byte* in, Byte* out, std::size_t length) {
    const KeyedCipher& c = cipher_;
    switch (mode_) {
      case NativeMode::ecb:
        if (encrypt_)
          c.encrypt(c.encryptKey, length, out, in);
        else
          c.decrypt(c.decryptKey, length, out, in);
        return;
      case NativeMode::cbc:
        if (encrypt_)
          cbc_encrypt(c.encryptKey, c.encrypt, blockBytes, register_, length, out, in);
        else
          cbc_decrypt(c.decryptKey, c.decrypt, blockBytes, register_, length, out, in);
        return;
      case NativeMode::cfb:
        (encrypt_ ? cfb_encrypt : cfb_decrypt)(c.encryptKey, c.encrypt, blockBytes, register_,
                                               length, out, in);
        return;
      case NativeMode::ctr:
        ctr_crypt(c.encryptKey, c.encrypt, blockBytes, register_, length, out, in);
        return;
      case NativeMode::ofb:
        break;  // refused by checkInput
    }
  }

  /// The final partial block of a stream mode (the driver never hands ECB
  /// or CBC one: they check for whole blocks first).
  void tail(const Byte* in, Byte* out, std::size_t length) {
    const KeyedCipher& c = cipher_;
    if (mode_ == NativeMode::ctr) {
      // nettle steps the counter past a partly used block, as quillon does.
      ctr_crypt(c.encryptKey, c.encrypt, blockBytes, register_, length, out, in);
      return;
    }
    if (mode_ != NativeMode::cfb)
      throw std::logic_error(functionName(c, mode_, encrypt_, false) +
                             ": a partial block reached a block mode");
    // nettle leaves the register alone after a partial block; quillon's
    // register is the partial ciphertext followed by the unused keystream.
    Byte stream[blockBytes];
    c.encrypt(c.encryptKey, blockBytes, stream, register_);
    (encrypt_ ? cfb_encrypt : cfb_decrypt)(c.encryptKey, c.encrypt, blockBytes, register_, length,
                                           out, in);
    std::memcpy(register_, encrypt_ ? out : in, length);
    std::memcpy(register_ + length, stream + length, blockBytes - length);
  }

  void copyRegister(Byte* out) const {
    if (out != nullptr) std::memcpy(out, register_, blockBytes);
  }

 private:
  const KeyedCipher& cipher_;
  NativeMode mode_;
  bool encrypt_;
  Byte register_[blockBytes] = {};
};

}  // namespace

ByteString runMode(const KeyedCipher& cipher, NativeMode mode, bool encrypt, ByteView iv,
                   ByteView input, Byte* ivOut) {
  checkInput(cipher, mode, encrypt, false, input.size());
  NettleEngine engine(cipher, mode, encrypt, iv);
  ByteString out = quillon::detail::runMode(engine, blockBytes, input);
  engine.copyRegister(ivOut);
  return out;
}

LazyByteString runModeLazy(const KeyedCipher& cipher, NativeMode mode, bool encrypt, ByteView iv,
                           const LazyByteString& input, Byte* ivOut) {
  checkInput(cipher, mode, encrypt, true, input.size());
  NettleEngine engine(cipher, mode, encrypt, iv);
  LazyByteString out = quillon::detail::runModeChunked(engine, blockBytes, input);
  engine.copyRegister(ivOut);
  return out;
}

ByteString NettleSchedule::run(NativeMode mode, bool encrypt, ByteView iv, ByteView input,
                               Byte* ivOut) const {
  return runMode(*cipher_, mode, encrypt, iv, input, ivOut);
}

LazyByteString NettleSchedule::runLazy(NativeMode mode, bool encrypt, ByteView iv,
                                       const LazyByteString& input, Byte* ivOut) const {
  return runModeLazy(*cipher_, mode, encrypt, iv, input, ivOut);
}

ByteString NettleSchedule::cmac(ByteView message) const {
  cmac128_key key;
  cmac128_ctx context;
  cmac128_set_key(&key, cipher_->encryptKey, cipher_->encrypt);
  cmac128_init(&context);
  cmac128_update(&context, cipher_->encryptKey, cipher_->encrypt, message.size(), message.data());
  std::vector<Byte> tag(CMAC128_DIGEST_SIZE);
  cmac128_digest(&context, &key, cipher_->encryptKey, cipher_->encrypt, tag.size(), tag.data());
  return ByteString(std::move(tag));
}

}  // namespace quillon::nettle::detail
