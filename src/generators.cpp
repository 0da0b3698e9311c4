#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <quillon_tests/generators.hpp>

#include "xoshiro256.hpp"

namespace quillon_tests {

namespace detail {

int byteBoundForSize(int size) noexcept {
  // The engine's size-scaled bounded-integral rule for an 8-bit type:
  // values in [0, min(255, 2^(size/2))].
  if (size <= 0) return 1;
  if (size >= 16) return 255;
  return 1 << (size / 2);
}

quillon::ByteString fillRandomBytes(std::uint64_t seed, std::size_t length, int bound) {
  Xoshiro256 random(seed);
  std::vector<quillon::Byte> bytes(length);
  quillon::Byte* out = bytes.data();
  std::size_t i = 0;
  if (bound >= 255) {
    for (; i + 8 <= length; i += 8) {
      const std::uint64_t word = random.next();
      std::memcpy(out + i, &word, 8);
    }
    if (i < length) {
      const std::uint64_t word = random.next();
      std::memcpy(out + i, &word, length - i);
    }
  } else {
    // 16 random bits per byte scaled into [0, bound]: byte = (r * (bound+1)) >> 16.
    // The bias is at most (bound + 1) / 65536, far below anything a property
    // could notice. Eight lanes at a time where SSE2 is there (it always is
    // on x86-64): small engine sizes are common enough to matter.
    const std::uint16_t range = static_cast<std::uint16_t>(bound + 1);
#if defined(__SSE2__)
    const __m128i scale = _mm_set1_epi16(static_cast<short>(range));
    for (; i + 16 <= length; i += 16) {
      // Registers, not memory: two 8-byte stores read back by one 16-byte
      // load would stall on store forwarding.
      const auto w0 = static_cast<long long>(random.next());
      const auto w1 = static_cast<long long>(random.next());
      const auto w2 = static_cast<long long>(random.next());
      const auto w3 = static_cast<long long>(random.next());
      const __m128i low = _mm_set_epi64x(w1, w0);
      const __m128i high = _mm_set_epi64x(w3, w2);
      const __m128i packed =
          _mm_packus_epi16(_mm_mulhi_epu16(low, scale), _mm_mulhi_epu16(high, scale));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), packed);
    }
#endif
    while (i < length) {
      std::uint64_t word = random.next();
      for (int lane = 0; lane < 4 && i < length; ++lane, ++i, word >>= 16)
        out[i] = static_cast<quillon::Byte>(((word & 0xffff) * range) >> 16);
    }
  }
  return quillon::ByteString(std::move(bytes));
}

}  // namespace detail

namespace {

using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;
using quillon::LazyByteString;

// Length first, then the bytes: two draws from the engine's stream.
ByteString drawByteString(rc::Random& random, int size) {
  const std::size_t length = 1 + static_cast<std::size_t>(random.next() % maxGeneratedLength);
  return detail::fillRandomBytes(random.next(), length, detail::byteBoundForSize(size));
}

// ---- Shrinking --------------------------------------------------------------
//
// Every candidate is strictly smaller than its source in the order (number
// of chunks, number of bytes, sum of the chunk end offsets, sum of the
// bytes), so greedy shrinking always ends. Candidates are made one at a time
// as the engine pulls them, from a source shared by every candidate of the
// step.

/// The bytes of a string and the lengths of its chunks (one length for a
/// contiguous string; none for an empty one). No length is zero.
struct Flat {
  std::vector<Byte> bytes;
  std::vector<std::size_t> lengths;
};

Flat flatten(const ByteString& value) {
  return {std::vector<Byte>(value.begin(), value.end()), {value.size()}};
}

Flat flatten(const LazyByteString& value) {
  Flat flat;
  flat.bytes.reserve(value.size());
  for (const ByteString& chunk : value.chunks()) {
    flat.bytes.insert(flat.bytes.end(), chunk.begin(), chunk.end());
    flat.lengths.push_back(chunk.size());
  }
  return flat;
}

template <class T>
T rebuild(Flat flat);

template <>
ByteString rebuild<ByteString>(Flat flat) {
  return ByteString(std::move(flat.bytes));
}

template <>
LazyByteString rebuild<LazyByteString>(Flat flat) {
  std::vector<ByteString> chunks;
  chunks.reserve(flat.lengths.size());
  std::size_t at = 0;
  for (std::size_t length : flat.lengths) {
    chunks.emplace_back(ByteView(flat.bytes).subspan(at, length));
    at += length;
  }
  return LazyByteString(std::move(chunks));
}

/// `flat` without the bytes [from, to); chunks left empty disappear.
Flat without(const Flat& flat, std::size_t from, std::size_t to) {
  Flat out;
  out.bytes.reserve(flat.bytes.size() - (to - from));
  out.bytes.insert(out.bytes.end(), flat.bytes.begin(), flat.bytes.begin() + static_cast<std::ptrdiff_t>(from));
  out.bytes.insert(out.bytes.end(), flat.bytes.begin() + static_cast<std::ptrdiff_t>(to), flat.bytes.end());
  std::size_t start = 0;
  for (std::size_t length : flat.lengths) {
    const std::size_t end = start + length;
    const std::size_t removed = std::min(end, to) - std::min(std::max(start, from), std::min(end, to));
    if (length > removed) out.lengths.push_back(length - removed);
    start = end;
  }
  return out;
}

/// One stage of a step: `count` positions, each making a candidate or
/// nothing (a position that would not change the value, or does not apply).
template <class T, class Make>
class Stage {
 public:
  Stage(std::size_t count, Make make) : count_(count), make_(std::move(make)) {}

