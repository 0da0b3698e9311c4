#pragma once
// The AES known-answer suite: NIST AESVS response files under "Test/KAT_AES"
// of the data directory, for any quillon::BlockCipher.
//
// makeAESTests<K>() reads every file of the directory in byte order of the
// file names. A file's kind comes from its name N alone: the first three characters of N
// followed by the last character of N's stem (N without its final
// extension). The eight kinds and what their tests compute:
//   "ECBe"  encryptBlock(KEY, PLAINTEXT) = CIPHERTEXT   (the whole text)
//   "ECBd"  decryptBlock(KEY, CIPHERTEXT) = PLAINTEXT
//   "CBCe"  cbc(KEY, IV, PLAINTEXT)  "CBCd" unCbc(KEY, IV, CIPHERTEXT)
//   "CFBe"  cfb(KEY, IV, PLAINTEXT)  "CFBd" unCfb(KEY, IV, CIPHERTEXT)
//   "OFBe"  ofb(KEY, IV, PLAINTEXT)  "OFBd" unOfb(KEY, IV, CIPHERTEXT)
// (of the IV modes only the output is compared; each record starts from its
// own IV). A CFB kind counts only when N contains "CFB128": CFB is
// full-block feedback. Any other name, also one whose stem is empty
// (".hidden"), gives no tests.
//
// Every record of every category of a file is taken under that file's own
// name and kind, in order. A record gives the test "<N>-<COUNT>" unless it
// is skipped, silently, by the first of these that fails:
//   1. IV kinds: "IV" present, and IV<K>::get reads an IV from its bytes;
//   2. "COUNT", "CIPHERTEXT", "PLAINTEXT" and "KEY" present;
//   3. K::buildKey accepts the bytes of "KEY".
// So a cipher sees only the vectors of the key sizes it accepts. The IV and
// key are decoded and built while the list is built (a malformed hex IV or
// key ends the builder with HexDecodeError), and not kept: a test holds only
// where its record is, reads it again when it runs (a file changed since
// ends the test with an error) and only then decodes PLAINTEXT and
// CIPHERTEXT and calls the cipher, so a malformed text fails only its own
// test. A failure names the vector file, record and line, the field of the
// expected value and the block of the first differing byte. When no record
// applies to K (every key refused, no file of a supported kind), the
// known-answer tests are one failing test "NoVectorApplies" saying what was
// skipped and why. Every test shares the builder's SelectionSummary, "AES
// known answers". The two block-cipher property groups follow the
// known-answer tests. I/O errors propagate (DataFileError).
//
// diagnoseAESVectors<K>() runs the same selection without building tests
// and says, per file, what it gave and why records were skipped.

#include <vector>

#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/errors.hpp>  // HexDecodeError, DataFileError
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The known-answer tests for K (keys built while the list is built: a
/// binding runs the key sizes it accepts), then makeBlockCipherPropTests<K>();
/// `where`, by default the caller's line, locates the property groups and a
/// NoVectorApplies test.
template <class K>
std::vector<Test> makeAESTests(const SourceLocation& where = SourceLocation::current());
/// The same; `witness` only selects the cipher.
template <class K>
std::vector<Test> makeAESTests(const K& witness, const SourceLocation& where = SourceLocation::current());
/// What the tests would take from each vector file, and why they skip what
/// they skip (builds no tests).
template <class K>
SuiteDiagnostics diagnoseAESVectors();

}  // namespace quillon_tests

#include <quillon_tests/detail/aes.hpp>
