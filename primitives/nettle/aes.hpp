#pragma once
// nettle AES as quillon::BlockCipher types: an implementation independent of
// OpenSSL's, so that every AES suite runs against two. ECB goes through
// nettle's aes*_encrypt / aes*_decrypt, CBC, CFB (full-block feedback) and
// CTR through nettle's own cbc_*, cfb_* and ctr_crypt, CMAC through nettle's
// cmac128; nettle has no OFB, so OFB is the generic mode of quillon/modes.hpp
// over nettle's block function.
//
// nettle's mode functions keep no state beyond the IV and handle only whole
// blocks between calls, so the lazy variants gather a block that straddles
// two chunks before handing it to nettle. Partial blocks behave as
// quillon/modes.hpp describes. The expanded encryption and decryption keys
// are computed once in buildKey and shared, read-only, by copies of the key
// value: keys may be used from several threads (primitives/nettle/engine.hpp).

#include <quillon/block_cipher.hpp>

#include <primitives/block_cipher_key.hpp>
#include <primitives/nettle/engine.hpp>

namespace quillon::nettle {

/// AES with a key of exactly KeyBits bits (128, 192 or 256).
template <int KeyBits>
using AES = bindings::LibraryCipher<detail::AesEngine, KeyBits>;

using AES128 = AES<128>;
using AES192 = AES<192>;
using AES256 = AES<256>;

static_assert(BlockCipher<AES128>);

}  // namespace quillon::nettle
