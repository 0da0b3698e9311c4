#pragma once
// The builders of quillon_tests/all_tests.hpp.

#include <utility>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/cmac.hpp>
#include <quillon/hash.hpp>
#include <quillon_tests/aes.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/hmac.hpp>
#include <quillon_tests/md5.hpp>
#include <quillon_tests/mode_consistency.hpp>
#include <quillon_tests/mode_kat.hpp>
#include <quillon_tests/monte.hpp>
#include <quillon_tests/sha.hpp>
#include <quillon_tests/test_tree.hpp>
#include <quillon_tests/twofish.hpp>

namespace quillon_tests {

namespace detail {

inline void appendTests(std::vector<Test>& tests, std::vector<Test>&& more) {
  for (Test& test : more) tests.push_back(std::move(test));
}
inline void appendTests(std::vector<Test>& tests, Test&& more) { tests.push_back(std::move(more)); }

/// The suites' tests one after the other, in the order given.
template <class... Suites>
std::vector<Test> joinedSuites(Suites&&... suites) {
  std::vector<Test> tests;
  (appendTests(tests, std::forward<Suites>(suites)), ...);
  return tests;
}

/// A cipher's own CMAC checked against the generic one, when it has its own.
template <class K>
std::vector<Test> ownCmacProperty(const SourceLocation& where) {
  if constexpr (quillon::HasOwnCmac<K>)
    return {makeCMACPropTests<K>(where)};
  else
    return {};
}

}  // namespace detail

template <class K>
std::vector<Test> makeAllAESTests(const SourceLocation& where) {
  using C = detail::CheckedCipher<K>;
  return detail::joinedSuites(makeAESTests<C>(where), makeAESCTRTests<C>(where), makeAESMonteTests<C>(where),
                              makeCMACTests<C>(where), detail::ownCmacProperty<C>(where),
                              makeModeConsistencyTests<C>(where));
}

template <class K>
std::vector<Test> makeAllTwoFishTests(const SourceLocation& where) {
  using C = detail::CheckedCipher<K>;
  return detail::joinedSuites(makeTwoFishTests<C>(where), makeTwoFishCMACTests<C>(where),
                              detail::ownCmacProperty<C>(where), makeModeConsistencyTests<C>(where));
}

template <class D>
std::vector<Test> makeAllMD5Tests(const SourceLocation& where) {
  return makeMD5Tests<detail::CheckedDigest<D>>(where);
}

template <class D>
std::vector<Test> makeAllSHA1Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA1Tests<H>(where), makeSHA1MonteTests<H>(where),
                              makeSHA1HMACTests<H>(where));
}

template <class D>
std::vector<Test> makeAllSHA224Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA224Tests<H>(where), makeSHA224MonteTests<H>(where),
                              makeSHA224HMACTests<H>(where));
}

template <class D>
std::vector<Test> makeAllSHA256Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA256Tests<H>(where), makeSHA256MonteTests<H>(where),
                              makeSHA256HMACTests<H>(where));
}

template <class D>
std::vector<Test> makeAllSHA384Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA384Tests<H>(where), makeSHA384MonteTests<H>(where),
                              makeSHA384HMACTests<H>(where));
}

template <class D>
std::vector<Test> makeAllSHA512Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA512Tests<H>(where), makeSHA512MonteTests<H>(where),
                              makeSHA512HMACTests<H>(where));
}

template <class D>
std::vector<Test> makeAllSHA512_224Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA512_224Tests<H>(where), makeSHA512_224MonteTests<H>(where));
}

template <class D>
std::vector<Test> makeAllSHA512_256Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA512_256Tests<H>(where), makeSHA512_256MonteTests<H>(where));
}

template <class D>
std::vector<Test> makeAllSHA3_224Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA3_224Tests<H>(where), makeSHA3_224MonteTests<H>(where));
}

template <class D>
std::vector<Test> makeAllSHA3_256Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA3_256Tests<H>(where), makeSHA3_256MonteTests<H>(where));
}

template <class D>
std::vector<Test> makeAllSHA3_384Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA3_384Tests<H>(where), makeSHA3_384MonteTests<H>(where));
}

template <class D>
std::vector<Test> makeAllSHA3_512Tests(const SourceLocation& where) {
  using H = detail::CheckedDigest<D>;
  return detail::joinedSuites(makeSHA3_512Tests<H>(where), makeSHA3_512MonteTests<H>(where));
}

// The same over a witness: the checked type, so that a type missing a
// member gives the one message above and nothing else.
template <class K>
std::vector<Test> makeAllAESTests(const K& /*witness*/, const SourceLocation& where) {
  return makeAllAESTests<detail::CheckedCipher<K>>(where);
}
template <class K>
std::vector<Test> makeAllTwoFishTests(const K& /*witness*/, const SourceLocation& where) {
  return makeAllTwoFishTests<detail::CheckedCipher<K>>(where);
}
template <class D>
std::vector<Test> makeAllMD5Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllMD5Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA1Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA1Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA224Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA224Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA256Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA256Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA384Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA384Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA512Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA512Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA512_224Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA512_224Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA512_256Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA512_256Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA3_224Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA3_224Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA3_256Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA3_256Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA3_384Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA3_384Tests<detail::CheckedDigest<D>>(where);
}
template <class D>
std::vector<Test> makeAllSHA3_512Tests(const D& /*witness*/, const SourceLocation& where) {
  return makeAllSHA3_512Tests<detail::CheckedDigest<D>>(where);
}

}  // namespace quillon_tests
