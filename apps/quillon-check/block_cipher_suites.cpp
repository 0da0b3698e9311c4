#include <primitives/botan/aes.hpp>
#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon_tests/aes.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/twofish.hpp>

#include "suites.hpp"

namespace quillon_check {

namespace botan = quillon::botan;
namespace nettle = quillon::nettle;
namespace openssl = quillon::openssl;

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
}

}  // namespace quillon_check
