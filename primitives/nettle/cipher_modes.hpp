#pragma once
// nettle's modes over any keyed nettle block cipher: the engine behind the
// nettle AES and TwoFish bindings. Internal to the bindings; it includes
// nettle's headers.

#include <nettle/nettle-types.h>

#include <string>

#include <quillon/byte_string.hpp>

#include <primitives/native_modes.hpp>

namespace quillon::nettle::detail {

/// A keyed block cipher as nettle's mode functions take it. nettle keeps
/// separate expanded keys for the two directions of some ciphers (AES).
struct KeyedCipher {
  std::string name;  // for error texts, e.g. "nettle AES-128"
  nettle_cipher_func* encrypt = nullptr;
  const void* encryptKey = nullptr;
  nettle_cipher_func* decrypt = nullptr;
  const void* decryptKey = nullptr;
};

/// nettle's ECB, CBC, CFB (full block) and CTR over `cipher`, on whole blocks
/// or, for the stream modes, with a final partial block. `iv` is empty for
/// ECB; otherwise one block, and the IV that continues the stream is written
/// to `ivOut`. OFB is not nettle's: callers leave it to the generic mode.
ByteString runMode(const KeyedCipher& cipher, bindings::NativeMode mode, bool encrypt, ByteView iv,
                   ByteView input, Byte* ivOut);
/// The same over chunked input, as one stream: a block that straddles two
/// chunks is gathered before it reaches nettle.
LazyByteString runModeLazy(const KeyedCipher& cipher, bindings::NativeMode mode, bool encrypt,
                           ByteView iv, const LazyByteString& input, Byte* ivOut);

/// A nettle_cipher_func for a block function with a typed context.
template <class Context, void (*Function)(const Context*, std::size_t, std::uint8_t*,
                                          const std::uint8_t*)>
void blockFunction(const void* context, std::size_t length, std::uint8_t* out,
                   const std::uint8_t* in) {
  Function(static_cast<const Context*>(context), length, out, in);
}

}  // namespace quillon::nettle::detail
