#include <primitives/botan/block_engine.hpp>

#include <botan/block_cipher.h>
#include <botan/cipher_mode.h>
#include <botan/stream_cipher.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace quillon::botan::detail {

namespace {

constexpr std::size_t blockBytes = BlockEngine::blockBytes;
using Block = std::array<Byte, blockBytes>;

/// `counter` read as a 128-bit big-endian integer, plus `steps`, wrapping.
void addToCounter(Byte* counter, std::uint64_t steps) noexcept {
  unsigned carry = 0;
  for (std::size_t i = blockBytes; i-- > 0;) {
    const unsigned sum = counter[i] + static_cast<unsigned>(steps & 0xff) + carry;
    counter[i] = static_cast<Byte>(sum);
    carry = sum >> 8;
    steps >>= 8;
  }
}

const char* functionName(bindings::NativeMode mode, bool encrypt) {
  static const char* const encrypting[] = {"ecb", "cbc", "cfb", "ofb", "ctr"};
  static const char* const decrypting[] = {"unEcb", "unCbc", "unCfb", "unOfb", "unCtr"};
  return (encrypt ? encrypting : decrypting)[static_cast<int>(mode)];
}

}  // namespace

struct BlockEngine::Context {
  std::string cipherName;
  std::unique_ptr<Botan::BlockCipher> cipher;
  std::vector<std::uint8_t> key;

  [[nodiscard]] Block encryptOne(const Byte* block) const {
    Block out{};
    cipher->encrypt(block, out.data());
    return out;
  }

  void requireWholeBlocks(bindings::NativeMode mode, bool encrypt, std::size_t length) const {
    if (length % blockBytes != 0)
      throw std::invalid_argument("Botan " + cipherName + " " + functionName(mode, encrypt) +
                                  ": input of " + std::to_string(length) +
                                  " bytes is not a whole number of 16-byte blocks");
  }

  /// Runs a Botan cipher mode named "<cipher>/<suffix>" over all of `input`.
  [[nodiscard]] std::vector<Byte> runCipherMode(const char* suffix, bool encrypt, ByteView iv,
                                                ByteView input) const {
    const auto mode = Botan::Cipher_Mode::create_or_throw(
        cipherName + "/" + suffix, encrypt ? Botan::ENCRYPTION : Botan::DECRYPTION);
    mode->set_key(key.data(), key.size());
    mode->start(iv.data(), iv.size());
    Botan::secure_vector<std::uint8_t> buffer(input.begin(), input.end());
    mode->finish(buffer);
    if (buffer.size() != input.size())
      throw std::logic_error("Botan " + cipherName + "/" + suffix + " returned " +
                             std::to_string(buffer.size()) + " bytes for " +
                             std::to_string(input.size()));
    return {buffer.begin(), buffer.end()};
  }

  /// Runs the Botan stream cipher "<family>(<cipher>)" over `input`.
  [[nodiscard]] std::vector<Byte> runStreamCipher(const char* family, ByteView iv,
                                                  ByteView input) const {
    std::vector<Byte> out(input.size());
    if (input.empty()) return out;
    const auto stream = Botan::StreamCipher::create_or_throw(std::string(family) + "(" + cipherName + ")");
    stream->set_key(key.data(), key.size());
    stream->set_iv(iv.data(), iv.size());
    stream->cipher(input.data(), out.data(), input.size());
    return out;
  }
};

BlockEngine::BlockEngine(std::string cipherName, ByteView key) {
  auto context = std::make_shared<Context>();
  context->cipher = Botan::BlockCipher::create_or_throw(cipherName);
  if (context->cipher->block_size() != blockBytes || !context->cipher->valid_keylength(key.size()))
    throw std::invalid_argument("Botan " + cipherName + ": a " + std::to_string(key.size()) +
                                "-byte key or its block size is not supported");
  context->cipher->set_key(key.data(), key.size());
  context->key.assign(key.begin(), key.end());
  context->cipherName = std::move(cipherName);
  context_ = std::move(context);
}

