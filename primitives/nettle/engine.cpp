#include <primitives/nettle/cipher_modes.hpp>
#include <primitives/nettle/engine.hpp>

#include <nettle/cbc.h>
#include <nettle/cfb.h>
#include <nettle/cmac.h>
#include <nettle/ctr.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include <quillon/mode_driver.hpp>

namespace quillon::nettle::detail {

namespace {

constexpr std::size_t blockBytes = CipherEngine::blockBytes;

/// nettle's mode functions as an engine of quillon's mode driver
/// (quillon/mode_driver.hpp).
class ModeRun {
 public:
  ModeRun(const KeyedCipher& cipher, Mode mode, Direction direction, ByteView iv)
      : cipher_(cipher), mode_(mode), encrypt_(direction == Direction::encrypt) {
    if (mode == Mode::ofb) throw std::logic_error(cipher.name + ": nettle has no OFB");
    if (!iv.empty()) std::memcpy(register_, iv.data(), blockBytes);
  }

  void blocks(const Byte* in, Byte* out, std::size_t length) {
    const KeyedCipher& c = cipher_;
    switch (mode_) {
      case Mode::ecb:
        if (encrypt_)
          c.encrypt(c.encryptKey, length, out, in);
        else
          c.decrypt(c.decryptKey, length, out, in);
        return;
      case Mode::cbc:
        if (encrypt_)
          cbc_encrypt(c.encryptKey, c.encrypt, blockBytes, register_, length, out, in);
        else
          cbc_decrypt(c.decryptKey, c.decrypt, blockBytes, register_, length, out, in);
        return;
      case Mode::cfb:
        (encrypt_ ? cfb_encrypt : cfb_decrypt)(c.encryptKey, c.encrypt, blockBytes, register_,
                                               length, out, in);
        return;
      case Mode::ctr:
        ctr_crypt(c.encryptKey, c.encrypt, blockBytes, register_, length, out, in);
        return;
      case Mode::ofb:
        break;  // refused by the constructor
    }
  }

  /// The final partial block of a stream mode (the driver never hands ECB
  /// or CBC one: they are checked for whole blocks first).
  void tail(const Byte* in, Byte* out, std::size_t length) {
    const KeyedCipher& c = cipher_;
    if (mode_ == Mode::ctr) {
      // nettle steps the counter past a partly used block, as quillon does.
      ctr_crypt(c.encryptKey, c.encrypt, blockBytes, register_, length, out, in);
      return;
    }
    if (mode_ != Mode::cfb) throw std::logic_error(c.name + ": a partial block reached a block mode");
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
  Mode mode_;
  bool encrypt_;
  Byte register_[blockBytes] = {};
};

}  // namespace

void CipherEngine::run(Mode mode, Direction direction, ByteView iv, ByteView input, Byte* out,
                       Byte* ivOut) const {
  ModeRun run(*cipher_, mode, direction, iv);
  runModeInto(run, blockBytes, input, out);
  run.copyRegister(ivOut);
}

void CipherEngine::runLazy(Mode mode, Direction direction, ByteView iv, const LazyByteString& input,
                           Byte* out, Byte* ivOut) const {
  ModeRun run(*cipher_, mode, direction, iv);
  runModeChunkedInto(run, blockBytes, input, out);
  run.copyRegister(ivOut);
}

ByteString CipherEngine::cmac(ByteView message) const {
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
