#include <primitives/botan/aes.hpp>
#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/digests.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <primitives/openssl/digests.hpp>
#include <quillon_tests/differential.hpp>
#include <quillon_tests/gtest.hpp>

#include "suites.hpp"

namespace quillon_check {

namespace botan = quillon::botan;
namespace nettle = quillon::nettle;
namespace openssl = quillon::openssl;

// Each pair of independent bindings of one algorithm: the second named is
// the reference.
void registerDifferentialSuites() {
  using quillon_tests::makeBlockCipherDifferentialTests;
  using quillon_tests::makeHashDifferentialTests;
  using quillon_tests::registerTests;
  registerTests("nettle-MD5-against-OpenSSL", makeHashDifferentialTests<nettle::MD5, openssl::MD5>());
  registerTests("nettle-SHA1-against-OpenSSL", makeHashDifferentialTests<nettle::SHA1, openssl::SHA1>());
  registerTests("nettle-SHA224-against-OpenSSL",
                makeHashDifferentialTests<nettle::SHA224, openssl::SHA224>());
  registerTests("nettle-SHA256-against-OpenSSL",
                makeHashDifferentialTests<nettle::SHA256, openssl::SHA256>());
  registerTests("nettle-SHA384-against-OpenSSL",
                makeHashDifferentialTests<nettle::SHA384, openssl::SHA384>());
  registerTests("nettle-SHA512-against-OpenSSL",
                makeHashDifferentialTests<nettle::SHA512, openssl::SHA512>());
  registerTests("nettle-AES128-against-OpenSSL",
                makeBlockCipherDifferentialTests<nettle::AES128, openssl::AES128>());
  registerTests("nettle-AES192-against-OpenSSL",
                makeBlockCipherDifferentialTests<nettle::AES192, openssl::AES192>());
  registerTests("nettle-AES256-against-OpenSSL",
                makeBlockCipherDifferentialTests<nettle::AES256, openssl::AES256>());
  registerTests("Botan-AES128-against-nettle",
                makeBlockCipherDifferentialTests<botan::AES128, nettle::AES128>());
  registerTests("Botan-AES192-against-nettle",
                makeBlockCipherDifferentialTests<botan::AES192, nettle::AES192>());
  registerTests("Botan-AES256-against-nettle",
                makeBlockCipherDifferentialTests<botan::AES256, nettle::AES256>());
  registerTests("Botan-TwoFish-against-nettle",
                makeBlockCipherDifferentialTests<botan::TwoFish, nettle::TwoFish>());
}

}  // namespace quillon_check
