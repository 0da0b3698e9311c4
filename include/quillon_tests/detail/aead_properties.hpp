#pragma once
// Body of quillon_tests/aead_properties.hpp. The properties themselves are
// compiled once, in src/aead_properties.cpp, over the type as
// AeadUnderTest sees it.

#include <quillon/aead.hpp>
#include <quillon_tests/detail/aead_under_test.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>
#include <vector>

namespace quillon_tests {

namespace detail {
/// The group of makeAeadPropTests, not yet located.
std::vector<Test> aeadPropertyTests(AeadUnderTest aead);
}  // namespace detail

template <class A>
std::vector<Test> makeAeadPropTests(const SourceLocation& where) {
  using C = detail::CheckedAead<A>;
  return detail::locatedAt(detail::aeadPropertyTests(detail::aeadUnderTest<C>()), where);
}

template <class A>
std::vector<Test> makeAeadPropTests(const A& /*witness*/, const SourceLocation& where) {
  return makeAeadPropTests<detail::CheckedAead<A>>(where);
}

}  // namespace quillon_tests
