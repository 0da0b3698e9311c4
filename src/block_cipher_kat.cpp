#include <quillon_tests/detail/block_cipher_kat.hpp>

#include <algorithm>

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/hex.hpp>

#include "kat_origin.hpp"

namespace quillon_tests::detail {

namespace {

/// The first offset at which the two differ; the shorter length when one is
/// a prefix of the other.
std::size_t firstDifference(quillon::ByteView a, quillon::ByteView b) {
  const std::size_t common = std::min(a.size(), b.size());
  const auto parting = std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(common),
                                     b.begin());
  return static_cast<std::size_t>(parting.first - a.begin());
}

}  // namespace

void checkCipherOutput(std::string_view testName, const quillon::ByteString& computed,
                       const quillon::ByteString& expected, const VectorOrigin& origin,
                       std::string_view operation, std::string_view expectedField,
                       int blockSizeBits) {
  if (computed == expected) return;
  std::string note = describeOrigin(origin.path ? *origin.path : std::string(), origin.record);
  note.append("\nexpected = ").append(operation).append(" computed by the cipher, got = ");
  note.append(expectedField).append(" from the vector file\n");
  const std::size_t offset = firstDifference(computed, expected);
  const bool differ = offset < std::min(computed.size(), expected.size());
  note.append(differ ? "first difference at byte " : "one value ends at byte ");
  note.append(std::to_string(offset));
  if (blockSizeBits >= 8) {
    const auto blockBytes = static_cast<std::size_t>(blockSizeBits / 8);
    note.append(", in block ").append(std::to_string(offset / blockBytes));
    note.append(" (").append(std::to_string(blockBytes)).append("-byte blocks, counted from 0)");
  }
  assertEqual(testName, computed, expected, note);
}

quillon::ByteString decodeFieldWhileBuilding(std::string_view text, std::string_view field,
                                             const VectorOrigin& origin) {
  try {
    return hexStringToBS(text);
  } catch (const HexDecodeError& error) {
    throw HexDecodeError(std::string(error.what()) + " (field \"" + std::string(field) + "\", " +
                         describeOrigin(*origin.path, origin.record) + ")");
  }
}

std::string missingField(std::string_view key) {
  return "missing \"" + std::string(key) + "\"";
}

}  // namespace quillon_tests::detail
