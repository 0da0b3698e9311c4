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

#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The record selection of the SHA suite for `prefix` ("SHA1" ... "SHA512",
/// "SHA512_224", "SHA512_256", "SHA3_224" ... "SHA3_512"), without building
/// tests: every file, its counts and every skipped record.
SuiteDiagnostics diagnoseSHAVectors(std::string_view prefix);

// Each builder, then the same with a witness that only selects the digest
// type. `where`, by default the caller's line, locates the property group
// and a NoVectorApplies test.
template <class D> std::vector<Test> makeSHA1Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA1Tests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA224Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA224Tests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA256Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA256Tests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA384Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA384Tests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512Tests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512_224Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512_224Tests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512_256Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512_256Tests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_224Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_224Tests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_256Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_256Tests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_384Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_384Tests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_512Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_512Tests(const D& witness, const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/sha.hpp>
