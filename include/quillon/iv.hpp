#pragma once
// IV<K>: the initialisation vector of a block cipher, one block long.

#include <cstddef>
#include <ostream>
#include <utility>

#include <quillon/byte_string.hpp>
#include <quillon/serialisation.hpp>

namespace quillon {

namespace detail {
struct IVAccess;
}

/// One block of bytes for the key type K, compared by its bytes. It is
/// built only by deserialising: `IV<K>::get`, which is also how a key type
/// with its own mode members makes the IV it returns. The modes hand back the
/// IV that continues the stream (quillon/modes.hpp).
template <class K>
class IV {
 public:
  /// The IV's bytes: one block, K::blockSize() / 8 bytes.
  [[nodiscard]] ByteView bytes() const noexcept { return bytes_; }

  /// Reads one block from the front of `bytes`. Partial when there are fewer
  /// bytes than a block; bytes after the block are left unread (`consumed`
  /// says how many were read) and are no error.
  static GetResult<IV> get(ByteView bytes) {
    const int bits = K::blockSize();
    const std::size_t length = bits > 0 ? static_cast<std::size_t>(bits / 8) : 0;
    if (bytes.size() < length) return Partial{};
    return Done<IV>{IV(ByteString(bytes.first(length))), length};
  }

  friend bool operator==(const IV& a, const IV& b) noexcept { return a.bytes_ == b.bytes_; }

  /// Lowercase hex.
  friend std::ostream& operator<<(std::ostream& os, const IV& iv) { return os << iv.bytes_; }

 private:
  friend struct detail::IVAccess;
  explicit IV(ByteString block) noexcept : bytes_(std::move(block)) {}

  ByteString bytes_;
};

namespace detail {
/// Lets the generic modes make the IV they return without a second copy.
struct IVAccess {
  template <class K>
  static IV<K> make(ByteString block) noexcept {
    return IV<K>(std::move(block));
  }
};
}  // namespace detail

}  // namespace quillon
