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
#include <thread>
#include <tuple>
#include <vector>

#include <primitives/botan/aes.hpp>
#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/mode_table.hpp>

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

/// A (the binding checked) must give what B (the reference) gives, for
/// every mode, key size and length, including the returned IVs. The
/// reference runs B's modes as `reference` holds them.
template <class A, class B>
void expectAgreement(std::size_t keyBytes, unsigned seed,
                     const quillon::ModeTable<B>& reference = quillon::modeTable<B>) {
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
      for (const quillon::Direction direction : quillon::bothDirections) {
        const auto& ecbA = quillon::modeTable<A>.ecb(direction);
        if (length % 16 != 0) {
          EXPECT_THROW(ecbA.strict(a, input), std::invalid_argument);
          continue;
        }
        const ByteString expected = reference.ecb(direction).strict(b, input);
        EXPECT_EQ(ecbA.strict(a, input), expected);
        EXPECT_EQ(ecbA.lazy(a, chunked).toStrict(), expected);
        const bool encrypt = direction == quillon::Direction::encrypt;
        EXPECT_EQ(encrypt ? a.encryptBlock(input) : a.decryptBlock(input), expected);
      }
      for (const quillon::Mode mode : quillon::ivModes)
        for (const quillon::Direction direction : quillon::bothDirections) {
          SCOPED_TRACE(quillon::modeFunctionName(mode, direction));
          const auto& functionsA = quillon::modeTable<A>.ivMode(mode, direction);
          const IV<A> ivA = ivOf<A>(ivBytes);
          if (!quillon::takesPartialBlocks(mode) && length % 16 != 0) {
            EXPECT_THROW(functionsA.strict(a, ivA, input), std::invalid_argument);
            continue;
          }
          const auto expected = flat(reference.ivMode(mode, direction).strict(b, ivOf<B>(ivBytes), input));
          EXPECT_EQ(flat(functionsA.strict(a, ivA, input)), expected);
          EXPECT_EQ(flat(functionsA.lazy(a, ivA, chunked)), expected);
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

TEST(BlockCipherBindings, BotanAesAgreesWithTheGenericModesInEveryMode) {
  using quillon::botan::AES128;
  using quillon::botan::AES192;
  using quillon::botan::AES256;
  // The generic modes over OpenSSL's block function.
  expectAgreement<AES128>(16, 4, quillon::genericModeTable<quillon::openssl::AES128>);
  expectAgreement<AES192>(24, 5, quillon::genericModeTable<quillon::openssl::AES192>);
  expectAgreement<AES256>(32, 6, quillon::genericModeTable<quillon::openssl::AES256>);
}

/// The last output of a chain of one-block calls of every mode function,
/// each from the IV the call before returned (the calls that reuse a
/// binding's prepared library objects without restarting them).
template <class K>
std::vector<ByteString> chains(const K& key, const quillon::ModeTable<K>& table = quillon::modeTable<K>) {
  std::vector<ByteString> last;
  for (const quillon::Mode mode : quillon::ivModes)
    for (const quillon::Direction direction : quillon::bothDirections) {
      const auto function = table.ivMode(mode, direction).strict;
      IV<K> iv = ivOf<K>(ByteString(16, 0x07));
      ByteString block(16, static_cast<Byte>(mode));
      for (int call = 0; call < 300; ++call) std::tie(block, iv) = function(key, iv, block);
      last.push_back(block);
    }
  return last;
}

/// A key and its copies used by several threads at once give what the
/// generic modes give: prepared library objects are lent to one call at a
/// time.
template <class K>
void expectSameFromSeveralThreads() {
  const K key = *K::buildKey(ByteString(16, 0x42));
  const std::vector<ByteString> expected = chains(key, quillon::genericModeTable<K>);
  std::vector<std::vector<ByteString>> got(4);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < got.size(); ++t)
    threads.emplace_back([&, t] {
      const K copy = key;
      got[t] = chains(t % 2 == 0 ? key : copy);
    });
  for (std::thread& thread : threads) thread.join();
  for (const auto& result : got) EXPECT_EQ(result, expected);
}

TEST(BlockCipherBindings, KeysAndTheirCopiesServeSeveralThreadsAtOnce) {
  expectSameFromSeveralThreads<quillon::openssl::AES128>();
  expectSameFromSeveralThreads<quillon::nettle::AES128>();
  expectSameFromSeveralThreads<quillon::botan::AES128>();
  expectSameFromSeveralThreads<quillon::botan::TwoFish>();
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
