#pragma once
// How every builder rejects a user's type that misses a member with the
// kit's one-line message (quillon::diagnoseHash, diagnoseBlockCipher,
// diagnoseAead: "quillon::BlockCipher: the key type needs ...") as the first
// error the compiler prints, and nothing after it.
//
// The rule for writing a builder over a user's type (a make*Tests, a
// diagnose*Vectors, a differential builder):
//  - its declaration, in the public header, takes the type only as a
//    template parameter and a plain `const K& witness`: no default argument,
//    return type or constraint that depends on it, since a signature is
//    instantiated at the call, before any body;
//  - the first thing its definition (in the detail header) names is the
//    checked type, and nothing after it names the user's type:
//        template <class K>
//        std::vector<Test> makeToyTests(const SourceLocation& where) {
//          using C = detail::CheckedCipher<K>;
//          return detail::makeCipherKatTests<C, &detail::toyOperation<C>>(detail::toyLayout(), where);
//        }
// Naming CheckedCipher<K> instantiates CipherCheck<K>, whose static_assert
// runs the diagnosis: its message is the first error. C is then K when K is
// a cipher and otherwise a stand-in that is one, so the rest of the builder
// instantiates without a further error. Anything that names K before the
// check puts its own errors first: a template argument such as
// &modeOperation<K> is instantiated as soon as it is named, before the
// function it is passed to, and its body's errors (pages of them) come
// before the message; a helper constrained with
// `template <quillon::BlockCipher K>` turns the call into "no matching
// function", and the message never comes. A static_assert alone, with K
// used after it, still lets every property instantiate for K and add its
// errors to the message's.
//
// tests/compile_errors/builders.cmake lists every builder; its test compiles
// each with a type that misses a member, under g++ and clang++, and fails
// when the first error is not the kit's message or when a public header
// declares a builder that the list lacks.

#include <cstddef>
#include <optional>
#include <ostream>
#include <type_traits>

#include <quillon/aead.hpp>
#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/serialisation.hpp>

namespace quillon_tests::detail {

/// What a builder runs on in place of a type that fails its concept: the
/// compilation has already failed with the kit's message, and these let
/// the rest of it go through silently. Never run.
struct StandInCipher {
  static int blockSize() { return 128; }
  static int keyLength() { return 128; }
  static std::optional<StandInCipher> buildKey(quillon::ByteView) { return std::nullopt; }
  quillon::ByteString encryptBlock(quillon::ByteView blocks) const { return quillon::ByteString(blocks); }
  quillon::ByteString decryptBlock(quillon::ByteView blocks) const { return quillon::ByteString(blocks); }
};

struct StandInDigest {
  static int outputLength() { return 128; }
  static int blockLength() { return 512; }
  static StandInDigest hash(const quillon::LazyByteString&) { return {}; }
  static StandInDigest hashStrict(quillon::ByteView) { return {}; }
  quillon::ByteString encode() const { return quillon::ByteString(16, 0); }
  static quillon::GetResult<StandInDigest> get(quillon::ByteView) { return quillon::Partial{}; }
  friend bool operator==(const StandInDigest&, const StandInDigest&) = default;
  friend std::ostream& operator<<(std::ostream& os, const StandInDigest&) { return os; }
};

struct StandInAead {
  static int keyLength() { return 128; }
  static std::optional<StandInAead> buildKey(quillon::ByteView) { return std::nullopt; }
  static bool acceptsNonceLength(std::size_t) { return true; }
  static bool acceptsTagLength(std::size_t) { return true; }
  std::optional<quillon::ByteString> seal(quillon::ByteView, quillon::ByteView, quillon::ByteView,
                                          std::size_t) const {
    return std::nullopt;
  }
  std::optional<quillon::ByteString> open(quillon::ByteView, quillon::ByteView, quillon::ByteView,
                                          std::size_t) const {
    return std::nullopt;
  }
  std::optional<quillon::ByteString> sealLazy(quillon::ByteView, const quillon::LazyByteString&,
                                              const quillon::LazyByteString&, std::size_t) const {
    return std::nullopt;
  }
  std::optional<quillon::ByteString> openLazy(quillon::ByteView, const quillon::LazyByteString&,
                                              const quillon::LazyByteString&, std::size_t) const {
    return std::nullopt;
  }
};

template <class K>
struct CipherCheck {
  static_assert(quillon::diagnoseBlockCipher<K>());
  using type = std::conditional_t<quillon::BlockCipher<K>, K, StandInCipher>;
};
template <class D>
struct DigestCheck {
  static_assert(quillon::diagnoseHash<D>());
  using type = std::conditional_t<quillon::Hash<D>, D, StandInDigest>;
};
template <class A>
struct AeadCheck {
  static_assert(quillon::diagnoseAead<A>());
  using type = std::conditional_t<quillon::Aead<A>, A, StandInAead>;
};

/// K itself once the diagnosis passed; see above.
template <class K>
using CheckedCipher = typename CipherCheck<K>::type;
template <class D>
using CheckedDigest = typename DigestCheck<D>::type;
template <class A>
using CheckedAead = typename AeadCheck<A>::type;

}  // namespace quillon_tests::detail
