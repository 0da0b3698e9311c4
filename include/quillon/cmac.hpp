#pragma once
// CMAC (the one-key CBC-MAC) over any BlockCipher with 64- or 128-bit blocks.
//
// A key type with its own member `k.cmac(ByteView) -> ByteString` is used as
// it is; otherwise the standard construction runs over K::encryptBlock:
//   L  = E(0^b);  K1 = dbl(L);  K2 = dbl(K1)
// where dbl shifts one bit to the left across the block and, when the bit
// shifted out was set, xors the last byte with 0x87 (128-bit blocks) or 0x1b
// (64-bit blocks). The message is cut into b-bit blocks; a last block that is
// whole (and not the empty message's) is xored with K1, otherwise it is
// completed with 0x80 0x00 ... and xored with K2. The tag is the last block
// of the CBC encryption of those blocks from the zero IV: the full block; a
// caller wanting a shorter tag takes its leading bytes. quillon::generic::cmac
// runs that construction even for a key type with its own member.

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>

namespace quillon {

/// A key type with its own CMAC, which quillon::cmac uses instead of the
/// generic construction.
template <class K>
concept HasOwnCmac = requires(const K& key, ByteView message) {
  { key.cmac(message) } -> std::same_as<ByteString>;
};

namespace detail {

/// The reduction constant of GF(2^b) for the block sizes CMAC is defined on.
inline Byte cmacReductionByte(int blockBits) {
  switch (blockBits) {
    case 128: return 0x87;
    case 64: return 0x1b;
    default:
      throw std::invalid_argument("quillon::cmac: blocks of " + std::to_string(blockBits) +
                                  " bits; CMAC is defined for 64- and 128-bit blocks");
  }
}

/// Doubling in GF(2^b): one bit to the left, reduced when a bit falls out.
inline void cmacDouble(std::vector<Byte>& block, Byte reduction) {
  const bool carry = (block.front() & 0x80) != 0;
  for (std::size_t i = 0; i + 1 < block.size(); ++i) {
    block[i] = static_cast<Byte>((block[i] << 1) | (block[i + 1] >> 7));
  }
  block.back() = static_cast<Byte>(block.back() << 1);
  if (carry) block.back() ^= reduction;
}

}  // namespace detail

namespace generic {

/// The standard construction over K::encryptBlock, never K's own `cmac`.
template <BlockCipher K>
ByteString cmac(const K& key, ByteView message) {
  const Byte reduction = detail::cmacReductionByte(K::blockSize());
  const auto blockBytes = static_cast<std::size_t>(K::blockSize() / 8);

  const ByteString zeroEncrypted = key.encryptBlock(ByteString(std::vector<Byte>(blockBytes, 0)));
  std::vector<Byte> subkey(zeroEncrypted.begin(), zeroEncrypted.end());
  detail::cmacDouble(subkey, reduction);  // K1
  const bool lastIsWhole = !message.empty() && message.size() % blockBytes == 0;
  if (!lastIsWhole) detail::cmacDouble(subkey, reduction);  // K2

  // Every block but the last goes through CBC from the zero IV as it is.
  const std::size_t lastStart = message.empty() ? 0 : (message.size() - 1) / blockBytes * blockBytes;
  std::vector<Byte> chain(blockBytes, 0);
  for (std::size_t at = 0; at < lastStart; at += blockBytes) {
    for (std::size_t i = 0; i < blockBytes; ++i) chain[i] ^= message[at + i];
    const ByteString next = key.encryptBlock(ByteView(chain));
    std::copy(next.begin(), next.end(), chain.begin());
  }
  // The last block: padded when short, then masked with its subkey.
  std::vector<Byte> last(blockBytes, 0);
  const std::size_t lastLength = message.size() - lastStart;
  std::copy(message.begin() + static_cast<std::ptrdiff_t>(lastStart), message.end(), last.begin());
  if (!lastIsWhole) last[lastLength] = 0x80;
  for (std::size_t i = 0; i < blockBytes; ++i) chain[i] ^= static_cast<Byte>(last[i] ^ subkey[i]);
  return key.encryptBlock(ByteView(chain));
}

}  // namespace generic

/// The full-block CMAC tag of `message` under `key`.
template <BlockCipher K>
ByteString cmac(const K& key, ByteView message) {
  if constexpr (HasOwnCmac<K>) {
    return key.cmac(message);
  } else {
    return generic::cmac(key, message);
  }
}

}  // namespace quillon