  rc::Maybe<T> operator()() {
    while (next_ < count_) {
      std::optional<T> candidate = make_(next_++);
      if (candidate) return std::move(*candidate);
    }
    return rc::Nothing;
  }

 private:
  std::size_t count_;
  std::size_t next_ = 0;
  Make make_;
};

template <class T, class Make>
rc::Seq<T> stage(std::size_t count, Make make) {
  return rc::Seq<T>(Stage<T, Make>(count, std::move(make)));
}

/// The ranges set to zero, coarse to fine: the whole string, then halves,
/// quarters, ... down to single bytes. Range `index` of a string of `n`.
std::size_t zeroRangeCount(std::size_t n) {
  std::size_t count = 0;
  for (std::size_t width = n; width > 0; width = width == 1 ? 0 : (width + 1) / 2)
    count += (n + width - 1) / width;
  return count;
}

std::pair<std::size_t, std::size_t> zeroRange(std::size_t n, std::size_t index) {
  for (std::size_t width = n; width > 0; width = width == 1 ? 0 : (width + 1) / 2) {
    const std::size_t ranges = (n + width - 1) / width;
    if (index < ranges) return {index * width, std::min(n, (index + 1) * width)};
    index -= ranges;
  }
  return {0, 0};
}

/// Stage "simpler bytes": ranges set to zero, then single bytes moved
/// toward zero: a byte b becomes b - b/2, b - b/4, ..., b - 1 (so the
/// smallest value that still fails is found in a few steps).
template <class T>
rc::Seq<T> simplerBytes(const std::shared_ptr<const Flat>& flat) {
  const std::size_t n = flat->bytes.size();
  auto zeroed = stage<T>(zeroRangeCount(n), [flat, n](std::size_t index) -> std::optional<T> {
    const auto [from, to] = zeroRange(n, index);
    const auto first = flat->bytes.begin() + static_cast<std::ptrdiff_t>(from);
    const auto last = flat->bytes.begin() + static_cast<std::ptrdiff_t>(to);
    if (std::all_of(first, last, [](Byte b) { return b == 0; })) return std::nullopt;
    Flat candidate = *flat;
    std::fill(candidate.bytes.begin() + static_cast<std::ptrdiff_t>(from),
              candidate.bytes.begin() + static_cast<std::ptrdiff_t>(to), Byte{0});
    return rebuild<T>(std::move(candidate));
  });
  constexpr std::size_t stepsPerByte = 7;  // b/2 ... b/128; b/256 is 0
  auto lowered = stage<T>(n * stepsPerByte, [flat](std::size_t index) -> std::optional<T> {
    const Byte b = flat->bytes[index / stepsPerByte];
    const auto step = static_cast<Byte>(b >> (index % stepsPerByte + 1));
    // A step of 0 changes nothing; b - b is a zeroed range already.
    if (step == 0 || step == b) return std::nullopt;
    Flat candidate = *flat;
    candidate.bytes[index / stepsPerByte] = static_cast<Byte>(b - step);
    return rebuild<T>(std::move(candidate));
  });
  return rc::seq::concat(std::move(zeroed), std::move(lowered));
}

/// The byte range that "shorter" removes from a string of `n` bytes at
/// `index`, or nothing: the first half kept, the second half kept, the last
/// byte off, the first byte off (the ends only when they differ from the
/// halves).
std::optional<std::pair<std::size_t, std::size_t>> shorterCut(std::size_t n, std::size_t index) {
  if (n < 2) return std::nullopt;
  switch (index) {
    case 0: return std::pair{n / 2, n};      // keep the first half
    case 1: return std::pair{std::size_t{0}, n - n / 2};  // keep the second half
    case 2: return n > 2 ? std::optional(std::pair{n - 1, n}) : std::nullopt;
    case 3: return n > 2 ? std::optional(std::pair{std::size_t{0}, std::size_t{1}}) : std::nullopt;
    default: return std::nullopt;
  }
}
constexpr std::size_t shorterCuts = 4;

/// The chunks of `flat` from `from` to `to` (indices), or without chunk
/// `dropped`, or with chunk `merged` joined to the next.
Flat keepChunks(const Flat& flat, std::size_t from, std::size_t to) {
  std::size_t start = 0, end = 0;
  for (std::size_t i = 0; i < to; ++i) (i < from ? start : end) += flat.lengths[i];
  end += start;
  return without(without(flat, end, flat.bytes.size()), 0, start);
}

}  // namespace

