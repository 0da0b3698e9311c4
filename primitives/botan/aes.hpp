#pragma once
// Botan 2 AES as quillon::BlockCipher types: a third AES implementation
// beside OpenSSL's and nettle's.
//
// ECB is Botan's block function; CBC ("AES-<n>/CBC/NoPadding") and CFB
// ("AES-<n>/CFB", full-block feedback) are Botan cipher modes, OFB and CTR
// Botan stream ciphers ("OFB(AES-<n>)", "CTR-BE(AES-<n>)")
// (primitives/botan/block_engine.hpp). The chunked variants are the generic
// ones over those. The key schedule is computed once in buildKey and shared
// by copies of the key value; it lives in Botan's locked memory pool.

#include <optional>
#include <string>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>

#include <primitives/botan/block_engine.hpp>
#include <primitives/native_modes.hpp>

namespace quillon::botan {

/// AES with a key of exactly KeyBits bits (128, 192 or 256).
template <int KeyBits>
class AES : public bindings::NativeModes<AES<KeyBits>> {
  static_assert(KeyBits == 128 || KeyBits == 192 || KeyBits == 256);

 public:
  static constexpr std::size_t keyBytes = KeyBits / 8;
  /// Botan's own ECB, CBC, CFB, OFB and CTR; chunked input runs generically.
  static constexpr bindings::NativeModeSet nativeModes{
      .cbc = true, .cfb = true, .ofb = true, .ctr = true, .lazy = false};

  static int blockSize() { return 128; }
  static int keyLength() { return KeyBits; }

  /// A key from exactly KeyBits / 8 bytes; nothing for any other length.
  static std::optional<AES> buildKey(ByteView bytes) {
    if (bytes.size() != keyBytes) return std::nullopt;
    return AES(bytes);
  }

 private:
  friend bindings::NativeModes<AES>;
  explicit AES(ByteView key) : engine_("AES-" + std::to_string(KeyBits), key) {}

  ByteString runNative(bindings::NativeMode mode, bool encrypt, ByteView iv, ByteView input,
                       Byte* ivOut) const {
    return engine_.run(mode, encrypt, iv, input, ivOut);
  }

  detail::BlockEngine engine_;
};

using AES128 = AES<128>;
using AES192 = AES<192>;
using AES256 = AES<256>;

static_assert(BlockCipher<AES128>);

}  // namespace quillon::botan
