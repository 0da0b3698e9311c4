#pragma once
// nettle AES as quillon::BlockCipher types: an implementation independent of
// OpenSSL's, so that every AES suite runs against two. ECB goes through
// nettle's aes*_encrypt / aes*_decrypt, CBC, CFB (full-block feedback) and
// CTR through nettle's own cbc_*, cfb_* and ctr_crypt; nettle has no OFB, so
// OFB is the generic mode of quillon/modes.hpp over nettle's block function.
//
// nettle's mode functions keep no state beyond the IV and handle only whole
// blocks between calls, so the lazy variants gather a block that straddles
// two chunks before handing it to nettle. Partial blocks behave as
// quillon/modes.hpp describes. The expanded encryption and decryption keys
// are computed once in buildKey and shared by copies of the key value. CMAC
// is nettle's own (cmac128).

#include <cstddef>
#include <optional>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>

#include <primitives/native_modes.hpp>
#include <primitives/nettle/schedule.hpp>

namespace quillon::nettle {

/// AES with a key of exactly KeyBits bits (128, 192 or 256).
template <int KeyBits>
class AES : public bindings::NativeModes<AES<KeyBits>> {
  static_assert(KeyBits == 128 || KeyBits == 192 || KeyBits == 256);

 public:
  /// nettle's ECB, CBC, CFB and CTR; OFB is generic.
  static constexpr bindings::NativeModeSet nativeModes{
      .cbc = true, .cfb = true, .ofb = false, .ctr = true, .lazy = true};

  static int blockSize() { return 128; }
  static int keyLength() { return KeyBits; }

  /// A key from exactly KeyBits / 8 bytes; nothing for any other length.
  static std::optional<AES> buildKey(ByteView bytes) {
    if (bytes.size() != KeyBits / 8) return std::nullopt;
    return AES(bytes);
  }

  /// nettle's CMAC (cmac128 over this key), used by quillon::cmac.
  [[nodiscard]] ByteString cmac(ByteView message) const { return schedule_.cmac(message); }

 private:
  friend bindings::NativeModes<AES>;
  explicit AES(ByteView key) : schedule_(detail::aesCipher(KeyBits, key)) {}

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

using AES128 = AES<128>;
using AES192 = AES<192>;
using AES256 = AES<256>;

static_assert(BlockCipher<AES128>);

}  // namespace quillon::nettle
