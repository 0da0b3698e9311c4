#pragma once
// Everything the kit has for one algorithm, in one call: every suite that
// applies to it, each once, in the order of the suites table of the README.
//
//   makeAllAESTests<K>()      makeAESTests (known answers, then the two
//                             block-cipher property groups), makeAESCTRTests,
//                             makeAESMonteTests, makeCMACTests, the group
//                             "CMAC property" when K has its own member
//                             `cmac` (without one, quillon::cmac is the
//                             generic construction, which the CMAC known
//                             answers test), makeModeConsistencyTests
//   makeAllTwoFishTests<K>()  makeTwoFishTests (known answers, then the two
//                             property groups), makeTwoFishCMACTests, "CMAC
//                             property" as for AES, makeModeConsistencyTests
//   makeAllMD5Tests<D>()      makeMD5Tests (the digest property group, then
//                             the seven RFC 1321 vectors)
//   makeAllSHA1Tests<D>() ... makeAllSHA512Tests<D>()
//                             makeSHA<n>Tests (known answers, then the digest
//                             property group), makeSHA<n>MonteTests,
//                             makeSHA<n>HMACTests
//   makeAllSHA512_224Tests<D>(), makeAllSHA512_256Tests<D>(),
//   makeAllSHA3_224Tests<D>() ... makeAllSHA3_512Tests<D>()
//                             the known answers with the digest property
//                             group, then the Monte Carlo tests
//
// The differential suites are not among them: they need a second, trusted
// implementation to compare with (quillon_tests/differential.hpp).
//
// The tests come back as one list, the known-answer tests at its top level
// (their names do not collide across suites) and the property groups as
// groups, so that registering the list under one name gives the same test
// names as registering each suite on its own. Every test is located at the
// caller's line (known answers: at their vector record), and a known-answer
// suite that applies no vector to the type is one failing "NoVectorApplies"
// test, never silence. Each builder also takes a witness value, never
// inspected. The file-based suites throw DataFileError when a vector
// directory cannot be read.

#include <vector>

#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

template <class K> std::vector<Test> makeAllAESTests(const SourceLocation& where = SourceLocation::current());
template <class K> std::vector<Test> makeAllTwoFishTests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllMD5Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA1Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA224Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA256Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA384Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA512Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA512_224Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA512_256Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA3_224Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA3_256Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA3_384Tests(const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA3_512Tests(const SourceLocation& where = SourceLocation::current());

// The same; `witness` only selects the type.
template <class K> std::vector<Test> makeAllAESTests(const K& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class K> std::vector<Test> makeAllTwoFishTests(const K& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllMD5Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA1Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA224Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA256Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA384Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA512Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA512_224Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA512_256Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA3_224Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA3_256Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA3_384Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());
template <class D> std::vector<Test> makeAllSHA3_512Tests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/all_tests.hpp>
