#include <primitives/botan/aes.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/cmac.hpp>
#include <quillon_tests/aes.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/mode_kat.hpp>

#include "suites.hpp"

#include <string>
#include <vector>

namespace quillon_check {

namespace {

/// The AES known answers with their property groups, the CTR known answers,
/// AES Monte Carlo and AES-CMAC for one AES binding, with the property that
/// its own CMAC agrees with the generic construction. Each AES binding
/// accepts one key size, so it runs the vectors of that size and skips the
/// others. A binding without a CMAC of its own (Botan's) has no property
/// to check: quillon::cmac is then the generic construction.
template <class K>
void registerAESSuitesOf(const std::string& binding) {
  using namespace quillon_tests;
  registerTests(binding, makeAESTests<K>());
  registerTests(binding + "-CTR", makeAESCTRTests<K>());
  registerTests(binding + "-Monte", makeAESMonteTests<K>());
  std::vector<Test> cmac = makeCMACTests<K>();
  if constexpr (quillon::HasOwnCmac<K>) cmac.push_back(makeCMACPropTests<K>());
  registerTests(binding + "-CMAC", cmac);
}

}  // namespace

void registerAESSuites() {
  namespace botan = quillon::botan;
  namespace nettle = quillon::nettle;
  namespace openssl = quillon::openssl;
  registerAESSuitesOf<openssl::AES128>("OpenSSL-AES128");
  registerAESSuitesOf<openssl::AES192>("OpenSSL-AES192");
  registerAESSuitesOf<openssl::AES256>("OpenSSL-AES256");
  registerAESSuitesOf<nettle::AES128>("nettle-AES128");
  registerAESSuitesOf<nettle::AES192>("nettle-AES192");
  registerAESSuitesOf<nettle::AES256>("nettle-AES256");
  registerAESSuitesOf<botan::AES128>("Botan-AES128");
  registerAESSuitesOf<botan::AES192>("Botan-AES192");
  registerAESSuitesOf<botan::AES256>("Botan-AES256");
}

}  // namespace quillon_check
