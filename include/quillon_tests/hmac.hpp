#pragma once
// The HMAC known-answer suites: NIST-layout HMAC files under "Test/KAT_HMAC".
//
// makeSHA256HMACTests<D>() keeps, from every file in byte order of the file names, the
// categories whose header "L" is exactly "32" (algToLen: SHA1 "20", SHA224
// "28", SHA256 "32", SHA384 "48", SHA512 "64"), and makes one test case per
// record holding "Msg", "Key", "Mac", "Count" and "Tlen", named
// NistHMACSHA256-"<Count>" (the quotes are part of the name). Each test
// computes quillon::hmacStrict over the message and quillon::hmac over its
// 37-byte chunks, keeps the first Tlen bytes of each encoded digest (none
// when Tlen <= 0, all when Tlen is longer) and compares both with Mac.
// Nothing is decoded until the test runs. Nothing is appended.

#include <string_view>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/hmac.hpp>
#include <quillon_tests/detail/digest_kat.hpp>
#include <quillon_tests/detail/kat_layouts.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The header "L" value (digest length in bytes, as text) that selects the
/// categories of an algorithm: "SHA1" gives "20", ... "SHA512" gives "64".
/// Throws std::invalid_argument for any other name.
std::string_view algToLen(std::string_view algorithm);

namespace detail {

struct DecodedHmacVector {
  quillon::ByteString key;
  quillon::ByteString message;
  quillon::ByteString mac;
  long long macLength;
};

DecodedHmacVector decodeHmacVector(const KatRecord& record);

/// The first `length` bytes of `mac`: none when length <= 0, all when longer.
quillon::ByteString truncateMac(const quillon::ByteString& mac, long long length);

template <class D>
DigestComparison hmacCheck(const KatRecord& record) {
  DecodedHmacVector decoded = decodeHmacVector(record);
  const D contiguous = quillon::hmacStrict<D>(decoded.key, decoded.message);
  const D chunked = quillon::hmac<D>(decoded.key, quillon::LazyByteString::chunked(decoded.message, 37));
  return {"Mac", std::move(decoded.mac),
          {truncateMac(contiguous.encode(), decoded.macLength), truncateMac(chunked.encode(), decoded.macLength)}};
}

/// The shared builder of the HMAC suites.
template <class D>
std::vector<Test> getHmacTests(std::string_view algorithm, const SourceLocation& where) {
  static_assert(quillon::diagnoseHash<D>());
  return makeDigestKatTests<&hmacCheck<D>>(hmacLayout(algorithm), where);
}

}  // namespace detail

/// The record selection of the HMAC suite for `algorithm` ("SHA1" ...
/// "SHA512") without building tests. A file note lists the categories whose
/// "L" matches none of the five suites.
SuiteDiagnostics diagnoseHMACVectors(std::string_view algorithm);

// Each builder, then the same with a witness that only selects the digest
// type. `where`, by default the caller's line, locates a NoVectorApplies test.
template <class D> std::vector<Test> makeSHA1HMACTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getHmacTests<D>("SHA1", where);
}
template <class D>
std::vector<Test> makeSHA1HMACTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA1HMACTests<D>(where);
}
template <class D> std::vector<Test> makeSHA224HMACTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getHmacTests<D>("SHA224", where);
}
template <class D>
std::vector<Test> makeSHA224HMACTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA224HMACTests<D>(where);
}
template <class D> std::vector<Test> makeSHA256HMACTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getHmacTests<D>("SHA256", where);
}
template <class D>
std::vector<Test> makeSHA256HMACTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA256HMACTests<D>(where);
}
template <class D> std::vector<Test> makeSHA384HMACTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getHmacTests<D>("SHA384", where);
}
template <class D>
std::vector<Test> makeSHA384HMACTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA384HMACTests<D>(where);
}
template <class D> std::vector<Test> makeSHA512HMACTests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getHmacTests<D>("SHA512", where);
}
template <class D>
std::vector<Test> makeSHA512HMACTests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA512HMACTests<D>(where);
}

}  // namespace quillon_tests
