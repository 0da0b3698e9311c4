// A user's test driver: the property suites on the toy primitives, and the
// SHA-256 known-answer suite on the OpenSSL binding that ships with
// quillon-tests.

#include <gtest/gtest.h>

#include <primitives/openssl/digests.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/quillon_tests.hpp>

#include "toy_cipher.hpp"
#include "toy_hash.hpp"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  quillon_tests::installSummary();  // one line per suite at the end, as quillon-check prints
  quillon_tests::registerTests("ToyFnvHash", quillon_tests::makeHashPropTests<ToyFnvHash>());
  quillon_tests::registerTests("ToyXorCipher",
                               quillon_tests::makeBlockCipherPropTests<ToyXorCipher>());
  quillon_tests::registerTests("OpenSSL-SHA256",
                               quillon_tests::makeSHA256Tests<quillon::openssl::SHA256>());
  return RUN_ALL_TESTS();
}
