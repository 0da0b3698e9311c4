#pragma once
// The definitions of quillon_tests/hash_properties.hpp.

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/serialisation.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/hash_properties.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

template <class D>
Test hashPropTests(const SourceLocation& where) {
  using quillon::ByteString;
  using quillon::LazyByteString;
  return withLocation(testGroup(
      "Cryptographic Digest Property Tests",
      {
          testProperty("LazyStrictEqual",
                       [](const LazyByteString& x) {
                         noteMessage("message", x);
                         const D chunked = D::hash(x);
                         const D contiguous = D::hashStrict(x.toStrict());
                         if (chunked == contiguous) return true;
                         RC_LOG() << "hash over the chunks gave   " << chunked
                                  << "\nhashStrict of the bytes gave " << contiguous << '\n';
                         return false;
                       }),
          testProperty("DigestLen",
                       [](const LazyByteString& x) {
                         noteMessage("message", x);
                         // Arithmetic shift, as the lengths are signed bits.
                         const auto expected = static_cast<std::size_t>(D::outputLength() >> 3);
                         const std::size_t chunked = D::hash(x).encode().size();
                         if (chunked != expected) {
                           RC_LOG() << "encode(hash(x)) has " << chunked << " bytes, outputLength() "
                                    << D::outputLength() << " promises " << expected << '\n';
                           return false;
                         }
                         const std::size_t contiguous = D::hashStrict(x.toStrict()).encode().size();
                         if (contiguous != expected) {
                           RC_LOG() << "encode(hashStrict(x)) has " << contiguous
                                    << " bytes, outputLength() " << D::outputLength()
                                    << " promises " << expected << '\n';
                           return false;
                         }
                         return true;
                       }),
          testProperty("GetPutHash",
                       [](const LazyByteString& x) {
                         noteMessage("message", x);
                         const D digest = D::hashStrict(x.toStrict());
                         const quillon::ByteString encoded = digest.encode();
                         const auto read = D::get(encoded);
                         if (const D* value = quillon::doneValue(read)) {
                           if (*value == digest) return true;
                           RC_LOG() << "get(encode(h)) read " << *value << " instead of " << digest
                                    << '\n';
                         } else if (const auto* failure = std::get_if<quillon::Fail>(&read)) {
                           RC_LOG() << "get failed on the " << encoded.size()
                                    << " encoded bytes: " << failure->message << '\n';
                         } else {
                           RC_LOG() << "get asked for more than the " << encoded.size()
                                    << " bytes that encode wrote\n";
                         }
                         return false;
                       }),
          testProperty("BlockLengthIsByteAligned", [] { return D::blockLength() % 8 == 0; }),
          testProperty("OutputLengthIsByteAligned", [] { return D::outputLength() % 8 == 0; }),
      }), where);
}

}  // namespace detail

template <class D>
Test makeHashPropTests(const SourceLocation& where) {
  return detail::hashPropTests<detail::CheckedDigest<D>>(where);
}

template <class D>
Test makeHashPropTests(const D& /*witness*/, const SourceLocation& where) {
  return detail::hashPropTests<detail::CheckedDigest<D>>(where);
}

}  // namespace quillon_tests
