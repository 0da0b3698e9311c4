#pragma once
// assertEqual: the one comparison every test case makes.

#include <string_view>

#include <quillon_tests/errors.hpp>  // AssertionFailure

namespace quillon_tests {

/// Passes when `expected == actual`; otherwise throws AssertionFailure whose
/// text shows `message`, both values, where they differ (byte offset and
/// lengths for byte strings, the differing component for pairs) and `note`
/// (context such as the vector file a value came from). Values are shown
/// through their operator<< (pairs component by component); a type without
/// one shows as "<value without a text form>".
template <class T>
void assertEqual(std::string_view message, const T& expected, const T& actual, std::string_view note = {});

}  // namespace quillon_tests

#include <quillon_tests/detail/assert_equal.hpp>
