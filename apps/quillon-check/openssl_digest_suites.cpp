#include <primitives/openssl/digests.hpp>

#include "digest_suites.hpp"
#include "suites.hpp"

namespace quillon_check {

namespace {

struct OpenSSLDigests {
  using MD5 = quillon::openssl::MD5;
  using SHA1 = quillon::openssl::SHA1;
  using SHA224 = quillon::openssl::SHA224;
  using SHA256 = quillon::openssl::SHA256;
  using SHA384 = quillon::openssl::SHA384;
  using SHA512 = quillon::openssl::SHA512;
  using SHA512_224 = quillon::openssl::SHA512_224;
  using SHA512_256 = quillon::openssl::SHA512_256;
  using SHA3_224 = quillon::openssl::SHA3_224;
  using SHA3_256 = quillon::openssl::SHA3_256;
  using SHA3_384 = quillon::openssl::SHA3_384;
  using SHA3_512 = quillon::openssl::SHA3_512;
};

}  // namespace

void registerOpenSSLDigestSuites() { registerDigestSuites<OpenSSLDigests>("OpenSSL"); }

}  // namespace quillon_check
