#pragma once
// The digest Monte Carlo suites: NIST's "<variant>Monte.rsp" files, beside
// the message files ("Test/KAT_SHA" for SHA-1 and SHA-2, "Test/KAT_SHA3" for
// SHA-3).
//
// A file holds a "Seed" and checkpoint records ("COUNT", "MD"). Each
// checkpoint is reached from the one before it (from Seed for the first
// record) by a chain of a thousand digests:
//  - SHA-1 and SHA-2: MD0 = MD1 = MD2 = seed; for i = 3 .. 1002,
//    MDi = H(MD(i-3) || MD(i-2) || MD(i-1)); the checkpoint is MD1002;
//  - SHA-3: MD0 = seed; MDi = H(MD(i-1)) for i = 1 .. 1000; the checkpoint
//    is MD1000.
// makeSHA256MonteTests<D>() reads the file named "SHA256Monte" plus an
// extension (the character after the name is neither a digit nor "_", so
// "SHA512Monte" does not take "SHA512_224Monte.rsp") and makes one test per
// record, in file order, named MonteSHA256-<COUNT>. A test starts from the
// MD the file gives for the record before (from Seed for the first record of
// a category), so it stands alone and a failure names its checkpoint. Every chain runs through hashStrict; the first
// record of each file runs it once more through hash over 13-byte chunks
// (13 splits every message of every chain, the shortest being 28 bytes).
// A record without COUNT or MD, or with neither a record before it holding
// an MD nor a Seed before the category's records, is skipped. Nothing is appended: the message suites carry the
// property group.

#include <string_view>
#include <vector>

#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The record selection of the Monte Carlo suite of `variant` ("SHA1" ...
/// "SHA512_256", "SHA3_224" ... "SHA3_512") without building tests.
/// Throws std::invalid_argument for any other name.
SuiteDiagnostics diagnoseMonteVectors(std::string_view variant);

// Each builder, then the same with a witness that only selects the digest
// type. `where`, by default the caller's line, locates a NoVectorApplies test.
template <class D> std::vector<Test> makeSHA1MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA1MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA224MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA224MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA256MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA256MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA384MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA384MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512_224MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512_224MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512_256MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA512_256MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_224MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_224MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_256MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_256MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_384MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_384MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_512MonteTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeSHA3_512MonteTests(const D& witness, const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/monte.hpp>
