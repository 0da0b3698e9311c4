#pragma once
// makeBlockCipherPropTests: self-consistency of any quillon::BlockCipher's
// five modes, no known answers. Two groups, in this order:
//
// "Block Cipher tests (ident)": decryption undoes encryption.
//   "ECBEncDecID"  (m, p): ESP-pad p, ecb, unEcb, unpadESP: gives back p.
//   "CBCEncDecID", "CFBEncDecID", "OFBEncDecID", "CTREncDecID" (m, v, p):
//     ESP-pad p to q; encrypt q from the IV, decrypt the result from the same
//     IV: gives back q (padding kept), and both calls return the same IV.
//
// "Block Cipher tests (lazy/string bytestring equality)": chunked and
// contiguous input agree. The chunked message x is cut to whole blocks,
// keeping its chunk boundaries (the chunk that straddles the cut is cut).
//   "ECBStringLazyEq" (m, x): ecbLazy = ecb, then unEcbLazy = unEcb, both on
//     the same message bytes.
//   "CBCStrictLazyEq", "CFBStrictLazyEq", "OFBStrictLazyEq",
//   "CTRStrictLazyEq" (m, v, x): the lazy encryption's output, then its IV,
//     then the lazy decryption's output, then its IV, each against the
//     contiguous function's; the first difference fails the case.
//
// Inputs come from the byte-string generators, in the order listed: key
// material m, IV material v, message p or x. The key is m followed by one
// zero byte, repeated to keyLength()/8 bytes, given to buildKey; the IV is
// IV<K>::get of v. A case whose key buildKey refuses, or whose IV does not
// read, is discarded; with every case discarded the property gives up. A
// failure report names the case's inputs: the "message" (for the second
// group, as cut to whole blocks), the "key" bytes given to buildKey and
// the "IV".
// A cipher whose blockSize() is under 8 bits has no whole blocks to cut the
// message to: the second group's cases fail with BlockSizeUnderOneByteError.

#include <vector>

#include <quillon_tests/errors.hpp>  // BlockSizeUnderOneByteError
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The two groups, located (with their properties) at `where`: by default
/// the builder's call.
template <class K>
std::vector<Test> makeBlockCipherPropTests(const SourceLocation& where = SourceLocation::current());
/// The same; `witness` only selects the cipher.
template <class K>
std::vector<Test> makeBlockCipherPropTests(const K& witness, const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/block_cipher_properties.hpp>
