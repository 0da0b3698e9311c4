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
}

}  // namespace quillon_check
