#pragma once
// The definitions of quillon_tests/twofish.hpp. The suite's table of file
// kinds is in src/twofish_suite.cpp.

#include <vector>

#include <quillon_tests/detail/block_cipher_kat.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/detail/kat_layouts.hpp>
#include <quillon_tests/twofish.hpp>

namespace quillon_tests {

template <class K>
std::vector<Test> makeTwoFishTests(const SourceLocation& where) {
  using C = detail::CheckedCipher<K>;
  return detail::makeCipherSuite<C, &detail::modeOperation<C>>(detail::twoFishLayout(), where,
                                                                detail::KeyCheck::whenRunning);
}

template <class K>
std::vector<Test> makeTwoFishTests(const K& /*witness*/, const SourceLocation& where) {
  return makeTwoFishTests<detail::CheckedCipher<K>>(where);
}

template <class K>
SuiteDiagnostics diagnoseTwoFishVectors() {
  return detail::diagnoseCipherKat<detail::CheckedCipher<K>>(detail::twoFishLayout(),
                                                             detail::KeyCheck::whenRunning);
}

}  // namespace quillon_tests
