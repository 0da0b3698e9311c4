#pragma once
// IV<K>: the initialisation vector of a block cipher, one block long.

#include <algorithm>
#include <array>
#include <cstddef>
#include <ostream>
#include <utility>
#include <vector>

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
  [[nodiscard]] ByteView bytes() const noexcept {
    return size_ <= inlineBytes ? ByteView(inline_.data(), size_) : ByteView(heap_);
  }

  /// Reads one block from the front of `bytes`. Partial when there are fewer
  /// bytes than a block; bytes after the block are left unread (`consumed`
  /// says how many were read) and are no error.
  static GetResult<IV> get(ByteView bytes) {
    const int bits = K::blockSize();
    const std::size_t length = bits > 0 ? static_cast<std::size_t>(bits / 8) : 0;
    if (bytes.size() < length) return Partial{};
    return Done<IV>{IV(bytes.first(length)), length};
  }

  friend bool operator==(const IV& a, const IV& b) noexcept {
    return std::ranges::equal(a.bytes(), b.bytes());
  }

  /// Lowercase hex.
  friend std::ostream& operator<<(std::ostream& os, const IV& iv) { return os << ByteString(iv.bytes()); }

 private:
  friend struct detail::IVAccess;
  // Blocks of up to 256 bits are held without an allocation: a mode call
  // makes an IV, and a chain of one-block calls makes one per block.
  static constexpr std::size_t inlineBytes = 32;

  explicit IV(ByteView block) : size_(block.size()) {
    if (size_ <= inlineBytes)
      std::copy(block.begin(), block.end(), inline_.begin());
    else
      heap_.assign(block.begin(), block.end());
  }

  std::array<Byte, inlineBytes> inline_{};
  std::vector<Byte> heap_;
  std::size_t size_ = 0;
};

namespace detail {
/// Lets the generic modes make the IV they return from their register.
struct IVAccess {
  template <class K>
  static IV<K> make(ByteView block) {
    return IV<K>(block);
  }
};
}  // namespace detail

}  // namespace quillon
