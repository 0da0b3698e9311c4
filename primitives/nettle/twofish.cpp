#include <primitives/nettle/twofish.hpp>

#include <nettle/cbc.h>
#include <nettle/cfb.h>
#include <nettle/ctr.h>
#include <nettle/twofish.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include <quillon/detail/mode_driver.hpp>

namespace quillon::nettle::detail {

struct TwofishSchedule::Context {
  twofish_ctx twofish;
};

namespace {

constexpr std::size_t blockBytes = TWOFISH_BLOCK_SIZE;

// nettle's modes take the block function as a nettle_cipher_func.
void encryptBlocks(const void* context, std::size_t length, std::uint8_t* out, const std::uint8_t* in) {
  twofish_encrypt(static_cast<const twofish_ctx*>(context), length, out, in);
}
void decryptBlocks(const void* context, std::size_t length, std::uint8_t* out, const std::uint8_t* in) {
  twofish_decrypt(static_cast<const twofish_ctx*>(context), length, out, in);
}

std::string functionName(TwofishMode mode, bool encrypt, bool lazy) {
  static const char* const names[][2] = {
      {"unEcb", "ecb"}, {"unCbc", "cbc"}, {"unCfb", "cfb"}, {"unCtr", "ctr"}};
  return std::string("nettle TwoFish ") + names[static_cast<int>(mode)][encrypt ? 1 : 0] +
         (lazy ? "Lazy" : "");
}

void requireWholeBlocks(TwofishMode mode, bool encrypt, bool lazy, std::size_t length) {
  if (mode != TwofishMode::ecb && mode != TwofishMode::cbc) return;
  if (length % blockBytes != 0)
    throw std::invalid_argument(functionName(mode, encrypt, lazy) + ": input of " +
                                std::to_string(length) +
                                " bytes is not a whole number of 16-byte blocks");
}

/// nettle's mode functions as an engine of quillon's mode driver.
class NettleEngine {
 public:
  NettleEngine(const twofish_ctx& context, TwofishMode mode, bool encrypt, ByteView iv)
      : context_(context), mode_(mode), encrypt_(encrypt) {
    if (!iv.empty()) std::memcpy(register_, iv.data(), blockBytes);
  }

  void blocks(const Byte* in, Byte* out, std::size_t length) {
    switch (mode_) {
      case TwofishMode::ecb:
        (encrypt_ ? twofish_encrypt : twofish_decrypt)(&context_, length, out, in);
        return;
      case TwofishMode::cbc:
        if (encrypt_)
          cbc_encrypt(&context_, encryptBlocks, blockBytes, register_, length, out, in);
        else
          cbc_decrypt(&context_, decryptBlocks, blockBytes, register_, length, out, in);
        return;
      case TwofishMode::cfb:
        (encrypt_ ? cfb_encrypt : cfb_decrypt)(&context_, encryptBlocks, blockBytes, register_,
                                               length, out, in);
        return;
      case TwofishMode::ctr:
        ctr_crypt(&context_, encryptBlocks, blockBytes, register_, length, out, in);
        return;
    }
  }

  /// The final partial block of a stream mode (the driver never hands ECB
  /// or CBC one: they check for whole blocks first).
  void tail(const Byte* in, Byte* out, std::size_t length) {
    if (mode_ == TwofishMode::ctr) {
      // nettle steps the counter past a partly used block, as quillon does.
      ctr_crypt(&context_, encryptBlocks, blockBytes, register_, length, out, in);
      return;
    }
    if (mode_ != TwofishMode::cfb) throw std::logic_error(functionName(mode_, encrypt_, false) +
                                                          ": a partial block reached a block mode");
    // nettle leaves the register alone after a partial block; quillon's
    // register is the partial ciphertext followed by the unused keystream.
    Byte stream[blockBytes];
    twofish_encrypt(&context_, blockBytes, stream, register_);
    (encrypt_ ? cfb_encrypt : cfb_decrypt)(&context_, encryptBlocks, blockBytes, register_, length,
                                           out, in);
    std::memcpy(register_, encrypt_ ? out : in, length);
    std::memcpy(register_ + length, stream + length, blockBytes - length);
  }

  void copyRegister(Byte* out) const {
    if (out != nullptr) std::memcpy(out, register_, blockBytes);
  }

 private:
  const twofish_ctx& context_;
  TwofishMode mode_;
  bool encrypt_;
  Byte register_[blockBytes] = {};
};

}  // namespace

TwofishSchedule::TwofishSchedule(ByteView key) {
  if (key.size() != 16 && key.size() != 24 && key.size() != 32)
    throw std::invalid_argument("nettle TwoFish: keys are 16, 24 or 32 bytes, not " +
                                std::to_string(key.size()));
  auto context = std::make_shared<Context>();
  twofish_set_key(&context->twofish, key.size(), key.data());
  context_ = std::move(context);
}

ByteString TwofishSchedule::run(TwofishMode mode, bool encrypt, ByteView iv, ByteView input,
                                Byte* ivOut) const {
  requireWholeBlocks(mode, encrypt, false, input.size());
  NettleEngine engine(context_->twofish, mode, encrypt, iv);
  ByteString out = quillon::detail::runMode(engine, blockBytes, input);
  engine.copyRegister(ivOut);
  return out;
}

LazyByteString TwofishSchedule::runLazy(TwofishMode mode, bool encrypt, ByteView iv,
                                        const LazyByteString& input, Byte* ivOut) const {
  requireWholeBlocks(mode, encrypt, true, input.size());
  NettleEngine engine(context_->twofish, mode, encrypt, iv);
  LazyByteString out = quillon::detail::runModeChunked(engine, blockBytes, input);
  engine.copyRegister(ivOut);
  return out;
}

}  // namespace quillon::nettle::detail
