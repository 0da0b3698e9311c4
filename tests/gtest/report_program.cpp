// A test program whose tests are meant to fail, one of each kind of report
// the GoogleTest adapter writes: a failed assertion, a known-answer failure
// of a real suite, an error, an exception of unknown type, a property that
// fails, one that gives up, one that throws, names the rerun filter has to
// escape, and a failure of each property suite (hash, block cipher, mode
// consistency, differential hash and cipher, CMAC, AEAD properties and
// differential) over a planted fault.
// compare_reports.cmake runs it under a fixed seed and compares its
// normalised output with reports.golden.

#include <gtest/gtest.h>
#include <rapidcheck.h>

#include <stdexcept>
#include <string>
#include <vector>

#include <primitives/openssl/digests.hpp>
#include <primitives/raw_digest.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/gcm.hpp>
#include <quillon_tests/aead_differential.hpp>
#include <quillon_tests/aead_properties.hpp>
#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/differential.hpp>
#include <quillon_tests/gtest.hpp>
#include <quillon_tests/md5.hpp>
#include <quillon_tests/mode_kat.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

#include "aead/faulty_aeads.hpp"
#include "support/shrink_faults.hpp"

namespace {

using quillon::ByteString;
using quillon::ByteView;
using quillon_tests::Test;

/// MD5 that hashes only the first chunk of chunked input: vectors longer
/// than the suite's first chunk fail, the others pass.
class FirstChunkMD5 : public quillon::bindings::RawDigest<FirstChunkMD5, 16> {
 public:
  explicit FirstChunkMD5(ByteString bytes) : RawDigest(std::move(bytes)) {}
  static int outputLength() { return 128; }
  static int blockLength() { return 512; }
  static FirstChunkMD5 hashStrict(ByteView message) {
    return FirstChunkMD5(quillon::openssl::MD5::hashStrict(message).encode());
  }
  static FirstChunkMD5 hash(const quillon::LazyByteString& message) {
    if (message.chunks().empty()) return hashStrict({});
    return hashStrict(message.chunks().front());
  }
};

/// The toy cipher whose own cmac leaves out the bytes after the last whole
/// block.
struct CmacDropsPartialBlock : faulty::Toy<CmacDropsPartialBlock> {
  [[nodiscard]] ByteString cmac(ByteView message) const {
    return quillon::generic::cmac(*this, message.first(message.size() / 16 * 16));
  }
};

/// The children of the group named `name` among `tests`.
std::vector<Test> groupNamed(const std::vector<Test>& tests, const std::string& name) {
  for (const Test& test : tests)
    if (test.kind() == quillon_tests::TestKind::group && test.name() == name) return test.children();
  throw std::logic_error("no group named " + name);
}

std::vector<Test> testCases() {
  using quillon_tests::testCase;
  return {
      testCase("Passes", [] { quillon_tests::assertEqual("same", ByteString{1, 2}, ByteString{1, 2}); }),
      testCase("BytesDiffer",
               [] {
                 quillon_tests::assertEqual("ciphertext", ByteString{0x00, 0x11, 0x22, 0x33},
                                            ByteString{0x00, 0x11, 0x2f, 0x33, 0x44},
                                            "vector: example.rsp, record 3");
               }),
      testCase("PairsDiffer",
               [] {
                 quillon_tests::assertEqual("output and IV", std::pair{ByteString{1}, ByteString{2}},
                                            std::pair{ByteString{1}, ByteString{3}});
               }),
      testCase("ThrowsError", [] { throw std::runtime_error("the key schedule refused 7 bytes"); }),
      testCase("ThrowsUnknown", [] { throw 42; }),
  };
}

std::vector<Test> properties() {
  using quillon_tests::testProperty;
  return {
      testProperty("HoldsAlways", [](int x) { RC_ASSERT(x == x); }),
      testProperty("FailsOnLongInput",
                   [](const std::vector<int>& values) { RC_ASSERT(values.size() < 3u); }),
      testProperty("GivesUp", [](int x) {
        RC_PRE(x != x);
        RC_ASSERT(false);
      }),
      testProperty("Throws", [](int) { throw std::runtime_error("an error inside the property"); }),
  };
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  quillon_tests::registerTests("Reports", testCases());
  quillon_tests::registerTests("Reports", quillon_tests::testGroup("Properties", properties()));
  quillon_tests::registerTests("FirstChunkMD5",
                               groupNamed(quillon_tests::makeMD5Tests<FirstChunkMD5>(), "MD5 KATs"));
  // Characters a --gtest_filter gives a meaning to, in both names.
  quillon_tests::registerTests(
      "Needs-Escaping: yes",
      quillon_tests::testCase("Nist-\"0\"*?", [] {
        quillon_tests::assertEqual("value", std::string("a"), std::string("b"));
      }));
  // One failing property of each suite, located here, at the builder's call.
  using test_support::leafNamed;
  using Md5LosingBytes = faulty_digests::MisChunkedMD5<faulty_digests::ChunkFault::losesByteAtBoundary>;
  quillon_tests::registerTests(
      "HashProperty", leafNamed({quillon_tests::makeHashPropTests<Md5LosingBytes>()}, "LazyStrictEqual"));
  quillon_tests::registerTests(
      "BlockCipherProperty",
      leafNamed(quillon_tests::makeBlockCipherPropTests<faulty::CtrLazyRestartsPerChunk>(), "CTRStrictLazyEq"));
  quillon_tests::registerTests(
      "ModeConsistency",
      leafNamed(quillon_tests::makeModeConsistencyTests<faulty::CbcReturnsFirstBlockAsIV>(), "CBCContinuation"));
  quillon_tests::registerTests(
      "HashDifferential",
      quillon_tests::makeHashDifferentialTests<Md5LosingBytes, quillon::openssl::MD5>());
  quillon_tests::registerTests(
      "CipherDifferential",
      leafNamed(quillon_tests::makeBlockCipherDifferentialTests<faulty::LittleEndianCtr, faulty::SoundToy>(),
                "CTRMatchesReference"));
  quillon_tests::registerTests("CMACProperty", quillon_tests::makeCMACPropTests<CmacDropsPartialBlock>());
  using faulty_aeads::FaultyGcm;
  using faulty_aeads::GcmFault;
  quillon_tests::registerTests(
      "AeadProperty",
      leafNamed(quillon_tests::makeAeadPropTests<FaultyGcm<GcmFault::lazyLosesPartialBlock>>(), "LazyStrictEqual"));
  quillon_tests::registerTests(
      "AeadDifferential",
      leafNamed(quillon_tests::makeAeadDifferentialTests<FaultyGcm<GcmFault::ivCutTo12>,
                                                         quillon::Gcm<quillon::openssl::AES128>>(),
                "SealMatchesReference"));
  return RUN_ALL_TESTS();
}
