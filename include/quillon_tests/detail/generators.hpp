#pragma once
// The definitions of quillon_tests/generators.hpp: the generators'
// registration with RapidCheck, and what their tests look at.

#include <rapidcheck.h>

#include <cstddef>
#include <cstdint>

#include <quillon/byte_string.hpp>
#include <quillon_tests/generators.hpp>

namespace quillon_tests::detail {
/// The largest byte value drawn at engine size `size`.
int byteBoundForSize(int size) noexcept;
/// A ByteString of `length` bytes, each uniform in [0, bound], from `seed`.
quillon::ByteString fillRandomBytes(std::uint64_t seed, std::size_t length, int bound);
/// One step of the shrink trees: the candidates that `value` shrinks to, in
/// the order the engine tries them.
rc::Seq<quillon::ByteString> byteStringShrinks(const quillon::ByteString& value);
rc::Seq<quillon::LazyByteString> lazyByteStringShrinks(const quillon::LazyByteString& value);
}  // namespace quillon_tests::detail

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
