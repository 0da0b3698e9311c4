#pragma once
// Byte strings: the values every primitive takes and returns.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon {

using Byte = std::uint8_t;

/// A non-owning view of contiguous bytes.
using ByteView = std::span<const Byte>;

/// An owning, contiguous byte sequence, immutable by convention. A distinct
/// type (not an alias of std::vector) so that its text form (lowercase hex)
/// and its property-test generator belong to it alone.
class ByteString {
 public:
  using value_type = Byte;
  using size_type = std::size_t;
  using const_iterator = std::vector<Byte>::const_iterator;
  using iterator = const_iterator;

  ByteString() = default;
  ByteString(std::initializer_list<Byte> bytes) : bytes_(bytes) {}
  explicit ByteString(std::vector<Byte> bytes) noexcept : bytes_(std::move(bytes)) {}
  explicit ByteString(ByteView bytes) : bytes_(bytes.begin(), bytes.end()) {}
  template <std::input_iterator It>
  ByteString(It first, It last) : bytes_(first, last) {}
  /// The bytes of a text, one byte per char.
  explicit ByteString(std::string_view text)
      : bytes_(reinterpret_cast<const Byte*>(text.data()),
               reinterpret_cast<const Byte*>(text.data()) + text.size()) {}
  /// `count` copies of `value`.
  ByteString(size_type count, Byte value) : bytes_(count, value) {}

  [[nodiscard]] size_type size() const noexcept { return bytes_.size(); }
  [[nodiscard]] bool empty() const noexcept { return bytes_.empty(); }
  [[nodiscard]] const Byte* data() const noexcept { return bytes_.data(); }
  [[nodiscard]] const_iterator begin() const noexcept { return bytes_.begin(); }
  [[nodiscard]] const_iterator end() const noexcept { return bytes_.end(); }
  [[nodiscard]] Byte operator[](size_type i) const noexcept { return bytes_[i]; }

  operator ByteView() const noexcept { return {bytes_.data(), bytes_.size()}; }
  [[nodiscard]] ByteView view() const noexcept { return *this; }

  /// The first min(n, size()) bytes.
  [[nodiscard]] ByteString take(size_type n) const {
    return ByteString(view().first(std::min(n, size())));
  }
  /// Everything after the first min(n, size()) bytes.
  [[nodiscard]] ByteString drop(size_type n) const {
    return ByteString(view().subspan(std::min(n, size())));
  }

  /// Releases the storage, for code that builds a new value from this one.
  [[nodiscard]] std::vector<Byte> release() && noexcept { return std::move(bytes_); }

  friend bool operator==(const ByteString& a, const ByteString& b) noexcept {
    return a.bytes_ == b.bytes_;
  }
  friend auto operator<=>(const ByteString& a, const ByteString& b) noexcept {
    return a.bytes_ <=> b.bytes_;
  }

 private:
  std::vector<Byte> bytes_;
};

/// The concatenation of several byte sequences.
ByteString concat(std::initializer_list<ByteView> parts);

/// The same content as a ByteString, held as an ordered list of chunks. No
/// chunk is ever empty: empty chunks given to the constructor are dropped, so
/// `chunks().size()` counts real chunk boundaries.
class LazyByteString {
 public:
  LazyByteString() = default;
  explicit LazyByteString(std::vector<ByteString> chunks);
  /// One chunk holding `bytes` (no chunk at all when it is empty).
  explicit LazyByteString(ByteString bytes);

  [[nodiscard]] const std::vector<ByteString>& chunks() const noexcept { return chunks_; }
  /// Total number of bytes over all chunks.
  [[nodiscard]] std::size_t size() const noexcept { return size_; }
  [[nodiscard]] bool empty() const noexcept { return size_ == 0; }
  /// The concatenation of the chunks.
  [[nodiscard]] ByteString toStrict() const;

  /// `bytes` cut into consecutive pieces of `chunkSize` bytes, the last one
  /// shorter when the size is not a multiple; no chunks for empty input.
  static LazyByteString chunked(ByteView bytes, std::size_t chunkSize);

  friend bool operator==(const LazyByteString& a, const LazyByteString& b) noexcept;
  friend bool operator==(const LazyByteString& a, const ByteString& b) noexcept;

 private:
  std::vector<ByteString> chunks_;
  std::size_t size_ = 0;
};

/// Lowercase hex, no separators.
std::ostream& operator<<(std::ostream& os, const ByteString& bytes);
/// The chunks in hex, e.g. `[0a0b, 0c]`.
std::ostream& operator<<(std::ostream& os, const LazyByteString& lazy);

}  // namespace quillon

#include <quillon/detail/byte_string_impl.hpp>
