#pragma once
// The definitions of quillon_tests/aes.hpp. The suite's table of file kinds
// is in src/aes_suite.cpp.

#include <vector>

#include <quillon_tests/aes.hpp>
#include <quillon_tests/detail/block_cipher_kat.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/detail/kat_layouts.hpp>

namespace quillon_tests {

template <class K>
std::vector<Test> makeAESTests(const SourceLocation& where) {
  using C = detail::CheckedCipher<K>;
  return detail::makeCipherSuite<C, &detail::modeOperation<C>>(detail::aesLayout(), where);
}

template <class K>
std::vector<Test> makeAESTests(const K& /*witness*/, const SourceLocation& where) {
  return makeAESTests<detail::CheckedCipher<K>>(where);
}

template <class K>
SuiteDiagnostics diagnoseAESVectors() {
  return detail::diagnoseCipherKat<detail::CheckedCipher<K>>(detail::aesLayout());
}

}  // namespace quillon_tests
