#pragma once
// makeAeadDifferentialTests<A, R>: an AEAD against a trusted reference R of
// the same algorithm, on the same random cases. A native GCM or CCM is
// checked against the generic construction over its own block cipher in
// one line:
//
//   registerTests("MyGCM", makeAeadDifferentialTests<MyAes128Gcm, quillon::Gcm<MyAes128>>());
//
// One group, "Differential tests (AEAD)":
//
//   "SealMatchesReference": seal gives what R's seal gives (and, for an A
//     with the lazy members, so does sealLazy over chunks cut as in
//     makeAeadPropTests' LazyStrictEqual).
//   "OpenMatchesReference": open (and openLazy) gives what R's open gives,
//     on R's sealed message and on forgeries of it: the last tag byte with
//     a bit flipped, the first ciphertext or AAD byte flipped, the tag's last
//     byte cut off, the first nonce byte flipped. Both must refuse them.
//
// The cases are those of makeAeadPropTests (quillon_tests/aead_properties.hpp),
// over the nonce and tag lengths both types accept: AAD and plaintext of
// 0, 1, 15, 16, 17, 63, 64, 65, 255, 256, 4096 bytes and the other notable
// or random lengths, random or all 0xff, and a key of A's keyLength() / 8
// bytes given to both buildKeys (a case either refuses, or whose lengths
// either's optional acceptsAadLength / acceptsTextLength refuses, is
// discarded). Types of different key lengths, or accepting no nonce or no
// tag length in common, fail every leaf with a message saying so.
//
// A report gives the reference's value as "expected" and A's as "actual"
// (or "nothing" for a refusal), and names the case's "plaintext", "AAD",
// "nonce", "tag length", "key" and, for a lazy A, "chunk cuts". The group
// and its properties are located at the builder's call.

#include <quillon/aead.hpp>
#include <quillon_tests/test_tree.hpp>
#include <vector>

namespace quillon_tests {

/// The group "Differential tests (AEAD)": A against the reference R.
template <class A, class R>
std::vector<Test> makeAeadDifferentialTests(const SourceLocation& where = SourceLocation::current());

/// The same; the witnesses only select the types.
template <class A, class R>
std::vector<Test> makeAeadDifferentialTests(const A& witness, const R& reference,
                                            const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/aead_differential.hpp>
