#include <quillon_tests/block_cipher_properties.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace quillon_tests::detail {

quillon::ByteString deriveKeyBytes(quillon::ByteView material, int keyLengthBits) {
  // Arithmetic shift: lengths are signed bits, rounded down.
  const int length = keyLengthBits >> 3;
  if (length <= 0) return {};
  const std::size_t period = material.size() + 1;  // the material, then one zero byte
  std::vector<quillon::Byte> key(static_cast<std::size_t>(length));
  for (std::size_t i = 0; i < key.size(); ++i) {
    const std::size_t at = i % period;
    key[i] = at < material.size() ? material[at] : 0;
  }
  return quillon::ByteString(std::move(key));
}

quillon::LazyByteString blockAlignedPrefix(const quillon::LazyByteString& message,
                                           int blockSizeBits) {
  const int blockBytes = blockSizeBits >> 3;
  if (blockBytes == 0)
    throw BlockSizeUnderOneByteError(
        "block size under 8 bits: the lazy/contiguous properties cut each message to whole "
        "blocks, but the cipher's blockSize() is " + std::to_string(blockSizeBits) + " bits");
  // The remainder takes the sign of the dividend, so a negative block size
  // (which no sane cipher has) counts by its magnitude.
  const auto divisor = static_cast<std::size_t>(blockBytes < 0 ? -static_cast<long long>(blockBytes)
                                                              : blockBytes);
  const std::size_t prefix = message.size() - message.size() % divisor;
  if (prefix == message.size()) return message;
  std::vector<quillon::ByteString> chunks;
  std::size_t taken = 0;
  for (const quillon::ByteString& chunk : message.chunks()) {
    if (taken == prefix) break;
    const std::size_t take = std::min(chunk.size(), prefix - taken);
    chunks.push_back(take == chunk.size() ? chunk : chunk.take(take));
    taken += take;
  }
  return quillon::LazyByteString(std::move(chunks));
}

}  // namespace quillon_tests::detail
