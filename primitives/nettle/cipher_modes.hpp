#pragma once
// A keyed nettle block cipher as nettle's mode functions take it: what the
// nettle engines (primitives/nettle/engine.hpp) hold. Internal to the
// bindings; it includes nettle's headers.

#include <nettle/nettle-types.h>

#include <string>

namespace quillon::nettle::detail {

/// nettle keeps separate expanded keys for the two directions of some
/// ciphers (AES).
struct KeyedCipher {
  std::string name;  // for error texts, e.g. "nettle AES-128"
  nettle_cipher_func* encrypt = nullptr;
  const void* encryptKey = nullptr;
  nettle_cipher_func* decrypt = nullptr;
  const void* decryptKey = nullptr;
};

/// A nettle_cipher_func for a block function with a typed context.
template <class Context, void (*Function)(const Context*, std::size_t, std::uint8_t*,
                                          const std::uint8_t*)>
void blockFunction(const void* context, std::size_t length, std::uint8_t* out,
                   const std::uint8_t* in) {
  Function(static_cast<const Context*>(context), length, out, in);
}

}  // namespace quillon::nettle::detail
