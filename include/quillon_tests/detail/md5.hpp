#pragma once
// The definitions of quillon_tests/md5.hpp, with the seven vectors: each
// test is located at its vector's line here.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/errors.hpp>
#include <quillon_tests/hash_properties.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/md5.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

struct Md5Vector {
  unsigned line;  // where the vector starts in this header: its test's location
  std::string_view message;
  std::string_view digestHex;
};

inline constexpr std::array<Md5Vector, 7> md5Vectors{{
    {__LINE__, "", "d41d8cd98f00b204e9800998ecf8427e"},
    {__LINE__, "a", "0cc175b9c0f1b6a831c399e269772661"},
    {__LINE__, "abc", "900150983cd24fb0d6963f7d28e17f72"},
    {__LINE__, "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {__LINE__, "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {__LINE__, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {__LINE__, "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
}};

/// The message as a first chunk of up to 32 bytes and a second with the rest.
quillon::LazyByteString md5Message(std::string_view text);

/// Raised when the expected digest does not deserialise: the deserialiser
/// failed or wanted more bytes than the 16 given.
[[noreturn]] void throwUndecodableMd5Digest(std::size_t vectorNumber);

template <class D>
std::vector<Test> md5Tests(const SourceLocation& where) {
  std::vector<Test> vectors;
  const SourceLocation here(__FILE__, 0);  // one copy of the file name for all seven
  for (std::size_t i = 0; i < md5Vectors.size(); ++i) {
    vectors.push_back(withLocation(testCase("md5KAT", [number = i + 1] {
      const Md5Vector& vector = md5Vectors[number - 1];
      const D computed = D::hash(md5Message(vector.message));
      const auto known = D::get(hexStringToBS(vector.digestHex));
      const D* knownDigest = quillon::doneValue(known);
      if (knownDigest == nullptr) throwUndecodableMd5Digest(number);
      assertEqual("md5KAT" + std::to_string(number), *knownDigest, computed);
    }), here.atLine(md5Vectors[i].line)));
  }
  std::vector<Test> tests;
  tests.push_back(makeHashPropTests<D>(where));
  tests.push_back(testGroup("MD5 KATs", std::move(vectors)));
  return tests;
}

}  // namespace detail

template <class D>
std::vector<Test> makeMD5Tests(const SourceLocation& where) {
  return detail::md5Tests<detail::CheckedDigest<D>>(where);
}

template <class D>
std::vector<Test> makeMD5Tests(const D& /*witness*/, const SourceLocation& where) {
  return detail::md5Tests<detail::CheckedDigest<D>>(where);
}

}  // namespace quillon_tests
