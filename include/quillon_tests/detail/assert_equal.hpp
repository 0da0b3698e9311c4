#pragma once
// The definitions of quillon_tests/assert_equal.hpp, and the one text of a
// byte difference that every report of the kit uses.

#include <cstddef>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include <quillon/byte_string.hpp>
#include <quillon_tests/assert_equal.hpp>

namespace quillon_tests {

namespace detail {

/// Where two byte sequences part.
struct ByteDifference {
  std::size_t expectedSize = 0;
  std::size_t actualSize = 0;
  /// The first offset at which they differ; the shorter length when one is
  /// a prefix of the other (or both are equal).
  std::size_t offset = 0;

  /// Whether a byte differs, rather than one value ending early.
  [[nodiscard]] bool bytesDiffer() const noexcept {
    return offset < (expectedSize < actualSize ? expectedSize : actualSize);
  }
};

ByteDifference findByteDifference(quillon::ByteView expected, quillon::ByteView actual) noexcept;

/// The one text of a byte difference, which every report of the kit uses:
/// "lengths: expected 4 bytes, actual 5 bytes; first difference at byte 2"
/// (or "...; equal for the first 4 bytes, then one value ends"), followed,
/// when `blockBytes` is not 0, by ", in block 0 (16-byte blocks, counted
/// from 0)", and a newline.
std::string describeByteMismatch(quillon::ByteView expected, quillon::ByteView actual,
                                 std::size_t blockBytes = 0);

template <class T>
void printValue(std::ostream& os, const T& value) {
  if constexpr (requires { os << value; }) {
    os << value;
  } else {
    os << "<value without a text form>";
  }
}

template <class A, class B>
void printValue(std::ostream& os, const std::pair<A, B>& value) {
  os << '(';
  printValue(os, value.first);
  os << ", ";
  printValue(os, value.second);
  os << ')';
}

/// Extra lines that locate a difference; empty when there is nothing to add.
template <class T>
std::string describeMismatch(const T& expected, const T& actual) {
  if constexpr (std::is_same_v<T, quillon::ByteString>) {
    return describeByteMismatch(expected, actual);
  } else if constexpr (std::is_same_v<T, quillon::LazyByteString>) {
    return describeByteMismatch(expected.toStrict(), actual.toStrict());
  } else {
    return {};
  }
}

template <class A, class B>
std::string describeMismatch(const std::pair<A, B>& expected, const std::pair<A, B>& actual) {
  std::string out;
  auto component = [&out](const char* which, const auto& e, const auto& a) {
    if (e == a) {
      out += std::string(which) + " component: equal\n";
      return;
    }
    out += std::string(which) + " component: DIFFERS\n";
    std::string inner = describeMismatch(e, a);
    if (!inner.empty()) out += "  " + inner;
  };
  component("first", expected.first, actual.first);
  component("second", expected.second, actual.second);
  return out;
}

std::string formatAssertion(std::string_view message, const std::string& expected,
                            const std::string& actual, const std::string& mismatch,
                            std::string_view note);

}  // namespace detail

template <class T>
void assertEqual(std::string_view message, const T& expected, const T& actual, std::string_view note) {
  if (expected == actual) return;
  std::ostringstream expectedText, actualText;
  detail::printValue(expectedText, expected);
  detail::printValue(actualText, actual);
  throw AssertionFailure(detail::formatAssertion(message, expectedText.str(), actualText.str(),
                                                 detail::describeMismatch(expected, actual), note));
}

}  // namespace quillon_tests
