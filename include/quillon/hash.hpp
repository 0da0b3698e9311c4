#pragma once
// The Hash concept: what the hash suites need of a digest type.

#include <concepts>
#include <ostream>

#include <quillon/byte_string.hpp>
#include <quillon/serialisation.hpp>

namespace quillon {

namespace detail {
template <class D>
concept HasOutputLength = requires {
  { D::outputLength() } -> std::convertible_to<int>;
};
template <class D>
concept HasBlockLength = requires {
  { D::blockLength() } -> std::convertible_to<int>;
};
template <class D>
concept HasLazyHash = requires(const LazyByteString& message) {
  { D::hash(message) } -> std::same_as<D>;
};
template <class D>
concept HasStrictHash = requires(ByteView message) {
  { D::hashStrict(message) } -> std::same_as<D>;
};
template <class D>
concept HasEncode = requires(const D& digest) {
  { digest.encode() } -> std::same_as<ByteString>;
};
template <class D>
concept HasGet = requires(ByteView bytes) {
  { D::get(bytes) } -> std::same_as<GetResult<D>>;
};
template <class D>
concept HasTextForm = requires(std::ostream& os, const D& digest) {
  { os << digest } -> std::convertible_to<std::ostream&>;
};
}  // namespace detail

/// A digest type D with its hash function. Semantics the compiler cannot
/// check, and which the property suite tests:
///  - `D::hash(lazy)` is the digest of the concatenated chunks, whatever the
///    chunking, and equals `D::hashStrict` of the same bytes;
///  - `outputLength()` and `blockLength()` are in bits;
///  - `encode()` gives the raw digest bytes (no length prefix), and `D::get`
///    reads them back to an equal digest.
template <class D>
concept Hash = std::copy_constructible<D> && std::equality_comparable<D> &&
               detail::HasOutputLength<D> && detail::HasBlockLength<D> &&
               detail::HasLazyHash<D> && detail::HasStrictHash<D> && detail::HasEncode<D> &&
               detail::HasGet<D> && detail::HasTextForm<D>;

/// Names the first member a would-be digest type lacks, as one readable
/// compile error. Builders call it before anything else is instantiated.
template <class D>
consteval bool diagnoseHash() {
  static_assert(detail::HasOutputLength<D>,
                "quillon::Hash: the digest type needs `static int outputLength()` (bits)");
  static_assert(detail::HasBlockLength<D>,
                "quillon::Hash: the digest type needs `static int blockLength()` (bits)");
  static_assert(detail::HasLazyHash<D>,
                "quillon::Hash: the digest type needs `static D hash(const quillon::LazyByteString&)`");
  static_assert(detail::HasStrictHash<D>,
                "quillon::Hash: the digest type needs `static D hashStrict(quillon::ByteView)`");
  static_assert(detail::HasEncode<D>,
                "quillon::Hash: the digest type needs `quillon::ByteString encode() const`");
  static_assert(detail::HasGet<D>,
                "quillon::Hash: the digest type needs `static quillon::GetResult<D> get(quillon::ByteView)`");
  static_assert(std::equality_comparable<D>,
                "quillon::Hash: the digest type needs `operator==`");
  static_assert(detail::HasTextForm<D>,
                "quillon::Hash: the digest type needs `std::ostream& operator<<(std::ostream&, const D&)`");
  static_assert(std::copy_constructible<D>, "quillon::Hash: the digest type must be copyable");
  return true;
}

}  // namespace quillon
