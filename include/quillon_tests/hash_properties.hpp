#pragma once
// makeHashPropTests: self-consistency of any quillon::Hash, no known answers.
//
// The group "Cryptographic Digest Property Tests" holds, in order:
//  - "LazyStrictEqual": hash over random chunks equals hashStrict of the bytes;
//  - "DigestLen": both digests encode to exactly outputLength()/8 bytes;
//  - "GetPutHash": get(encode(h)) gives back h;
//  - "BlockLengthIsByteAligned": blockLength() is a whole number of bytes;
//  - "OutputLengthIsByteAligned": outputLength() is a whole number of bytes.
//
// The group and its properties are located at the builder's call, so that
// reports point at the code that asked for them; a failure report names the
// case's "message" with its length and chunks.

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/serialisation.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

template <class D>
Test makeHashPropTests(const SourceLocation& where = SourceLocation::current()) {
  static_assert(quillon::diagnoseHash<D>());
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

/// The same; `witness` only selects the digest type.
template <class D>
Test makeHashPropTests(const D& /*witness*/, const SourceLocation& where = SourceLocation::current()) {
  return makeHashPropTests<D>(where);
}

}  // namespace quillon_tests
