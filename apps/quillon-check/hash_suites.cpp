#include <primitives/nettle/digests.hpp>
#include <primitives/openssl/digests.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/quillon_tests.hpp>

#include "suites.hpp"

namespace quillon_check {

namespace {

using namespace quillon_tests;

// The five SHA variants of one library: the known-answer suites (with their
// property groups) and the HMAC suites.
template <class SHA1, class SHA224, class SHA256, class SHA384, class SHA512>
void registerShaFamily(const std::string& library) {
  registerTests(library + "-SHA1", makeSHA1Tests<SHA1>());
  registerTests(library + "-SHA224", makeSHA224Tests<SHA224>());
  registerTests(library + "-SHA256", makeSHA256Tests<SHA256>());
  registerTests(library + "-SHA384", makeSHA384Tests<SHA384>());
  registerTests(library + "-SHA512", makeSHA512Tests<SHA512>());
  registerTests(library + "-HMAC-SHA1", makeSHA1HMACTests<SHA1>());
  registerTests(library + "-HMAC-SHA224", makeSHA224HMACTests<SHA224>());
  registerTests(library + "-HMAC-SHA256", makeSHA256HMACTests<SHA256>());
  registerTests(library + "-HMAC-SHA384", makeSHA384HMACTests<SHA384>());
  registerTests(library + "-HMAC-SHA512", makeSHA512HMACTests<SHA512>());
}

// The digests of one library by name, for the suites added beside the SHA
// family: the SHA-512/t and SHA-3 known answers and every Monte Carlo suite.
template <class L>
void registerMoreDigests(const std::string& library) {
  registerTests(library + "-SHA512_224", makeSHA512_224Tests<typename L::SHA512_224>());
  registerTests(library + "-SHA512_256", makeSHA512_256Tests<typename L::SHA512_256>());
  registerTests(library + "-SHA3_224", makeSHA3_224Tests<typename L::SHA3_224>());
  registerTests(library + "-SHA3_256", makeSHA3_256Tests<typename L::SHA3_256>());
  registerTests(library + "-SHA3_384", makeSHA3_384Tests<typename L::SHA3_384>());
  registerTests(library + "-SHA3_512", makeSHA3_512Tests<typename L::SHA3_512>());
  registerTests(library + "-Monte-SHA1", makeSHA1MonteTests<typename L::SHA1>());
  registerTests(library + "-Monte-SHA224", makeSHA224MonteTests<typename L::SHA224>());
  registerTests(library + "-Monte-SHA256", makeSHA256MonteTests<typename L::SHA256>());
  registerTests(library + "-Monte-SHA384", makeSHA384MonteTests<typename L::SHA384>());
  registerTests(library + "-Monte-SHA512", makeSHA512MonteTests<typename L::SHA512>());
  registerTests(library + "-Monte-SHA512_224", makeSHA512_224MonteTests<typename L::SHA512_224>());
  registerTests(library + "-Monte-SHA512_256", makeSHA512_256MonteTests<typename L::SHA512_256>());
  registerTests(library + "-Monte-SHA3_224", makeSHA3_224MonteTests<typename L::SHA3_224>());
  registerTests(library + "-Monte-SHA3_256", makeSHA3_256MonteTests<typename L::SHA3_256>());
  registerTests(library + "-Monte-SHA3_384", makeSHA3_384MonteTests<typename L::SHA3_384>());
  registerTests(library + "-Monte-SHA3_512", makeSHA3_512MonteTests<typename L::SHA3_512>());
}

struct OpenSSLDigests {
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

struct NettleDigests {
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

void registerHashSuites() {
  namespace openssl = quillon::openssl;
  namespace nettle = quillon::nettle;
  registerTests("OpenSSL-MD5", makeMD5Tests<openssl::MD5>());
  registerTests("nettle-MD5", makeMD5Tests<nettle::MD5>());
  // OpenSSL's digests bring OpenSSL's HMAC; nettle's have none, so their
  // HMAC suites run the library's generic construction.
  registerShaFamily<openssl::SHA1, openssl::SHA224, openssl::SHA256, openssl::SHA384,
                    openssl::SHA512>("OpenSSL");
  registerShaFamily<nettle::SHA1, nettle::SHA224, nettle::SHA256, nettle::SHA384,
                    nettle::SHA512>("nettle");
  registerMoreDigests<OpenSSLDigests>("OpenSSL");
  registerMoreDigests<NettleDigests>("nettle");
}

}  // namespace quillon_check
