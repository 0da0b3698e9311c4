#pragma once
// The SHA known-answer suites: NIST byte-oriented message files under
// "Test/KAT_SHA" of the data directory (SHA-1, SHA-2, SHA-512/t) and
// "Test/KAT_SHA3" (SHA-3).
//
// makeSHA256Tests<D>() reads every file whose name is "SHA256" followed by
// nothing or by a character that is neither a digit nor "_" (so
// "SHA256ShortMsg.rsp", but not "SHA2560.rsp" nor "SHA256_x.rsp";
// case-sensitive; the other builders likewise with their own prefix), takes
// each record holding "Len", "Msg" and "MD", and makes one test case per
// record, numbered across files (in byte order of their names) and categories:
// NistSHA256-1, NistSHA256-2, ... Each test hashes the first floor(Len/8)
// bytes of Msg (all of it when Msg is shorter; nothing when Len <= 0) with
// hashStrict, and again with hash over 37-byte chunks, and compares both
// encoded digests with MD. Records lacking a key are skipped while the list
// is built; everything else (hex, Len) is decoded when the test runs, so one
// malformed vector fails only its own test. The hash property group is
// appended. I/O errors (missing directory, unreadable file) propagate.

#include <string_view>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon_tests/detail/digest_kat.hpp>
#include <quillon_tests/detail/kat_layouts.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/hash_properties.hpp>
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
std::vector<Test> getTests(std::string_view prefix, const SourceLocation& where) {
  static_assert(quillon::diagnoseHash<D>());
  std::vector<Test> tests = makeDigestKatTests<&shaCheck<D>>(shaLayout(prefix, shaDirectory(prefix)), where, 1);
  tests.push_back(makeHashPropTests<D>(where));
  return tests;
}

}  // namespace detail

/// The record selection of the SHA suite for `prefix` ("SHA1" ... "SHA512",
/// "SHA512_224", "SHA512_256", "SHA3_224" ... "SHA3_512"), without building
/// tests: every file, its counts and every skipped record.
SuiteDiagnostics diagnoseSHAVectors(std::string_view prefix);

// Each builder, then the same with a witness that only selects the digest
// type. `where`, by default the caller's line, locates the property group
// and a NoVectorApplies test.
template <class D> std::vector<Test> makeSHA1Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA1", where);
}
template <class D>
std::vector<Test> makeSHA1Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA1Tests<D>(where);
}
template <class D> std::vector<Test> makeSHA224Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA224", where);
}
template <class D>
std::vector<Test> makeSHA224Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA224Tests<D>(where);
}
template <class D> std::vector<Test> makeSHA256Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA256", where);
}
template <class D>
std::vector<Test> makeSHA256Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA256Tests<D>(where);
}
template <class D> std::vector<Test> makeSHA384Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA384", where);
}
template <class D>
std::vector<Test> makeSHA384Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA384Tests<D>(where);
}
template <class D> std::vector<Test> makeSHA512Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA512", where);
}
template <class D>
std::vector<Test> makeSHA512Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA512Tests<D>(where);
}
template <class D> std::vector<Test> makeSHA512_224Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA512_224", where);
}
template <class D>
std::vector<Test> makeSHA512_224Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA512_224Tests<D>(where);
}
template <class D> std::vector<Test> makeSHA512_256Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA512_256", where);
}
template <class D>
std::vector<Test> makeSHA512_256Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA512_256Tests<D>(where);
}
template <class D> std::vector<Test> makeSHA3_224Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA3_224", where);
}
template <class D>
std::vector<Test> makeSHA3_224Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA3_224Tests<D>(where);
}
template <class D> std::vector<Test> makeSHA3_256Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA3_256", where);
}
template <class D>
std::vector<Test> makeSHA3_256Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA3_256Tests<D>(where);
}
template <class D> std::vector<Test> makeSHA3_384Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA3_384", where);
}
template <class D>
std::vector<Test> makeSHA3_384Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA3_384Tests<D>(where);
}
template <class D> std::vector<Test> makeSHA3_512Tests(const SourceLocation& where = SourceLocation::current()) {
  return detail::getTests<D>("SHA3_512", where);
}
template <class D>
std::vector<Test> makeSHA3_512Tests(const D&, const SourceLocation& where = SourceLocation::current()) {
  return makeSHA3_512Tests<D>(where);
}

}  // namespace quillon_tests