namespace detail {

rc::Seq<ByteString> byteStringShrinks(const ByteString& value) {
  auto flat = std::make_shared<const Flat>(flatten(value));
  const std::size_t n = value.size();
  auto shorter = stage<ByteString>(shorterCuts, [flat, n](std::size_t index) -> std::optional<ByteString> {
    const auto cut = shorterCut(n, index);
    if (!cut) return std::nullopt;
    return rebuild<ByteString>(without(*flat, cut->first, cut->second));
  });
  return rc::seq::concat(std::move(shorter), simplerBytes<ByteString>(flat));
}

rc::Seq<LazyByteString> lazyByteStringShrinks(const LazyByteString& value) {
  auto flat = std::make_shared<const Flat>(flatten(value));
  const std::size_t k = flat->lengths.size();
  const std::size_t n = flat->bytes.size();
  using Candidate = std::optional<LazyByteString>;

  // Fewer chunks: none; the first or second half of the chunks; each chunk
  // dropped; each pair of neighbours merged.
  auto fewer = stage<LazyByteString>(3 + 2 * k, [flat, k](std::size_t index) -> Candidate {
    if (index == 0) return k > 0 ? Candidate(LazyByteString()) : std::nullopt;
    if (index <= 2) {
      if (k < 4) return std::nullopt;
      return index == 1 ? rebuild<LazyByteString>(keepChunks(*flat, 0, k / 2))
                        : rebuild<LazyByteString>(keepChunks(*flat, k / 2, k));
    }
    if (k < 2) return std::nullopt;
    index -= 3;
    if (index < k) {
      std::size_t start = 0;
      for (std::size_t i = 0; i < index; ++i) start += flat->lengths[i];
      return rebuild<LazyByteString>(without(*flat, start, start + flat->lengths[index]));
    }
    index -= k;
    if (index + 1 >= k) return std::nullopt;
    Flat candidate = *flat;
    candidate.lengths[index] += candidate.lengths[index + 1];
    candidate.lengths.erase(candidate.lengths.begin() + static_cast<std::ptrdiff_t>(index) + 1);
    return rebuild<LazyByteString>(std::move(candidate));
  });

  // Shorter: the whole message's halves and ends, then each chunk's (when
  // there is more than one chunk; otherwise they are the same candidates).
  const std::size_t perChunk = k > 1 ? k : 0;
  auto shorter = stage<LazyByteString>(shorterCuts * (1 + perChunk), [flat, n](std::size_t index) -> Candidate {
    std::size_t start = 0, length = n;
    if (index >= shorterCuts) {
      const std::size_t chunk = index / shorterCuts - 1;
      for (std::size_t i = 0; i < chunk; ++i) start += flat->lengths[i];
      length = flat->lengths[chunk];
    }
    const auto cut = shorterCut(length, index % shorterCuts);
    if (!cut) return std::nullopt;
    return rebuild<LazyByteString>(without(*flat, start + cut->first, start + cut->second));
  });

  // Boundaries toward the start: the chunk before boundary j cut to one
  // byte, to half its length, by one byte; the chunk after takes the rest.
  auto boundaries = stage<LazyByteString>(3 * (k > 0 ? k - 1 : 0), [flat](std::size_t index) -> Candidate {
    const std::size_t j = index / 3;
    const std::size_t length = flat->lengths[j];
    std::size_t shorter = 0;
    switch (index % 3) {
      case 0: shorter = 1; break;
      case 1: shorter = length / 2; break;
      default: shorter = length - 1; break;
    }
    // Only real moves, and each new length once (1, then half, then length - 1).
    const bool fresh = index % 3 == 0 ? length > 1
                       : index % 3 == 1 ? shorter > 1 && shorter < length
                                        : shorter > 1 && shorter > length / 2;
    if (!fresh) return std::nullopt;
    Flat candidate = *flat;
    candidate.lengths[j + 1] += length - shorter;
    candidate.lengths[j] = shorter;
    return rebuild<LazyByteString>(std::move(candidate));
  });

  return rc::seq::concat(std::move(fewer), std::move(shorter), std::move(boundaries),
                         simplerBytes<LazyByteString>(flat));
}

}  // namespace detail

