#pragma once
// makeModeConsistencyTests: the mode bugs that known answers and round trips
// cannot see. A binding whose own CFB hands back the plaintext as the next
// IV, whose OFB never advances, or whose CTR counts little-endian or in 32
// bits round-trips and agrees with itself chunked and contiguous; it fails
// here. One group, "Block Cipher tests (mode consistency)":
//
//   "CBCContinuation", "CFBContinuation", "OFBContinuation",
//   "CTRContinuation": a message cut in two at a whole block, the second
//     call started from the IV the first returned, gives the same output and
//     the same final IV as one call over the whole message. Checked for
//     encryption, decryption and their lazy variants (each half chunked).
//   "ECBMatchesBlockFunction", "CBCMatchesBlockFunction", ...,
//   "CTRMatchesBlockFunction": each mode function, as quillon::cbc and the
//     others dispatch it (the cipher's own member when it has one), gives
//     the output and the returned IV of the generic mode run over the
//     cipher's own encryptBlock / decryptBlock; encryption, decryption, lazy.
//
// A cipher without mode members passes by construction. The group and its
// properties are located at the builder's call; a failure report names the
// case's inputs as "message", "split at", "chunk cuts", "key" and "IV".
// Inputs: key material as for makeBlockCipherPropTests, then a mode input:
// an IV biased toward counter carries, a message around whole blocks (with
// a partial tail for CFB, OFB and CTR), a split at a whole block and chunk
// cuts that split blocks. All of it shrinks, so a failure is reported on a
// small case.

#include <vector>

#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The group, located (with its properties) at `where`: by default the
/// builder's call.
template <class K>
std::vector<Test> makeModeConsistencyTests(const SourceLocation& where = SourceLocation::current());
/// The same; `witness` only selects the cipher.
template <class K>
std::vector<Test> makeModeConsistencyTests(const K& witness, const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/mode_consistency.hpp>
