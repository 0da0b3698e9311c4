#pragma once
// The result of running a deserialiser over a complete input.

#include <cstddef>
#include <string>
#include <variant>

namespace quillon {

/// Success: the value read and how many bytes it took. Bytes after
/// `consumed` are not an error; callers ignore them.
template <class T>
struct Done {
  T value;
  std::size_t consumed;
};

/// The input cannot be read as a T.
struct Fail {
  std::string message;
};

/// The input ended before a whole T could be read.
struct Partial {};

/// Only Done counts as success anywhere in the suites.
template <class T>
using GetResult = std::variant<Done<T>, Fail, Partial>;

/// The value of a Done result, or nullptr for Fail and Partial.
template <class T>
const T* doneValue(const GetResult<T>& result) noexcept {
  const auto* done = std::get_if<Done<T>>(&result);
  return done ? &done->value : nullptr;
}

}  // namespace quillon
