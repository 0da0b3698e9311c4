#pragma once
// Known-answer suites for AEADs, for any quillon::Aead:
//
//   makeGCMTests<A>()  "Test/KAT_AES_GCM": files named gcmEncrypt* (records
//       Count, Key, IV, PT, AAD, CT, Tag: seal(Key, IV, AAD, PT) with a tag
//       as long as Tag must give CT followed by Tag) and gcmDecrypt* (the
//       same fields, PT or a bare FAIL line last: open(Key, IV, AAD, CT
//       followed by Tag) must give PT, or refuse). The lengths in the
//       section headers ([IVlen = 96] ...) name the tests, whose Count
//       restarts in every section: "<file stem>-<IVlen>-<PTlen>-<AADlen>-
//       <Taglen>-<Count>", e.g. "gcmDecrypt128-96-0-0-128-1".
//   makeCCMTests<A>()  "Test/KAT_AES_CCM": files named VADT*, VNT*, VPT*,
//       VTT* (seal(Key, Nonce, Adata, Payload) with a Tlen-byte tag must give
//       CT, which holds the tag) and DVPT* (open(Key, Nonce, Adata, CT) must
//       give Payload, or refuse when the record says "Result = Fail"). Alen,
//       Plen and Tlen come from the section header or the lines before it,
//       Key (and Nonce, unless the record has one) from the lines between
//       the header and the first record; Adata and Payload are cut to Alen
//       and Plen bytes ("Adata = 00" is no AAD). Count runs through the whole
//       file, so tests are named "<file stem>-<Count>", e.g. "DVPT128-7".
//   makeChaCha20Poly1305Tests<A>()  "Test/KAT_CHACHA20_POLY1305": every
//       file, records in the GCM encryption layout without section headers,
//       sealed like them, or opened when they carry a FAIL line; tests named
//       "<file stem>-<Count>".
//
// A record carrying a FAIL line or "Result = Fail" is a test that expects
// open to give nothing; when it also carries its plaintext (a CCM message
// too long for its nonce) seal must give nothing too. A type that opens it
// fails, its report showing the plaintext it released.
//
// Records are selected like those of the AES suite. A record is skipped,
// and counted in the suite's summary and diagnostics by reason, when it
// lacks a field; when its length fields are no byte counts; in the GCM and
// CCM suites, whose files hold keys of three sizes, when A::buildKey
// refuses its key ("key refused", by key size: a binding runs the size it
// takes); when A does not accept its nonce or tag length ("tag length
// refused", by length: Botan's GCM has no 4-byte tags); and, for a record
// that does not expect a refusal, when A has acceptsAadLength or
// acceptsTextLength and they refuse its AAD or text length. A ChaCha20-
// Poly1305 key that buildKey refuses ends its test with KeyRefusedError. A
// selection that takes no record gives one failing test "NoVectorApplies"
// saying why.
//
// Each test compares every path of A with the vector: seal (or open) and,
// for a quillon::LazyAead, sealLazy (openLazy) over 13-byte chunks of the
// AAD and the text. A failure report shows the vector's value as expected
// (or a refusal) and each path's output as got ("refused" where it gave
// nothing), and names the vector file, record, line and field. Tests hold
// only where their record is and decode it when they run. I/O errors
// propagate (DataFileError).
//
// diagnoseGCMVectors<A>() and the others run the same selection without
// building tests and say, per file, what it gave and why.

#include <vector>

#include <quillon/aead.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

// Each builder, then the same with a witness that only selects the type,
// then the diagnostics. `where`, by default the caller's line, locates a
// NoVectorApplies test.

template <class A>
std::vector<Test> makeGCMTests(const SourceLocation& where = SourceLocation::current());
template <class A>
std::vector<Test> makeGCMTests(const A& witness, const SourceLocation& where = SourceLocation::current());
template <class A>
SuiteDiagnostics diagnoseGCMVectors();

template <class A>
std::vector<Test> makeCCMTests(const SourceLocation& where = SourceLocation::current());
template <class A>
std::vector<Test> makeCCMTests(const A& witness, const SourceLocation& where = SourceLocation::current());
template <class A>
SuiteDiagnostics diagnoseCCMVectors();

template <class A>
std::vector<Test> makeChaCha20Poly1305Tests(const SourceLocation& where = SourceLocation::current());
template <class A>
std::vector<Test> makeChaCha20Poly1305Tests(const A& witness,
                                            const SourceLocation& where = SourceLocation::current());
template <class A>
SuiteDiagnostics diagnoseChaCha20Poly1305Vectors();

}  // namespace quillon_tests

#include <quillon_tests/detail/aead_kat.hpp>
