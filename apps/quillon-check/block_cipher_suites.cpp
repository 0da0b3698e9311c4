#include <primitives/botan/aes.hpp>
#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon_tests/aes.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/mode_kat.hpp>
#include <quillon_tests/twofish.hpp>

#include "suites.hpp"

#include <string>
#include <vector>

namespace quillon_check {

namespace botan = quillon::botan;
namespace nettle = quillon::nettle;
namespace openssl = quillon::openssl;

namespace {

/// CTR known answers, AES Monte Carlo and AES-CMAC for one AES binding, with
/// the property that its own CMAC agrees with the generic construction.
template <class K>
void registerAesModeSuites(const std::string& binding) {
  using namespace quillon_tests;
  registerTests(binding + "-CTR", makeAESCTRTests<K>());
  registerTests(binding + "-Monte", makeAESMonteTests<K>());
  std::vector<Test> cmac = makeCMACTests<K>();
  cmac.push_back(makeCMACPropTests<K>());
  registerTests(binding + "-CMAC", cmac);
}

void registerModeKnownAnswerSuites() {
  registerAesModeSuites<openssl::AES128>("OpenSSL-AES128");
  registerAesModeSuites<openssl::AES192>("OpenSSL-AES192");
  registerAesModeSuites<openssl::AES256>("OpenSSL-AES256");
  registerAesModeSuites<nettle::AES128>("nettle-AES128");
  registerAesModeSuites<nettle::AES192>("nettle-AES192");
  registerAesModeSuites<nettle::AES256>("nettle-AES256");
  registerAesModeSuites<botan::AES128>("Botan-AES128");
  registerAesModeSuites<botan::AES192>("Botan-AES192");
  registerAesModeSuites<botan::AES256>("Botan-AES256");
  // TwoFish has no CMAC of its own in either binding: the generic one runs.
  using quillon_tests::makeTwoFishCMACTests;
  quillon_tests::registerTests("nettle-TwoFish-CMAC", makeTwoFishCMACTests<nettle::TwoFish>());
  quillon_tests::registerTests("Botan-TwoFish-CMAC", makeTwoFishCMACTests<botan::TwoFish>());
}

}  // namespace

void registerBlockCipherSuites() {
  using namespace quillon_tests;
  // Each AES binding accepts one key size, so it runs the vectors of that
  // size and skips the others.
  registerTests("OpenSSL-AES128", makeAESTests<openssl::AES128>());
  registerTests("OpenSSL-AES192", makeAESTests<openssl::AES192>());
  registerTests("OpenSSL-AES256", makeAESTests<openssl::AES256>());
  registerTests("nettle-AES128", makeAESTests<nettle::AES128>());
  registerTests("nettle-AES192", makeAESTests<nettle::AES192>());
  registerTests("nettle-AES256", makeAESTests<nettle::AES256>());
  registerTests("Botan-AES128", makeAESTests<botan::AES128>());
  registerTests("Botan-AES192", makeAESTests<botan::AES192>());
  registerTests("Botan-AES256", makeAESTests<botan::AES256>());
  // The TwoFish vector files mix the three key sizes in one file; only types
  // accepting all three can run them (a refused key is an error there).
  registerTests("nettle-TwoFish", makeTwoFishTests<nettle::TwoFish>());
  registerTests("Botan-TwoFish", makeTwoFishTests<botan::TwoFish>());
  registerTests("nettle-TwoFish128", makeBlockCipherPropTests<nettle::TwoFish128>());
  registerTests("nettle-TwoFish192", makeBlockCipherPropTests<nettle::TwoFish192>());
  registerModeKnownAnswerSuites();
}

}  // namespace quillon_check
