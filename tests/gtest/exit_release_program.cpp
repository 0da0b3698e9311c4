// Tests registered through quillon_tests::gtest that hold objects needing a
// library's static state when they are destroyed must not crash the program
// at exit. Two such holders: the Botan AES suite, whose keys live in Botan's
// locked memory pool, and a stand-in pool of our own that aborts the program
// when a key outlives it. Run as a whole program: passing means exit status 0.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <primitives/botan/aes.hpp>
#include <quillon_tests/aes.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/test_tree.hpp>

namespace {

// Trivially destructible, so it can still be read after the pool is gone.
bool poolDestroyed = false;

struct Pool {
  Pool() = default;
  Pool(const Pool&) = delete;
  Pool& operator=(const Pool&) = delete;
  ~Pool() { poolDestroyed = true; }
};

// Constructed on first use, like Botan's pool: after GoogleTest's registry.
void usePool() { static Pool pool; }

struct PooledKey {
  PooledKey() { usePool(); }
  PooledKey(const PooledKey&) = delete;
  PooledKey& operator=(const PooledKey&) = delete;
  ~PooledKey() {
    if (poolDestroyed) {
      std::fputs("a key of a registered test outlived its memory pool\n", stderr);
      std::abort();
    }
  }
};

std::vector<quillon_tests::Test> pooledKeyTests() {
  std::vector<quillon_tests::Test> tests;
  for (int i = 0; i < 3; ++i) {
    auto key = std::make_shared<const PooledKey>();
    tests.push_back(quillon_tests::testCase("UsesKey" + std::to_string(i), [key] { (void)key; }));
  }
  return tests;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // A first registration before any key exists: the release registered by
  // it alone would run too late for the keys made after it.
  quillon_tests::registerTests("Empty", quillon_tests::testGroup("Nothing", {}));
  quillon_tests::registerTests("PooledKeys", pooledKeyTests());
  quillon_tests::registerTests("Botan-AES128", quillon_tests::makeAESTests<quillon::botan::AES128>());
  return RUN_ALL_TESTS();
}
