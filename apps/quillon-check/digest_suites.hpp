#pragma once
// Every digest suite for the digests of one library. Instantiated once per
// library, each in its own file, so that the two compile in parallel.

#include <string>

#include <quillon_tests/gtest.hpp>
#include <quillon_tests/quillon_tests.hpp>

namespace quillon_check {

/// L names the library's digest types: L::MD5, L::SHA1 ... L::SHA512_256,
/// L::SHA3_224 ... L::SHA3_512. The HMAC suites run the digest's own HMAC
/// when it has one (OpenSSL's), else the generic construction (nettle's).
template <class L>
void registerDigestSuites(const std::string& library) {
  using namespace quillon_tests;
  registerTests(library + "-MD5", makeMD5Tests<typename L::MD5>());
  registerTests(library + "-SHA1", makeSHA1Tests<typename L::SHA1>());
  registerTests(library + "-SHA224", makeSHA224Tests<typename L::SHA224>());
  registerTests(library + "-SHA256", makeSHA256Tests<typename L::SHA256>());
  registerTests(library + "-SHA384", makeSHA384Tests<typename L::SHA384>());
  registerTests(library + "-SHA512", makeSHA512Tests<typename L::SHA512>());
  registerTests(library + "-HMAC-SHA1", makeSHA1HMACTests<typename L::SHA1>());
  registerTests(library + "-HMAC-SHA224", makeSHA224HMACTests<typename L::SHA224>());
  registerTests(library + "-HMAC-SHA256", makeSHA256HMACTests<typename L::SHA256>());
  registerTests(library + "-HMAC-SHA384", makeSHA384HMACTests<typename L::SHA384>());
  registerTests(library + "-HMAC-SHA512", makeSHA512HMACTests<typename L::SHA512>());
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

}  // namespace quillon_check
