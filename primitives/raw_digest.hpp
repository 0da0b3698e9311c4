#pragma once
// The value side shared by digest bindings whose serialised form is the raw
// digest bytes: encode, get, equality and the hex text form.

#include <cstddef>
#include <ostream>

#include <quillon/byte_string.hpp>
#include <quillon/serialisation.hpp>

namespace quillon::bindings {

/// Derive as `class D : public RawDigest<D, N>` and make D constructible
/// from a ByteString (befriend RawDigest if that constructor is private).
template <class Derived, std::size_t DigestBytes>
class RawDigest {
 public:
  /// The raw digest bytes, no length prefix.
  [[nodiscard]] ByteString encode() const { return bytes_; }

  /// Reads one digest from the front of `bytes`; Partial on fewer bytes.
  static GetResult<Derived> get(ByteView bytes) {
    if (bytes.size() < DigestBytes) return Partial{};
    return Done<Derived>{Derived(ByteString(bytes.first(DigestBytes))), DigestBytes};
  }

  friend bool operator==(const Derived& a, const Derived& b) { return a.bytes_ == b.bytes_; }
  friend std::ostream& operator<<(std::ostream& os, const Derived& digest) {
    return os << digest.bytes_;
  }

 protected:
  explicit RawDigest(ByteString bytes) : bytes_(std::move(bytes)) {}

 private:
  ByteString bytes_;
};

}  // namespace quillon::bindings
