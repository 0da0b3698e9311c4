#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/gtest.hpp>

#include "suites.hpp"

namespace quillon_check {

namespace nettle = quillon::nettle;
namespace openssl = quillon::openssl;

void registerBlockCipherSuites() {
  using quillon_tests::makeBlockCipherPropTests;
  using quillon_tests::registerTests;
  registerTests("OpenSSL-AES128", makeBlockCipherPropTests<openssl::AES128>());
  registerTests("OpenSSL-AES192", makeBlockCipherPropTests<openssl::AES192>());
  registerTests("OpenSSL-AES256", makeBlockCipherPropTests<openssl::AES256>());
  registerTests("nettle-TwoFish", makeBlockCipherPropTests<nettle::TwoFish>());
  registerTests("nettle-TwoFish128", makeBlockCipherPropTests<nettle::TwoFish128>());
  registerTests("nettle-TwoFish192", makeBlockCipherPropTests<nettle::TwoFish192>());
}

}  // namespace quillon_check
