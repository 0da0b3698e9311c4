#pragma once
// nettle digests as quillon::Hash types. They bring no HMAC of their own, so
// quillon::hmac runs the generic construction over them.

#include <ostream>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/serialisation.hpp>

namespace quillon::nettle {

namespace detail {

enum class DigestKind { md5, sha1, sha224, sha256, sha384, sha512 };

ByteString digestChunks(DigestKind kind, const std::vector<ByteString>& chunks);
ByteString digestBytes(DigestKind kind, ByteView message);

}  // namespace detail

template <detail::DigestKind Kind, int OutputBits, int BlockBits>
class Digest {
 public:
  static int outputLength() { return OutputBits; }
  static int blockLength() { return BlockBits; }

  /// One nettle context, one update per chunk.
  static Digest hash(const LazyByteString& message) {
    return Digest(detail::digestChunks(Kind, message.chunks()));
  }
  static Digest hashStrict(ByteView message) { return Digest(detail::digestBytes(Kind, message)); }

  [[nodiscard]] ByteString encode() const { return bytes_; }
  static GetResult<Digest> get(ByteView bytes) {
    constexpr std::size_t length = OutputBits / 8;
    if (bytes.size() < length) return Partial{};
    return Done<Digest>{Digest(ByteString(bytes.first(length))), length};
  }

  friend bool operator==(const Digest&, const Digest&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Digest& digest) {
    return os << digest.bytes_;
  }

 private:
  explicit Digest(ByteString bytes) : bytes_(std::move(bytes)) {}
  ByteString bytes_;
};

using MD5 = Digest<detail::DigestKind::md5, 128, 512>;
using SHA1 = Digest<detail::DigestKind::sha1, 160, 512>;
using SHA224 = Digest<detail::DigestKind::sha224, 224, 512>;
using SHA256 = Digest<detail::DigestKind::sha256, 256, 512>;
using SHA384 = Digest<detail::DigestKind::sha384, 384, 1024>;
using SHA512 = Digest<detail::DigestKind::sha512, 512, 1024>;

static_assert(Hash<SHA256>);

}  // namespace quillon::nettle
