#pragma once
// HMAC over any Hash. A digest type with its own static `hmac` and
// `hmacStrict` (same shapes as below) is used as it is; otherwise the
// standard construction runs over D::hash:
//   HMAC(K, m) = H((K' ^ opad) || H((K' ^ ipad) || m))
// where K' is K hashed first when longer than the block, then zero-padded
// to the block length (D::blockLength() / 8 bytes).

#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>

namespace quillon {

namespace detail {

template <class D>
concept HasOwnHmac = requires(ByteView key, ByteView bytes, const LazyByteString& lazy) {
  { D::hmac(key, lazy) } -> std::same_as<D>;
  { D::hmacStrict(key, bytes) } -> std::same_as<D>;
};

/// The inner and outer padded keys of the construction.
template <Hash D>
std::pair<ByteString, ByteString> hmacPads(ByteView key) {
  const std::size_t blockBytes = static_cast<std::size_t>(D::blockLength() / 8);
  ByteString blockKey = key.size() > blockBytes ? D::hashStrict(key).encode() : ByteString(key);
  std::vector<Byte> inner(blockBytes, 0x36), outer(blockBytes, 0x5c);
  for (std::size_t i = 0; i < blockKey.size() && i < blockBytes; ++i) {
    inner[i] ^= blockKey[i];
    outer[i] ^= blockKey[i];
  }
  return {ByteString(std::move(inner)), ByteString(std::move(outer))};
}

template <Hash D>
D hmacOverChunks(ByteView key, std::vector<ByteString> chunks) {
  auto [innerPad, outerPad] = hmacPads<D>(key);
  chunks.insert(chunks.begin(), std::move(innerPad));
  const D innerDigest = D::hash(LazyByteString(std::move(chunks)));
  return D::hash(LazyByteString({std::move(outerPad), innerDigest.encode()}));
}

}  // namespace detail

/// HMAC of a chunked message; the chunks reach D::hash as they are.
template <Hash D>
D hmac(ByteView key, const LazyByteString& message) {
  if constexpr (detail::HasOwnHmac<D>) {
    return D::hmac(key, message);
  } else {
    return detail::hmacOverChunks<D>(key, message.chunks());
  }
}

/// HMAC of a contiguous message.
template <Hash D>
D hmacStrict(ByteView key, ByteView message) {
  if constexpr (detail::HasOwnHmac<D>) {
    return D::hmacStrict(key, message);
  } else {
    auto [innerPad, outerPad] = detail::hmacPads<D>(key);
    const D innerDigest = D::hashStrict(concat({innerPad, message}));
    return D::hashStrict(concat({outerPad, innerDigest.encode()}));
  }
}

}  // namespace quillon
