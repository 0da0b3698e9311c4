#pragma once
// Known-answer suites for block-cipher modes and MACs, for any
// quillon::BlockCipher:
//
//   makeAESCTRTests<K>()    "Test/KAT_AES_CTR": every file; the direction of
//       each category from its header, [ENCRYPT] (ctr(KEY, IV, PLAINTEXT) =
//       CIPHERTEXT) or [DECRYPT] (unCtr(KEY, IV, CIPHERTEXT) = PLAINTEXT).
//       The IV is the initial counter block.
//   makeAESMonteTests<K>()  "Test/KAT_AES_MCT": files named ECBMCT*, CBCMCT*,
//       CFB128MCT*, OFBMCT*, direction from the category header. Each record
//       gives one test: 1000 chained operations from the record's own KEY,
//       IV and input must end in its output. The chain runs through
//       encryptBlock/decryptBlock for ECB, feeding each output back in, and
//       through the mode function one block per call, carrying the returned
//       IV, for the others (the second input is the record's IV, each later
//       one the output two blocks back): an IV handed back wrongly after
//       many calls shows here.
//   makeCMACTests<K>()      "Test/KAT_CMAC", files named CMACGenAES*
//   makeTwoFishCMACTests<K>()  the same directory, files named CMACGenTwofish*
//       Records Count, Mlen, Tlen, Key, Msg, Mac (NIST's CMACGen layout): the
//       first Tlen bytes of quillon::cmac(Key, first Mlen bytes of Msg) must
//       be Mac (NIST writes an empty message as "Msg = 00"). A Msg shorter
//       than Mlen or a Mac of other than Tlen bytes ends the test in an
//       error: the vector is wrong, not the cipher.
//
// Records are selected as in the AES suite: a record lacking a field, whose
// IV does not deserialise, whose key K::buildKey refuses (or, for CMAC, whose
// Mlen or Tlen is no byte count) is skipped, so a binding runs the key sizes
// it accepts; a selection that takes no record gives one failing test
// "NoVectorApplies" saying why. Tests are named "<file stem>-<COUNT>"
// ("<file stem>-<Count>" for CMAC) and hold only where their record is. A
// failure shows the vector's value as expected and the implementation's
// output as got, and names the vector file, record and line.
// diagnoseAESCTRVectors<K>() and the others run the same selection and
// report, per file, what it gave and why.
//
// makeCMACPropTests<K>(): a group with one property,
// "CMACMatchesGenericConstruction": K's own member `cmac` equals the generic
// construction over K's encryptBlock, on random keys and messages of every
// length around whole blocks. A K without a member `cmac` does not compile:
// quillon::cmac is then the generic construction itself, which the property
// would compare with itself (makeCMACTests checks it against known answers).

#include <vector>

#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

// Each builder, then the same with a witness that only selects the cipher.
// `where`, by default the caller's line, locates a NoVectorApplies test.

/// The CTR known-answer tests for K.
template <class K>
std::vector<Test> makeAESCTRTests(const SourceLocation& where = SourceLocation::current());
template <class K>
std::vector<Test> makeAESCTRTests(const K& witness, const SourceLocation& where = SourceLocation::current());

/// The AES Monte Carlo tests for K.
template <class K>
std::vector<Test> makeAESMonteTests(const SourceLocation& where = SourceLocation::current());
template <class K>
std::vector<Test> makeAESMonteTests(const K& witness, const SourceLocation& where = SourceLocation::current());

/// The AES-CMAC known-answer tests for K.
template <class K>
std::vector<Test> makeCMACTests(const SourceLocation& where = SourceLocation::current());
template <class K>
std::vector<Test> makeCMACTests(const K& witness, const SourceLocation& where = SourceLocation::current());

/// The TwoFish-CMAC known-answer tests for K.
template <class K>
std::vector<Test> makeTwoFishCMACTests(const SourceLocation& where = SourceLocation::current());
template <class K>
std::vector<Test> makeTwoFishCMACTests(const K& witness, const SourceLocation& where = SourceLocation::current());

/// A group "CMAC property" with the leaf "CMACMatchesGenericConstruction":
/// quillon::cmac (K's own member when it has one) against the generic
/// construction over K's encryptBlock, on random keys and on messages of
/// 0 to 5 blocks give or take a byte. Located at the builder's call; a
/// failure report names the case's "message" and "key".
template <class K>
Test makeCMACPropTests(const SourceLocation& where = SourceLocation::current());
template <class K>
Test makeCMACPropTests(const K& witness, const SourceLocation& where = SourceLocation::current());

/// What each suite would take from each vector file, and why it skips what
/// it skips (builds no tests).
template <class K>
SuiteDiagnostics diagnoseAESCTRVectors();
template <class K>
SuiteDiagnostics diagnoseAESMonteVectors();
template <class K>
SuiteDiagnostics diagnoseCMACVectors();
template <class K>
SuiteDiagnostics diagnoseTwoFishCMACVectors();

}  // namespace quillon_tests

#include <quillon_tests/detail/mode_kat.hpp>
