#pragma once
// nettle digests as quillon::Hash types. They bring no HMAC of their own, so
// quillon::hmac runs the generic construction over them.

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/serialisation.hpp>

#include <primitives/raw_digest.hpp>

namespace quillon::nettle {

namespace detail {

enum class DigestKind {
  md5, sha1, sha224, sha256, sha384, sha512, sha512_224, sha512_256,
  sha3_224, sha3_256, sha3_384, sha3_512
};

ByteString digestChunks(DigestKind kind, const std::vector<ByteString>& chunks);
ByteString digestBytes(DigestKind kind, ByteView message);

}  // namespace detail

template <detail::DigestKind Kind, int OutputBits, int BlockBits>
class Digest : public bindings::RawDigest<Digest<Kind, OutputBits, BlockBits>, OutputBits / 8> {
 public:
  static int outputLength() { return OutputBits; }
  static int blockLength() { return BlockBits; }

  /// One nettle context, one update per chunk.
  static Digest hash(const LazyByteString& message) {
    return Digest(detail::digestChunks(Kind, message.chunks()));
  }
  static Digest hashStrict(ByteView message) { return Digest(detail::digestBytes(Kind, message)); }

 private:
  using Base = bindings::RawDigest<Digest, OutputBits / 8>;
  friend Base;
  explicit Digest(ByteString bytes) : Base(std::move(bytes)) {}
};

using MD5 = Digest<detail::DigestKind::md5, 128, 512>;
using SHA1 = Digest<detail::DigestKind::sha1, 160, 512>;
using SHA224 = Digest<detail::DigestKind::sha224, 224, 512>;
using SHA256 = Digest<detail::DigestKind::sha256, 256, 512>;
using SHA384 = Digest<detail::DigestKind::sha384, 384, 1024>;
using SHA512 = Digest<detail::DigestKind::sha512, 512, 1024>;
using SHA512_224 = Digest<detail::DigestKind::sha512_224, 224, 1024>;
using SHA512_256 = Digest<detail::DigestKind::sha512_256, 256, 1024>;
// SHA-3's block is its sponge rate: 1600 bits less twice the output.
using SHA3_224 = Digest<detail::DigestKind::sha3_224, 224, 1152>;
using SHA3_256 = Digest<detail::DigestKind::sha3_256, 256, 1088>;
using SHA3_384 = Digest<detail::DigestKind::sha3_384, 384, 832>;
using SHA3_512 = Digest<detail::DigestKind::sha3_512, 512, 576>;

static_assert(Hash<SHA256>);

}  // namespace quillon::nettle
