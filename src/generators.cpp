#include <cstring>
#include <ostream>
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

// Length first, then the bytes: two draws from the engine's stream.
quillon::ByteString drawByteString(rc::Random& random, int size) {
  const std::size_t length = 1 + static_cast<std::size_t>(random.next() % maxGeneratedLength);
  return detail::fillRandomBytes(random.next(), length, detail::byteBoundForSize(size));
}

}  // namespace

rc::Gen<quillon::ByteString> byteStringGen() {
  return rc::Gen<quillon::ByteString>([](const rc::Random& source, int size) {
    rc::Random random = source;
    return rc::shrinkable::just(drawByteString(random, size));
  });
}

rc::Gen<quillon::LazyByteString> lazyByteStringGen() {
  return rc::Gen<quillon::LazyByteString>([](const rc::Random& source, int size) {
    // The count, then each chunk in turn, from one stream.
    rc::Random random = source;
    const std::size_t count = static_cast<std::size_t>(random.next() % (maxGeneratedChunks + 1));
    std::vector<quillon::ByteString> chunks;
    chunks.reserve(count);
    for (std::size_t i = 0; i < count; ++i) chunks.push_back(drawByteString(random, size));
    return rc::shrinkable::just(quillon::LazyByteString(std::move(chunks)));
  });
}

}  // namespace quillon_tests

namespace quillon {

void showValue(const ByteString& value, std::ostream& os) {
  os << value.size() << (value.size() == 1 ? " byte: " : " bytes: ") << value;
}

void showValue(const LazyByteString& value, std::ostream& os) {
  const auto& chunks = value.chunks();
  os << chunks.size() << (chunks.size() == 1 ? " chunk" : " chunks");
  if (!chunks.empty()) {
    os << " of ";
    const char* separator = "";
    for (const ByteString& chunk : chunks) {
      os << separator << chunk.size();
      separator = ", ";
    }
    os << " bytes (" << value.size() << " in all)";
  }
  os << ": " << value;
}

}  // namespace quillon
