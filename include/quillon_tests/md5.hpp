#pragma once
// makeMD5Tests: the seven test vectors of RFC 1321 for any MD5 quillon::Hash.
//
// Returns the hash property group, then the group "MD5 KATs" with seven test
// cases, all named "md5KAT"; their assertion messages "md5KAT1" ... "md5KAT7"
// tell them apart. Each message reaches `hash` as a first chunk of up to 32
// bytes and a second chunk with the rest, so vectors 6 and 7 cross a chunk
// boundary. Nothing is hashed or decoded until a test runs. A test is
// located at its vector's line in quillon_tests/detail/md5.hpp, and one
// whose expected digest the type's get cannot read ends with
// DigestDecodeError (quillon_tests/errors.hpp).

#include <vector>

#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// `where`, by default the caller's line, locates the property group.
template <class D>
std::vector<Test> makeMD5Tests(const SourceLocation& where = SourceLocation::current());
/// The same; `witness` only selects the digest type.
template <class D>
std::vector<Test> makeMD5Tests(const D& witness, const SourceLocation& where = SourceLocation::current());

}  // namespace quillon_tests

#include <quillon_tests/detail/md5.hpp>
