// The generic HMAC construction (over nettle digests, which bring no HMAC of
// their own) against OpenSSL's HMAC, around the block-size edges where key
// handling goes wrong.

#include <gtest/gtest.h>

#include <primitives/nettle/digests.hpp>
#include <primitives/openssl/digests.hpp>
#include <quillon/hmac.hpp>

namespace {

using quillon::ByteString;
using quillon::LazyByteString;

ByteString pattern(std::size_t length, int seed) {
  std::vector<quillon::Byte> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<quillon::Byte>(i * 13 + seed);
  return ByteString(std::move(bytes));
}

template <class Generic, class Reference>
void expectSameAsReference(int blockBytes) {
  const std::vector<std::size_t> keyLengths{0, 1, static_cast<std::size_t>(blockBytes - 1),
                                            static_cast<std::size_t>(blockBytes),
                                            static_cast<std::size_t>(blockBytes + 1), 300};
  for (std::size_t keyLength : keyLengths) {
    for (std::size_t messageLength : {0, 1, 37, 200}) {
      const ByteString key = pattern(keyLength, 1), message = pattern(messageLength, 5);
      const ByteString expected = Reference::hmacStrict(key, message).encode();
      EXPECT_EQ(quillon::hmacStrict<Generic>(key, message).encode(), expected)
          << "key " << keyLength << " message " << messageLength;
      EXPECT_EQ(quillon::hmac<Generic>(key, LazyByteString::chunked(message, 7)).encode(),
                expected)
          << "chunked; key " << keyLength << " message " << messageLength;
    }
  }
}

TEST(GenericHmac, MatchesOpenSSLAroundTheBlockSize) {
  expectSameAsReference<quillon::nettle::SHA1, quillon::openssl::SHA1>(64);
  expectSameAsReference<quillon::nettle::SHA224, quillon::openssl::SHA224>(64);
  expectSameAsReference<quillon::nettle::SHA256, quillon::openssl::SHA256>(64);
  expectSameAsReference<quillon::nettle::SHA384, quillon::openssl::SHA384>(128);
  expectSameAsReference<quillon::nettle::SHA512, quillon::openssl::SHA512>(128);
}

}  // namespace
