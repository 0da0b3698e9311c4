#pragma once
// Botan 2 TwoFish as a quillon::BlockCipher type: an implementation
// independent of nettle's, so that the TwoFish suite runs against two.
//
// ECB is Botan's block function, CBC Botan's "Twofish/CBC/NoPadding" mode
// and CTR Botan's "CTR-BE(Twofish)" stream cipher (primitives/botan/
// block_engine.hpp). CFB, OFB and every lazy variant are the generic modes
// of quillon/modes.hpp over Botan's block function, so the property suite
// also compares Botan's CBC and CTR with the generic ones. The key schedule
// is computed once in buildKey and shared by copies of the key value.

#include <cstddef>
#include <optional>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>

#include <primitives/botan/block_engine.hpp>
#include <primitives/native_modes.hpp>

namespace quillon::botan {

/// TwoFish accepting keys of 128, 192 and 256 bits, as the TwoFish vector
/// files mix them; keyLength() is 256, so the property suites derive 256-bit
/// keys.
class TwoFish : public bindings::NativeModes<TwoFish> {
 public:
  /// Botan's ECB, CBC and CTR; CFB, OFB and every chunked variant are generic.
  static constexpr bindings::NativeModeSet nativeModes{
      .cbc = true, .cfb = false, .ofb = false, .ctr = true, .lazy = false};

  static int blockSize() { return 128; }
  static int keyLength() { return 256; }

  static std::optional<TwoFish> buildKey(ByteView bytes) {
    const std::size_t n = bytes.size();
    if (n != 16 && n != 24 && n != 32) return std::nullopt;
    return TwoFish(bytes);
  }

 private:
  friend bindings::NativeModes<TwoFish>;
  explicit TwoFish(ByteView key) : engine_("Twofish", key) {}

  ByteString runNative(bindings::NativeMode mode, bool encrypt, ByteView iv, ByteView input,
                       Byte* ivOut) const {
    return engine_.run(mode, encrypt, iv, input, ivOut);
  }

  detail::BlockEngine engine_;
};

static_assert(BlockCipher<TwoFish>);

}  // namespace quillon::botan
