#pragma once
// OpenSSL 3 digests as quillon::Hash types, with OpenSSL's own HMAC.
//
// `hash` feeds every chunk to one incremental EVP context, so chunk
// boundaries are really exercised; `hashStrict` hashes in one call.

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/serialisation.hpp>

#include <primitives/raw_digest.hpp>

namespace quillon::openssl {

namespace detail {

/// One OpenSSL digest algorithm: its fetch name and lengths in bits.
struct DigestAlgorithm {
  const char* name;
  int outputBits;
  int blockBits;
};

ByteString digestChunks(const DigestAlgorithm& algorithm, const std::vector<ByteString>& chunks);
ByteString digestBytes(const DigestAlgorithm& algorithm, ByteView message);
ByteString hmacChunks(const DigestAlgorithm& algorithm, ByteView key,
                      const std::vector<ByteString>& chunks);
ByteString hmacBytes(const DigestAlgorithm& algorithm, ByteView key, ByteView message);

}  // namespace detail

/// A digest value of the algorithm that `Algorithm::value` names.
template <class Algorithm>
class Digest : public bindings::RawDigest<Digest<Algorithm>, Algorithm::value.outputBits / 8> {
 public:
  static constexpr detail::DigestAlgorithm algorithm = Algorithm::value;

  static int outputLength() { return algorithm.outputBits; }
  static int blockLength() { return algorithm.blockBits; }

  static Digest hash(const LazyByteString& message) {
    return Digest(detail::digestChunks(algorithm, message.chunks()));
  }
  static Digest hashStrict(ByteView message) {
    return Digest(detail::digestBytes(algorithm, message));
  }
  static Digest hmac(ByteView key, const LazyByteString& message) {
    return Digest(detail::hmacChunks(algorithm, key, message.chunks()));
  }
  static Digest hmacStrict(ByteView key, ByteView message) {
    return Digest(detail::hmacBytes(algorithm, key, message));
  }

 private:
  using Base = bindings::RawDigest<Digest, Algorithm::value.outputBits / 8>;
  friend Base;
  explicit Digest(ByteString bytes) : Base(std::move(bytes)) {}
};

namespace algorithms {
struct MD5 { static constexpr detail::DigestAlgorithm value{"MD5", 128, 512}; };
struct SHA1 { static constexpr detail::DigestAlgorithm value{"SHA1", 160, 512}; };
struct SHA224 { static constexpr detail::DigestAlgorithm value{"SHA224", 224, 512}; };
struct SHA256 { static constexpr detail::DigestAlgorithm value{"SHA256", 256, 512}; };
struct SHA384 { static constexpr detail::DigestAlgorithm value{"SHA384", 384, 1024}; };
struct SHA512 { static constexpr detail::DigestAlgorithm value{"SHA512", 512, 1024}; };
struct SHA512_224 { static constexpr detail::DigestAlgorithm value{"SHA512-224", 224, 1024}; };
struct SHA512_256 { static constexpr detail::DigestAlgorithm value{"SHA512-256", 256, 1024}; };
// SHA-3's block is its sponge rate: 1600 bits less twice the output.
struct SHA3_224 { static constexpr detail::DigestAlgorithm value{"SHA3-224", 224, 1152}; };
struct SHA3_256 { static constexpr detail::DigestAlgorithm value{"SHA3-256", 256, 1088}; };
struct SHA3_384 { static constexpr detail::DigestAlgorithm value{"SHA3-384", 384, 832}; };
struct SHA3_512 { static constexpr detail::DigestAlgorithm value{"SHA3-512", 512, 576}; };
}  // namespace algorithms

using MD5 = Digest<algorithms::MD5>;
using SHA1 = Digest<algorithms::SHA1>;
using SHA224 = Digest<algorithms::SHA224>;
using SHA256 = Digest<algorithms::SHA256>;
using SHA384 = Digest<algorithms::SHA384>;
using SHA512 = Digest<algorithms::SHA512>;
using SHA512_224 = Digest<algorithms::SHA512_224>;
using SHA512_256 = Digest<algorithms::SHA512_256>;
using SHA3_224 = Digest<algorithms::SHA3_224>;
using SHA3_256 = Digest<algorithms::SHA3_256>;
using SHA3_384 = Digest<algorithms::SHA3_384>;
using SHA3_512 = Digest<algorithms::SHA3_512>;

static_assert(Hash<SHA256>);

}  // namespace quillon::openssl
