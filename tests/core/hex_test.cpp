#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <quillon_tests/hex.hpp>

namespace quillon_tests {
namespace {

const std::string oddLength = "Not an even number of hex characters in input to hexStringToBS!";

std::string unreadableAt(std::size_t offset, const std::string& shown) {
  return "hexStringToBS: no hex digit at the start of the pair at offset " + std::to_string(offset) +
         " (" + shown + ")";
}

// Either the bytes or the exact error text.
using Outcome = std::variant<quillon::ByteString, std::string>;

struct HexCase {
  const char* name;
  std::string text;
  Outcome expected;
};

void PrintTo(const HexCase& c, std::ostream* os) { *os << c.name; }

Outcome decode(const std::string& text) {
  try {
    return hexStringToBS(text);
  } catch (const HexDecodeError& error) {
    return std::string(error.what());
  }
}

class HexStringToBSTest : public testing::TestWithParam<HexCase> {};

TEST_P(HexStringToBSTest, DecodesOrRaisesExactError) {
  const Outcome got = decode(GetParam().text);
  if (const auto* bytes = std::get_if<quillon::ByteString>(&GetParam().expected)) {
    ASSERT_TRUE(std::holds_alternative<quillon::ByteString>(got)) << std::get<std::string>(got);
    EXPECT_EQ(std::get<quillon::ByteString>(got), *bytes);
  } else {
    ASSERT_TRUE(std::holds_alternative<std::string>(got)) << "decoded without error";
    EXPECT_EQ(std::get<std::string>(got), std::get<std::string>(GetParam().expected));
  }
}

using quillon::ByteString;

// A long valid text with one character replaced, so that a fault lands in the
// middle of a block of a word-at-a-time decoder, not only in its tail.
std::string longWith(std::size_t at, char c) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "0123456789abcdefABCDEF";  // 880 characters
  text[at] = c;
  return text;
}

ByteString longBytes(std::size_t at, std::optional<quillon::Byte> replaced) {
  const ByteString clean = hexStringToBS(longWith(0, '0'));
  std::vector<quillon::Byte> bytes(clean.begin(), clean.end());
  if (replaced) bytes[at / 2] = *replaced;
  return ByteString(std::move(bytes));
}

INSTANTIATE_TEST_SUITE_P(Table, HexStringToBSTest, testing::Values(
    HexCase{"Empty", "", ByteString{}},
    HexCase{"MixedCase", "00ff7F", ByteString{0x00, 0xff, 0x7f}},
    HexCase{"CaseInsensitive", "AbCd", ByteString{0xab, 0xcd}},
    HexCase{"EveryDigit", "0123456789abcdefABCDEF", ByteString{0x01, 0x23, 0x45, 0x67, 0x89, 0xab,
                                                              0xcd, 0xef, 0xab, 0xcd, 0xef}},
    HexCase{"ThirtyTwoBytes", std::string(64, 'f'), ByteString(32, 0xff)},
    HexCase{"OddLength", "abc", oddLength},
    HexCase{"OddLengthBeatsUnreadablePair", "zz1", oddLength},
    HexCase{"OddLengthSingleCharacter", "g", oddLength},
    HexCase{"UnreadableFirstDigit", "g0", unreadableAt(0, "'g'")},
    HexCase{"SignIsNotADigit", "-1", unreadableAt(0, "'-'")},
    HexCase{"LeadingBlank", " 1", unreadableAt(0, "' '")},
    HexCase{"UnreadableLaterPair", "00112x", ByteString{0x00, 0x11, 0x02}},
    HexCase{"UnreadableThirdPair", "0011x2", unreadableAt(4, "'x'")},
    HexCase{"NonPrintableShownAsByte", std::string("00\0" "0", 4), unreadableAt(2, "byte 0")},
    HexCase{"HighByteShownAsByte", "\xC3\xA9", unreadableAt(0, "byte 195")},
    HexCase{"SecondDigitMissingTakesFirst", "0g", ByteString{0x00}},
    HexCase{"TrailingBlankTakesFirst", "f ", ByteString{0x0f}},
    HexCase{"SecondLetterIgnored", "7x41", ByteString{0x07, 0x41}},
    HexCase{"ZeroXPrefixIsOrdinary", "0x12", ByteString{0x00, 0x12}},
    HexCase{"LongClean", longWith(0, '0'), longBytes(0, std::nullopt)},
    HexCase{"LongBadFirstDigitMidBlock", longWith(402, 'G'), unreadableAt(402, "'G'")},
    HexCase{"LongBadFirstDigitLastPair", longWith(878, '.'), unreadableAt(878, "'.'")},
    HexCase{"LongBadSecondDigitMidBlock", longWith(403, 'z'), longBytes(402, 0x06)},
    HexCase{"LongBadSecondDigitLastPair", longWith(879, '\n'), longBytes(878, 0x0e)}),
    [](const testing::TestParamInfo<HexCase>& info) { return std::string(info.param.name); });

// The decoder reads long texts in blocks (vectorised where it can) and pairs
// one at a time elsewhere; every position of a fault must give what a plain
// pair-by-pair reading gives, whichever block it falls in.
Outcome readPairByPair(const std::string& text) {
  if (text.size() % 2 != 0) return oddLength;
  auto value = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::vector<quillon::Byte> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = value(text[i]), low = value(text[i + 1]);
    if (high < 0) {
      const auto c = static_cast<unsigned char>(text[i]);
      return unreadableAt(i, c >= 0x20 && c < 0x7f ? std::string("'") + text[i] + "'"
                                                     : "byte " + std::to_string(c));
    }
    bytes.push_back(static_cast<quillon::Byte>(low < 0 ? high : high * 16 + low));
  }
  return quillon::ByteString(std::move(bytes));
}

TEST(HexStringToBSBlocks, EveryFaultPositionReadsAsPairByPair) {
  const std::string digits = "0123456789abcdefABCDEF";
  std::string clean;
  for (std::size_t i = 0; i < 134; ++i) clean += digits[(i * 7) % digits.size()];
  for (char fault : {'g', ' ', 'G', '/', ':', '@', '`', '\x80'}) {
    for (std::size_t at = 0; at < clean.size(); ++at) {
      std::string text = clean;
      text[at] = fault;
      ASSERT_EQ(decode(text), readPairByPair(text)) << "fault at " << at;
    }
  }
  EXPECT_EQ(decode(clean), readPairByPair(clean));
}

}  // namespace
}  // namespace quillon_tests
