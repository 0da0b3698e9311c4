// The property suites on the toy primitives of examples/consumer: all a
// user of the core needs, without any bundled binding.

#include <gtest/gtest.h>

#include <quillon_tests/gtest.hpp>
#include <quillon_tests/quillon_tests.hpp>

#include "toy_cipher.hpp"
#include "toy_hash.hpp"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  quillon_tests::registerTests("ToyFnvHash", quillon_tests::makeHashPropTests<ToyFnvHash>());
  quillon_tests::registerTests("ToyXorCipher",
                               quillon_tests::makeBlockCipherPropTests<ToyXorCipher>());
  return RUN_ALL_TESTS();
}
