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

#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The header "L" value (digest length in bytes, as text) that selects the
/// categories of an algorithm: "SHA1" gives "20", ... "SHA512" gives "64".
/// Throws std::invalid_argument for any other name.
std::string_view algToLen(std::string_view algorithm);

/// The record selection of the HMAC suite for `algorithm` ("SHA1" ...
/// "SHA512") without building tests. A file note lists the categories whose
/// "L" matches none of the five suites.
SuiteDiagnostics diagnoseHMACVectors(std::string_view algorithm);

// Each builder, then the same with a witness that only selects the digest
// type. `where`, by default the caller's line, locates a NoVectorApplies test.
template <class D> std::vector<Test> makeSHA1HMACTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA1HMACTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA224HMACTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA224HMACTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA256HMACTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA256HMACTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA384HMACTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA384HMACTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512HMACTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512HMACTests(const D& witness, const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/hmac.hpp>
