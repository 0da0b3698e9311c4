#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/twofish.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/mode_kat.hpp>
#include <quillon_tests/twofish.hpp>

#include "suites.hpp"

namespace quillon_check {

void registerTwoFishSuites() {
  using namespace quillon_tests;
  namespace botan = quillon::botan;
  namespace nettle = quillon::nettle;
  // The TwoFish vector files mix the three key sizes in one file; only types
  // accepting all three can run them (a refused key is an error there).
  registerTests("nettle-TwoFish", makeTwoFishTests<nettle::TwoFish>());
  registerTests("Botan-TwoFish", makeTwoFishTests<botan::TwoFish>());
  registerTests("nettle-TwoFish128", makeBlockCipherPropTests<nettle::TwoFish128>());
  registerTests("nettle-TwoFish192", makeBlockCipherPropTests<nettle::TwoFish192>());
  // TwoFish has no CMAC of its own in either binding: the generic one runs.
  registerTests("nettle-TwoFish-CMAC", makeTwoFishCMACTests<nettle::TwoFish>());
  registerTests("Botan-TwoFish-CMAC", makeTwoFishCMACTests<botan::TwoFish>());
}

}  // namespace quillon_check
