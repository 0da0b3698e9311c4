#pragma once
// The digest Monte Carlo suites: NIST's "<variant>Monte.rsp" files, beside
// the message files ("Test/KAT_SHA" for SHA-1 and SHA-2, "Test/KAT_SHA3" for
// SHA-3).
//
// A file holds a "Seed" and checkpoint records ("COUNT", "MD"). Each
// checkpoint is reached from the one before it (from Seed for the first
// record) by a chain of a thousand digests:
//  - SHA-1 and SHA-2: MD0 = MD1 = MD2 = seed; for i = 3 .. 1002,
//    MDi = H(MD(i-3) || MD(i-2) || MD(i-1)); the checkpoint is MD1002;
//  - SHA-3: MD0 = seed; MDi = H(MD(i-1)) for i = 1 .. 1000; the checkpoint
//    is MD1000.
// makeSHA256MonteTests<D>() reads the file named "SHA256Monte" plus an
// extension (the character after the name is neither a digit nor "_", so
// "SHA512Monte" does not take "SHA512_224Monte.rsp") and makes one test per
// record, in file order, named MonteSHA256-<COUNT>. A test starts from the
// MD the file gives for the record before, so it stands alone and a failure
// names its checkpoint. Every chain runs through hashStrict; the first
// record of each file runs it once more through hash over 13-byte chunks
// (13 splits every message of every chain, the shortest being 28 bytes).
// A record without COUNT or MD, or whose starting point the file does not
// give, is skipped. Nothing is appended: the message suites carry the
// property group.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

/// The two chain shapes NIST's digest Monte Carlo files use.
enum class MonteChain {
  threeDigests,  // SHA-1, SHA-2: each message is the last three digests
  lastDigest,    // SHA-3: each message is the last digest
};

/// How each message of a chain reaches the digest.
enum class MonteFeed {
  contiguous,  // hashStrict
  chunked,     // hash over monteChunkBytes-byte chunks
};

inline constexpr std::size_t monteChunkBytes = 13;
inline constexpr int monteIterations = 1000;

template <class D>
quillon::ByteString monteDigest(quillon::ByteView message, MonteFeed feed) {
  if (feed == MonteFeed::contiguous) return D::hashStrict(message).encode();
  return D::hash(quillon::LazyByteString::chunked(message, monteChunkBytes)).encode();
}

/// The checkpoint one Monte Carlo record expects, computed with `D` from
/// the record before's (or the file's) `seed`.
template <class D>
quillon::ByteString monteCheckpoint(MonteChain chain, quillon::ByteView seed, MonteFeed feed) {
  if (chain == MonteChain::lastDigest) {
    quillon::ByteString digest(seed);
    for (int i = 0; i < monteIterations; ++i) digest = monteDigest<D>(digest, feed);
    return digest;
  }
  // The last three digests, oldest first; the message is rebuilt in one
  // buffer so that a step costs the digest and a copy of its input.
  std::array<quillon::ByteString, 3> last{quillon::ByteString(seed), quillon::ByteString(seed),
                                          quillon::ByteString(seed)};
  std::vector<quillon::Byte> message;
  for (int i = 0; i < monteIterations; ++i) {
    message.clear();
    for (const quillon::ByteString& digest : last)
      message.insert(message.end(), digest.begin(), digest.end());
    quillon::ByteString next = monteDigest<D>(message, feed);
    last[0] = std::move(last[1]);
    last[1] = std::move(last[2]);
    last[2] = std::move(next);
  }
  return last[2];
}

/// One digest Monte Carlo suite: its file name and chain.
struct MonteSuite {
  std::string_view variant;    // "SHA256", "SHA3_256": names the file and the tests
  std::string_view directory;  // "Test/KAT_SHA" or "Test/KAT_SHA3"
  MonteChain chain;
};

/// A checkpoint record as found while the list is built, its fields still
/// text: views into the vector file, which MonteVectors keeps alive.
struct MonteVector {
  std::string name;           // e.g. MonteSHA256-7
  std::string_view seed;      // hex: the file's Seed or the record before's MD
  std::string_view digest;    // "MD", hex
  std::string_view path;      // the vector file
  std::size_t record;         // position in its file, from 1
  bool alsoChunked;           // run the chain through hash in chunks too
};

struct MonteVectors {
  std::vector<std::shared_ptr<const void>> files;
  std::vector<MonteVector> vectors;
};

/// Finds the records of `suite`'s file. With `diagnostics`, also records per
/// file what was used and what was skipped.
MonteVectors loadMonteVectors(const MonteSuite& suite, SuiteDiagnostics* diagnostics = nullptr);

struct DecodedMonteVector {
  quillon::ByteString seed;
  quillon::ByteString digest;
};

DecodedMonteVector decodeMonteVector(const MonteVector& vector);

/// Where a checkpoint came from and how it was computed, for a failure report.
std::string monteOrigin(const MonteSuite& suite, const MonteVector& vector);

