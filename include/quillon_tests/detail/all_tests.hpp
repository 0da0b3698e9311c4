#pragma once
// The builders of quillon_tests/all_tests.hpp.

#include <utility>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/cmac.hpp>
#include <quillon/hash.hpp>
#include <quillon_tests/aes.hpp>
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
  if constexpr (quillon::detail::HasOwnCmac<K>)
    return {makeCMACPropTests<K>(where)};
  else
    return {};
}

/// The type a builder is for, as a value: lets the suites below be written
/// in a generic lambda that is instantiated only for a type that passed.
template <class T>
struct TypeTag {
  using type = T;
};

/// suites(TypeTag<K>{}) for a block cipher K; for any other type one error
/// naming the member it misses, and nothing of the suites instantiated.
template <class K, class Suites>
std::vector<Test> forBlockCipher(Suites suites) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  if constexpr (quillon::BlockCipher<K>) return suites(TypeTag<K>{});
  else return {};
}

/// The same for a digest type D.
template <class D, class Suites>
std::vector<Test> forDigest(Suites suites) {
  static_assert(quillon::diagnoseHash<D>());
  if constexpr (quillon::Hash<D>) return suites(TypeTag<D>{});
  else return {};
}

}  // namespace detail

template <class K>
std::vector<Test> makeAllAESTests(const SourceLocation& where) {
  return detail::forBlockCipher<K>([&](auto cipher) {
    using C = typename decltype(cipher)::type;
    return detail::joinedSuites(makeAESTests<C>(where), makeAESCTRTests<C>(where),
                                makeAESMonteTests<C>(where), makeCMACTests<C>(where),
                                detail::ownCmacProperty<C>(where), makeModeConsistencyTests<C>(where));
  });
}

template <class K>
std::vector<Test> makeAllTwoFishTests(const SourceLocation& where) {
  return detail::forBlockCipher<K>([&](auto cipher) {
    using C = typename decltype(cipher)::type;
    return detail::joinedSuites(makeTwoFishTests<C>(where), makeTwoFishCMACTests<C>(where),
                                detail::ownCmacProperty<C>(where), makeModeConsistencyTests<C>(where));
  });
}

template <class D>
std::vector<Test> makeAllMD5Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) { return makeMD5Tests<typename decltype(digest)::type>(where); });
}

template <class D>
std::vector<Test> makeAllSHA1Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA1Tests<H>(where), makeSHA1MonteTests<H>(where), makeSHA1HMACTests<H>(where));
  });
}

template <class D>
std::vector<Test> makeAllSHA224Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA224Tests<H>(where), makeSHA224MonteTests<H>(where), makeSHA224HMACTests<H>(where));
  });
}

template <class D>
std::vector<Test> makeAllSHA256Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA256Tests<H>(where), makeSHA256MonteTests<H>(where), makeSHA256HMACTests<H>(where));
  });
}

template <class D>
std::vector<Test> makeAllSHA384Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA384Tests<H>(where), makeSHA384MonteTests<H>(where), makeSHA384HMACTests<H>(where));
  });
}

template <class D>
std::vector<Test> makeAllSHA512Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA512Tests<H>(where), makeSHA512MonteTests<H>(where), makeSHA512HMACTests<H>(where));
  });
}

template <class D>
std::vector<Test> makeAllSHA512_224Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA512_224Tests<H>(where), makeSHA512_224MonteTests<H>(where));
  });
}

template <class D>
std::vector<Test> makeAllSHA512_256Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA512_256Tests<H>(where), makeSHA512_256MonteTests<H>(where));
  });
}

template <class D>
std::vector<Test> makeAllSHA3_224Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA3_224Tests<H>(where), makeSHA3_224MonteTests<H>(where));
  });
}

template <class D>
std::vector<Test> makeAllSHA3_256Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA3_256Tests<H>(where), makeSHA3_256MonteTests<H>(where));
  });
}

template <class D>
std::vector<Test> makeAllSHA3_384Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA3_384Tests<H>(where), makeSHA3_384MonteTests<H>(where));
  });
}

template <class D>
std::vector<Test> makeAllSHA3_512Tests(const SourceLocation& where) {
  return detail::forDigest<D>([&](auto digest) {
    using H = typename decltype(digest)::type;
    return detail::joinedSuites(makeSHA3_512Tests<H>(where), makeSHA3_512MonteTests<H>(where));
  });
}

}  // namespace quillon_tests
