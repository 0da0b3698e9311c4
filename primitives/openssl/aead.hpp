#pragma once
// OpenSSL 3 AEADs through EVP as quillon::Aead types: AES-128/192/256 in GCM
// and CCM, and ChaCha20-Poly1305.
//
// What each type accepts, and why:
//  - AES*GCM: nonces of 1 to 128 bytes (OpenSSL keeps at most 128 bytes of
//    IV); tags of 4, 8, 12, 13, 14, 15, 16 bytes. EVP itself would verify
//    a tag of any length from 1 byte up, so that a 1-byte prefix of the
//    right tag opens the message: the binding refuses every other length.
//  - AES*CCM: nonces of 7 to 13 bytes, tags of 4, 6, ..., 16 bytes, text up
//    to 2^(8q) - 1 bytes for q = 15 - nonce bytes. EVP's CCM takes the AAD
//    and the text in one call each, so both are limited to INT_MAX bytes and
//    these types have no sealLazy / openLazy.
//  - ChaCha20Poly1305: the 12-byte nonce and the 16-byte tag of RFC 8439;
//    EVP would also verify a tag prefix of any length.
// The lazy members (GCM, ChaCha20-Poly1305) hand every chunk of AAD and text
// to its own EVP update call. Text that EVP decrypts before the final tag
// check is dropped when the check fails.

#include <climits>
#include <cstddef>
#include <optional>

#include <quillon/byte_string.hpp>
#include <quillon/detail/aead_lengths.hpp>

#include <primitives/aead_binding.hpp>

namespace quillon::openssl {

namespace detail {

enum class EvpAead { gcm, ccm, chacha20Poly1305 };

/// One EVP operation over accepted lengths; `key` selects AES-128/192/256.
std::optional<ByteString> evpSeal(EvpAead algorithm, ByteView key, ByteView nonce,
                                  bindings::AeadChunks aad, bindings::AeadChunks plaintext,
                                  std::size_t tagBytes);
std::optional<ByteString> evpOpen(EvpAead algorithm, ByteView key, ByteView nonce,
                                  bindings::AeadChunks aad, bindings::AeadChunks ciphertext, ByteView tag);

struct EvpGcmLengths : quillon::detail::GcmLengths {
  static constexpr bool acceptsNonceLength(std::size_t bytes) { return bytes >= 1 && bytes <= 128; }
};
struct EvpCcmLengths : quillon::detail::CcmLengths {
  static constexpr bool acceptsAadLength(std::size_t bytes) { return bytes <= INT_MAX; }
  static constexpr bool acceptsTextLength(std::size_t nonceBytes, std::size_t bytes) {
    return CcmLengths::acceptsTextLength(nonceBytes, bytes) && bytes <= INT_MAX;
  }
};

template <EvpAead Algorithm, class Lengths, int KeyBits>
using EvpEngine =
    bindings::AlgorithmEngine<Algorithm, Lengths, KeyBits, Algorithm != EvpAead::ccm, &evpSeal, &evpOpen>;

template <int KeyBits>
using EvpGcm = EvpEngine<EvpAead::gcm, EvpGcmLengths, KeyBits>;
template <int KeyBits>
using EvpCcm = EvpEngine<EvpAead::ccm, EvpCcmLengths, KeyBits>;

}  // namespace detail

using AES128GCM = bindings::LibraryAead<detail::EvpGcm<128>>;
using AES192GCM = bindings::LibraryAead<detail::EvpGcm<192>>;
using AES256GCM = bindings::LibraryAead<detail::EvpGcm<256>>;
using AES128CCM = bindings::LibraryAead<detail::EvpCcm<128>>;
using AES192CCM = bindings::LibraryAead<detail::EvpCcm<192>>;
using AES256CCM = bindings::LibraryAead<detail::EvpCcm<256>>;
using ChaCha20Poly1305 = bindings::LibraryAead<
    detail::EvpEngine<detail::EvpAead::chacha20Poly1305, quillon::detail::ChaCha20Poly1305Lengths, 256>>;

static_assert(LazyAead<AES128GCM> && Aead<AES128CCM> && !LazyAead<AES128CCM> && LazyAead<ChaCha20Poly1305>);

}  // namespace quillon::openssl
