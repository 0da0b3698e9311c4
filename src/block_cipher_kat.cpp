#include <quillon_tests/detail/block_cipher_kat.hpp>

#include <algorithm>

#include <quillon_tests/assert_equal.hpp>

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

void checkCipherOutput(const quillon::ByteString& computed, const quillon::ByteString& expected,
                       const CipherCheck& check) {
  if (computed == expected) return;
  std::string note = describeOrigin(check.path, check.record);
  note.append("\nexpected = ").append(check.expectedField).append(" from the vector file, got = ");
  note.append(check.operation).append(" computed by the cipher\n");
  const std::size_t offset = firstDifference(computed, expected);
  const bool differ = offset < std::min(computed.size(), expected.size());
  note.append(differ ? "first difference at byte " : "one value ends at byte ");
  note.append(std::to_string(offset));
  if (check.blockSizeBits >= 8) {
    const auto blockBytes = static_cast<std::size_t>(check.blockSizeBits / 8);
    note.append(", in block ").append(std::to_string(offset / blockBytes));
    note.append(" (").append(std::to_string(blockBytes)).append("-byte blocks, counted from 0)");
  }
  assertEqual(check.name, expected, computed, note);
}

void throwKeyRefused(const KatSuiteInfo& suite, std::string_view testName, std::string_view path,
                     std::size_t record, std::size_t keyBytes) {
  throw KeyRefusedError(suite.suite + ": " + std::string(testName) + ": buildKey refused the " +
                        std::to_string(keyBytes) + "-byte key of field \"KEY\" (" +
                        describeOrigin(path, record) + ")");
}

}  // namespace quillon_tests::detail
