#pragma once
// nettle TwoFish as quillon::BlockCipher types, with nettle's own ECB, CBC,
// CFB and CTR for those modes; nettle has no OFB, so OFB is the generic mode
// of quillon/modes.hpp over nettle's block function.
//
// nettle's mode functions keep no state beyond the IV and handle only whole
// blocks between calls, so the lazy variants gather a block that straddles
// two chunks before handing it to nettle. The expanded key (over 4 KiB) is
// computed once in buildKey and shared by copies of the key value.

#include <cstddef>
#include <optional>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>

#include <primitives/native_modes.hpp>
#include <primitives/nettle/schedule.hpp>

namespace quillon::nettle {

/// TwoFish whose keyLength() is KeyBits. With AllKeySizes it accepts keys of
/// 128, 192 and 256 bits, as the TwoFish vector files mix them; otherwise
/// exactly KeyBits.
template <int KeyBits, bool AllKeySizes>
class TwoFishCipher : public bindings::NativeModes<TwoFishCipher<KeyBits, AllKeySizes>> {
 public:
  /// nettle's ECB, CBC, CFB and CTR; OFB is generic.
  static constexpr bindings::NativeModeSet nativeModes{
      .cbc = true, .cfb = true, .ofb = false, .ctr = true, .lazy = true};

  static int blockSize() { return 128; }
  static int keyLength() { return KeyBits; }

  static std::optional<TwoFishCipher> buildKey(ByteView bytes) {
    const std::size_t n = bytes.size();
    const bool accepted = AllKeySizes ? (n == 16 || n == 24 || n == 32) : n == KeyBits / 8;
    if (!accepted) return std::nullopt;
    return TwoFishCipher(bytes);
  }

 private:
  friend bindings::NativeModes<TwoFishCipher>;
  explicit TwoFishCipher(ByteView key) : schedule_(detail::twofishCipher(key)) {}

  ByteString runNative(bindings::NativeMode mode, bool encrypt, ByteView iv, ByteView input,
                       Byte* ivOut) const {
    return schedule_.run(mode, encrypt, iv, input, ivOut);
  }
  LazyByteString runNativeLazy(bindings::NativeMode mode, bool encrypt, ByteView iv,
                               const LazyByteString& input, Byte* ivOut) const {
    return schedule_.runLazy(mode, encrypt, iv, input, ivOut);
  }

  detail::NettleSchedule schedule_;
};

/// Keys of 128, 192 or 256 bits; the property suites derive 256-bit keys.
using TwoFish = TwoFishCipher<256, true>;
using TwoFish128 = TwoFishCipher<128, false>;
using TwoFish192 = TwoFishCipher<192, false>;

static_assert(BlockCipher<TwoFish>);

}  // namespace quillon::nettle
