#pragma once
// makeHashPropTests: self-consistency of any quillon::Hash, no known answers.
//
// The group "Cryptographic Digest Property Tests" holds, in order:
//  - "LazyStrictEqual": hash over random chunks equals hashStrict of the bytes;
//  - "DigestLen": both digests encode to exactly outputLength()/8 bytes;
//  - "GetPutHash": get(encode(h)) gives back h;
//  - "BlockLengthIsByteAligned": blockLength() is a whole number of bytes;
//  - "OutputLengthIsByteAligned": outputLength() is a whole number of bytes.

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/serialisation.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

template <class D>
Test makeHashPropTests() {
  static_assert(quillon::diagnoseHash<D>());
  using quillon::ByteString;
  using quillon::LazyByteString;
  return testGroup(
      "Cryptographic Digest Property Tests",
      {
          testProperty("LazyStrictEqual",
                       [](const LazyByteString& x) {
                         return D::hash(x) == D::hashStrict(x.toStrict());
                       }),
          testProperty("DigestLen",
                       [](const LazyByteString& x) {
                         // Arithmetic shift, as the lengths are signed bits.
                         const auto expected = static_cast<std::size_t>(D::outputLength() >> 3);
                         return D::hash(x).encode().size() == expected &&
                                D::hashStrict(x.toStrict()).encode().size() == expected;
                       }),
          testProperty("GetPutHash",
                       [](const LazyByteString& x) {
                         const D digest = D::hashStrict(x.toStrict());
                         const auto read = D::get(digest.encode());
                         const D* value = quillon::doneValue(read);
                         return value != nullptr && *value == digest;
                       }),
          testProperty("BlockLengthIsByteAligned", [] { return D::blockLength() % 8 == 0; }),
          testProperty("OutputLengthIsByteAligned", [] { return D::outputLength() % 8 == 0; }),
      });
}

/// The same; `witness` only selects the digest type.
template <class D>
Test makeHashPropTests(const D& /*witness*/) {
  return makeHashPropTests<D>();
}

}  // namespace quillon_tests
