#include <array>
#include <cstdint>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The reading of every pair of characters, indexed by first + 256 * second:
// the byte in the low eight bits, and `noReading` when the first character
// is not a digit. A pair whose second character is not a digit reads as its
// first digit alone, so only a missing first digit needs a branch.
constexpr std::uint16_t noReading = 0x100;

std::array<std::uint16_t, 65536> makePairTable() {
  std::array<std::uint16_t, 65536> table{};
  for (int second = 0; second < 256; ++second) {
    for (int first = 0; first < 256; ++first) {
      const std::uint8_t high = digitValue[static_cast<std::size_t>(first)];
      const std::uint8_t low = digitValue[static_cast<std::size_t>(second)];
      std::uint16_t reading = noReading;
      if (high != notHex) reading = low == notHex ? high : static_cast<std::uint16_t>(high * 16 + low);
      table[static_cast<std::size_t>(first + 256 * second)] = reading;
    }
  }
  return table;
}

// Built on first use: too large a computation for every compiler's
// constant evaluation.
const std::array<std::uint16_t, 65536>& pairReadings() {
  static const std::array<std::uint16_t, 65536> table = makePairTable();
  return table;
}

[[noreturn]] void throwUnreadablePair(std::string_view text, std::size_t offset) {
  const auto c = static_cast<unsigned char>(text[offset]);
  std::string shown = (c >= 0x20 && c < 0x7f) ? std::string("'") + static_cast<char>(c) + "'"
                                              : "byte " + std::to_string(c);
  throw HexDecodeError("hexStringToBS: no hex digit at the start of the pair at offset " +
                       std::to_string(offset) + " (" + shown + ")");
}

#if defined(__SSE2__)
// Sixteen characters to their digit values; false when any of them is not a
// hex digit (the caller then takes the exact path, which knows the rules for
// a pair with one digit).
inline bool digitValues16(const unsigned char* in, __m128i& values) {
  const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i digit = _mm_sub_epi8(chars, _mm_set1_epi8('0'));
  const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(digit, _mm_set1_epi8(9)), digit);
  const __m128i letter = _mm_sub_epi8(_mm_or_si128(chars, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
  const __m128i isLetter = _mm_cmpeq_epi8(_mm_min_epu8(letter, _mm_set1_epi8(5)), letter);
  if (_mm_movemask_epi8(_mm_or_si128(isDigit, isLetter)) != 0xffff) return false;
  values = _mm_or_si128(_mm_and_si128(isDigit, digit),
                        _mm_and_si128(isLetter, _mm_add_epi8(letter, _mm_set1_epi8(10))));
  return true;
}

// Pairs of digit values (first, second) in 16-bit lanes to bytes 16 * first + second.
inline __m128i pairsToBytes(__m128i values) {
  const __m128i high = _mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0x00ff)), 4);
  const __m128i low = _mm_srli_epi16(values, 8);
  return _mm_or_si128(high, low);
}

// Decodes 32 characters at a time while they are all hex digits; returns how
// many bytes were written.
std::size_t decodeAllDigits(const unsigned char* in, quillon::Byte* out, std::size_t count) {
  std::size_t i = 0;
  for (__m128i first, second; i + 16 <= count; i += 16) {
    if (!digitValues16(in + 2 * i, first) || !digitValues16(in + 2 * i + 16, second)) break;
    const __m128i bytes = _mm_packus_epi16(pairsToBytes(first), pairsToBytes(second));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
  }
  return i;
}
#endif

}  // namespace

quillon::ByteString hexStringToBS(std::string_view text) {
  if (text.size() % 2 != 0)
    throw HexDecodeError("Not an even number of hex characters in input to hexStringToBS!");
  std::vector<quillon::Byte> bytes(text.size() / 2);
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  quillon::Byte* out = bytes.data();
  const std::size_t count = bytes.size();
  // One table look-up per byte. Only the hex pairs of the table are hot (a
  // few kilobytes of it), so it stays in the first-level cache. Failures are
  // collected per block of eight and located only when there is one.
  const std::array<std::uint16_t, 65536>& pairReading = pairReadings();
  std::size_t i = 0;
#if defined(__SSE2__)
  // Vector files hold long runs of plain digits; those take the SIMD path.
  i = decodeAllDigits(in, out, count);
#endif
  std::uint16_t failed = 0;
  for (; i + 8 <= count && failed == 0; i += 8) {
    for (std::size_t k = 0; k < 8; ++k) {
      const std::uint16_t reading = pairReading[in[2 * (i + k)] | (in[2 * (i + k) + 1] << 8)];
      failed |= reading;
      out[i + k] = static_cast<quillon::Byte>(reading);
    }
    failed &= noReading;
  }
  if (failed != 0) i -= 8;  // find the pair within the failed block
  for (; i < count; ++i) {
    const std::uint16_t reading = pairReading[in[2 * i] | (in[2 * i + 1] << 8)];
    if (reading & noReading) throwUnreadablePair(text, 2 * i);
    out[i] = static_cast<quillon::Byte>(reading);
  }
  return quillon::ByteString(std::move(bytes));
}

}  // namespace quillon_tests
