#include <primitives/nettle/digests.hpp>

#include <nettle/nettle-meta.h>

#include <memory>
#include <stdexcept>

namespace quillon::nettle::detail {

namespace {

const nettle_hash& algorithmFor(DigestKind kind) {
  switch (kind) {
    case DigestKind::md5: return nettle_md5;
    case DigestKind::sha1: return nettle_sha1;
    case DigestKind::sha224: return nettle_sha224;
    case DigestKind::sha256: return nettle_sha256;
    case DigestKind::sha384: return nettle_sha384;
    case DigestKind::sha512: return nettle_sha512;
    case DigestKind::sha512_224: return nettle_sha512_224;
    case DigestKind::sha512_256: return nettle_sha512_256;
    case DigestKind::sha3_224: return nettle_sha3_224;
    case DigestKind::sha3_256: return nettle_sha3_256;
    case DigestKind::sha3_384: return nettle_sha3_384;
    case DigestKind::sha3_512: return nettle_sha3_512;
  }
  throw std::invalid_argument("nettle binding: unknown digest kind");
}

template <class Feed>
ByteString digestWith(DigestKind kind, Feed&& feed) {
  const nettle_hash& algorithm = algorithmFor(kind);
  // Contexts hold 64-bit words; keep the storage suitably aligned.
  auto context = std::make_unique<std::uint64_t[]>((algorithm.context_size + 7) / 8);
  algorithm.init(context.get());
  feed([&](ByteView bytes) { algorithm.update(context.get(), bytes.size(), bytes.data()); });
  std::vector<Byte> out(algorithm.digest_size);
  algorithm.digest(context.get(), out.size(), out.data());
  return ByteString(std::move(out));
}

}  // namespace

ByteString digestChunks(DigestKind kind, const std::vector<ByteString>& chunks) {
  return digestWith(kind, [&](auto update) {
    for (const ByteString& chunk : chunks) update(chunk);
  });
}

ByteString digestBytes(DigestKind kind, ByteView message) {
  return digestWith(kind, [&](auto update) { update(message); });
}

}  // namespace quillon::nettle::detail
