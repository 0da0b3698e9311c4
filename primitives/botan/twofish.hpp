#pragma once
// Botan 2 TwoFish as a quillon::BlockCipher type: an implementation
// independent of nettle's, so that the TwoFish suite runs against two.
//
// The block function is Botan's BlockCipher "Twofish"; CBC is Botan's own
// "Twofish/CBC/NoPadding" cipher mode and CTR Botan's "CTR-BE(Twofish)"
// stream cipher, the counter being the whole block. ECB goes straight to the
// block function. CFB, OFB and every lazy variant are the generic modes of
// quillon/modes.hpp over Botan's block function, so the property suite also
// compares Botan's CBC and CTR with the generic ones. Partial blocks behave
// as quillon/modes.hpp describes. The key schedule is computed once in
// buildKey and shared by copies of the key value.

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>

#include <primitives/native_modes.hpp>

namespace quillon::botan {

namespace detail {

/// A keyed Botan TwoFish and the Botan modes used over it.
class TwofishEngine {
 public:
  /// `key` must be 16, 24 or 32 bytes.
  explicit TwofishEngine(ByteView key);

  [[nodiscard]] ByteString blocks(bool encrypt, ByteView input) const;
  /// Botan's CBC from `iv`; the IV that continues the stream goes to `ivOut`.
  [[nodiscard]] ByteString cbc(bool encrypt, ByteView iv, ByteView input, Byte* ivOut) const;
  /// Botan's big-endian CTR from `iv`; the counter after the last block used
  /// goes to `ivOut`.
  [[nodiscard]] ByteString ctr(ByteView iv, ByteView input, Byte* ivOut) const;

 private:
  struct Context;
  std::shared_ptr<const Context> context_;
};

}  // namespace detail

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
  explicit TwoFish(ByteView key) : engine_(key) {}

  ByteString runNative(bindings::NativeMode mode, bool encrypt, ByteView iv, ByteView input,
                       Byte* ivOut) const {
    switch (mode) {
      case bindings::NativeMode::ecb: return engine_.blocks(encrypt, input);
      case bindings::NativeMode::cbc: return engine_.cbc(encrypt, iv, input, ivOut);
      case bindings::NativeMode::ctr: return engine_.ctr(iv, input, ivOut);
      case bindings::NativeMode::cfb:
      case bindings::NativeMode::ofb: break;  // not in nativeModes: never asked for
    }
    throw std::logic_error("Botan TwoFish: no native CFB or OFB");
  }

  detail::TwofishEngine engine_;
};

static_assert(BlockCipher<TwoFish>);

}  // namespace quillon::botan
