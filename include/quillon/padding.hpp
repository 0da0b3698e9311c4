#pragma once
// ESP padding (RFC 4303, section 2.4): the pad bytes 1, 2, 3, ..., n follow
// the data, then one byte holding n, so that the total is a whole number of
// blocks. Unlike ESP itself no Next Header byte is added: the padding here
// is only what makes the data fill its last block.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>

namespace quillon {

/// `bytes` padded to a whole number of `blockBytes`-byte blocks: the fewest
/// pad bytes that make room for the pad-length byte, so a result always
/// grows by 1 to `blockBytes` bytes. Throws std::invalid_argument when
/// `blockBytes` is 0, or so large that the pad length would not fit in its
/// byte (more than 256).
inline ByteString padESP(std::size_t blockBytes, ByteView bytes) {
  if (blockBytes == 0 || blockBytes > 256)
    throw std::invalid_argument("quillon::padESP: cannot pad to blocks of " +
                                std::to_string(blockBytes) +
                                " bytes (the pad length must fit in one byte)");
  const std::size_t padLength = (blockBytes - (bytes.size() + 1) % blockBytes) % blockBytes;
  std::vector<Byte> out;
  out.reserve(bytes.size() + padLength + 1);
  out.insert(out.end(), bytes.begin(), bytes.end());
  for (std::size_t i = 1; i <= padLength; ++i) out.push_back(static_cast<Byte>(i));
  out.push_back(static_cast<Byte>(padLength));
  return ByteString(std::move(out));
}

/// `bytes` padded to whole blocks of the cipher K (K::blockSize() / 8 bytes).
template <BlockCipher K>
ByteString padESPBlockSize(ByteView bytes) {
  const int bits = K::blockSize();
  return padESP(bits > 0 ? static_cast<std::size_t>(bits / 8) : 0, bytes);
}

/// `bytes` without its ESP padding, or nothing when the padding is malformed:
/// empty input, a pad length larger than the data before it, or pad bytes
/// other than 1, 2, 3, ... The block size is not checked.
inline std::optional<ByteString> unpadESP(ByteView bytes) {
  if (bytes.empty()) return std::nullopt;
  const std::size_t padLength = bytes.back();
  if (padLength + 1 > bytes.size()) return std::nullopt;
  const std::size_t dataLength = bytes.size() - padLength - 1;
  for (std::size_t i = 0; i < padLength; ++i)
    if (bytes[dataLength + i] != static_cast<Byte>(i + 1)) return std::nullopt;
  return ByteString(bytes.first(dataLength));
}

}  // namespace quillon
