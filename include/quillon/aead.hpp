#pragma once
// The Aead concept: what the AEAD suites need of an authenticated cipher with
// associated data (AES-GCM, AES-CCM, ChaCha20-Poly1305, ...).

#include <concepts>
#include <cstddef>
#include <optional>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>

namespace quillon {

namespace detail {
// keyLength() and buildKey(bytes) have the shapes the BlockCipher concept
// asks for: detail::HasKeyLength and detail::HasBuildKey serve both.
template <class A>
concept HasAcceptsNonceLength = requires(std::size_t bytes) {
  { A::acceptsNonceLength(bytes) } -> std::same_as<bool>;
};
template <class A>
concept HasAcceptsTagLength = requires(std::size_t bytes) {
  { A::acceptsTagLength(bytes) } -> std::same_as<bool>;
};
template <class A>
concept HasSeal = requires(const A& key, ByteView bytes, std::size_t tagBytes) {
  { key.seal(bytes, bytes, bytes, tagBytes) } -> std::same_as<std::optional<ByteString>>;
};
template <class A>
concept HasOpen = requires(const A& key, ByteView bytes, std::size_t tagBytes) {
  { key.open(bytes, bytes, bytes, tagBytes) } -> std::same_as<std::optional<ByteString>>;
};
template <class A>
concept HasSealLazy = requires(const A& key, ByteView nonce, const LazyByteString& lazy,
                               std::size_t tagBytes) {
  { key.sealLazy(nonce, lazy, lazy, tagBytes) } -> std::same_as<std::optional<ByteString>>;
};
template <class A>
concept HasOpenLazy = requires(const A& key, ByteView nonce, const LazyByteString& lazy,
                               std::size_t tagBytes) {
  { key.openLazy(nonce, lazy, lazy, tagBytes) } -> std::same_as<std::optional<ByteString>>;
};
// Any member of the name, whatever its signature: a lazy member that does
// not fit must be reported, not silently left unused.
template <class A>
concept NamesSealLazy = requires { &A::sealLazy; };
template <class A>
concept NamesOpenLazy = requires { &A::openLazy; };
}  // namespace detail

/// A key type A of an AEAD. Lengths are in bytes, except keyLength() (bits).
/// Semantics the compiler cannot check, and which the AEAD suites test:
///  - `buildKey(bytes)` gives a key, or nothing for bytes the type does not
///    accept (a wrong length, say);
///  - `acceptsNonceLength(n)` and `acceptsTagLength(n)` are constant answers:
///    the lengths seal and open work with. Whatever the library underneath
///    would let through, they say what the type itself stands behind;
///  - `seal(nonce, aad, plaintext, tagBytes)` gives the ciphertext (as long
///    as the plaintext) followed by a tag of tagBytes bytes, and nothing
///    when the nonce or tag length is not accepted or the plaintext is
///    longer than the algorithm allows;
///  - `open(nonce, aad, ciphertextAndTag, tagBytes)` gives the plaintext,
///    and nothing for any failure: a length not accepted, an input shorter
///    than the tag, a tag that does not verify. No plaintext leaves a failed
///    check, not even in part;
///  - the optional `sealLazy` / `openLazy` take the AAD and the text as
///    chunks, each chunk handed to the library in its own update call, and
///    give exactly what `seal` / `open` give on the concatenations. A type
///    has both or neither.
/// A type may also say which AAD and text lengths it takes, through
/// `static bool acceptsAadLength(std::size_t)` and `static bool
/// acceptsTextLength(std::size_t nonceBytes, std::size_t textBytes)`;
/// seal and open then give nothing outside them. The kit's own types
/// (quillon::Gcm, quillon::Ccm and the bindings) all have both.
template <class A>
concept Aead = std::copy_constructible<A> && detail::HasKeyLength<A> && detail::HasBuildKey<A> &&
               detail::HasAcceptsNonceLength<A> && detail::HasAcceptsTagLength<A> &&
               detail::HasSeal<A> && detail::HasOpen<A>;

/// An Aead that also takes chunked AAD and text (sealLazy / openLazy).
template <class A>
concept LazyAead = Aead<A> && detail::HasSealLazy<A> && detail::HasOpenLazy<A>;

/// Names the first member a would-be AEAD type lacks, or a lazy member of the
/// wrong shape, as one readable compile error. Builders call it before
/// anything else is instantiated.
template <class A>
consteval bool diagnoseAead() {
  static_assert(detail::HasKeyLength<A>, "quillon::Aead: the key type needs `static int keyLength()` (bits)");
  static_assert(detail::HasBuildKey<A>,
                "quillon::Aead: the key type needs `static std::optional<A> buildKey(quillon::ByteView)`");
  static_assert(detail::HasAcceptsNonceLength<A>,
                "quillon::Aead: the key type needs `static bool acceptsNonceLength(std::size_t)`");
  static_assert(detail::HasAcceptsTagLength<A>,
                "quillon::Aead: the key type needs `static bool acceptsTagLength(std::size_t)`");
  static_assert(detail::HasSeal<A>,
                "quillon::Aead: the key type needs `std::optional<quillon::ByteString> "
                "seal(quillon::ByteView nonce, quillon::ByteView aad, quillon::ByteView plaintext, "
                "std::size_t tagBytes) const`");
  static_assert(detail::HasOpen<A>,
                "quillon::Aead: the key type needs `std::optional<quillon::ByteString> "
                "open(quillon::ByteView nonce, quillon::ByteView aad, quillon::ByteView "
                "ciphertextAndTag, std::size_t tagBytes) const`");
  static_assert(std::copy_constructible<A>, "quillon::Aead: the key type must be copyable");
  constexpr bool sealLazy = detail::HasSealLazy<A> || detail::NamesSealLazy<A>;
  constexpr bool openLazy = detail::HasOpenLazy<A> || detail::NamesOpenLazy<A>;
  static_assert(!sealLazy || detail::HasSealLazy<A>,
                "quillon::Aead: a member sealLazy must be `std::optional<quillon::ByteString> "
                "sealLazy(quillon::ByteView nonce, const quillon::LazyByteString& aad, const "
                "quillon::LazyByteString& plaintext, std::size_t tagBytes) const`");
  static_assert(!openLazy || detail::HasOpenLazy<A>,
                "quillon::Aead: a member openLazy must be `std::optional<quillon::ByteString> "
                "openLazy(quillon::ByteView nonce, const quillon::LazyByteString& aad, const "
                "quillon::LazyByteString& ciphertextAndTag, std::size_t tagBytes) const`");
  static_assert(sealLazy == openLazy, "quillon::Aead: a key type with sealLazy needs openLazy, and the "
                                      "other way round");
  return true;
}

}  // namespace quillon
