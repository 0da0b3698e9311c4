// Locations on the test tree: what withLocation attaches, what the plain
// runner reports, and where the property builders locate their tests.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <quillon/cmac.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/differential.hpp>
#include <quillon_tests/hash_properties.hpp>
#include <quillon_tests/mode_consistency.hpp>
#include <quillon_tests/mode_kat.hpp>
#include <quillon_tests/runner.hpp>
#include <quillon_tests/test_tree.hpp>

#include "toy_cipher.hpp"
#include "toy_hash.hpp"

namespace {

using namespace quillon_tests;
// Inside TEST bodies, plain "Test" names GoogleTest's base class.
using TestTree = quillon_tests::Test;

SourceLocation callerOf(const SourceLocation& where = SourceLocation::current()) { return where; }

TEST(SourceLocation, DefaultArgumentGivesTheCallersFileAndLine) {
  const unsigned line = __LINE__ + 1;
  const SourceLocation where = callerOf();
  EXPECT_EQ(where.file(), __FILE__);
  EXPECT_EQ(where.line(), line);
  EXPECT_EQ(where.text(), std::string(__FILE__) + ":" + std::to_string(line));
}

TEST(SourceLocation, UnknownUntilGivenAndAtLineKeepsTheFile) {
  const SourceLocation unknown;
  EXPECT_FALSE(unknown.known());
  EXPECT_EQ(unknown.file(), "");
  EXPECT_EQ(unknown.text(), "");
  const SourceLocation record("data/Test/KAT_AES/CBCMMT128e.rsp", 12);
  const SourceLocation next = record.atLine(20);
  EXPECT_TRUE(next.known());
  EXPECT_EQ(next.text(), "data/Test/KAT_AES/CBCMMT128e.rsp:20");
  EXPECT_EQ(record.line(), 12u);
  EXPECT_NE(next, record);
  EXPECT_EQ(next, SourceLocation("data/Test/KAT_AES/CBCMMT128e.rsp", 20));
}

// A group attaches its location to the tests beneath it that have none and
// leaves more precise ones alone; a located subgroup passes on its own.
TEST(WithLocation, NearestLocatedAncestorWins) {
  const SourceLocation group("builder.hpp", 1), inner("inner.rsp", 2), own("own.rsp", 3),
      innerOwn("inner.rsp", 9);
  const TestTree tree = withLocation(
      testGroup("root",
                {withLocation(testCase("own", [] {}), own), testCase("bare", [] {}),
                 withLocation(testGroup("inner", {testCase("innerBare", [] {}),
                                                  withLocation(testCase("innerOwn", [] {}), innerOwn)}),
                              inner),
                 testGroup("unlocated", {testCase("deep", [] {})})}),
      group);

  const std::vector<std::pair<std::string, SourceLocation>> expected = {
      {"root/own", own},
      {"root/bare", group},
      {"root/inner/innerBare", inner},
      {"root/inner/innerOwn", innerOwn},
      {"root/unlocated/deep", group}};
  std::vector<std::pair<std::string, SourceLocation>> seen;
  for (const LeafResult& result : runTest(tree)) seen.emplace_back(result.pathText(), result.location);
  ASSERT_EQ(seen.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(seen[i].first, expected[i].first);
    EXPECT_EQ(seen[i].second.text(), expected[i].second.text()) << seen[i].first;
  }
  EXPECT_EQ(tree.location(), group);
  // Attached to a leaf directly, a location replaces the leaf's own.
  EXPECT_EQ(withLocation(withLocation(testCase("x", [] {}), own), inner).location(), inner);
}

// Every leaf of `tests` with its location, "path @ file:line".
std::vector<std::string> leafLocations(const std::vector<TestTree>& tests) {
  std::vector<std::string> out;
  auto visit = [&out](const TestTree& test, const std::string& path, auto& self) -> void {
    if (test.kind() == TestKind::group) {
      for (const TestTree& child : test.children()) self(child, path + test.name() + "/", self);
      return;
    }
    out.push_back(path + test.name() + " @ " + test.location().text());
  };
  for (const TestTree& test : tests) visit(test, "", visit);
  return out;
}

// The toy cipher with a CMAC of its own, which makeCMACPropTests requires.
class ToyCmacCipher {
 public:
  static int blockSize() { return ToyXorCipher::blockSize(); }
  static int keyLength() { return ToyXorCipher::keyLength(); }
  static std::optional<ToyCmacCipher> buildKey(quillon::ByteView key) {
    std::optional<ToyXorCipher> inner = ToyXorCipher::buildKey(key);
    if (!inner) return std::nullopt;
    return ToyCmacCipher(*inner);
  }
  quillon::ByteString encryptBlock(quillon::ByteView blocks) const { return inner_.encryptBlock(blocks); }
  quillon::ByteString decryptBlock(quillon::ByteView blocks) const { return inner_.decryptBlock(blocks); }
  quillon::ByteString cmac(quillon::ByteView message) const { return quillon::generic::cmac(inner_, message); }

