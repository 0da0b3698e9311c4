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
// MD the file gives for the record before (from Seed for the first record of
// a category), so it stands alone and a failure names its checkpoint. Every chain runs through hashStrict; the first
// record of each file runs it once more through hash over 13-byte chunks
// (13 splits every message of every chain, the shortest being 28 bytes).
// A record without COUNT or MD, or with neither a record before it holding
// an MD nor a Seed before the category's records, is skipped. Nothing is appended: the message suites carry the
// property group.

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon_tests/detail/kat_selection.hpp>
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

/// The layout of the Monte Carlo suite of `variant` ("SHA1" ... "SHA512_256",
/// "SHA3_224" ... "SHA3_512"); std::invalid_argument for any other name.
KatLayout monteLayout(std::string_view variant);

/// Where a checkpoint's chain started and how it was computed, for a failure report.
std::string monteNote(const KatRecord& record);

template <class D>
void runMonteTest(const KatRecord& record) {
  const auto chain = static_cast<MonteChain>(record.code());
  const quillon::ByteString seed = record.bytes("seed");
  const quillon::ByteString expected = record.bytes("MD");
  const quillon::ByteString contiguous = monteCheckpoint<D>(chain, seed, MonteFeed::contiguous);
  // The file's first checkpoint also runs the chunked chain: once per file
  // keeps the suite's cost close to the chains it must compute anyway.
  if (record.record() != 1) {
    checkKnownAnswer(record, "MD", expected.view(), {contiguous.view()});
    return;
  }
  const quillon::ByteString chunked = monteCheckpoint<D>(chain, seed, MonteFeed::chunked);
  checkKnownAnswer(record, "MD", expected.view(), {contiguous.view(), chunked.view()});
}

template <class D>
std::vector<Test> getMonteTests(std::string_view variant, const SourceLocation& where) {
  static_assert(quillon::diagnoseHash<D>());
  return makeKatTests(monteLayout(variant), {.run = &runMonteTest<D>, .note = &monteNote}, where);
}

}  // namespace detail

/// The record selection of the Monte Carlo suite of `variant` ("SHA1" ...
/// "SHA512_256", "SHA3_224" ... "SHA3_512") without building tests.
/// Throws std::invalid_argument for any other name.
SuiteDiagnostics diagnoseMonteVectors(std::string_view variant);

// Each builder, then the same with a witness that only selects the digest
// type. `where`, by default the caller's line, locates a NoVectorApplies test.
template <class D> std::vector<Test> makeSHA1MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA1", where);
}
template <class D>
std::vector<Test> makeSHA1MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA1MonteTests<D>(where);
}
template <class D> std::vector<Test> makeSHA224MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA224", where);
}
template <class D>
std::vector<Test> makeSHA224MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA224MonteTests<D>(where);
}
template <class D> std::vector<Test> makeSHA256MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA256", where);
}
template <class D>
std::vector<Test> makeSHA256MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA256MonteTests<D>(where);
}
template <class D> std::vector<Test> makeSHA384MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA384", where);
}
template <class D>
std::vector<Test> makeSHA384MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA384MonteTests<D>(where);
}
template <class D> std::vector<Test> makeSHA512MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA512", where);
}
template <class D>
std::vector<Test> makeSHA512MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA512MonteTests<D>(where);
}
template <class D> std::vector<Test> makeSHA512_224MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA512_224", where);
}
template <class D>
std::vector<Test> makeSHA512_224MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA512_224MonteTests<D>(where);
}
template <class D> std::vector<Test> makeSHA512_256MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA512_256", where);
}
template <class D>
std::vector<Test> makeSHA512_256MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA512_256MonteTests<D>(where);
}
template <class D> std::vector<Test> makeSHA3_224MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA3_224", where);
}
template <class D>
std::vector<Test> makeSHA3_224MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA3_224MonteTests<D>(where);
}
template <class D> std::vector<Test> makeSHA3_256MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA3_256", where);
}
template <class D>
std::vector<Test> makeSHA3_256MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA3_256MonteTests<D>(where);
}
template <class D> std::vector<Test> makeSHA3_384MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA3_384", where);
}
template <class D>
std::vector<Test> makeSHA3_384MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA3_384MonteTests<D>(where);
}
template <class D> std::vector<Test> makeSHA3_512MonteTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getMonteTests<D>("SHA3_512", where);
}
template <class D>
std::vector<Test> makeSHA3_512MonteTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA3_512MonteTests<D>(where);
}

}  // namespace quillon_tests