template <class D>
std::vector<Test> getMonteTests(const MonteSuite& suite) {
  static_assert(quillon::diagnoseHash<D>());
  const auto all = std::make_shared<const MonteVectors>(loadMonteVectors(suite));
  std::vector<Test> tests;
  tests.reserve(all->vectors.size());
  for (const MonteVector& found : all->vectors) {
    std::shared_ptr<const MonteVector> vector(all, &found);
    tests.push_back(testCase(found.name, [vector, suite] {
      const DecodedMonteVector decoded = decodeMonteVector(*vector);
      const quillon::ByteString contiguous =
          monteCheckpoint<D>(suite.chain, decoded.seed, MonteFeed::contiguous);
      if (!vector->alsoChunked) {
        if (contiguous != decoded.digest)
          assertEqual(vector->name, decoded.digest, contiguous, monteOrigin(suite, *vector));
        return;
      }
      const std::pair computed{contiguous,
                               monteCheckpoint<D>(suite.chain, decoded.seed, MonteFeed::chunked)};
      const std::pair expected{decoded.digest, decoded.digest};
      if (computed != expected) assertEqual(vector->name, expected, computed, monteOrigin(suite, *vector));
    }));
  }
  return tests;
}

inline constexpr MonteSuite sha1Monte{"SHA1", "Test/KAT_SHA", MonteChain::threeDigests};
inline constexpr MonteSuite sha224Monte{"SHA224", "Test/KAT_SHA", MonteChain::threeDigests};
inline constexpr MonteSuite sha256Monte{"SHA256", "Test/KAT_SHA", MonteChain::threeDigests};
inline constexpr MonteSuite sha384Monte{"SHA384", "Test/KAT_SHA", MonteChain::threeDigests};
inline constexpr MonteSuite sha512Monte{"SHA512", "Test/KAT_SHA", MonteChain::threeDigests};
inline constexpr MonteSuite sha512_224Monte{"SHA512_224", "Test/KAT_SHA", MonteChain::threeDigests};
inline constexpr MonteSuite sha512_256Monte{"SHA512_256", "Test/KAT_SHA", MonteChain::threeDigests};
inline constexpr MonteSuite sha3_224Monte{"SHA3_224", "Test/KAT_SHA3", MonteChain::lastDigest};
inline constexpr MonteSuite sha3_256Monte{"SHA3_256", "Test/KAT_SHA3", MonteChain::lastDigest};
inline constexpr MonteSuite sha3_384Monte{"SHA3_384", "Test/KAT_SHA3", MonteChain::lastDigest};
inline constexpr MonteSuite sha3_512Monte{"SHA3_512", "Test/KAT_SHA3", MonteChain::lastDigest};

}  // namespace detail

/// The record selection of the Monte Carlo suite of `variant` ("SHA1" ...
/// "SHA512_256", "SHA3_224" ... "SHA3_512") without building tests.
/// Throws std::invalid_argument for any other name.
SuiteDiagnostics diagnoseMonteVectors(std::string_view variant);

template <class D> std::vector<Test> makeSHA1MonteTests() { return detail::getMonteTests<D>(detail::sha1Monte); }
template <class D> std::vector<Test> makeSHA224MonteTests() { return detail::getMonteTests<D>(detail::sha224Monte); }
template <class D> std::vector<Test> makeSHA256MonteTests() { return detail::getMonteTests<D>(detail::sha256Monte); }
template <class D> std::vector<Test> makeSHA384MonteTests() { return detail::getMonteTests<D>(detail::sha384Monte); }
template <class D> std::vector<Test> makeSHA512MonteTests() { return detail::getMonteTests<D>(detail::sha512Monte); }
template <class D> std::vector<Test> makeSHA512_224MonteTests() { return detail::getMonteTests<D>(detail::sha512_224Monte); }
template <class D> std::vector<Test> makeSHA512_256MonteTests() { return detail::getMonteTests<D>(detail::sha512_256Monte); }
template <class D> std::vector<Test> makeSHA3_224MonteTests() { return detail::getMonteTests<D>(detail::sha3_224Monte); }
template <class D> std::vector<Test> makeSHA3_256MonteTests() { return detail::getMonteTests<D>(detail::sha3_256Monte); }
template <class D> std::vector<Test> makeSHA3_384MonteTests() { return detail::getMonteTests<D>(detail::sha3_384Monte); }
template <class D> std::vector<Test> makeSHA3_512MonteTests() { return detail::getMonteTests<D>(detail::sha3_512Monte); }

// The same; the witness only selects the digest type.
template <class D> std::vector<Test> makeSHA1MonteTests(const D&) { return makeSHA1MonteTests<D>(); }
template <class D> std::vector<Test> makeSHA224MonteTests(const D&) { return makeSHA224MonteTests<D>(); }
template <class D> std::vector<Test> makeSHA256MonteTests(const D&) { return makeSHA256MonteTests<D>(); }
template <class D> std::vector<Test> makeSHA384MonteTests(const D&) { return makeSHA384MonteTests<D>(); }
template <class D> std::vector<Test> makeSHA512MonteTests(const D&) { return makeSHA512MonteTests<D>(); }
template <class D> std::vector<Test> makeSHA512_224MonteTests(const D&) { return makeSHA512_224MonteTests<D>(); }
template <class D> std::vector<Test> makeSHA512_256MonteTests(const D&) { return makeSHA512_256MonteTests<D>(); }
template <class D> std::vector<Test> makeSHA3_224MonteTests(const D&) { return makeSHA3_224MonteTests<D>(); }
template <class D> std::vector<Test> makeSHA3_256MonteTests(const D&) { return makeSHA3_256MonteTests<D>(); }
template <class D> std::vector<Test> makeSHA3_384MonteTests(const D&) { return makeSHA3_384MonteTests<D>(); }
template <class D> std::vector<Test> makeSHA3_512MonteTests(const D&) { return makeSHA3_512MonteTests<D>(); }

}  // namespace quillon_tests
