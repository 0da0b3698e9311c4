#pragma once
// The definitions of quillon_tests/hmac.hpp.

#include <string_view>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/hmac.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/detail/digest_kat.hpp>
#include <quillon_tests/detail/kat_layouts.hpp>
#include <quillon_tests/hmac.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

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
std::vector<Test> hmacTests(std::string_view algorithm, const SourceLocation& where) {
  return makeDigestKatTests<&hmacCheck<D>>(hmacLayout(algorithm), where);
}

}  // namespace detail

template <class D> std::vector<Test> makeSHA1HMACTests(const SourceLocation& where) {
  return detail::hmacTests<detail::CheckedDigest<D>>("SHA1", where);
}
template <class D> std::vector<Test> makeSHA1HMACTests(const D&, const SourceLocation& where) {
  return detail::hmacTests<detail::CheckedDigest<D>>("SHA1", where);
}
template <class D> std::vector<Test> makeSHA224HMACTests(const SourceLocation& where) {
  return detail::hmacTests<detail::CheckedDigest<D>>("SHA224", where);
}
template <class D> std::vector<Test> makeSHA224HMACTests(const D&, const SourceLocation& where) {
  return detail::hmacTests<detail::CheckedDigest<D>>("SHA224", where);
}
template <class D> std::vector<Test> makeSHA256HMACTests(const SourceLocation& where) {
  return detail::hmacTests<detail::CheckedDigest<D>>("SHA256", where);
}
template <class D> std::vector<Test> makeSHA256HMACTests(const D&, const SourceLocation& where) {
  return detail::hmacTests<detail::CheckedDigest<D>>("SHA256", where);
}
template <class D> std::vector<Test> makeSHA384HMACTests(const SourceLocation& where) {
  return detail::hmacTests<detail::CheckedDigest<D>>("SHA384", where);
}
template <class D> std::vector<Test> makeSHA384HMACTests(const D&, const SourceLocation& where) {
  return detail::hmacTests<detail::CheckedDigest<D>>("SHA384", where);
}
template <class D> std::vector<Test> makeSHA512HMACTests(const SourceLocation& where) {
  return detail::hmacTests<detail::CheckedDigest<D>>("SHA512", where);
}
template <class D> std::vector<Test> makeSHA512HMACTests(const D&, const SourceLocation& where) {
  return detail::hmacTests<detail::CheckedDigest<D>>("SHA512", where);
}

}  // namespace quillon_tests
