#include <primitives/nettle/digests.hpp>

#include "digest_suites.hpp"
#include "suites.hpp"

namespace quillon_check {

namespace {

struct NettleDigests {
  using MD5 = quillon::nettle::MD5;
  using SHA1 = quillon::nettle::SHA1;
  using SHA224 = quillon::nettle::SHA224;
  using SHA256 = quillon::nettle::SHA256;
  using SHA384 = quillon::nettle::SHA384;
  using SHA512 = quillon::nettle::SHA512;
  using SHA512_224 = quillon::nettle::SHA512_224;
  using SHA512_256 = quillon::nettle::SHA512_256;
  using SHA3_224 = quillon::nettle::SHA3_224;
  using SHA3_256 = quillon::nettle::SHA3_256;
  using SHA3_384 = quillon::nettle::SHA3_384;
  using SHA3_512 = quillon::nettle::SHA3_512;
};

}  // namespace

void registerNettleDigestSuites() { registerDigestSuites<NettleDigests>("nettle"); }

}  // namespace quillon_check
