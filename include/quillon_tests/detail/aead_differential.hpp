#pragma once
// Body of quillon_tests/aead_differential.hpp. The properties themselves
// are compiled once, in src/aead_differential.cpp, over both types as
// AeadUnderTest sees them.

#include <quillon/aead.hpp>
#include <quillon_tests/detail/aead_under_test.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>
#include <vector>

namespace quillon_tests {

namespace detail {
/// The group of makeAeadDifferentialTests, not yet located.
std::vector<Test> aeadDifferentialTests(AeadUnderTest aead, AeadUnderTest reference);
}  // namespace detail

template <class A, class R>
std::vector<Test> makeAeadDifferentialTests(const SourceLocation& where) {
  using C = detail::CheckedAead<A>;
  using Reference = detail::CheckedAead<R>;
  return detail::locatedAt(detail::aeadDifferentialTests(detail::aeadUnderTest<C>(), detail::aeadUnderTest<Reference>()),
                           where);
}

template <class A, class R>
std::vector<Test> makeAeadDifferentialTests(const A& /*witness*/, const R& /*reference*/,
                                            const SourceLocation& where) {
  return makeAeadDifferentialTests<detail::CheckedAead<A>, detail::CheckedAead<R>>(where);
}

}  // namespace quillon_tests
