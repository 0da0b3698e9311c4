#pragma once
// A TOY: an 8-byte-block cipher that XORs each block with the key and then
// rotates it by one byte. It offers no security at all; it is here only to
// show how a key type meets quillon::BlockCipher. The five modes come from
// quillon's generic implementations over encryptBlock/decryptBlock.

#include <optional>
#include <stdexcept>

#include <quillon/quillon.hpp>

class ToyXorCipher {
 public:
  static int blockSize() { return 64; }  // bits
  static int keyLength() { return 64; }  // bits

  static std::optional<ToyXorCipher> buildKey(quillon::ByteView key) {
    if (key.size() != 8) return std::nullopt;
    return ToyXorCipher(quillon::ByteString(key));
  }

  // ECB over whole blocks.
  quillon::ByteString encryptBlock(quillon::ByteView blocks) const {
    return transform(blocks, [this](const quillon::Byte* in, quillon::Byte* out) {
      for (int i = 0; i < 8; ++i) out[(i + 1) % 8] = in[i] ^ key_[i];
    });
  }
  quillon::ByteString decryptBlock(quillon::ByteView blocks) const {
    return transform(blocks, [this](const quillon::Byte* in, quillon::Byte* out) {
      for (int i = 0; i < 8; ++i) out[i] = in[(i + 1) % 8] ^ key_[i];
    });
  }

 private:
  explicit ToyXorCipher(quillon::ByteString key) : key_(std::move(key)) {}

  template <class BlockFunction>
  static quillon::ByteString transform(quillon::ByteView blocks, BlockFunction&& block) {
    if (blocks.size() % 8 != 0) throw std::invalid_argument("ToyXorCipher: not whole blocks");
    std::vector<quillon::Byte> out(blocks.size());
    for (std::size_t at = 0; at < blocks.size(); at += 8) block(blocks.data() + at, out.data() + at);
    return quillon::ByteString(std::move(out));
  }

  quillon::ByteString key_;
};
