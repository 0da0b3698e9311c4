#include <algorithm>
#include <quillon_tests/assert_equal.hpp>

namespace quillon_tests::detail {

ByteDifference findByteDifference(quillon::ByteView expected, quillon::ByteView actual) noexcept {
  const std::size_t common = std::min(expected.size(), actual.size());
  const auto parting = std::mismatch(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(common),
                                     actual.begin());
  return {expected.size(), actual.size(), static_cast<std::size_t>(parting.first - expected.begin())};
}

std::string describeByteMismatch(quillon::ByteView expected, quillon::ByteView actual, std::size_t blockBytes) {
  const ByteDifference difference = findByteDifference(expected, actual);
  std::string out = "lengths: expected " + std::to_string(difference.expectedSize) + " bytes, actual " +
                    std::to_string(difference.actualSize) + " bytes; ";
  if (difference.bytesDiffer()) {
    out += "first difference at byte " + std::to_string(difference.offset);
  } else {
    out += "equal for the first " + std::to_string(difference.offset) + " bytes, then one value ends";
  }
  if (blockBytes > 0) {
    out += ", in block " + std::to_string(difference.offset / blockBytes) + " (" + std::to_string(blockBytes) +
           "-byte blocks, counted from 0)";
  }
  out += '\n';
  return out;
}

std::string formatAssertion(std::string_view message, const std::string& expected,
                            const std::string& actual, const std::string& mismatch,
                            std::string_view note) {
  std::string report;
  report.reserve(message.size() + expected.size() + actual.size() + mismatch.size() + 64);
  if (!message.empty()) report.append(message).append("\n");
  report.append("expected: ").append(expected).append("\n");
  report.append(" but got: ").append(actual).append("\n");
  report.append(mismatch);
  if (!note.empty()) report.append(note).append("\n");
  return report;
}

}  // namespace quillon_tests::detail
