#pragma once
// Random byte strings for property tests, registered with RapidCheck.
//
//  - ByteString: 1 to 4097 bytes (never empty), the length uniform; each byte
//    uniform in [0, min(255, 2^(size/2))], so small sizes give small bytes.
//  - LazyByteString: 0 to 10 chunks, each drawn as a ByteString, so chunk
//    boundaries fall anywhere relative to a cipher block.
//
// Neither shrinks: a failing input is reported exactly as drawn. All
// randomness comes from the engine's random source (one draw seeds a fast
// local generator per value), so RC_PARAMS seeds reproduce values exactly.

#include <rapidcheck.h>

#include <iosfwd>

#include <quillon/byte_string.hpp>

namespace quillon_tests {

inline constexpr std::size_t maxGeneratedLength = 4097;
inline constexpr std::size_t maxGeneratedChunks = 10;

rc::Gen<quillon::ByteString> byteStringGen();
rc::Gen<quillon::LazyByteString> lazyByteStringGen();

namespace detail {
/// The largest byte value drawn at engine size `size`.
int byteBoundForSize(int size) noexcept;
/// A ByteString of `length` bytes, each uniform in [0, bound], from `seed`.
quillon::ByteString fillRandomBytes(std::uint64_t seed, std::size_t length, int bound);
}  // namespace detail

}  // namespace quillon_tests

namespace quillon {

/// How RapidCheck shows generated inputs in a failure report: the lengths
/// first ("3 chunks of 1203, 17, 4000 bytes"), then the bytes in hex, since
/// inputs are reported unshrunk and can be tens of kilobytes.
void showValue(const ByteString& value, std::ostream& os);
void showValue(const LazyByteString& value, std::ostream& os);

}  // namespace quillon

namespace rc {

template <>
struct Arbitrary<quillon::ByteString> {
  static Gen<quillon::ByteString> arbitrary() { return quillon_tests::byteStringGen(); }
};

template <>
struct Arbitrary<quillon::LazyByteString> {
  static Gen<quillon::LazyByteString> arbitrary() { return quillon_tests::lazyByteStringGen(); }
};

}  // namespace rc
