#pragma once
// Random byte strings for property tests, registered with RapidCheck
// (rc::Arbitrary<quillon::ByteString> and rc::Arbitrary<quillon::LazyByteString>
// draw from byteStringGen and lazyByteStringGen), so that a property's
// arguments of these types are generated as below.
//
//  - ByteString: 1 to 4097 bytes (never empty), the length uniform; each byte
//    uniform in [0, min(255, 2^(size/2))], so small sizes give small bytes.
//  - LazyByteString: 0 to 10 chunks, each drawn as a ByteString, so chunk
//    boundaries fall anywhere relative to a cipher block.
//
// All randomness comes from the engine's random source (one draw seeds a
// fast local generator per value), so RC_PARAMS seeds reproduce values
// exactly. Both generators shrink (see shrinkableByteString below): the
// shrink tree is lazy, so a passing case pays for nothing but the value.

#include <rapidcheck.h>

#include <cstddef>
#include <iosfwd>
#include <string>

#include <quillon/byte_string.hpp>

namespace quillon_tests {

inline constexpr std::size_t maxGeneratedLength = 4097;
inline constexpr std::size_t maxGeneratedChunks = 10;

rc::Gen<quillon::ByteString> byteStringGen();
rc::Gen<quillon::LazyByteString> lazyByteStringGen();

/// `value` with the shrink tree the generators give it, for generators of
/// your own that draw byte strings some other way. Nothing is computed until
/// the engine asks for shrinks, which it does only for a failing case; the
/// tree is a pure function of the value, so a replayed shrink path gives the
/// same case again. The candidates of one step, in the order tried:
///  1. shorter: the first half, the second half, then one byte off the end,
///     one byte off the start;
///  2. simpler bytes: ranges set to zero (everything, halves, quarters, ...
///     down to single bytes), then each byte b lowered to b - b/2, b - b/4,
///     ..., b - 1.
/// A candidate is never empty, as the generator never draws empty strings.
rc::Shrinkable<quillon::ByteString> shrinkableByteString(quillon::ByteString value);

/// The same for chunked strings; candidates in the order tried:
///  1. fewer chunks: none at all, the first or second half of the chunks
///     (from four chunks), each chunk dropped, each pair of neighbours merged;
///  2. shorter: the first or second half of the bytes (chunk boundaries
///     kept), one byte off either end, then each chunk's halves and ends;
///  3. chunk boundaries moved toward the start (the chunk before a boundary
///     cut to one byte, to half, by one byte; the next chunk takes the rest);
///  4. simpler bytes, as for ByteString, over the bytes of all the chunks.
/// No chunk of a candidate is empty.
rc::Shrinkable<quillon::LazyByteString> shrinkableLazyByteString(quillon::LazyByteString value);

/// How a byte string is summed up in reports: "16 bytes", or for chunked
/// strings "16 bytes in chunks [1, 15]" (long chunk lists are cut short).
std::string describeShape(const quillon::ByteString& value);
std::string describeShape(const quillon::LazyByteString& value);

}  // namespace quillon_tests

namespace quillon {

/// How RapidCheck shows generated inputs in a failure report: the shape
/// (describeShape), a colon, then the bytes in hex. Values longer than a
/// few dozen bytes are abbreviated ("...") so that a report stays readable
/// whatever the input's size.
void showValue(const ByteString& value, std::ostream& os);
void showValue(const LazyByteString& value, std::ostream& os);

}  // namespace quillon

#include <quillon_tests/detail/generators.hpp>
