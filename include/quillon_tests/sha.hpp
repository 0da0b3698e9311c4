#pragma once
// The SHA known-answer suites: NIST byte-oriented message files under
// "Test/KAT_SHA" of the data directory (SHA-1, SHA-2, SHA-512/t) and
// "Test/KAT_SHA3" (SHA-3).
//
// makeSHA256Tests<D>() reads every file whose name begins with "SHA256"
// followed by neither a digit nor "_" (case-sensitive; the other builders
// likewise with their own prefix, so "SHA512" does not read
// "SHA512_224ShortMsg.rsp"), takes
// each record holding "Len", "Msg" and "MD", and makes one test case per
// record, numbered across files and categories in listing order:
// NistSHA256-1, NistSHA256-2, ... Each test hashes the first floor(Len/8)
// bytes of Msg (all of it when Msg is shorter; nothing when Len <= 0) with
// hashStrict, and again with hash over 37-byte chunks, and compares both
// encoded digests with MD. Records lacking a key are skipped while the list
// is built; everything else (hex, Len) is decoded when the test runs, so one
// malformed vector fails only its own test. The hash property group is
// appended. I/O errors (missing directory, unreadable file) propagate.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/hash_properties.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

/// A SHA vector as found while the list is built, its fields still text:
/// views into the vector file, which ShaVectors keeps alive.
struct ShaVector {
  std::string name;          // e.g. NistSHA256-12
  std::string_view length;   // "Len", in bits
  std::string_view message;  // "Msg", hex
  std::string_view digest;   // "MD", hex
  std::string_view path;     // the vector file
  std::size_t record;        // position in its file, from 1
};

/// The vectors of one suite and what keeps their views valid.
struct ShaVectors {
  std::vector<std::shared_ptr<const void>> files;
  std::vector<ShaVector> vectors;
};

/// The vector directory of the suite of `prefix`: "Test/KAT_SHA3" for the
/// SHA-3 prefixes ("SHA3_..."), "Test/KAT_SHA" for the others.
std::string_view shaDirectory(std::string_view prefix) noexcept;

/// Finds the vectors of the files of the suite of `prefix`. With
/// `diagnostics`, also records per file what was used and what was skipped.
ShaVectors loadShaVectors(std::string_view prefix, SuiteDiagnostics* diagnostics = nullptr);

struct DecodedShaVector {
  quillon::ByteString message;
  quillon::ByteString digest;
};

/// Decodes the hex fields and cuts the message to whole bytes of "Len".
DecodedShaVector decodeShaVector(const ShaVector& vector);

/// Where a vector came from and what the two compared values are, for the
/// report of a failed test.
std::string shaOrigin(const ShaVector& vector);

/// The shared builder of the SHA suites.
template <class D>
std::vector<Test> getTests(std::string_view prefix) {
  static_assert(quillon::diagnoseHash<D>());
  // One allocation for all the suite's vectors; each test points into it.
  const auto all = std::make_shared<const ShaVectors>(loadShaVectors(prefix));
  std::vector<Test> tests;
  tests.reserve(all->vectors.size() + 1);
  for (const ShaVector& found : all->vectors) {
    std::shared_ptr<const ShaVector> vector(all, &found);
    tests.push_back(testCase(found.name, [vector] {
      const DecodedShaVector decoded = decodeShaVector(*vector);
      const auto chunked = quillon::LazyByteString::chunked(decoded.message, 37);
      const std::pair computed{D::hashStrict(decoded.message).encode(), D::hash(chunked).encode()};
      const std::pair expected{decoded.digest, decoded.digest};
      // The report text is only put together for a failure.
      if (computed != expected) assertEqual(vector->name, expected, computed, shaOrigin(*vector));
    }));
  }
  tests.push_back(makeHashPropTests<D>());
  return tests;
}

}  // namespace detail

/// The record selection of the SHA suite for `prefix` ("SHA1" ... "SHA512",
/// "SHA512_224", "SHA512_256", "SHA3_224" ... "SHA3_512"), without building tests: every file, its counts and every skipped record.
SuiteDiagnostics diagnoseSHAVectors(std::string_view prefix);

template <class D> std::vector<Test> makeSHA1Tests() { return detail::getTests<D>("SHA1"); }
template <class D> std::vector<Test> makeSHA224Tests() { return detail::getTests<D>("SHA224"); }
template <class D> std::vector<Test> makeSHA256Tests() { return detail::getTests<D>("SHA256"); }
template <class D> std::vector<Test> makeSHA384Tests() { return detail::getTests<D>("SHA384"); }
template <class D> std::vector<Test> makeSHA512Tests() { return detail::getTests<D>("SHA512"); }
template <class D> std::vector<Test> makeSHA512_224Tests() { return detail::getTests<D>("SHA512_224"); }
template <class D> std::vector<Test> makeSHA512_256Tests() { return detail::getTests<D>("SHA512_256"); }
template <class D> std::vector<Test> makeSHA3_224Tests() { return detail::getTests<D>("SHA3_224"); }
template <class D> std::vector<Test> makeSHA3_256Tests() { return detail::getTests<D>("SHA3_256"); }
template <class D> std::vector<Test> makeSHA3_384Tests() { return detail::getTests<D>("SHA3_384"); }
template <class D> std::vector<Test> makeSHA3_512Tests() { return detail::getTests<D>("SHA3_512"); }

// The same; the witness only selects the digest type.
template <class D> std::vector<Test> makeSHA1Tests(const D&) { return makeSHA1Tests<D>(); }
template <class D> std::vector<Test> makeSHA224Tests(const D&) { return makeSHA224Tests<D>(); }
template <class D> std::vector<Test> makeSHA256Tests(const D&) { return makeSHA256Tests<D>(); }
template <class D> std::vector<Test> makeSHA384Tests(const D&) { return makeSHA384Tests<D>(); }
template <class D> std::vector<Test> makeSHA512Tests(const D&) { return makeSHA512Tests<D>(); }
template <class D> std::vector<Test> makeSHA512_224Tests(const D&) { return makeSHA512_224Tests<D>(); }
template <class D> std::vector<Test> makeSHA512_256Tests(const D&) { return makeSHA512_256Tests<D>(); }
template <class D> std::vector<Test> makeSHA3_224Tests(const D&) { return makeSHA3_224Tests<D>(); }
template <class D> std::vector<Test> makeSHA3_256Tests(const D&) { return makeSHA3_256Tests<D>(); }
template <class D> std::vector<Test> makeSHA3_384Tests(const D&) { return makeSHA3_384Tests<D>(); }
template <class D> std::vector<Test> makeSHA3_512Tests(const D&) { return makeSHA3_512Tests<D>(); }

}  // namespace quillon_tests
