// Prints the tree of names every public builder gives, without running a
// test: a title line per builder call, then its groups and leaves indented
// two spaces a level, property leaves marked "# property" and groups
// "# group". The known-answer builders read the directory given as the only
// argument (tests/listing/data: a few records of each shipped layout).
// compare_listing.cmake compares the output with builders.golden.
//
// Toy types keep it cheap and its names fixed: the FNV hash for every
// digest suite, the 128-bit toy cipher (128-bit keys only, so records of
// other key sizes are skipped) for every block-cipher suite, GCM and CCM
// over it; OpenSSL's AES-128-CCM stands for an AEAD without lazy members
// and its ChaCha20-Poly1305 for that suite.

#include <stdlib.h>

#include <iostream>
#include <string>
#include <vector>

#include <primitives/openssl/aead.hpp>
#include <quillon/quillon.hpp>
#include <quillon_tests/quillon_tests.hpp>

#include "block_cipher/faulty_ciphers.hpp"
#include "toy_hash.hpp"

namespace {

using namespace quillon_tests;
using faulty::SoundToy;
using GcmToy = quillon::Gcm<SoundToy>;
using CcmToy = quillon::Ccm<SoundToy>;
using StrictCcm = quillon::openssl::AES128CCM;
using ChaCha = quillon::openssl::ChaCha20Poly1305;

/// The toy cipher with a `cmac` member of its own, which the "CMAC property"
/// group compares with the generic construction.
struct CmacToy : faulty::Toy<CmacToy> {
  [[nodiscard]] quillon::ByteString cmac(quillon::ByteView message) const {
    return quillon::generic::cmac(*this, message);
  }
};

void print(const Test& test, int depth) {
  std::cout << std::string(2 * static_cast<std::size_t>(depth), ' ') << test.name()
            << (test.kind() == TestKind::property ? "  # property"
                : test.kind() == TestKind::group  ? "  # group"
                                                  : "")
            << '\n';
  for (const Test& child : test.children()) print(child, depth + 1);
}

void list(const char* call, const std::vector<Test>& tests) {
  std::cout << call << '\n';
  for (const Test& test : tests) print(test, 1);
}
void list(const char* call, const Test& test) { list(call, std::vector<Test>{test}); }

}  // namespace

/// The call as written, then its tree.
#define LIST(...) list(#__VA_ARGS__, __VA_ARGS__)

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " <data directory>\n";
    return 2;
  }
  ::setenv("quillon_tests_datadir", argv[1], 1);

  LIST(makeHashPropTests<ToyFnvHash>());
  LIST(makeMD5Tests<ToyFnvHash>());
  LIST(makeSHA1Tests<ToyFnvHash>());
  LIST(makeSHA224Tests<ToyFnvHash>());
  LIST(makeSHA256Tests<ToyFnvHash>());
  LIST(makeSHA384Tests<ToyFnvHash>());
  LIST(makeSHA512Tests<ToyFnvHash>());
  LIST(makeSHA512_224Tests<ToyFnvHash>());
  LIST(makeSHA512_256Tests<ToyFnvHash>());
  LIST(makeSHA3_224Tests<ToyFnvHash>());
  LIST(makeSHA3_256Tests<ToyFnvHash>());
  LIST(makeSHA3_384Tests<ToyFnvHash>());
  LIST(makeSHA3_512Tests<ToyFnvHash>());
  LIST(makeSHA1MonteTests<ToyFnvHash>());
  LIST(makeSHA224MonteTests<ToyFnvHash>());
  LIST(makeSHA256MonteTests<ToyFnvHash>());
  LIST(makeSHA384MonteTests<ToyFnvHash>());
  LIST(makeSHA512MonteTests<ToyFnvHash>());
  LIST(makeSHA512_224MonteTests<ToyFnvHash>());
  LIST(makeSHA512_256MonteTests<ToyFnvHash>());
  LIST(makeSHA3_224MonteTests<ToyFnvHash>());
  LIST(makeSHA3_256MonteTests<ToyFnvHash>());
  LIST(makeSHA3_384MonteTests<ToyFnvHash>());
  LIST(makeSHA3_512MonteTests<ToyFnvHash>());
  LIST(makeSHA1HMACTests<ToyFnvHash>());
  LIST(makeSHA224HMACTests<ToyFnvHash>());
  LIST(makeSHA256HMACTests<ToyFnvHash>());
  LIST(makeSHA384HMACTests<ToyFnvHash>());  // no [L=48] category: NoVectorApplies
  LIST(makeSHA512HMACTests<ToyFnvHash>());
  LIST(makeHashDifferentialTests<ToyFnvHash, ToyFnvHash>());

  LIST(makeBlockCipherPropTests<SoundToy>());
  LIST(makeModeConsistencyTests<SoundToy>());
  LIST(makeCMACPropTests<CmacToy>());
  LIST(makeBlockCipherDifferentialTests<SoundToy, SoundToy>());
  LIST(makeAESTests<SoundToy>());
  LIST(makeTwoFishTests<SoundToy>());
  LIST(makeAESCTRTests<SoundToy>());
  LIST(makeAESMonteTests<SoundToy>());
  LIST(makeCMACTests<SoundToy>());
  LIST(makeTwoFishCMACTests<SoundToy>());

  LIST(makeAeadPropTests<GcmToy>());
  LIST(makeAeadPropTests<StrictCcm>());
  LIST(makeAeadDifferentialTests<GcmToy, GcmToy>());
  LIST(makeGCMTests<GcmToy>());
  LIST(makeCCMTests<CcmToy>());
  LIST(makeChaCha20Poly1305Tests<ChaCha>());

  LIST(makeAllAESTests<CmacToy>());
  LIST(makeAllTwoFishTests<SoundToy>());
  LIST(makeAllMD5Tests<ToyFnvHash>());
  LIST(makeAllSHA1Tests<ToyFnvHash>());
  LIST(makeAllSHA224Tests<ToyFnvHash>());
  LIST(makeAllSHA256Tests<ToyFnvHash>());
  LIST(makeAllSHA384Tests<ToyFnvHash>());
  LIST(makeAllSHA512Tests<ToyFnvHash>());
  LIST(makeAllSHA512_224Tests<ToyFnvHash>());
  LIST(makeAllSHA512_256Tests<ToyFnvHash>());
  LIST(makeAllSHA3_224Tests<ToyFnvHash>());
  LIST(makeAllSHA3_256Tests<ToyFnvHash>());
  LIST(makeAllSHA3_384Tests<ToyFnvHash>());
  LIST(makeAllSHA3_512Tests<ToyFnvHash>());
  return 0;
}
