#pragma once
// nettle TwoFish as quillon::BlockCipher types, with nettle's own ECB, CBC,
// CFB, CTR and CMAC (cmac128); nettle has no OFB, so OFB is the generic mode
// of quillon/modes.hpp over nettle's block function.
//
// nettle's mode functions keep no state beyond the IV and handle only whole
// blocks between calls, so the lazy variants gather a block that straddles
// two chunks before handing it to nettle. The expanded key (over 4 KiB) is
// computed once in buildKey and shared, read-only, by copies of the key
// value: keys may be used from several threads (primitives/nettle/engine.hpp).

#include <quillon/block_cipher.hpp>

#include <primitives/block_cipher_key.hpp>
#include <primitives/nettle/engine.hpp>

namespace quillon::nettle {

/// TwoFish whose keyLength() is KeyBits. With AllKeySizes it accepts keys of
/// 128, 192 and 256 bits, as the TwoFish vector files mix them; otherwise
/// exactly KeyBits.
template <int KeyBits, bool AllKeySizes>
using TwoFishCipher =
    bindings::LibraryCipher<detail::TwofishEngine, KeyBits,
                            AllKeySizes ? bindings::KeyLengths::everyEngineLength : bindings::KeyLengths::onlyKeyLength>;

/// Keys of 128, 192 or 256 bits; the property suites derive 256-bit keys.
using TwoFish = TwoFishCipher<256, true>;
using TwoFish128 = TwoFishCipher<128, false>;
using TwoFish192 = TwoFishCipher<192, false>;

static_assert(BlockCipher<TwoFish>);

}  // namespace quillon::nettle
