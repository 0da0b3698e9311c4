#pragma once
// The definitions of quillon_tests/sha.hpp.

#include <string_view>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/detail/digest_kat.hpp>
#include <quillon_tests/detail/kat_layouts.hpp>
#include <quillon_tests/hash_properties.hpp>
#include <quillon_tests/sha.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

struct DecodedShaVector {
  quillon::ByteString message;
  quillon::ByteString digest;
};

/// Decodes the hex fields and cuts the message to whole bytes of "Len".
DecodedShaVector decodeShaVector(const KatRecord& record);

template <class D>
DigestComparison shaCheck(const KatRecord& record) {
  DecodedShaVector decoded = decodeShaVector(record);
  const auto chunked = quillon::LazyByteString::chunked(decoded.message, 37);
  return {"MD", std::move(decoded.digest), {D::hashStrict(decoded.message).encode(), D::hash(chunked).encode()}};
}

/// The vector directory of the SHA suite of `prefix`: "Test/KAT_SHA3" for
/// the SHA-3 prefixes ("SHA3_..."), "Test/KAT_SHA" for the others.
std::string_view shaDirectory(std::string_view prefix) noexcept;

/// The shared builder of the SHA suites.
template <class D>
std::vector<Test> shaTests(std::string_view prefix, const SourceLocation& where) {
  std::vector<Test> tests = makeDigestKatTests<&shaCheck<D>>(shaLayout(prefix, shaDirectory(prefix)), where, 1);
  tests.push_back(makeHashPropTests<D>(where));
  return tests;
}

}  // namespace detail

template <class D> std::vector<Test> makeSHA1Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA1", where);
}
template <class D> std::vector<Test> makeSHA1Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA1", where);
}
template <class D> std::vector<Test> makeSHA224Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA224", where);
}
template <class D> std::vector<Test> makeSHA224Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA224", where);
}
template <class D> std::vector<Test> makeSHA256Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA256", where);
}
template <class D> std::vector<Test> makeSHA256Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA256", where);
}
template <class D> std::vector<Test> makeSHA384Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA384", where);
}
template <class D> std::vector<Test> makeSHA384Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA384", where);
}
template <class D> std::vector<Test> makeSHA512Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA512", where);
}
template <class D> std::vector<Test> makeSHA512Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA512", where);
}
template <class D> std::vector<Test> makeSHA512_224Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA512_224", where);
}
template <class D> std::vector<Test> makeSHA512_224Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA512_224", where);
}
template <class D> std::vector<Test> makeSHA512_256Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA512_256", where);
}
template <class D> std::vector<Test> makeSHA512_256Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA512_256", where);
}
template <class D> std::vector<Test> makeSHA3_224Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA3_224", where);
}
template <class D> std::vector<Test> makeSHA3_224Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA3_224", where);
}
template <class D> std::vector<Test> makeSHA3_256Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA3_256", where);
}
template <class D> std::vector<Test> makeSHA3_256Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA3_256", where);
}
template <class D> std::vector<Test> makeSHA3_384Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA3_384", where);
}
template <class D> std::vector<Test> makeSHA3_384Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA3_384", where);
}
template <class D> std::vector<Test> makeSHA3_512Tests(const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA3_512", where);
}
template <class D> std::vector<Test> makeSHA3_512Tests(const D&, const SourceLocation& where) {
  return detail::shaTests<detail::CheckedDigest<D>>("SHA3_512", where);
}

}  // namespace quillon_tests
