#pragma once
// Botan 2 TwoFish as a quillon::BlockCipher type: an implementation
// independent of nettle's, so that the TwoFish suite runs against two.
//
// ECB is Botan's block function, CBC Botan's "Twofish/CBC/NoPadding" mode
// and CTR Botan's "CTR-BE(Twofish)" stream cipher (primitives/botan/
// block_engine.hpp). CFB, OFB and every lazy variant are the generic modes
// of quillon/modes.hpp over Botan's block function, so the property suite
// also compares Botan's CBC and CTR with the generic ones. The key schedule
// and the mode objects are prepared once and shared by copies of the key
// value, which may be used from several threads.

#include <quillon/block_cipher.hpp>

#include <primitives/block_cipher_key.hpp>
#include <primitives/botan/block_engine.hpp>

namespace quillon::botan {

/// TwoFish accepting keys of 128, 192 and 256 bits, as the TwoFish vector
/// files mix them; keyLength() is 256, so the property suites derive 256-bit
/// keys.
using TwoFish = bindings::LibraryCipher<detail::TwofishEngine, 256, bindings::KeyLengths::everyEngineLength>;

static_assert(BlockCipher<TwoFish>);

}  // namespace quillon::botan
