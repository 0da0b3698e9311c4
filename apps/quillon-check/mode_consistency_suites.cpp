#include <primitives/botan/aes.hpp>
#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/mode_consistency.hpp>

#include "suites.hpp"

namespace quillon_check {

namespace botan = quillon::botan;
namespace nettle = quillon::nettle;
namespace openssl = quillon::openssl;

void registerModeConsistencySuites() {
  using quillon_tests::makeModeConsistencyTests;
  using quillon_tests::registerTests;
  registerTests("OpenSSL-AES128", makeModeConsistencyTests<openssl::AES128>());
  registerTests("OpenSSL-AES192", makeModeConsistencyTests<openssl::AES192>());
  registerTests("OpenSSL-AES256", makeModeConsistencyTests<openssl::AES256>());
  registerTests("nettle-AES128", makeModeConsistencyTests<nettle::AES128>());
  registerTests("nettle-AES192", makeModeConsistencyTests<nettle::AES192>());
  registerTests("nettle-AES256", makeModeConsistencyTests<nettle::AES256>());
  registerTests("Botan-AES128", makeModeConsistencyTests<botan::AES128>());
  registerTests("Botan-AES192", makeModeConsistencyTests<botan::AES192>());
  registerTests("Botan-AES256", makeModeConsistencyTests<botan::AES256>());
  registerTests("nettle-TwoFish", makeModeConsistencyTests<nettle::TwoFish>());
  registerTests("nettle-TwoFish128", makeModeConsistencyTests<nettle::TwoFish128>());
  registerTests("nettle-TwoFish192", makeModeConsistencyTests<nettle::TwoFish192>());
  registerTests("Botan-TwoFish", makeModeConsistencyTests<botan::TwoFish>());
}

}  // namespace quillon_check
