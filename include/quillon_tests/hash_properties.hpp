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

#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// The group, located (with its properties) at `where`: by default the
/// builder's call.
template <class D>
Test makeHashPropTests(const SourceLocation& where = SourceLocation::current());
/// The same; `witness` only selects the digest type.
template <class D>
Test makeHashPropTests(const D& witness, const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/hash_properties.hpp>
