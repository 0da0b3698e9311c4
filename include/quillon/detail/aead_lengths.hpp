#pragma once
// The lengths each AEAD algorithm accepts (bytes), shared by the generic
// constructions and the library bindings, so that every type of an
// algorithm refuses the same inputs unless its header says otherwise.

#include <cstddef>
#include <cstdint>

namespace quillon::detail {

/// GCM (SP 800-38D): any nonce of at least one byte (an empty IV leaves J0
/// and the tag independent of the nonce); the seven tag lengths 800-38D
/// allows; at most 2^32 - 2 blocks of text, so that inc32 never reaches J0;
/// nonces and AAD whose bit lengths fit in 64 bits.
struct GcmLengths {
  static constexpr bool acceptsAadLength(std::size_t bytes) {
    return std::uint64_t{bytes} < (std::uint64_t{1} << 61);
  }
  static constexpr bool acceptsNonceLength(std::size_t bytes) {
    return bytes >= 1 && std::uint64_t{bytes} < (std::uint64_t{1} << 61);
  }
  static constexpr bool acceptsTagLength(std::size_t bytes) {
    return bytes == 4 || bytes == 8 || (bytes >= 12 && bytes <= 16);
  }
  static constexpr bool acceptsTextLength(std::size_t /*nonceBytes*/, std::size_t bytes) {
    return std::uint64_t{bytes} <= (std::uint64_t{1} << 36) - 32;
  }
};

/// CCM (SP 800-38C): nonces of 7 to 13 bytes, leaving q = 15 - nonce bytes
/// for the message length, so at most 2^(8q) - 1 bytes of text; even tags
/// of 4 to 16 bytes; any AAD (its length has an 8-byte encoding).
struct CcmLengths {
  static constexpr bool acceptsAadLength(std::size_t) { return true; }
  static constexpr bool acceptsNonceLength(std::size_t bytes) { return bytes >= 7 && bytes <= 13; }
  static constexpr bool acceptsTagLength(std::size_t bytes) {
    return bytes >= 4 && bytes <= 16 && bytes % 2 == 0;
  }
  static constexpr bool acceptsTextLength(std::size_t nonceBytes, std::size_t bytes) {
    if (!acceptsNonceLength(nonceBytes)) return false;
    const std::size_t lengthBytes = 15 - nonceBytes;
    if (lengthBytes >= sizeof(std::uint64_t)) return true;
    return std::uint64_t{bytes} <= (std::uint64_t{1} << (8 * lengthBytes)) - 1;
  }
};

/// ChaCha20-Poly1305 (RFC 8439): a 12-byte nonce, the full 16-byte tag, and
/// text up to the 32-bit block counter's reach from 1: 2^32 - 1 blocks of
/// 64 bytes; any AAD.
struct ChaCha20Poly1305Lengths {
  static constexpr bool acceptsAadLength(std::size_t) { return true; }
  static constexpr bool acceptsNonceLength(std::size_t bytes) { return bytes == 12; }
  static constexpr bool acceptsTagLength(std::size_t bytes) { return bytes == 16; }
  static constexpr bool acceptsTextLength(std::size_t /*nonceBytes*/, std::size_t bytes) {
    return std::uint64_t{bytes} <= ((std::uint64_t{1} << 32) - 1) * 64;
  }
};

}  // namespace quillon::detail
