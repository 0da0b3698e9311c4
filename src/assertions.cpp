#include <algorithm>
#include <quillon_tests/assert_equal.hpp>

namespace quillon_tests::detail {

std::string describeByteMismatch(quillon::ByteView expected, quillon::ByteView actual) {
  const std::size_t common = std::min(expected.size(), actual.size());
  const auto parting = std::mismatch(expected.begin(), expected.begin() + common, actual.begin());
  const std::size_t offset = static_cast<std::size_t>(parting.first - expected.begin());
  std::ostringstream out;
  out << "lengths: expected " << expected.size() << " bytes, actual " << actual.size()
      << " bytes; ";
  if (offset < common) {
    out << "first difference at byte " << offset;
  } else {
    out << "equal for the first " << common << " bytes, then one value ends";
  }
  out << '\n';
  return out.str();
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
