#pragma once
// A keyed nettle block cipher with nettle's modes over it: what the nettle
// AES and TwoFish key types hold. Copies share the expanded key.

#include <memory>

#include <quillon/byte_string.hpp>

#include <primitives/native_modes.hpp>

namespace quillon::nettle::detail {

struct KeyedCipher;  // primitives/nettle/cipher_modes.hpp

class NettleSchedule {
 public:
  explicit NettleSchedule(std::shared_ptr<const KeyedCipher> cipher) noexcept
      : cipher_(std::move(cipher)) {}

  /// Runs `mode` (ECB, CBC, CFB or CTR) over `input`; see NativeModes.
  ByteString run(bindings::NativeMode mode, bool encrypt, ByteView iv, ByteView input,
                 Byte* ivOut) const;
  LazyByteString runLazy(bindings::NativeMode mode, bool encrypt, ByteView iv,
                         const LazyByteString& input, Byte* ivOut) const;
  /// nettle's CMAC (cmac128) over the block function: the full 16-byte tag.
  ByteString cmac(ByteView message) const;

 private:
  std::shared_ptr<const KeyedCipher> cipher_;
};

/// TwoFish with a 16-, 24- or 32-byte key.
std::shared_ptr<const KeyedCipher> twofishCipher(ByteView key);
/// AES-keyBits with a key of keyBits / 8 bytes (keyBits 128, 192 or 256).
std::shared_ptr<const KeyedCipher> aesCipher(int keyBits, ByteView key);

}  // namespace quillon::nettle::detail
