#include <primitives/botan/aead.hpp>
#include <primitives/botan/aes.hpp>
#include <primitives/nettle/aead.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aead.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/ccm.hpp>
#include <quillon/gcm.hpp>
#include <quillon_tests/aead_differential.hpp>
#include <quillon_tests/aead_properties.hpp>
#include <quillon_tests/gtest.hpp>

#include "suites.hpp"

namespace quillon_check {

namespace botan = quillon::botan;
namespace nettle = quillon::nettle;
namespace openssl = quillon::openssl;
using quillon::Ccm;
using quillon::Gcm;

void registerAeadSuites() {
  using quillon_tests::makeAeadDifferentialTests;
  using quillon_tests::makeAeadPropTests;
  using quillon_tests::registerTests;
  // Every AEAD binding, and the generic constructions over the OpenSSL AES
  // and nettle TwoFish bindings.
  registerTests("OpenSSL-AES128GCM", makeAeadPropTests<openssl::AES128GCM>());
  registerTests("OpenSSL-AES192GCM", makeAeadPropTests<openssl::AES192GCM>());
  registerTests("OpenSSL-AES256GCM", makeAeadPropTests<openssl::AES256GCM>());
  registerTests("OpenSSL-AES128CCM", makeAeadPropTests<openssl::AES128CCM>());
  registerTests("OpenSSL-AES192CCM", makeAeadPropTests<openssl::AES192CCM>());
  registerTests("OpenSSL-AES256CCM", makeAeadPropTests<openssl::AES256CCM>());
  registerTests("OpenSSL-ChaCha20Poly1305", makeAeadPropTests<openssl::ChaCha20Poly1305>());
  registerTests("nettle-AES128GCM", makeAeadPropTests<nettle::AES128GCM>());
  registerTests("nettle-AES192GCM", makeAeadPropTests<nettle::AES192GCM>());
  registerTests("nettle-AES256GCM", makeAeadPropTests<nettle::AES256GCM>());
  registerTests("nettle-AES128CCM", makeAeadPropTests<nettle::AES128CCM>());
  registerTests("nettle-AES192CCM", makeAeadPropTests<nettle::AES192CCM>());
  registerTests("nettle-AES256CCM", makeAeadPropTests<nettle::AES256CCM>());
  registerTests("nettle-ChaCha20Poly1305", makeAeadPropTests<nettle::ChaCha20Poly1305>());
  registerTests("Botan-AES128GCM", makeAeadPropTests<botan::AES128GCM>());
  registerTests("Botan-AES192GCM", makeAeadPropTests<botan::AES192GCM>());
  registerTests("Botan-AES256GCM", makeAeadPropTests<botan::AES256GCM>());
  registerTests("Botan-AES128CCM", makeAeadPropTests<botan::AES128CCM>());
  registerTests("Botan-AES192CCM", makeAeadPropTests<botan::AES192CCM>());
  registerTests("Botan-AES256CCM", makeAeadPropTests<botan::AES256CCM>());
  registerTests("Botan-ChaCha20Poly1305", makeAeadPropTests<botan::ChaCha20Poly1305>());
  registerTests("Botan-TwoFishGCM", makeAeadPropTests<botan::TwoFishGCM>());
  registerTests("Botan-TwoFishCCM", makeAeadPropTests<botan::TwoFishCCM>());
  registerTests("Gcm-over-OpenSSL-AES128", makeAeadPropTests<Gcm<openssl::AES128>>());
  registerTests("Gcm-over-OpenSSL-AES192", makeAeadPropTests<Gcm<openssl::AES192>>());
  registerTests("Gcm-over-OpenSSL-AES256", makeAeadPropTests<Gcm<openssl::AES256>>());
  registerTests("Ccm-over-OpenSSL-AES128", makeAeadPropTests<Ccm<openssl::AES128>>());
  registerTests("Ccm-over-OpenSSL-AES192", makeAeadPropTests<Ccm<openssl::AES192>>());
  registerTests("Ccm-over-OpenSSL-AES256", makeAeadPropTests<Ccm<openssl::AES256>>());
  registerTests("Gcm-over-nettle-TwoFish", makeAeadPropTests<Gcm<nettle::TwoFish>>());
  registerTests("Ccm-over-nettle-TwoFish", makeAeadPropTests<Ccm<nettle::TwoFish>>());

  // Each native GCM and CCM against the generic construction over its own
  // library's AES; the second named is the reference.
  registerTests("OpenSSL-AES128GCM-against-Gcm",
                makeAeadDifferentialTests<openssl::AES128GCM, Gcm<openssl::AES128>>());
  registerTests("OpenSSL-AES192GCM-against-Gcm",
                makeAeadDifferentialTests<openssl::AES192GCM, Gcm<openssl::AES192>>());
  registerTests("OpenSSL-AES256GCM-against-Gcm",
                makeAeadDifferentialTests<openssl::AES256GCM, Gcm<openssl::AES256>>());
  registerTests("OpenSSL-AES128CCM-against-Ccm",
                makeAeadDifferentialTests<openssl::AES128CCM, Ccm<openssl::AES128>>());
  registerTests("OpenSSL-AES192CCM-against-Ccm",
                makeAeadDifferentialTests<openssl::AES192CCM, Ccm<openssl::AES192>>());
  registerTests("OpenSSL-AES256CCM-against-Ccm",
                makeAeadDifferentialTests<openssl::AES256CCM, Ccm<openssl::AES256>>());
  registerTests("nettle-AES128GCM-against-Gcm",
                makeAeadDifferentialTests<nettle::AES128GCM, Gcm<nettle::AES128>>());
  registerTests("nettle-AES192GCM-against-Gcm",
                makeAeadDifferentialTests<nettle::AES192GCM, Gcm<nettle::AES192>>());
  registerTests("nettle-AES256GCM-against-Gcm",
                makeAeadDifferentialTests<nettle::AES256GCM, Gcm<nettle::AES256>>());
  registerTests("nettle-AES128CCM-against-Ccm",
                makeAeadDifferentialTests<nettle::AES128CCM, Ccm<nettle::AES128>>());
  registerTests("nettle-AES192CCM-against-Ccm",
                makeAeadDifferentialTests<nettle::AES192CCM, Ccm<nettle::AES192>>());
  registerTests("nettle-AES256CCM-against-Ccm",
                makeAeadDifferentialTests<nettle::AES256CCM, Ccm<nettle::AES256>>());
  registerTests("Botan-AES128GCM-against-Gcm",
                makeAeadDifferentialTests<botan::AES128GCM, Gcm<botan::AES128>>());
  registerTests("Botan-AES192GCM-against-Gcm",
                makeAeadDifferentialTests<botan::AES192GCM, Gcm<botan::AES192>>());
  registerTests("Botan-AES256GCM-against-Gcm",
                makeAeadDifferentialTests<botan::AES256GCM, Gcm<botan::AES256>>());
  registerTests("Botan-AES128CCM-against-Ccm",
                makeAeadDifferentialTests<botan::AES128CCM, Ccm<botan::AES128>>());
  registerTests("Botan-AES192CCM-against-Ccm",
                makeAeadDifferentialTests<botan::AES192CCM, Ccm<botan::AES192>>());
  registerTests("Botan-AES256CCM-against-Ccm",
                makeAeadDifferentialTests<botan::AES256CCM, Ccm<botan::AES256>>());
  // Independent ChaCha20-Poly1305s against OpenSSL's, and the generic
  // constructions over nettle's TwoFish against Botan's TwoFish modes.
  registerTests("nettle-ChaCha20Poly1305-against-OpenSSL",
                makeAeadDifferentialTests<nettle::ChaCha20Poly1305, openssl::ChaCha20Poly1305>());
  registerTests("Botan-ChaCha20Poly1305-against-OpenSSL",
                makeAeadDifferentialTests<botan::ChaCha20Poly1305, openssl::ChaCha20Poly1305>());
  registerTests("Gcm-over-nettle-TwoFish-against-Botan",
                makeAeadDifferentialTests<Gcm<nettle::TwoFish>, botan::TwoFishGCM>());
  registerTests("Ccm-over-nettle-TwoFish-against-Botan",
                makeAeadDifferentialTests<Ccm<nettle::TwoFish>, botan::TwoFishCCM>());
}

}  // namespace quillon_check
