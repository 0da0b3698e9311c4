#pragma once
// The SHA known-answer suites: NIST byte-oriented message files under
// "Test/KAT_SHA" of the data directory.
//
// makeSHA256Tests<D>() reads every file whose name is "SHA256" followed by
// nothing or by a character that is neither a digit nor "_" (so
// "SHA256ShortMsg.rsp", but not "SHA2560.rsp" nor "SHA256_x.rsp";
// case-sensitive; the other builders likewise with their own prefix), takes
// each record holding "Len", "Msg" and "MD", and makes one test case per
// record, numbered across files and categories in listing order:
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
DecodedShaVector decodeShaVector(const SelectedRecord& record);

template <class D>
DigestComparison shaCheck(const SelectedRecord& record) {
  const DecodedShaVector decoded = decodeShaVector(record);
  const auto chunked = quillon::LazyByteString::chunked(decoded.message, 37);
  return {{decoded.digest, decoded.digest},
          {D::hashStrict(decoded.message).encode(), D::hash(chunked).encode()}};
}

/// The shared builder of the SHA suites.
template <class D>
std::vector<Test> getTests(std::string_view prefix) {
  static_assert(quillon::diagnoseHash<D>());
  std::vector<Test> tests = makeDigestKatTests<&shaCheck<D>>(shaLayout(prefix), 1);
  tests.push_back(makeHashPropTests<D>());
  return tests;
}

}  // namespace detail

/// The record selection of the SHA suite for `prefix` ("SHA1" ... "SHA512"),
/// without building tests: every file, its counts and every skipped record.
SuiteDiagnostics diagnoseSHAVectors(std::string_view prefix);

template <class D> std::vector<Test> makeSHA1Tests() { return detail::getTests<D>("SHA1"); }
template <class D> std::vector<Test> makeSHA224Tests() { return detail::getTests<D>("SHA224"); }
template <class D> std::vector<Test> makeSHA256Tests() { return detail::getTests<D>("SHA256"); }
template <class D> std::vector<Test> makeSHA384Tests() { return detail::getTests<D>("SHA384"); }
template <class D> std::vector<Test> makeSHA512Tests() { return detail::getTests<D>("SHA512"); }

// The same; the witness only selects the digest type.
template <class D> std::vector<Test> makeSHA1Tests(const D&) { return makeSHA1Tests<D>(); }
template <class D> std::vector<Test> makeSHA224Tests(const D&) { return makeSHA224Tests<D>(); }
template <class D> std::vector<Test> makeSHA256Tests(const D&) { return makeSHA256Tests<D>(); }
template <class D> std::vector<Test> makeSHA384Tests(const D&) { return makeSHA384Tests<D>(); }
template <class D> std::vector<Test> makeSHA512Tests(const D&) { return makeSHA512Tests<D>(); }

}  // namespace quillon_tests
