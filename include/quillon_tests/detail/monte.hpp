#pragma once
// The definitions of quillon_tests/monte.hpp: the two chain shapes, and the
// test of one checkpoint.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/detail/kat_selection.hpp>
#include <quillon_tests/monte.hpp>
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
std::vector<Test> monteTests(std::string_view variant, const SourceLocation& where) {
  return makeKatTests(monteLayout(variant), {.run = &runMonteTest<D>, .note = &monteNote}, where);
}

}  // namespace detail

template <class D> std::vector<Test> makeSHA1MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA1", where);
}
template <class D> std::vector<Test> makeSHA1MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA1", where);
}
template <class D> std::vector<Test> makeSHA224MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA224", where);
}
template <class D> std::vector<Test> makeSHA224MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA224", where);
}
template <class D> std::vector<Test> makeSHA256MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA256", where);
}
template <class D> std::vector<Test> makeSHA256MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA256", where);
}
template <class D> std::vector<Test> makeSHA384MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA384", where);
}
template <class D> std::vector<Test> makeSHA384MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA384", where);
}
template <class D> std::vector<Test> makeSHA512MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA512", where);
}
template <class D> std::vector<Test> makeSHA512MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA512", where);
}
template <class D> std::vector<Test> makeSHA512_224MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA512_224", where);
}
template <class D> std::vector<Test> makeSHA512_224MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA512_224", where);
}
template <class D> std::vector<Test> makeSHA512_256MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA512_256", where);
}
template <class D> std::vector<Test> makeSHA512_256MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA512_256", where);
}
template <class D> std::vector<Test> makeSHA3_224MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA3_224", where);
}
template <class D> std::vector<Test> makeSHA3_224MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA3_224", where);
}
template <class D> std::vector<Test> makeSHA3_256MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA3_256", where);
}
template <class D> std::vector<Test> makeSHA3_256MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA3_256", where);
}
template <class D> std::vector<Test> makeSHA3_384MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA3_384", where);
}
template <class D> std::vector<Test> makeSHA3_384MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA3_384", where);
}
template <class D> std::vector<Test> makeSHA3_512MonteTests(const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA3_512", where);
}
template <class D> std::vector<Test> makeSHA3_512MonteTests(const D&, const SourceLocation& where) {
  return detail::monteTests<detail::CheckedDigest<D>>("SHA3_512", where);
}

}  // namespace quillon_tests
