#pragma once
// makeAeadPropTests: what any quillon::Aead must do by itself, without known
// answers or a reference. One group, "AEAD properties", in this order:
//
//   "RoundTrip": open gives back what seal sealed.
//   "SealLength": seal gives exactly the plaintext's length plus the tag's.
//   "TagBitFlips": the sealed message with any one bit of its tag flipped
//     does not open.
//   "CiphertextAndAADFlips": nor with a bit flipped in the ciphertext or in
//     the AAD, at their first and last bytes and on both sides of the edges
//     of 16- and 64-byte blocks.
//   "NonceSensitivity": nor under the nonce with any one of its bytes
//     changed, or with a zero byte appended or its last byte cut, where the
//     type accepts that length (a nonce padded or cut to 12 bytes opens).
//   "TruncatedAndExtendedInput": nor with the tag's last byte cut off, nor
//     as an input shorter than the tag (the tag less its last byte, or
//     nothing), nor with a byte appended, a zero byte put between the
//     ciphertext and the tag, or a zero byte appended to the AAD (which a
//     length block left out of the tag lets through).
//   "RefusedLengths": seal and open give nothing, and throw nothing, for an
//     empty nonce, an empty tag, and the nonce and tag lengths just outside
//     those the type accepts; open gets the sealed message under such a
//     nonce, or with its longest tag cut (or zero-padded) to such a length,
//     so that a tag compared at whatever length the caller passes opens.
//   "LazyStrictEqual", only for a type with sealLazy / openLazy: with the
//     AAD, the plaintext and the sealed message in chunks (random cuts,
//     1-byte pieces, or cuts next to the edges of 16- and 64-byte blocks),
//     sealLazy gives what seal gives, and openLazy what open gives, on the
//     sealed message and on one with a tag bit flipped.
//
// The cases (quillon_tests/detail/aead_inputs.hpp): nonce and tag lengths
// among those the type accepts, probed once at the builder's call (nonces
// of 1 to 256 bytes, tags of 1 to 32; 12-byte nonces and the longest tag
// most often); AAD and plaintext of 0, 1, 15, 16, 17, 31, 32, 33, 63, 64,
// 65, 255 or 256 bytes, now and then 4096, or any length up to 300, random
// or all 0xff;
// a key of keyLength() / 8 random bytes. A case whose key buildKey refuses,
// or whose AAD or text length the type's optional acceptsAadLength /
// acceptsTextLength refuses, is discarded. A type that accepts no nonce or
// no tag length in that range fails every leaf with a message saying so,
// rather than passing on nothing.
//
// A failure is shrunk toward empty plaintext and AAD, the usual lengths and
// zero bytes; the report names the case's "plaintext", "AAD", "nonce", "tag
// length" and "key" (and for LazyStrictEqual the "chunk cuts"), then says
// which input was wrongly opened or what differed. The group and its
// properties are located at the builder's call.

#include <quillon/aead.hpp>
#include <quillon_tests/test_tree.hpp>
#include <vector>

namespace quillon_tests {

/// The group "AEAD properties" for the AEAD type A.
template <class A>
std::vector<Test> makeAeadPropTests(const SourceLocation& where = SourceLocation::current());

/// The same; `witness` only selects the type.
template <class A>
std::vector<Test> makeAeadPropTests(const A& witness,
                                    const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/aead_properties.hpp>