 private:
  explicit ToyCmacCipher(ToyXorCipher inner) : inner_(std::move(inner)) {}
  ToyXorCipher inner_;
};

// Each property builder, called from the line after `line`, locates every
// property at that call, whether called with the template argument or a
// witness (the known-answer builders that append property groups are
// checked with their suites).
TEST(PropertyBuilders, LocateEveryPropertyAtTheBuildersCall) {
  struct Built {
    const char* builder;
    std::vector<TestTree> tests;
    unsigned line;
  };
  std::vector<Built> built;
  unsigned line = __LINE__ + 1;
  built.push_back({"makeHashPropTests<D>", {makeHashPropTests<ToyFnvHash>()}, line});
  line = __LINE__ + 1;
  built.push_back({"makeHashPropTests(witness)", {makeHashPropTests(ToyFnvHash{})}, line});
  line = __LINE__ + 1;
  built.push_back({"makeBlockCipherPropTests<K>", makeBlockCipherPropTests<ToyXorCipher>(), line});
  const ToyXorCipher key = *ToyXorCipher::buildKey(quillon::ByteString{1, 2, 3, 4, 5, 6, 7, 8});
  line = __LINE__ + 1;
  built.push_back({"makeBlockCipherPropTests(witness)", makeBlockCipherPropTests(key), line});
  line = __LINE__ + 1;
  built.push_back({"makeModeConsistencyTests<K>", makeModeConsistencyTests<ToyXorCipher>(), line});
  line = __LINE__ + 1;
  built.push_back({"makeModeConsistencyTests(witness)", makeModeConsistencyTests(key), line});
  line = __LINE__ + 1;
  built.push_back({"makeHashDifferentialTests<D, R>", makeHashDifferentialTests<ToyFnvHash, ToyFnvHash>(), line});
  line = __LINE__ + 1;
  built.push_back({"makeHashDifferentialTests(witnesses)", makeHashDifferentialTests(ToyFnvHash{}, ToyFnvHash{}), line});
  line = __LINE__ + 1;
  built.push_back({"<K, R>", makeBlockCipherDifferentialTests<ToyXorCipher, ToyXorCipher>(), line});
  line = __LINE__ + 1;
  built.push_back({"makeBlockCipherDifferentialTests(witnesses)", makeBlockCipherDifferentialTests(key, key), line});
  line = __LINE__ + 1;
  built.push_back({"makeCMACPropTests<K>", {makeCMACPropTests<ToyCmacCipher>()}, line});
  line = __LINE__ + 1;
  built.push_back({"makeCMACPropTests(witness)", {makeCMACPropTests(*ToyCmacCipher::buildKey(quillon::ByteString(8, 1)))}, line});

  for (const Built& b : built) {
    const std::vector<std::string> leaves = leafLocations(b.tests);
    EXPECT_FALSE(leaves.empty()) << b.builder;
    const std::string suffix = " @ " + std::string(__FILE__) + ":" + std::to_string(b.line);
    for (const std::string& leaf : leaves) EXPECT_TRUE(leaf.ends_with(suffix)) << b.builder << ": " << leaf;
    for (const TestTree& group : b.tests) EXPECT_EQ(group.location().line(), b.line) << b.builder;
  }
}

}  // namespace
