#pragma once
// Byte-level text helpers shared by the vector-file parser and reader.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillon_tests::detail {

/// Length in bytes of the white-space character that starts at `p` (0 when
/// none does): bytes 9-13 and 32, and the UTF-8 forms of U+00A0, U+1680,
/// U+2000-U+200A, U+202F, U+205F and U+3000. Each multi-byte form starts with
/// a lead byte and goes on with continuation bytes, so two forms never
/// overlap and the test is the same at any byte position of invalid text.
inline std::size_t whitespaceAt(const unsigned char* p, const unsigned char* end) noexcept {
  const unsigned char c = *p;
  if (c == ' ' || (c >= 9 && c <= 13)) return 1;
  if (c < 0xC2) return 0;
  const std::size_t left = static_cast<std::size_t>(end - p);
  if (c == 0xC2) return (left >= 2 && p[1] == 0xA0) ? 2 : 0;
  if (left < 3) return 0;
  switch (c) {
    case 0xE1:
      return (p[1] == 0x9A && p[2] == 0x80) ? 3 : 0;
    case 0xE2:
      if (p[1] == 0x80) return (p[2] <= 0x8A && p[2] >= 0x80) || p[2] == 0xAF ? 3 : 0;
      return (p[1] == 0x81 && p[2] == 0x9F) ? 3 : 0;
    case 0xE3:
      return (p[1] == 0x80 && p[2] == 0x80) ? 3 : 0;
    default:
      return 0;
  }
}

/// Length of the white-space character that ends just before `end` (0 when
/// none does), looking no further back than `begin`.
inline std::size_t whitespaceBefore(const unsigned char* begin, const unsigned char* end) noexcept {
  const std::size_t size = static_cast<std::size_t>(end - begin);
  if (size == 0) return 0;
  if (const unsigned char c = end[-1]; c == ' ' || (c >= 9 && c <= 13)) return 1;
  if (size >= 2 && whitespaceAt(end - 2, end) == 2) return 2;
  if (size >= 3 && whitespaceAt(end - 3, end) == 3) return 3;
  return 0;
}

inline const unsigned char* bytesOf(std::string_view text) noexcept {
  return reinterpret_cast<const unsigned char*>(text.data());
}

inline std::uint64_t loadWord(const unsigned char* p) noexcept {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

inline constexpr std::uint64_t everyByte(unsigned char value) noexcept {
  return 0x0101010101010101ULL * value;
}

/// Whether every byte of [p, end) is in 0x21..0x7F: ASCII that is neither
/// white space nor another control character below the space.
inline bool isPlainAscii(const unsigned char* p, const unsigned char* end) noexcept {
#if defined(__SSE2__)
  // As signed bytes, everything outside the range is below 0x21: one
  // comparison per 16 bytes, four blocks checked per branch.
  const __m128i limit = _mm_set1_epi8(0x21);
  while (end - p >= 64) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48));
    const __m128i low = _mm_or_si128(_mm_or_si128(_mm_cmplt_epi8(a, limit), _mm_cmplt_epi8(b, limit)),
                                     _mm_or_si128(_mm_cmplt_epi8(c, limit), _mm_cmplt_epi8(d, limit)));
    if (_mm_movemask_epi8(low) != 0) return false;
    p += 64;
  }
  while (end - p >= 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if (_mm_movemask_epi8(_mm_cmplt_epi8(a, limit)) != 0) return false;
    p += 16;
  }
#endif
  // Eight bytes at a time: a byte is flagged when its high bit is set or
  // subtracting 0x21 borrows out of it; a borrow only ever starts at a byte
  // below 0x21, so a set flag always means a byte out of range.
  constexpr std::uint64_t high = everyByte(0x80);
  constexpr std::uint64_t low = everyByte(0x21);
  while (end - p >= 8) {
    const std::uint64_t word = loadWord(p);
    if (((word - low) | word) & high) return false;
    p += 8;
  }
  for (; p != end; ++p)
    if (*p < 0x21 || *p >= 0x80) return false;
  return true;
}

/// The first byte of [p, end) outside 0x21..0x7F (white space, a line end,
/// another control character or a non-ASCII byte), or `end`.
inline const unsigned char* findNonPlain(const unsigned char* p, const unsigned char* end) noexcept {
#if defined(__SSE2__)
  const __m128i limit = _mm_set1_epi8(0x21);
  while (end - p >= 32) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    const unsigned lowA = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(a, limit)));
    const unsigned lowB = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(b, limit)));
    if ((lowA | lowB) != 0) return p + __builtin_ctz(lowA | (lowB << 16));
    p += 32;
  }
  if (end - p >= 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned low = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(a, limit)));
    if (low != 0) return p + __builtin_ctz(low);
    p += 16;
  }
#else
  constexpr std::uint64_t high = everyByte(0x80);
  constexpr std::uint64_t low = everyByte(0x21);
  while (end - p >= 8 && (((loadWord(p) - low) | loadWord(p)) & high) == 0) p += 8;
#endif
  while (p != end && *p >= 0x21 && *p < 0x80) ++p;
  return p;
}

/// Like findNonPlain, but also stops at "=". Made for keys, which are short:
/// one block of 16 bytes is tested at once, the rest byte by byte.
inline const unsigned char* findNonPlainOrEquals(const unsigned char* p, const unsigned char* end) noexcept {
#if defined(__SSE2__)
  if (end - p >= 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i stop = _mm_or_si128(_mm_cmplt_epi8(a, _mm_set1_epi8(0x21)),
                                      _mm_cmpeq_epi8(a, _mm_set1_epi8('=')));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(stop));
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  while (p != end && *p >= 0x21 && *p < 0x80 && *p != '=') ++p;
  return p;
}

/// Offset of the first byte of the first sequence in `text` that is not
/// well-formed UTF-8 (no overlong forms, no surrogates, nothing above
/// U+10FFFF), or std::string_view::npos when the whole text is well formed.
std::size_t firstInvalidUtf8(std::string_view text) noexcept;

}  // namespace quillon_tests::detail
