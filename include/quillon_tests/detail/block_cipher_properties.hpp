#pragma once
// The definitions of quillon_tests/block_cipher_properties.hpp.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_names.hpp>
#include <quillon/mode_table.hpp>
#include <quillon/modes.hpp>
#include <quillon/padding.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/detail/block_cipher_cases.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

/// The first t' bytes of `message`, t' its length rounded down to whole
/// blocks of blockSizeBits / 8 bytes (rounded down), as chunks: the chunk
/// boundaries are kept and the chunk that straddles t' is cut. Throws
/// BlockSizeUnderOneByteError when blockSizeBits / 8 is 0.
quillon::LazyByteString blockAlignedPrefix(const quillon::LazyByteString& message,
                                           int blockSizeBits);

template <class K>
Test encDecProperty(quillon::Mode mode) {
  const quillon::ModeFunctions<K> encrypt = quillon::modeTable<K>.ivMode(mode, quillon::Direction::encrypt);
  const quillon::ModeFunctions<K> decrypt = quillon::modeTable<K>.ivMode(mode, quillon::Direction::decrypt);
  return testProperty(modeLabel(mode) + "EncDecID", [encrypt, decrypt](const quillon::ByteString& m,
                                                                      const quillon::ByteString& v,
                                                                      const quillon::ByteString& p) {
    noteMessage("message", p);
    const K key = derivedKey<K>(m);
    const quillon::IV<K> iv = derivedIV<K>(v);
    const quillon::ByteString q = quillon::padESPBlockSize<K>(p);
    const auto [c, ivE] = encrypt.strict(key, iv, q);
    const auto [d, ivD] = decrypt.strict(key, iv, c);
    return holdsSame("decryption did not give back the padded message", "decrypted", d, "padded", q) &&
           holdsSame("decryption returned a different IV from encryption", "decryption's", ivD,
                     "encryption's", ivE);
  });
}

template <class K>
Test strictLazyProperty(quillon::Mode mode) {
  const quillon::ModeFunctions<K> encrypt = quillon::modeTable<K>.ivMode(mode, quillon::Direction::encrypt);
  const quillon::ModeFunctions<K> decrypt = quillon::modeTable<K>.ivMode(mode, quillon::Direction::decrypt);
  return testProperty(modeLabel(mode) + "StrictLazyEq", [encrypt, decrypt](const quillon::ByteString& m,
                                                                          const quillon::ByteString& v,
                                                                          const quillon::LazyByteString& x) {
    const quillon::LazyByteString chunked = blockAlignedPrefix(x, K::blockSize());
    noteMessage("message", chunked);
    const K key = derivedKey<K>(m);
    const quillon::IV<K> iv = derivedIV<K>(v);
    const quillon::ByteString contiguous = chunked.toStrict();
    {
      const auto [c1, e1] = encrypt.strict(key, iv, contiguous);
      const auto [c2, e2] = encrypt.lazy(key, iv, chunked);
      if (!holdsSame("the lazy encryption's output differs from the contiguous one", "lazy", c2,
                     "contiguous", c1) ||
          !holdsSame("the lazy encryption returned a different IV from the contiguous one", "lazy",
                     e2, "contiguous", e1))
        return false;
    }
    const auto [p1, d1] = decrypt.strict(key, iv, contiguous);
    const auto [p2, d2] = decrypt.lazy(key, iv, chunked);
    return holdsSame("the lazy decryption's output differs from the contiguous one", "lazy", p2,
                     "contiguous", p1) &&
           holdsSame("the lazy decryption returned a different IV from the contiguous one", "lazy",
                     d2, "contiguous", d1);
  });
}

template <class K>
std::vector<Test> blockCipherPropTests() {
  using quillon::ByteString;
  using quillon::LazyByteString;

  std::vector<Test> ident;
  ident.push_back(testProperty("ECBEncDecID", [](const ByteString& m, const ByteString& p) {
    noteMessage("message", p);
    const K key = derivedKey<K>(m);
    const ByteString c = quillon::ecb(key, quillon::padESPBlockSize<K>(p));
    const std::optional<ByteString> r = quillon::unpadESP(quillon::unEcb(key, c));
    return holds(r.has_value(), "unpadESP found no valid padding after ecb and unEcb") &&
           holds(*r == p, "ecb, unEcb and unpadESP did not give back the message");
  }));
  for (quillon::Mode mode : quillon::ivModes) ident.push_back(encDecProperty<K>(mode));

  std::vector<Test> lazy;
  lazy.push_back(testProperty("ECBStringLazyEq", [](const ByteString& m, const LazyByteString& x) {
    const LazyByteString chunked = blockAlignedPrefix(x, K::blockSize());
    noteMessage("message", chunked);
    const K key = derivedKey<K>(m);
    const ByteString contiguous = chunked.toStrict();
    return holdsSame("ecbLazy differs from ecb", "ecbLazy", quillon::ecbLazy(key, chunked), "ecb",
                     quillon::ecb(key, contiguous)) &&
           holdsSame("unEcbLazy differs from unEcb", "unEcbLazy", quillon::unEcbLazy(key, chunked),
                     "unEcb", quillon::unEcb(key, contiguous));
  }));
  for (quillon::Mode mode : quillon::ivModes) lazy.push_back(strictLazyProperty<K>(mode));

  std::vector<Test> groups;
  groups.push_back(testGroup("Block Cipher tests (ident)", std::move(ident)));
  groups.push_back(
      testGroup("Block Cipher tests (lazy/string bytestring equality)", std::move(lazy)));
  return groups;
}

}  // namespace detail

template <class K>
std::vector<Test> makeBlockCipherPropTests(const SourceLocation& where) {
  return detail::locatedAt(detail::blockCipherPropTests<detail::CheckedCipher<K>>(), where);
}

template <class K>
std::vector<Test> makeBlockCipherPropTests(const K& /*witness*/, const SourceLocation& where) {
  return detail::locatedAt(detail::blockCipherPropTests<detail::CheckedCipher<K>>(), where);
}

}  // namespace quillon_tests
