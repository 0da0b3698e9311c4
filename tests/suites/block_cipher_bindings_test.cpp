// The second binding of each cipher against the first on pseudo-random
// inputs, in every mode: nettle AES against OpenSSL AES, Botan TwoFish
// against nettle TwoFish, Botan AES against the generic modes over
// OpenSSL's block function. The vector files cover ECB, CBC, CFB and OFB with
// whole blocks only; this also covers CTR, partial blocks, chunked input,
// counter wrap-around and the IVs the modes hand back.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <primitives/botan/aes.hpp>
#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/modes.hpp>

#include "support/bytes.hpp"

namespace {

using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;
using quillon::IV;
using quillon::LazyByteString;

ByteString randomBytes(std::mt19937& random, std::size_t length) {
  std::vector<Byte> bytes(length);
  for (Byte& b : bytes) b = static_cast<Byte>(random());
  return ByteString(std::move(bytes));
}

using test_support::ivOf;

template <class K>
std::pair<ByteString, ByteString> flat(const std::pair<ByteString, IV<K>>& result) {
  return {result.first, ByteString(result.second.bytes())};
}
template <class K>
std::pair<ByteString, ByteString> flat(const std::pair<LazyByteString, IV<K>>& result) {
  return {result.first.toStrict(), ByteString(result.second.bytes())};
}

/// One IV mode of two key types, contiguous and lazy.
template <class A, class B>
struct IVMode {
  const char* name;
  bool wholeBlocksOnly;
  quillon::ModeResult<A> (*a)(const A&, const IV<A>&, ByteView);
  quillon::ModeResult<B> (*b)(const B&, const IV<B>&, ByteView);
  quillon::LazyModeResult<A> (*aLazy)(const A&, const IV<A>&, const LazyByteString&);
  quillon::LazyModeResult<B> (*bLazy)(const B&, const IV<B>&, const LazyByteString&);
};

template <class A, class B>
std::vector<IVMode<A, B>> ivModes() {
  using namespace quillon;
  return {{"cbc", true, &cbc<A>, &cbc<B>, &cbcLazy<A>, &cbcLazy<B>},
          {"unCbc", true, &unCbc<A>, &unCbc<B>, &unCbcLazy<A>, &unCbcLazy<B>},
          {"cfb", false, &cfb<A>, &cfb<B>, &cfbLazy<A>, &cfbLazy<B>},
          {"unCfb", false, &unCfb<A>, &unCfb<B>, &unCfbLazy<A>, &unCfbLazy<B>},
          {"ofb", false, &ofb<A>, &ofb<B>, &ofbLazy<A>, &ofbLazy<B>},
          {"unOfb", false, &unOfb<A>, &unOfb<B>, &unOfbLazy<A>, &unOfbLazy<B>},
          {"ctr", false, &ctr<A>, &ctr<B>, &ctrLazy<A>, &ctrLazy<B>},
          {"unCtr", false, &unCtr<A>, &unCtr<B>, &unCtrLazy<A>, &unCtrLazy<B>}};
}

/// A (the binding checked) must give what B (the reference) gives, for
/// every mode, key size and length, including the returned IVs.
template <class A, class B>
void expectAgreement(std::size_t keyBytes, unsigned seed) {
  std::mt19937 random(seed);
  for (int round = 0; round < 4; ++round) {
    const ByteString keyMaterial = randomBytes(random, keyBytes);
    const A a = *A::buildKey(keyMaterial);
    const B b = *B::buildKey(keyMaterial);
    for (std::size_t length : {0, 1, 15, 16, 17, 31, 32, 33, 64, 100, 160}) {
      SCOPED_TRACE("key of " + std::to_string(keyBytes) + " bytes, round " + std::to_string(round) +
                   ", " + std::to_string(length) + " bytes");
      const ByteString input = randomBytes(random, length);
      // All-ones counters wrap around inside the message.
      const ByteString ivBytes = round == 3 ? ByteString(16, 0xff) : randomBytes(random, 16);
      const LazyByteString chunked = LazyByteString::chunked(input, 1 + length % 7);
      if (length % 16 == 0) {
        EXPECT_EQ(quillon::ecb(a, input), quillon::ecb(b, input));
        EXPECT_EQ(quillon::unEcb(a, input), quillon::unEcb(b, input));
        EXPECT_EQ(a.encryptBlock(input), b.encryptBlock(input));
        EXPECT_EQ(a.decryptBlock(input), b.decryptBlock(input));
        EXPECT_EQ(quillon::ecbLazy(a, chunked).toStrict(), quillon::ecb(b, input));
        EXPECT_EQ(quillon::unEcbLazy(a, chunked).toStrict(), quillon::unEcb(b, input));
      } else {
        EXPECT_THROW(quillon::ecb(a, input), std::invalid_argument);
      }
      for (const IVMode<A, B>& mode : ivModes<A, B>()) {
        SCOPED_TRACE(mode.name);
        const IV<A> ivA = ivOf<A>(ivBytes);
        const IV<B> ivB = ivOf<B>(ivBytes);
        if (mode.wholeBlocksOnly && length % 16 != 0) {
          EXPECT_THROW(mode.a(a, ivA, input), std::invalid_argument);
          continue;
        }
        const auto expected = flat(mode.b(b, ivB, input));
        EXPECT_EQ(flat(mode.a(a, ivA, input)), expected);
        EXPECT_EQ(flat(mode.aLazy(a, ivA, chunked)), expected);
      }
    }
  }
}

TEST(BlockCipherBindings, NettleAesAgreesWithOpenSslInEveryMode) {
  expectAgreement<quillon::nettle::AES128, quillon::openssl::AES128>(16, 1);
  expectAgreement<quillon::nettle::AES192, quillon::openssl::AES192>(24, 2);
  expectAgreement<quillon::nettle::AES256, quillon::openssl::AES256>(32, 3);
}

TEST(BlockCipherBindings, BotanTwoFishAgreesWithNettleInEveryModeForAllKeySizes) {
  for (std::size_t keyBytes : {16, 24, 32})
    expectAgreement<quillon::botan::TwoFish, quillon::nettle::TwoFish>(keyBytes,
                                                                       static_cast<unsigned>(keyBytes));
}

/// K's block function alone, so that every mode of it is quillon's generic
/// one.
template <class K>
class GenericModesOver {
 public:
  static int blockSize() { return K::blockSize(); }
  static int keyLength() { return K::keyLength(); }
  static std::optional<GenericModesOver> buildKey(ByteView bytes) {
    std::optional<K> key = K::buildKey(bytes);
    if (!key) return std::nullopt;
    return GenericModesOver(std::move(*key));
  }
  ByteString encryptBlock(ByteView blocks) const { return key_.encryptBlock(blocks); }
  ByteString decryptBlock(ByteView blocks) const { return key_.decryptBlock(blocks); }

