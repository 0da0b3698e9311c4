#pragma once
// The BlockCipher concept: what the block-cipher suites need of a key type.

#include <concepts>
#include <optional>

#include <quillon/byte_string.hpp>

namespace quillon {

namespace detail {
template <class K>
concept HasBlockSize = requires {
  { K::blockSize() } -> std::convertible_to<int>;
};
template <class K>
concept HasKeyLength = requires {
  { K::keyLength() } -> std::convertible_to<int>;
};
template <class K>
concept HasBuildKey = requires(ByteView bytes) {
  { K::buildKey(bytes) } -> std::same_as<std::optional<K>>;
};
template <class K>
concept HasEncryptBlock = requires(const K& key, ByteView blocks) {
  { key.encryptBlock(blocks) } -> std::same_as<ByteString>;
};
template <class K>
concept HasDecryptBlock = requires(const K& key, ByteView blocks) {
  { key.decryptBlock(blocks) } -> std::same_as<ByteString>;
};
}  // namespace detail

/// A key type K of a block cipher. Semantics the compiler cannot check:
///  - `blockSize()` and `keyLength()` are constants in bits;
///  - `buildKey(bytes)` gives a key, or nothing for bytes the cipher does not
///    accept (a wrong length, say);
///  - `encryptBlock` and `decryptBlock` are ECB over one or more whole blocks
///    and undo each other; the result has the length of the input.
/// The five modes (quillon/modes.hpp) run generically over the two block
/// functions. K may bring its own implementation of any mode as a member of
/// the same name; it is then used instead, and must return the IV that
/// continues the stream, as the generic one does.
template <class K>
concept BlockCipher = std::copy_constructible<K> && detail::HasBlockSize<K> &&
                      detail::HasKeyLength<K> && detail::HasBuildKey<K> &&
                      detail::HasEncryptBlock<K> && detail::HasDecryptBlock<K>;

/// Names the first member a would-be key type lacks, as one readable compile
/// error. Builders call it before anything else is instantiated.
template <class K>
consteval bool diagnoseBlockCipher() {
  static_assert(detail::HasBlockSize<K>,
                "quillon::BlockCipher: the key type needs `static int blockSize()` (bits)");
  static_assert(detail::HasKeyLength<K>,
                "quillon::BlockCipher: the key type needs `static int keyLength()` (bits)");
  static_assert(detail::HasBuildKey<K>,
                "quillon::BlockCipher: the key type needs "
                "`static std::optional<K> buildKey(quillon::ByteView)`");
  static_assert(detail::HasEncryptBlock<K>,
                "quillon::BlockCipher: the key type needs "
                "`quillon::ByteString encryptBlock(quillon::ByteView) const`");
  static_assert(detail::HasDecryptBlock<K>,
                "quillon::BlockCipher: the key type needs "
                "`quillon::ByteString decryptBlock(quillon::ByteView) const`");
  static_assert(std::copy_constructible<K>, "quillon::BlockCipher: the key type must be copyable");
  return true;
}

}  // namespace quillon
