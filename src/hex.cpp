#include <array>
#include <cstdint>
#include <string>

#include <quillon_tests/hex.hpp>

namespace quillon_tests {

namespace {

constexpr std::uint8_t notHex = 0xff;

constexpr std::array<std::uint8_t, 256> makeDigitTable() {
  std::array<std::uint8_t, 256> table{};
  table.fill(notHex);
  for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<std::uint8_t>(c - '0');
  for (int c = 'a'; c <= 'f'; ++c) table[c] = static_cast<std::uint8_t>(c - 'a' + 10);
  for (int c = 'A'; c <= 'F'; ++c) table[c] = static_cast<std::uint8_t>(c - 'A' + 10);
  return table;
}

constexpr std::array<std::uint8_t, 256> digitValue = makeDigitTable();

[[noreturn]] void throwUnreadablePair(std::string_view text, std::size_t offset) {
  const auto c = static_cast<unsigned char>(text[offset]);
  std::string shown = (c >= 0x20 && c < 0x7f) ? std::string("'") + static_cast<char>(c) + "'"
                                              : "byte " + std::to_string(c);
  throw HexDecodeError("hexStringToBS: no hex digit at the start of the pair at offset " +
                       std::to_string(offset) + " (" + shown + ")");
}

}  // namespace

quillon::ByteString hexStringToBS(std::string_view text) {
  if (text.size() % 2 != 0)
    throw HexDecodeError("Not an even number of hex characters in input to hexStringToBS!");
  std::vector<quillon::Byte> bytes(text.size() / 2);
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  quillon::Byte* out = bytes.data();
  const std::size_t count = bytes.size();
  std::size_t i = 0;
  // Eight bytes per step with no branch per digit: a non-digit looks up as
  // 0xff, so one test of the or-ed values clears the whole step. A step that
  // fails is redone below, one pair at a time, to apply the reader's rules.
  for (; i + 8 <= count; i += 8) {
    const unsigned char* pair = in + 2 * i;
    std::uint8_t seen = 0;
    for (std::size_t k = 0; k < 8; ++k) {
      const std::uint8_t high = digitValue[pair[2 * k]];
      const std::uint8_t low = digitValue[pair[2 * k + 1]];
      seen |= high | low;
      out[i + k] = static_cast<quillon::Byte>((high << 4) | low);
    }
    if (seen > 0x0f) break;
  }
  for (; i < count; ++i) {
    const std::uint8_t high = digitValue[in[2 * i]];
    const std::uint8_t low = digitValue[in[2 * i + 1]];
    if ((high | low) == notHex) {
      // Either digit is missing: without a first digit there is no reading;
      // without a second the reader stops after the first.
      if (high == notHex) throwUnreadablePair(text, 2 * i);
      out[i] = high;
      continue;
    }
    out[i] = static_cast<quillon::Byte>((high << 4) | low);
  }
  return quillon::ByteString(std::move(bytes));
}

}  // namespace quillon_tests
