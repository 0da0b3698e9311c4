#pragma once
// The shape every library AEAD binding shares: a quillon::Aead key type over
// an "engine", the few functions that call the library.
//
// The engine is a class with only static members:
//   static constexpr int keyBits;            keyLength()
//   static constexpr bool takesChunks;       whether sealLazy / openLazy exist
//   static bool acceptsKeyLength(std::size_t bytes);
//   static bool acceptsNonceLength(std::size_t bytes), acceptsTagLength(...),
//     acceptsAadLength(...), acceptsTextLength(std::size_t nonceBytes, std::size_t textBytes);
//   static std::optional<ByteString> seal(ByteView key, ByteView nonce,
//     AeadChunks aad, AeadChunks plaintext, std::size_t tagBytes);
//   static std::optional<ByteString> open(ByteView key, ByteView nonce,
//     AeadChunks aad, AeadChunks ciphertext, ByteView tag);
// The lengths are checked here, against the engine's own rules, before the
// engine runs: a library that would take a length it should refuse (or abort
// on it) never sees it. The engine's open gives nothing unless the library
// verified the tag, and never any of the text it decrypted before that.

#include <cstddef>
#include <optional>
#include <vector>

#include <quillon/aead.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/detail/aead_front.hpp>

namespace quillon::bindings {

using quillon::detail::AeadChunks;
using quillon::detail::joinChunks;

template <class Engine>
class LibraryAead : public quillon::detail::AeadFront<LibraryAead<Engine>, Engine::takesChunks> {
 public:
  static int keyLength() { return Engine::keyBits; }

  /// A key from bytes of a length the engine accepts; nothing otherwise.
  static std::optional<LibraryAead> buildKey(ByteView bytes) {
    if (!Engine::acceptsKeyLength(bytes.size())) return std::nullopt;
    return LibraryAead(bytes);
  }

  static bool acceptsNonceLength(std::size_t bytes) { return Engine::acceptsNonceLength(bytes); }
  static bool acceptsTagLength(std::size_t bytes) { return Engine::acceptsTagLength(bytes); }
  static bool acceptsAadLength(std::size_t bytes) { return Engine::acceptsAadLength(bytes); }
  static bool acceptsTextLength(std::size_t nonceBytes, std::size_t textBytes) {
    return Engine::acceptsTextLength(nonceBytes, textBytes);
  }

 private:
  friend quillon::detail::AeadFront<LibraryAead, Engine::takesChunks>;

  explicit LibraryAead(ByteView key) : key_(key.begin(), key.end()) {}

  std::optional<ByteString> sealAccepted(ByteView nonce, AeadChunks aad, AeadChunks text,
                                         std::size_t tagBytes) const {
    return Engine::seal(ByteView(key_), nonce, aad, text, tagBytes);
  }
  std::optional<ByteString> openAccepted(ByteView nonce, AeadChunks aad, AeadChunks text, ByteView tag) const {
    return Engine::open(ByteView(key_), nonce, aad, text, tag);
  }

  std::vector<Byte> key_;
};

/// An engine from two library functions that take the algorithm first:
///   std::optional<ByteString> Seal(decltype(Algorithm), ByteView key, ByteView nonce,
///     AeadChunks aad, AeadChunks plaintext, std::size_t tagBytes);
///   std::optional<ByteString> Open(decltype(Algorithm), ByteView key, ByteView nonce,
///     AeadChunks aad, AeadChunks ciphertext, ByteView tag);
/// with the length rules of `Lengths` and keys of exactly KeyBits bits.
template <auto Algorithm, class Lengths, int KeyBits, bool TakesChunks, auto Seal, auto Open>
struct AlgorithmEngine : Lengths {
  static constexpr int keyBits = KeyBits;
  static constexpr bool takesChunks = TakesChunks;
  static bool acceptsKeyLength(std::size_t bytes) { return bytes == KeyBits / 8; }
  static std::optional<ByteString> seal(ByteView key, ByteView nonce, AeadChunks aad, AeadChunks plaintext,
                                        std::size_t tagBytes) {
    return Seal(Algorithm, key, nonce, aad, plaintext, tagBytes);
  }
  static std::optional<ByteString> open(ByteView key, ByteView nonce, AeadChunks aad, AeadChunks ciphertext,
                                        ByteView tag) {
    return Open(Algorithm, key, nonce, aad, ciphertext, tag);
  }
};

}  // namespace quillon::bindings
