#pragma once
// Botan 2 AES as quillon::BlockCipher types: a third AES implementation
// beside OpenSSL's and nettle's.
//
// ECB is Botan's block function; CBC ("AES-<n>/CBC/NoPadding") and CFB
// ("AES-<n>/CFB", full-block feedback) are Botan cipher modes, OFB and CTR
// Botan stream ciphers ("OFB(AES-<n>)", "CTR-BE(AES-<n>)"); the chunked
// variants are the generic ones over those. The key schedule and the mode
// objects are prepared once and shared by copies of the key value, which
// may be used from several threads (primitives/botan/block_engine.hpp); the
// schedule lives in Botan's locked memory pool.

#include <quillon/block_cipher.hpp>

#include <primitives/block_cipher_key.hpp>
#include <primitives/botan/block_engine.hpp>

namespace quillon::botan {

/// AES with a key of exactly KeyBits bits (128, 192 or 256).
template <int KeyBits>
using AES = bindings::LibraryCipher<detail::AesEngine, KeyBits>;

using AES128 = AES<128>;
using AES192 = AES<192>;
using AES256 = AES<256>;

static_assert(BlockCipher<AES128>);

}  // namespace quillon::botan