 private:
  explicit GenericModesOver(K key) : key_(std::move(key)) {}
  K key_;
};

TEST(BlockCipherBindings, BotanAesAgreesWithTheGenericModesInEveryMode) {
  using quillon::botan::AES128;
  using quillon::botan::AES192;
  using quillon::botan::AES256;
  expectAgreement<AES128, GenericModesOver<quillon::openssl::AES128>>(16, 4);
  expectAgreement<AES192, GenericModesOver<quillon::openssl::AES192>>(24, 5);
  expectAgreement<AES256, GenericModesOver<quillon::openssl::AES256>>(32, 6);
}

template <class K>
std::vector<std::size_t> acceptedKeyLengths() {
  std::vector<std::size_t> accepted;
  for (std::size_t n = 0; n <= 40; ++n)
    if (K::buildKey(ByteString(n, 0x5a))) accepted.push_back(n);
  return accepted;
}

TEST(BlockCipherBindings, KeyLengthsAcceptedAsByTheFirstBinding) {
  EXPECT_EQ(acceptedKeyLengths<quillon::nettle::AES128>(), std::vector<std::size_t>{16});
  EXPECT_EQ(acceptedKeyLengths<quillon::nettle::AES192>(), std::vector<std::size_t>{24});
  EXPECT_EQ(acceptedKeyLengths<quillon::nettle::AES256>(), std::vector<std::size_t>{32});
  EXPECT_EQ(acceptedKeyLengths<quillon::botan::AES128>(), std::vector<std::size_t>{16});
  EXPECT_EQ(acceptedKeyLengths<quillon::botan::AES192>(), std::vector<std::size_t>{24});
  EXPECT_EQ(acceptedKeyLengths<quillon::botan::AES256>(), std::vector<std::size_t>{32});
  EXPECT_EQ(acceptedKeyLengths<quillon::botan::TwoFish>(), acceptedKeyLengths<quillon::nettle::TwoFish>());
  EXPECT_EQ(quillon::botan::TwoFish::keyLength(), quillon::nettle::TwoFish::keyLength());
}

}  // namespace
