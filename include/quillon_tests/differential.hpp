#pragma once
// Differential suites: an implementation under test against a trusted
// reference binding of the same algorithm, on the same random inputs. This
// is how a binding of one's own is checked against OpenSSL's in one line:
//
//   registerTests("MyAES", makeBlockCipherDifferentialTests<MyAES128, quillon::openssl::AES128>());
//
// Every report gives the reference's value as "expected" and the
// implementation's as "actual", and names the case's inputs: "message",
// "HMAC key", "key" (the bytes given to both buildKeys), "IV", "chunk
// cuts". The groups and their properties are located at the builder's call.
//
// makeHashDifferentialTests<D, R>(): group "Differential tests (hash)":
//   "HashMatchesReference": hash over random chunks and hashStrict of the
//     same bytes encode as R's do.
//   "HMACMatchesReference": hmac and hmacStrict (quillon::hmac, so each
//     type's own HMAC when it has one) with keys shorter than, as long as and
//     longer than D's block, as R's.
// makeBlockCipherDifferentialTests<K, R>(): group "Differential tests (block
// cipher)":
//   "BuildKeyMatchesReference": buildKey accepts exactly the key bytes R's
//     buildKey accepts (lengths either commonly takes or just misses, and
//     any length up to 64 bytes).
//   "ECBMatchesReference", "CBCMatchesReference", "CFBMatchesReference",
//   "OFBMatchesReference", "CTRMatchesReference": every mode function,
//     strict and lazy, encryption and decryption, gives R's output and R's
//     returned IV. Keys are derived as in makeBlockCipherPropTests for K's
//     keyLength() and given to both (a case either refuses is discarded);
//     IVs and messages are the mode inputs of makeModeConsistencyTests.

#include <vector>

#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The hash group, located (with its properties) at `where`: by default the
/// builder's call.
template <class D, class R>
std::vector<Test> makeHashDifferentialTests(const SourceLocation& where = SourceLocation::current());
/// The same; the witnesses only select the types.
template <class D, class R>
std::vector<Test> makeHashDifferentialTests(const D& witness, const R& reference,
                                            const SourceLocation& where = SourceLocation::current());

/// The block-cipher group, located (with its properties) at `where`: by
/// default the builder's call.
template <class K, class R>
std::vector<Test> makeBlockCipherDifferentialTests(const SourceLocation& where = SourceLocation::current());
/// The same; the witnesses only select the types.
template <class K, class R>
std::vector<Test> makeBlockCipherDifferentialTests(const K& witness, const R& reference,
                                                   const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/differential.hpp>
