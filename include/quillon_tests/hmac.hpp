#pragma once
// The HMAC known-answer suites: NIST-layout HMAC files under "Test/KAT_HMAC".
//
// makeSHA256HMACTests<D>() keeps, from every file in listing order, the
// categories whose header "L" is exactly "32" (algToLen: SHA1 "20", SHA224
// "28", SHA256 "32", SHA384 "48", SHA512 "64"), and makes one test case per
// record holding "Msg", "Key", "Mac", "Count" and "Tlen", named
// NistHMACSHA256-"<Count>" (the quotes are part of the name). Each test
// computes quillon::hmacStrict over the message and quillon::hmac over its
// 37-byte chunks, keeps the first Tlen bytes of each encoded digest (none
// when Tlen <= 0, all when Tlen is longer) and compares both with Mac.
// Nothing is decoded until the test runs. Nothing is appended.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/hmac.hpp>
#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The header "L" value (digest length in bytes, as text) that selects the
/// categories of an algorithm: "SHA1" gives "20", ... "SHA512" gives "64".
/// Throws std::invalid_argument for any other name.
std::string_view algToLen(std::string_view algorithm);

namespace detail {

/// An HMAC vector as found while the list is built, its fields still text:
/// views into the vector file, which HmacVectors keeps alive.
struct HmacVector {
  std::string name;
  std::string_view key;
  std::string_view message;
  std::string_view mac;
  std::string_view macLength;  // "Tlen"
  std::string_view path;       // the vector file
  std::size_t record;          // position in its file, from 1
};

/// The vectors of one suite and what keeps their views valid.
struct HmacVectors {
  std::vector<std::shared_ptr<const void>> files;
  std::vector<HmacVector> vectors;
};

/// Finds the vectors of the categories selected by algToLen(algorithm). With
/// `diagnostics`, also records per file what was used and what was skipped.
HmacVectors loadHmacVectors(std::string_view algorithm, SuiteDiagnostics* diagnostics = nullptr);

/// Where a vector came from and what the two compared values are, for the
/// report of a failed test.
std::string hmacOrigin(const HmacVector& vector);

/// `text` between double quotes, with a double quote or backslash escaped by
/// a backslash and other non-printable bytes written as \xHH.
std::string quoted(std::string_view text);

struct DecodedHmacVector {
  quillon::ByteString key;
  quillon::ByteString message;
  quillon::ByteString mac;
  long long macLength;
};

DecodedHmacVector decodeHmacVector(const HmacVector& vector);

/// The first `length` bytes of `mac`: none when length <= 0, all when longer.
quillon::ByteString truncateMac(const quillon::ByteString& mac, long long length);

/// The shared builder of the five HMAC suites.
template <class D>
std::vector<Test> getHmacTests(std::string_view algorithm) {
  static_assert(quillon::diagnoseHash<D>());
  // One allocation for all the suite's vectors; each test points into it.
  const auto all = std::make_shared<const HmacVectors>(loadHmacVectors(algorithm));
  std::vector<Test> tests;
  tests.reserve(all->vectors.size());
  for (const HmacVector& found : all->vectors) {
    std::shared_ptr<const HmacVector> vector(all, &found);
    tests.push_back(testCase(found.name, [vector] {
      const DecodedHmacVector decoded = decodeHmacVector(*vector);
      const D contiguous = quillon::hmacStrict<D>(decoded.key, decoded.message);
      const D chunked = quillon::hmac<D>(
          decoded.key, quillon::LazyByteString::chunked(decoded.message, 37));
      const std::pair computed{truncateMac(contiguous.encode(), decoded.macLength),
                               truncateMac(chunked.encode(), decoded.macLength)};
      const std::pair expected{decoded.mac, decoded.mac};
      // The report text is only put together for a failure.
      if (computed != expected) assertEqual(vector->name, computed, expected, hmacOrigin(*vector));
    }));
  }
  return tests;
}

}  // namespace detail

/// The record selection of the HMAC suite for `algorithm` ("SHA1" ...
/// "SHA512") without building tests. A file note lists the categories whose
/// "L" matches none of the five suites.
SuiteDiagnostics diagnoseHMACVectors(std::string_view algorithm);

template <class D> std::vector<Test> makeSHA1HMACTests() { return detail::getHmacTests<D>("SHA1"); }
template <class D> std::vector<Test> makeSHA224HMACTests() { return detail::getHmacTests<D>("SHA224"); }
template <class D> std::vector<Test> makeSHA256HMACTests() { return detail::getHmacTests<D>("SHA256"); }
template <class D> std::vector<Test> makeSHA384HMACTests() { return detail::getHmacTests<D>("SHA384"); }
template <class D> std::vector<Test> makeSHA512HMACTests() { return detail::getHmacTests<D>("SHA512"); }

// The same; the witness only selects the digest type.
template <class D> std::vector<Test> makeSHA1HMACTests(const D&) { return makeSHA1HMACTests<D>(); }
template <class D> std::vector<Test> makeSHA224HMACTests(const D&) { return makeSHA224HMACTests<D>(); }
template <class D> std::vector<Test> makeSHA256HMACTests(const D&) { return makeSHA256HMACTests<D>(); }
template <class D> std::vector<Test> makeSHA384HMACTests(const D&) { return makeSHA384HMACTests<D>(); }
template <class D> std::vector<Test> makeSHA512HMACTests(const D&) { return makeSHA512HMACTests<D>(); }

}  // namespace quillon_tests
