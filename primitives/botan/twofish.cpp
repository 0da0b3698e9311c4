#include <primitives/botan/twofish.hpp>

#include <botan/block_cipher.h>
#include <botan/cipher_mode.h>
#include <botan/stream_cipher.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon::botan::detail {

namespace {

constexpr std::size_t blockBytes = 16;

void requireWholeBlocks(const char* function, std::size_t length) {
  if (length % blockBytes != 0)
    throw std::invalid_argument(std::string("Botan TwoFish ") + function + ": input of " +
                                std::to_string(length) +
                                " bytes is not a whole number of 16-byte blocks");
}

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

}  // namespace

struct TwofishEngine::Context {
  std::unique_ptr<Botan::BlockCipher> cipher;
  // Botan's modes and stream ciphers are keyed afresh for every call.
  std::vector<std::uint8_t> key;
};

TwofishEngine::TwofishEngine(ByteView key) {
  if (key.size() != 16 && key.size() != 24 && key.size() != 32)
    throw std::invalid_argument("Botan TwoFish: keys are 16, 24 or 32 bytes, not " +
                                std::to_string(key.size()));
  auto context = std::make_shared<Context>();
  context->cipher = Botan::BlockCipher::create_or_throw("Twofish");
  context->cipher->set_key(key.data(), key.size());
  context->key.assign(key.begin(), key.end());
  context_ = std::move(context);
}

ByteString TwofishEngine::blocks(bool encrypt, ByteView input) const {
  requireWholeBlocks(encrypt ? "ecb" : "unEcb", input.size());
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

ByteString TwofishEngine::cbc(bool encrypt, ByteView iv, ByteView input, Byte* ivOut) const {
  requireWholeBlocks(encrypt ? "cbc" : "unCbc", input.size());
  if (input.empty()) {
    std::memcpy(ivOut, iv.data(), blockBytes);
    return {};
  }
  const auto mode = Botan::Cipher_Mode::create_or_throw(
      "Twofish/CBC/NoPadding", encrypt ? Botan::ENCRYPTION : Botan::DECRYPTION);
  mode->set_key(context_->key.data(), context_->key.size());
  mode->start(iv.data(), iv.size());
  Botan::secure_vector<std::uint8_t> buffer(input.begin(), input.end());
  mode->finish(buffer);
  if (buffer.size() != input.size())
    throw std::logic_error("Botan TwoFish CBC returned " + std::to_string(buffer.size()) +
                           " bytes for " + std::to_string(input.size()));
  // The stream continues from the last ciphertext block.
  const Byte* ciphertext = encrypt ? buffer.data() : input.data();
  std::memcpy(ivOut, ciphertext + input.size() - blockBytes, blockBytes);
  return ByteString(buffer.begin(), buffer.end());
}

ByteString TwofishEngine::ctr(ByteView iv, ByteView input, Byte* ivOut) const {
  std::vector<Byte> out(input.size());
  if (!input.empty()) {
    const auto stream = Botan::StreamCipher::create_or_throw("CTR-BE(Twofish)");
    stream->set_key(context_->key.data(), context_->key.size());
    stream->set_iv(iv.data(), iv.size());
    stream->cipher(input.data(), out.data(), input.size());
  }
  // A partly used counter block counts as used.
  std::memcpy(ivOut, iv.data(), blockBytes);
  addToCounter(ivOut, (input.size() + blockBytes - 1) / blockBytes);
  return ByteString(std::move(out));
}

}  // namespace quillon::botan::detail
