#include <primitives/nettle/digests.hpp>
#include <primitives/openssl/digests.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/quillon_tests.hpp>

#include "suites.hpp"

namespace quillon_check {

namespace openssl = quillon::openssl;

void registerHashSuites() {
  using namespace quillon_tests;
  registerTests("OpenSSL-MD5", makeMD5Tests<openssl::MD5>());
  registerTests("OpenSSL-SHA1", makeHashPropTests<openssl::SHA1>());
  registerTests("OpenSSL-SHA224", makeHashPropTests<openssl::SHA224>());
  registerTests("OpenSSL-SHA256", makeHashPropTests<openssl::SHA256>());
  registerTests("OpenSSL-SHA384", makeHashPropTests<openssl::SHA384>());
  registerTests("OpenSSL-SHA512", makeHashPropTests<openssl::SHA512>());
}

}  // namespace quillon_check
