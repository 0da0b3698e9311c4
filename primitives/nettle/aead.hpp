#pragma once
// nettle AEADs as quillon::Aead types: AES-128/192/256 in GCM and CCM
// (nettle's gcm_* and ccm_* over its AES), and ChaCha20-Poly1305
// (chacha-poly1305.h).
//
// What each type accepts, and why:
//  - AES*GCM: nonces of at least 1 byte, tags of 4, 8, 12, 13, 14, 15, 16
//    bytes. nettle takes an empty IV, and then returns the hash key H as
//    the tag of the empty message; it takes any tag length up to 16.
//  - AES*CCM: nonces of 7 to 13 bytes, tags of 4, 6, ..., 16 bytes, text up
//    to 2^(8q) - 1 bytes for q = 15 - nonce bytes. nettle takes 14-byte
//    nonces and every tag length from 0 to 16, and aborts the process
//    (assert) on a shorter or longer nonce, a longer tag, or a message too
//    long for q.
//  - ChaCha20Poly1305: the 12-byte nonce and the 16-byte tag of RFC 8439
//    (nettle would hand out a tag cut to any length).
// Every length is checked before nettle is called. nettle wants whole
// blocks in every call but the last (GCM: 16 bytes of AAD and of text; CCM:
// 16 bytes of text; ChaCha20-Poly1305: 64 bytes of text) and aborts
// otherwise, so the lazy members cut the chunks at those boundaries: a chunk
// is one update call, or more where it holds a block edge, and a block that
// straddles chunks is gathered first. open compares the tags itself, in
// constant time, and drops the text nettle decrypted when they differ.

#include <cstddef>
#include <optional>

#include <quillon/byte_string.hpp>
#include <quillon/detail/aead_lengths.hpp>

#include <primitives/aead_binding.hpp>

namespace quillon::nettle {

namespace detail {

enum class NettleAead { gcm, ccm, chacha20Poly1305 };

/// One nettle operation over accepted lengths; `key` selects AES-128/192/256.
std::optional<ByteString> nettleSeal(NettleAead algorithm, ByteView key, ByteView nonce,
                                     bindings::AeadChunks aad, bindings::AeadChunks plaintext,
                                     std::size_t tagBytes);
std::optional<ByteString> nettleOpen(NettleAead algorithm, ByteView key, ByteView nonce,
                                     bindings::AeadChunks aad, bindings::AeadChunks ciphertext, ByteView tag);

template <NettleAead Algorithm, class Lengths, int KeyBits>
using NettleEngine = bindings::AlgorithmEngine<Algorithm, Lengths, KeyBits, true, &nettleSeal, &nettleOpen>;

}  // namespace detail

using AES128GCM = bindings::LibraryAead<detail::NettleEngine<detail::NettleAead::gcm, quillon::detail::GcmLengths, 128>>;
using AES192GCM = bindings::LibraryAead<detail::NettleEngine<detail::NettleAead::gcm, quillon::detail::GcmLengths, 192>>;
using AES256GCM = bindings::LibraryAead<detail::NettleEngine<detail::NettleAead::gcm, quillon::detail::GcmLengths, 256>>;
using AES128CCM = bindings::LibraryAead<detail::NettleEngine<detail::NettleAead::ccm, quillon::detail::CcmLengths, 128>>;
using AES192CCM = bindings::LibraryAead<detail::NettleEngine<detail::NettleAead::ccm, quillon::detail::CcmLengths, 192>>;
using AES256CCM = bindings::LibraryAead<detail::NettleEngine<detail::NettleAead::ccm, quillon::detail::CcmLengths, 256>>;
using ChaCha20Poly1305 = bindings::LibraryAead<
    detail::NettleEngine<detail::NettleAead::chacha20Poly1305, quillon::detail::ChaCha20Poly1305Lengths, 256>>;

static_assert(LazyAead<AES128GCM> && LazyAead<AES128CCM> && LazyAead<ChaCha20Poly1305>);

}  // namespace quillon::nettle
