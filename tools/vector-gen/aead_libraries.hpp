// AES-GCM, AES-CCM and ChaCha20-Poly1305 through OpenSSL, nettle, libgcrypt
// and Botan, one call per message, so that each generated AEAD value can be
// computed by one library and compared with the others.
#pragma once

#include "block_libraries.hpp"
#include "bytes.hpp"

#include <optional>

namespace vector_gen {

enum class AeadKind { aesGcm, aesCcm, chacha20Poly1305 };

// The ciphertext followed by a `tagBytes`-byte tag, or nothing when the
// library refuses the lengths (a CCM message its length field cannot hold).
// CCM's length field is 15 - nonce.size() bytes. nettle aborts the process
// on lengths it cannot use: its CCM message lengths are checked here, other
// lengths it would abort on throw.
std::optional<Bytes> aeadSeal(Library library, AeadKind kind, const Bytes& key, const Bytes& nonce,
                              const Bytes& aad, const Bytes& plaintext, std::size_t tagBytes);

// The plaintext, or nothing when the library refuses: a tag that does not
// match, or lengths it does not accept.
std::optional<Bytes> aeadOpen(Library library, AeadKind kind, const Bytes& key, const Bytes& nonce,
                              const Bytes& aad, const Bytes& ciphertextAndTag, std::size_t tagBytes);

// CCM as an implementation computes it that writes the message length
// modulo 2^(8 (15 - nonce.size())) into the first block instead of refusing
// a message its length field cannot hold: nettle's streaming functions,
// given the reduced length.
Bytes nettleCcmWithWrappedLength(const Bytes& key, const Bytes& nonce, const Bytes& aad, const Bytes& plaintext,
                                 std::size_t tagBytes);

}  // namespace vector_gen
