#pragma once
// Botan 2 AEADs as quillon::Aead types: AES-128/192/256 in GCM and CCM
// ("AES-<n>/GCM(<tag>)", "AES-<n>/CCM(<tag>,<15 - nonce>)"), TwoFish in GCM
// and CCM over the same modes (a reference for quillon::Gcm and
// quillon::Ccm over other TwoFish bindings), and "ChaCha20Poly1305".
//
// What each type accepts, and why:
//  - AES*GCM, TwoFishGCM: nonces of at least 1 byte; tags of 8, 12, 13, 14,
//    15, 16 bytes. Botan 2.19 refuses 4-byte GCM tags, which SP 800-38D
//    allows: acceptsTagLength(4) is false, so a suite knows.
//  - AES*CCM, TwoFishCCM: nonces of 7 to 13 bytes, tags of 4, 6, ..., 16
//    bytes, text up to 2^(8q) - 1 bytes for q = 15 - nonce bytes, and AAD
//    below 0xFF00 bytes: Botan 2.19 has only CCM's 2-byte AAD length
//    encoding and throws from 0xFF00 bytes on, so acceptsAadLength says so
//    and seal / open give nothing there.
//  - ChaCha20Poly1305: the 12-byte nonce and the 16-byte tag of RFC 8439.
//    Botan also takes 8- and 24-byte nonces, for the original 64-bit-nonce
//    construction and XChaCha20-Poly1305: other algorithms, refused here.
//  - TwoFish keys are 16, 24 or 32 bytes, like quillon::nettle::TwoFish;
//    keyLength() is 256.
// Botan 2 takes the AAD in one call (set_associated_data), so the lazy
// members join its chunks; the text goes through update calls, one per
// chunk, cut at Botan's update granularity where a chunk holds a block edge,
// and the last piece (with the tag, when opening) through finish. Botan
// releases text from update before it checks the tag in finish: open drops
// it when the check fails.

#include <cstddef>
#include <optional>

#include <quillon/byte_string.hpp>
#include <quillon/detail/aead_lengths.hpp>

#include <primitives/aead_binding.hpp>

namespace quillon::botan {

namespace detail {

enum class BotanAead { aesGcm, aesCcm, twofishGcm, twofishCcm, chacha20Poly1305 };

/// One Botan operation over accepted lengths; `key` selects AES-128/192/256.
std::optional<ByteString> botanSeal(BotanAead algorithm, ByteView key, ByteView nonce,
                                    bindings::AeadChunks aad, bindings::AeadChunks plaintext,
                                    std::size_t tagBytes);
std::optional<ByteString> botanOpen(BotanAead algorithm, ByteView key, ByteView nonce,
                                    bindings::AeadChunks aad, bindings::AeadChunks ciphertext, ByteView tag);

struct BotanGcmLengths : quillon::detail::GcmLengths {
  static constexpr bool acceptsTagLength(std::size_t bytes) { return bytes != 4 && GcmLengths::acceptsTagLength(bytes); }
};

struct BotanCcmLengths : quillon::detail::CcmLengths {
  static constexpr bool acceptsAadLength(std::size_t bytes) { return bytes < 0xFF00; }
};

template <BotanAead Algorithm, class Lengths, int KeyBits>
using BotanEngine = bindings::AlgorithmEngine<Algorithm, Lengths, KeyBits, true, &botanSeal, &botanOpen>;

template <BotanAead Algorithm, class Lengths>
struct BotanTwoFishEngine : BotanEngine<Algorithm, Lengths, 256> {
  static bool acceptsKeyLength(std::size_t bytes) { return bytes == 16 || bytes == 24 || bytes == 32; }
};

}  // namespace detail

using AES128GCM = bindings::LibraryAead<detail::BotanEngine<detail::BotanAead::aesGcm, detail::BotanGcmLengths, 128>>;
using AES192GCM = bindings::LibraryAead<detail::BotanEngine<detail::BotanAead::aesGcm, detail::BotanGcmLengths, 192>>;
using AES256GCM = bindings::LibraryAead<detail::BotanEngine<detail::BotanAead::aesGcm, detail::BotanGcmLengths, 256>>;
using AES128CCM = bindings::LibraryAead<detail::BotanEngine<detail::BotanAead::aesCcm, detail::BotanCcmLengths, 128>>;
using AES192CCM = bindings::LibraryAead<detail::BotanEngine<detail::BotanAead::aesCcm, detail::BotanCcmLengths, 192>>;
using AES256CCM = bindings::LibraryAead<detail::BotanEngine<detail::BotanAead::aesCcm, detail::BotanCcmLengths, 256>>;
using TwoFishGCM = bindings::LibraryAead<detail::BotanTwoFishEngine<detail::BotanAead::twofishGcm, detail::BotanGcmLengths>>;
using TwoFishCCM = bindings::LibraryAead<detail::BotanTwoFishEngine<detail::BotanAead::twofishCcm, detail::BotanCcmLengths>>;
using ChaCha20Poly1305 = bindings::LibraryAead<
    detail::BotanEngine<detail::BotanAead::chacha20Poly1305, quillon::detail::ChaCha20Poly1305Lengths, 256>>;

static_assert(LazyAead<AES128GCM> && LazyAead<TwoFishCCM> && LazyAead<ChaCha20Poly1305>);

}  // namespace quillon::botan
