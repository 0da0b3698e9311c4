#pragma once
// The TwoFish known-answer suite: the vector files under "Test/KAT_TWOFISH"
// of the data directory, for any quillon::BlockCipher.
//
// makeTwoFishTests<K>() reads every file of the directory in byte order of the
// file names. A file's kind is its stem (the file name without its final extension),
// compared exactly and case-sensitively:
//
//   stem     header  record fields          test computes              name
//   CBC_D_M  -       KEY IV CT PT I         unCbc(KEY, IV, CT) = PT    CBC-D-<I>
//   CBC_E_M  -       KEY IV CT PT I         cbc(KEY, IV, PT) = CT      CBC-E-<I>
//   ECB_D_M  -       KEY CT PT I            unEcb(KEY, CT) = PT        ECB-D-<I>
//   ECB_E_M  -       KEY CT PT I            ecb(KEY, PT) = CT          ECB-E-<I>
//   ECB_TLB  -       KEY CT PT I            ecb(KEY, PT) = CT          ECB-TLB-E-<I>
//   ECB_VK   PT      KEY CT I               ecb(KEY, PT) = CT          ECB-E-VK<I>
//   ECB_VT   KEY     PT CT I                ecb(KEY, PT) = CT          ECB-E-VT-<I>
//
// Each record of each category is one work item, looked up in its category's
// header properties first and then in the record, in the order listed; a
// missing field skips it silently. For the CBC kinds the IV is read with
// IV<K>::get as soon as "IV" is found, while the list is built, and an IV
// that does not read skips the record. Every other field is decoded, the key
// built with K::buildKey and the cipher called (once) only when the test
// runs (the test holds only where its record is and reads it again). A key
// that buildKey refuses ends its test with KeyRefusedError. A
// file whose stem is none of the seven names and that holds records ends the
// builder with UnknownVectorFileKindError; without records it gives nothing.
// Test names are not made unique. A failure names the vector file, record
// and line, the field of the expected value and the block of the first
// differing byte. No record at all gives one failing test "NoVectorApplies".
// The two block-cipher property groups follow. I/O errors propagate
// (DataFileError).
//
// diagnoseTwoFishVectors<K>() runs the same selection without building tests;
// a file of unknown kind that holds records is noted and the rest still read.

#include <vector>

#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/errors.hpp>  // KeyRefusedError, UnknownVectorFileKindError
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The known-answer tests for K (keys built when each test runs), then
/// makeBlockCipherPropTests<K>(); `where`, by default the caller's line,
/// locates the property groups and a NoVectorApplies test.
template <class K>
std::vector<Test> makeTwoFishTests(const SourceLocation& where = SourceLocation::current());
/// The same; `witness` only selects the cipher.
template <class K>
std::vector<Test> makeTwoFishTests(const K& witness, const SourceLocation& where = SourceLocation::current());
/// What the tests would take from each vector file, and why they skip what
/// they skip (builds no tests).
template <class K>
SuiteDiagnostics diagnoseTwoFishVectors();

}  // namespace quillon_tests

#include <quillon_tests/detail/twofish.hpp>
