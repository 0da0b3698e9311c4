#pragma once
// makeBlockCipherPropTests: self-consistency of any quillon::BlockCipher's
// five modes, no known answers. Two groups, in this order:
//
// "Block Cipher tests (ident)": decryption undoes encryption.
//   "ECBEncDecID"  (m, p): ESP-pad p, ecb, unEcb, unpadESP: gives back p.
//   "CBCEncDecID", "CFBEncDecID", "OFBEncDecID", "CTREncDecID" (m, v, p):
//     ESP-pad p to q; encrypt q from the IV, decrypt the result from the same
//     IV: gives back q (padding kept), and both calls return the same IV.
//
// "Block Cipher tests (lazy/string bytestring equality)": chunked and
// contiguous input agree. The chunked message x is cut to whole blocks,
// keeping its chunk boundaries (the chunk that straddles the cut is cut).
//   "ECBStringLazyEq" (m, x): ecbLazy = ecb, then unEcbLazy = unEcb, both on
//     the same message bytes.
//   "CBCStrictLazyEq", "CFBStrictLazyEq", "OFBStrictLazyEq",
//   "CTRStrictLazyEq" (m, v, x): the lazy encryption's output, then its IV,
//     then the lazy decryption's output, then its IV, each against the
//     contiguous function's; the first difference fails the case.
//
// Inputs come from the byte-string generators, in the order listed: key
// material m, IV material v, message p or x. The key is m followed by one
// zero byte, repeated to keyLength()/8 bytes, given to buildKey; the IV is
// IV<K>::get of v. A case whose key buildKey refuses, or whose IV does not
// read, is discarded; with every case discarded the property gives up. A
// failure report names the case's inputs: the "message" (for the second
// group, as cut to whole blocks), the "key" bytes given to buildKey and
// the "IV".
// A cipher whose blockSize() is under 8 bits has no whole blocks to cut the
// message to: the second group's cases fail with BlockSizeUnderOneByteError.

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>
#include <quillon/padding.hpp>
#include <quillon_tests/detail/block_cipher_cases.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// Raised when the block-aligned prefix of a message is asked for with a
/// block of zero bytes. Its text begins with "block size under 8 bits".
class BlockSizeUnderOneByteError : public std::domain_error {
 public:
  using std::domain_error::domain_error;
};

namespace detail {

/// The first t' bytes of `message`, t' its length rounded down to whole
/// blocks of blockSizeBits / 8 bytes (rounded down), as chunks: the chunk
/// boundaries are kept and the chunk that straddles t' is cut. Throws
/// BlockSizeUnderOneByteError when blockSizeBits / 8 is 0.
quillon::LazyByteString blockAlignedPrefix(const quillon::LazyByteString& message,
                                           int blockSizeBits);

template <class K>
Test encDecProperty(std::string name, IVModeFunctions<K> mode) {
  return testProperty(std::move(name), [mode](const quillon::ByteString& m,
                                              const quillon::ByteString& v,
                                              const quillon::ByteString& p) {
    noteMessage("message", p);
    const K key = derivedKey<K>(m);
    const quillon::IV<K> iv = derivedIV<K>(v);
    const quillon::ByteString q = quillon::padESPBlockSize<K>(p);
    const auto [c, ivE] = mode.encrypt(key, iv, q);
    const auto [d, ivD] = mode.decrypt(key, iv, c);
    return holdsSame("decryption did not give back the padded message", "decrypted", d, "padded", q) &&
           holdsSame("decryption returned a different IV from encryption", "decryption's", ivD,
                     "encryption's", ivE);
  });
}

template <class K>
Test strictLazyProperty(std::string name, IVModeFunctions<K> mode) {
  return testProperty(std::move(name), [mode](const quillon::ByteString& m,
                                              const quillon::ByteString& v,
                                              const quillon::LazyByteString& x) {
    const quillon::LazyByteString chunked = blockAlignedPrefix(x, K::blockSize());
    noteMessage("message", chunked);
    const K key = derivedKey<K>(m);
    const quillon::IV<K> iv = derivedIV<K>(v);
    const quillon::ByteString contiguous = chunked.toStrict();
    {
      const auto [c1, e1] = mode.encrypt(key, iv, contiguous);
      const auto [c2, e2] = mode.encryptLazy(key, iv, chunked);
      if (!holdsSame("the lazy encryption's output differs from the contiguous one", "lazy", c2,
                     "contiguous", c1) ||
          !holdsSame("the lazy encryption returned a different IV from the contiguous one", "lazy",
                     e2, "contiguous", e1))
        return false;
    }
    const auto [p1, d1] = mode.decrypt(key, iv, contiguous);
    const auto [p2, d2] = mode.decryptLazy(key, iv, chunked);
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
  ident.push_back(encDecProperty<K>("CBCEncDecID", cbcFunctions<K>));
  ident.push_back(encDecProperty<K>("CFBEncDecID", cfbFunctions<K>));
  ident.push_back(encDecProperty<K>("OFBEncDecID", ofbFunctions<K>));
  ident.push_back(encDecProperty<K>("CTREncDecID", ctrFunctions<K>));

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
  lazy.push_back(strictLazyProperty<K>("CBCStrictLazyEq", cbcFunctions<K>));
  lazy.push_back(strictLazyProperty<K>("CFBStrictLazyEq", cfbFunctions<K>));
  lazy.push_back(strictLazyProperty<K>("OFBStrictLazyEq", ofbFunctions<K>));
  lazy.push_back(strictLazyProperty<K>("CTRStrictLazyEq", ctrFunctions<K>));

  std::vector<Test> groups;
  groups.push_back(testGroup("Block Cipher tests (ident)", std::move(ident)));
  groups.push_back(
      testGroup("Block Cipher tests (lazy/string bytestring equality)", std::move(lazy)));
  return groups;
}

}  // namespace detail

/// The two groups, located (with their properties) at the builder's call.
template <class K>
std::vector<Test> makeBlockCipherPropTests(const SourceLocation& where = SourceLocation::current()) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  // A type that is not a cipher gets the one error above, not the many that
  // instantiating the properties would add.
  if constexpr (quillon::BlockCipher<K>) {
    return detail::locatedAt(detail::blockCipherPropTests<K>(), where);
  } else {
    return {};
  }
}

/// The same; `witness` only selects the cipher.
template <class K>
std::vector<Test> makeBlockCipherPropTests(const K& /*witness*/,
                                           const SourceLocation& where = SourceLocation::current()) {
  return makeBlockCipherPropTests<K>(where);
}

}  // namespace quillon_tests