rc::Shrinkable<ByteString> shrinkableByteString(ByteString value) {
  return rc::shrinkable::shrinkRecur(std::move(value),
                                     [](const ByteString& v) { return detail::byteStringShrinks(v); });
}

rc::Shrinkable<LazyByteString> shrinkableLazyByteString(LazyByteString value) {
  return rc::shrinkable::shrinkRecur(std::move(value),
                                     [](const LazyByteString& v) { return detail::lazyByteStringShrinks(v); });
}

rc::Gen<ByteString> byteStringGen() {
  return rc::Gen<ByteString>([](const rc::Random& source, int size) {
    rc::Random random = source;
    return shrinkableByteString(drawByteString(random, size));
  });
}

rc::Gen<LazyByteString> lazyByteStringGen() {
  return rc::Gen<LazyByteString>([](const rc::Random& source, int size) {
    // The count, then each chunk in turn, from one stream.
    rc::Random random = source;
    const std::size_t count = static_cast<std::size_t>(random.next() % (maxGeneratedChunks + 1));
    std::vector<ByteString> chunks;
    chunks.reserve(count);
    for (std::size_t i = 0; i < count; ++i) chunks.push_back(drawByteString(random, size));
    return shrinkableLazyByteString(LazyByteString(std::move(chunks)));
  });
}

namespace {

std::string countBytes(std::size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

// Chunk lengths listed in a shape, and bytes shown per value, before "...".
constexpr std::size_t shownChunkLengths = 16;
constexpr std::size_t shownBytes = 48;
constexpr std::size_t shownBytesPerChunk = 16;

/// Hex of `bytes`, at most `limit` of them; "..." marks the rest.
void writeHex(std::ostream& os, ByteView bytes, std::size_t limit) {
  if (bytes.size() <= limit) {
    os << ByteString(bytes);
  } else {
    os << ByteString(bytes.first(limit)) << "...";
  }
}

}  // namespace

std::string describeShape(const ByteString& value) { return countBytes(value.size()); }

std::string describeShape(const LazyByteString& value) {
  std::string text = countBytes(value.size()) + " in chunks [";
  const auto& chunks = value.chunks();
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    if (i == shownChunkLengths) {
      text += ", ... (" + std::to_string(chunks.size()) + " chunks)";
      break;
    }
    if (i > 0) text += ", ";
    text += std::to_string(chunks[i].size());
  }
  return text + "]";
}

}  // namespace quillon_tests

namespace quillon {

void showValue(const ByteString& value, std::ostream& os) {
  os << quillon_tests::describeShape(value) << ": ";
  quillon_tests::writeHex(os, value, quillon_tests::shownBytes);
}

void showValue(const LazyByteString& value, std::ostream& os) {
  os << quillon_tests::describeShape(value) << ": [";
  // Long chunks show their start; past the overall budget, chunks are left out.
  std::size_t budget = quillon_tests::shownBytes;
  const auto& chunks = value.chunks();
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    if (i > 0) os << ", ";
    if (budget == 0) {
      os << "...";
      break;
    }
    const std::size_t limit =
        std::min(budget, chunks.size() == 1 ? quillon_tests::shownBytes : quillon_tests::shownBytesPerChunk);
    quillon_tests::writeHex(os, chunks[i], limit);
    budget -= std::min(limit, chunks[i].size());
  }
  os << ']';
}

}  // namespace quillon
