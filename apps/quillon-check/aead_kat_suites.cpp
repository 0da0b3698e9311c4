#include <string>

#include <primitives/botan/aead.hpp>
#include <primitives/nettle/aead.hpp>
#include <primitives/openssl/aead.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/ccm.hpp>
#include <quillon/gcm.hpp>
#include <quillon_tests/aead_kat.hpp>
#include <quillon_tests/gtest.hpp>

#include "suites.hpp"

namespace quillon_check {

namespace {

/// The GCM known answers of three types of one key size each: each runs
/// the records of its size and skips the others.
template <class A128, class A192, class A256>
void registerGcm(const std::string& prefix, const std::string& suffix) {
  using quillon_tests::makeGCMTests;
  quillon_tests::registerTests(prefix + "AES128" + suffix, makeGCMTests<A128>());
  quillon_tests::registerTests(prefix + "AES192" + suffix, makeGCMTests<A192>());
  quillon_tests::registerTests(prefix + "AES256" + suffix, makeGCMTests<A256>());
}

template <class A128, class A192, class A256>
void registerCcm(const std::string& prefix, const std::string& suffix) {
  using quillon_tests::makeCCMTests;
  quillon_tests::registerTests(prefix + "AES128" + suffix, makeCCMTests<A128>());
  quillon_tests::registerTests(prefix + "AES192" + suffix, makeCCMTests<A192>());
  quillon_tests::registerTests(prefix + "AES256" + suffix, makeCCMTests<A256>());
}

}  // namespace

void registerAeadKnownAnswerSuites() {
  namespace botan = quillon::botan;
  namespace nettle = quillon::nettle;
  namespace openssl = quillon::openssl;
  using quillon::Ccm;
  using quillon::Gcm;
  using quillon_tests::makeChaCha20Poly1305Tests;
  using quillon_tests::registerTests;

  registerGcm<openssl::AES128GCM, openssl::AES192GCM, openssl::AES256GCM>("OpenSSL-", "GCM");
  registerGcm<nettle::AES128GCM, nettle::AES192GCM, nettle::AES256GCM>("nettle-", "GCM");
  registerGcm<botan::AES128GCM, botan::AES192GCM, botan::AES256GCM>("Botan-", "GCM");
  // The generic construction over a block cipher binding.
  registerGcm<Gcm<openssl::AES128>, Gcm<openssl::AES192>, Gcm<openssl::AES256>>("Gcm-over-OpenSSL-", "");

  registerCcm<openssl::AES128CCM, openssl::AES192CCM, openssl::AES256CCM>("OpenSSL-", "CCM");
  registerCcm<nettle::AES128CCM, nettle::AES192CCM, nettle::AES256CCM>("nettle-", "CCM");
  registerCcm<botan::AES128CCM, botan::AES192CCM, botan::AES256CCM>("Botan-", "CCM");
  registerCcm<Ccm<openssl::AES128>, Ccm<openssl::AES192>, Ccm<openssl::AES256>>("Ccm-over-OpenSSL-", "");

  registerTests("OpenSSL-ChaCha20Poly1305", makeChaCha20Poly1305Tests<openssl::ChaCha20Poly1305>());
  registerTests("nettle-ChaCha20Poly1305", makeChaCha20Poly1305Tests<nettle::ChaCha20Poly1305>());
  registerTests("Botan-ChaCha20Poly1305", makeChaCha20Poly1305Tests<botan::ChaCha20Poly1305>());
  // The vectors are AES and ChaCha20 ones: the TwoFish AEADs get none.
}

}  // namespace quillon_check
