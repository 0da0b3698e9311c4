#pragma once
// Byte strings for suite tests: deterministic patterns, their hex text as a
// vector file holds it, and IVs read from bytes.

#include <cstddef>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>

namespace test_support {

/// The hex text of `bytes`, as the suites read it from a vector file.
inline std::string hex(const quillon::ByteString& bytes) {
  std::ostringstream out;
  out << bytes;
  return out.str();
}

/// `length` bytes that differ from position to position and from seed to seed.
inline quillon::ByteString pattern(std::size_t length, unsigned seed = 0) {
  std::vector<quillon::Byte> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<quillon::Byte>(i * 7 + seed * 31 + 1);
  return quillon::ByteString(std::move(bytes));
}

/// The IV of K read from `bytes`, which must hold at least one block.
template <class K>
quillon::IV<K> ivOf(quillon::ByteView bytes) {
  return std::get<quillon::Done<quillon::IV<K>>>(quillon::IV<K>::get(bytes)).value;
}

}  // namespace test_support