ByteString BlockEngine::run(bindings::NativeMode mode, bool encrypt, ByteView iv, ByteView input,
                            Byte* ivOut) const {
  switch (mode) {
    case bindings::NativeMode::ecb: return blocks(encrypt, input);
    case bindings::NativeMode::cbc: return cbc(encrypt, iv, input, ivOut);
    case bindings::NativeMode::cfb: return cfb(encrypt, iv, input, ivOut);
    case bindings::NativeMode::ofb: return ofb(iv, input, ivOut);
    case bindings::NativeMode::ctr: return ctr(iv, input, ivOut);
  }
  throw std::logic_error("Botan " + context_->cipherName + ": unknown mode");
}

ByteString BlockEngine::blocks(bool encrypt, ByteView input) const {
  context_->requireWholeBlocks(bindings::NativeMode::ecb, encrypt, input.size());
  std::vector<Byte> out(input.size());
  const std::size_t count = input.size() / blockBytes;
  if (count > 0) {
    if (encrypt)
      context_->cipher->encrypt_n(input.data(), out.data(), count);
    else
      context_->cipher->decrypt_n(input.data(), out.data(), count);
  }
  return ByteString(std::move(out));
}

ByteString BlockEngine::cbc(bool encrypt, ByteView iv, ByteView input, Byte* ivOut) const {
  context_->requireWholeBlocks(bindings::NativeMode::cbc, encrypt, input.size());
  if (input.empty()) {
    std::memcpy(ivOut, iv.data(), blockBytes);
    return {};
  }
  std::vector<Byte> out = context_->runCipherMode("CBC/NoPadding", encrypt, iv, input);
  // The stream continues from the last ciphertext block.
  const Byte* ciphertext = encrypt ? out.data() : input.data();
  std::memcpy(ivOut, ciphertext + input.size() - blockBytes, blockBytes);
  return ByteString(std::move(out));
}

ByteString BlockEngine::cfb(bool encrypt, ByteView iv, ByteView input, Byte* ivOut) const {
  if (input.empty()) {
    std::memcpy(ivOut, iv.data(), blockBytes);
    return {};
  }
  std::vector<Byte> out = context_->runCipherMode("CFB", encrypt, iv, input);
  const Byte* ciphertext = encrypt ? out.data() : input.data();
  const std::size_t partial = input.size() % blockBytes;
  const std::size_t lastBlock = input.size() - (partial == 0 ? blockBytes : partial);
  std::memcpy(ivOut, ciphertext + lastBlock, input.size() - lastBlock);
  if (partial != 0) {
    // Botan keeps the unused keystream to itself: recompute the last
    // keystream block from the ciphertext block before it.
    const Byte* feedback = lastBlock == 0 ? iv.data() : ciphertext + lastBlock - blockBytes;
    const Block keystream = context_->encryptOne(feedback);
    std::memcpy(ivOut + partial, keystream.data() + partial, blockBytes - partial);
  }
  return ByteString(std::move(out));
}

ByteString BlockEngine::ofb(ByteView iv, ByteView input, Byte* ivOut) const {
  std::vector<Byte> out = context_->runStreamCipher("OFB", iv, input);
  // The IV that continues the stream is the last keystream block: input
  // XOR output where that block is whole, else the encryption of the one
  // before it.
  const std::size_t partial = input.size() % blockBytes;
  if (input.empty()) {
    std::memcpy(ivOut, iv.data(), blockBytes);
  } else if (partial == 0) {
    for (std::size_t i = input.size() - blockBytes, j = 0; j < blockBytes; ++i, ++j)
      ivOut[j] = static_cast<Byte>(input[i] ^ out[i]);
  } else {
    Block previous{};
    const std::size_t lastBlock = input.size() - partial;
    if (lastBlock == 0) {
      std::memcpy(previous.data(), iv.data(), blockBytes);
    } else {
      for (std::size_t i = lastBlock - blockBytes, j = 0; j < blockBytes; ++i, ++j)
        previous[j] = static_cast<Byte>(input[i] ^ out[i]);
    }
    const Block keystream = context_->encryptOne(previous.data());
    std::memcpy(ivOut, keystream.data(), blockBytes);
  }
  return ByteString(std::move(out));
}

ByteString BlockEngine::ctr(ByteView iv, ByteView input, Byte* ivOut) const {
  std::vector<Byte> out = context_->runStreamCipher("CTR-BE", iv, input);
  // A partly used counter block counts as used.
  std::memcpy(ivOut, iv.data(), blockBytes);
  addToCounter(ivOut, (input.size() + blockBytes - 1) / blockBytes);
  return ByteString(std::move(out));
}

}  // namespace quillon::botan::detail
