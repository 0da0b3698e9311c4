// The skeleton of the bundled bindings: which calls reach a library through
// BlockCipherKey and NativeModes, which rules the skeleton applies itself,
// and how PreparedStreams shares prepared library objects.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <primitives/block_cipher_key.hpp>
#include <primitives/botan/aes.hpp>
#include <primitives/botan/twofish.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <primitives/prepared_streams.hpp>

#include "support/bytes.hpp"

namespace {

using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;
using quillon::Direction;
using quillon::LazyByteString;
using quillon::Mode;
using quillon::bindings::NativeModeSet;

template <class K>
concept OwnOfb = requires(const K& k, const quillon::IV<K>& iv, ByteView b) { k.ofb(iv, b); };
template <class K>
concept OwnCfbLazy =
    requires(const K& k, const quillon::IV<K>& iv, const LazyByteString& b) { k.cfbLazy(iv, b); };
template <class K>
concept OwnCtr = requires(const K& k, const quillon::IV<K>& iv, ByteView b) { k.ctr(iv, b); };
template <class K>
concept OwnCmac = requires(const K& k, ByteView b) { k.cmac(b); };

// Which library modes each bundled binding uses natively.
static_assert(OwnOfb<quillon::openssl::AES128> && OwnCfbLazy<quillon::openssl::AES128>);
static_assert(!OwnOfb<quillon::nettle::AES128> && OwnCfbLazy<quillon::nettle::AES128>);
static_assert(!OwnOfb<quillon::nettle::TwoFish> && OwnCtr<quillon::nettle::TwoFish>);
static_assert(OwnCtr<quillon::botan::TwoFish> && !OwnCfbLazy<quillon::botan::TwoFish>);
static_assert(OwnOfb<quillon::botan::AES128> && !OwnCfbLazy<quillon::botan::AES128>);
static_assert(OwnCmac<quillon::openssl::AES128> && OwnCmac<quillon::nettle::TwoFish> &&
              !OwnCmac<quillon::botan::AES128>);

/// An identity "library" that records the calls reaching it.
template <NativeModeSet Modes>
struct CountingEngine {
  static constexpr std::size_t blockBytes = 16;
  static constexpr NativeModeSet nativeModes = Modes;
  static constexpr bool takesKeyBytes(std::size_t bytes) { return bytes == 16 || bytes == 32; }
  explicit CountingEngine(ByteView) {}

  static inline std::map<Mode, int> calls;
  static inline std::vector<std::size_t> lengths;

  void run(Mode mode, Direction, ByteView iv, ByteView input, Byte* out, Byte* ivOut) const {
    ++calls[mode];
    lengths.push_back(input.size());
    std::copy(input.begin(), input.end(), out);
    if (ivOut != nullptr) std::copy(iv.begin(), iv.end(), ivOut);
  }
  void runLazy(Mode mode, Direction direction, ByteView iv, const LazyByteString& input, Byte* out,
               Byte* ivOut) const {
    run(mode, direction, iv, input.toStrict(), out, ivOut);
  }
};

template <NativeModeSet Modes,
          quillon::bindings::KeyLengths Lengths = quillon::bindings::KeyLengths::onlyKeyLength>
class Counting
    : public quillon::bindings::BlockCipherKey<Counting<Modes, Lengths>, CountingEngine<Modes>, 128, Lengths> {
  using Counting::BlockCipherKey::BlockCipherKey;
};

template <class K>
K keyOf() {
  return *K::buildKey(ByteString(16, 0x11));
}

TEST(BlockCipherKey, DeclaredModesReachTheLibraryOthersRunGenerically) {
  using Cipher = Counting<NativeModeSet{.cbc = true, .ctr = true}>;
  using Engine = CountingEngine<Cipher::nativeModes>;
  const Cipher key = keyOf<Cipher>();
  const auto iv = test_support::ivOf<Cipher>(ByteString(16, 0x01));
  const ByteString block(16, 0xab);
  Engine::calls.clear();
  (void)quillon::cbc(key, iv, block);
  (void)quillon::ctr(key, iv, block);
  EXPECT_EQ(Engine::calls[Mode::cbc], 1);
  EXPECT_EQ(Engine::calls[Mode::ctr], 1);
  // OFB and CFB are generic: they reach the library only as ECB blocks.
  (void)quillon::ofb(key, iv, block);
  (void)quillon::cfb(key, iv, block);
  EXPECT_EQ(Engine::calls[Mode::ofb], 0);
  EXPECT_EQ(Engine::calls[Mode::cfb], 0);
  EXPECT_GE(Engine::calls[Mode::ecb], 2);
  // Without `lazy`, chunked CBC is generic too.
  Engine::calls.clear();
  (void)quillon::cbcLazy(key, iv, LazyByteString(block));
  EXPECT_EQ(Engine::calls[Mode::cbc], 0);
  EXPECT_GE(Engine::calls[Mode::ecb], 1);
}

TEST(BlockCipherKey, LazyMembersExistOnlyWhenDeclared) {
  using Streaming = Counting<NativeModeSet{.cbc = true, .lazy = true}>;
  using Engine = CountingEngine<Streaming::nativeModes>;
  static_assert(!OwnCfbLazy<Streaming> && !OwnCmac<Streaming>);
  const Streaming key = keyOf<Streaming>();
  const auto iv = test_support::ivOf<Streaming>(ByteString(16, 0x02));
  Engine::calls.clear();
  const auto [out, next] = quillon::cbcLazy(key, iv, LazyByteString::chunked(ByteString(32, 0x05), 5));
  EXPECT_EQ(Engine::calls[Mode::cbc], 1);
  EXPECT_EQ(out.toStrict(), ByteString(32, 0x05));
  EXPECT_EQ(out.chunks().size(), 7u);
  EXPECT_EQ(next, iv);
}

TEST(BlockCipherKey, EmptyInputAndPartialBlocksNeverReachTheLibrary) {
  using Cipher = Counting<NativeModeSet{.cbc = true, .ctr = true, .lazy = true}>;
  using Engine = CountingEngine<Cipher::nativeModes>;
  const Cipher key = keyOf<Cipher>();
  const auto iv = test_support::ivOf<Cipher>(ByteString(16, 0x03));
  Engine::lengths.clear();
  EXPECT_EQ(quillon::cbc(key, iv, ByteString()), std::make_pair(ByteString(), iv));
  EXPECT_EQ(quillon::ctrLazy(key, iv, LazyByteString()).second, iv);
  EXPECT_EQ(quillon::ecb(key, ByteString()), ByteString());
  const ByteString partial(17, 0);
  const std::function<void()> partialCalls[] = {
      [&] { (void)quillon::unCbc(key, iv, partial); },
      [&] { (void)quillon::cbcLazy(key, iv, LazyByteString(partial)); },
      [&] { (void)key.encryptBlock(partial); }};
  for (const auto& call : partialCalls) {
    try {
      call();
      ADD_FAILURE() << "a partial block was accepted";
    } catch (const std::invalid_argument& error) {
      EXPECT_NE(std::string(error.what()).find("input of 17 bytes is not a whole number of 16-byte blocks"),
                std::string::npos)
          << error.what();
    }
  }
  EXPECT_TRUE(Engine::lengths.empty());
  (void)quillon::ctr(key, iv, partial);  // a stream mode takes it
  EXPECT_EQ(Engine::lengths, std::vector<std::size_t>{17});
}

TEST(BlockCipherKey, KeyLengthsAreKeyLengthOnlyOrEveryOneTheEngineTakes) {
  using Only = Counting<NativeModeSet{}>;
  using Every = Counting<NativeModeSet{}, quillon::bindings::KeyLengths::everyEngineLength>;
  for (std::size_t n : {0, 15, 16, 24, 32}) {
    EXPECT_EQ(Only::buildKey(ByteString(n, 0)).has_value(), n == 16) << n;
    EXPECT_EQ(Every::buildKey(ByteString(n, 0)).has_value(), n == 16 || n == 32) << n;
  }
}

// PreparedStreams over a stand-in object: the number of the make() call
// that made it.
using Streams = quillon::bindings::PreparedStreams<int>;
using Stream = Streams::Stream;

TEST(PreparedStreams, ResumeOnlyWhereTheLastCallStoppedAtABlockBoundary) {
  const Streams streams;
  int made = 0;
  const auto make = [&] { return ++made; };
  const ByteString a(16, 0xaa), b(16, 0xbb);
  std::vector<bool> resumed;
  const auto call = [&](const ByteString& from, const ByteString* stopAt) {
    streams.lend(Mode::cbc, Direction::encrypt, make, [&](Stream& stream) {
      resumed.push_back(stream.resumeAt(from));
      if (stopAt != nullptr) stream.stoppedAt(stopAt->data());
    });
  };
  call(a, &b);        // first use: made, started
  call(b, &a);        // continues from where it stopped
  call(b, nullptr);   // from elsewhere: restarted; stops inside a block
  call(b, &a);        // so not resumed even from the same IV
  call(a, nullptr);
  EXPECT_EQ(resumed, (std::vector<bool>{false, true, false, false, true}));
  EXPECT_EQ(made, 1);
  // After a call that threw, the object is restarted.
  EXPECT_THROW(streams.lend(Mode::cbc, Direction::encrypt, make,
                            [&](Stream& stream) {
                              stream.stoppedAt(b.data());
                              throw std::runtime_error("library failure");
                            }),
               std::runtime_error);
  call(b, nullptr);
  EXPECT_FALSE(resumed.back());
}

TEST(PreparedStreams, AnObjectServesOneCallAtATimeOfOneThread) {
  const Streams streams;
  int made = 0;
  const auto make = [&] { return ++made; };
  std::vector<int> seen;
  streams.lend(Mode::ctr, Direction::decrypt, make, [&](Stream& outer) {
    streams.lend(Mode::ctr, Direction::decrypt, make, [&](Stream& inner) { seen.push_back(inner.object); });
    streams.lend(Mode::ctr, Direction::encrypt, make, [&](Stream& other) { seen.push_back(other.object); });
    seen.push_back(outer.object);
  });
  streams.lend(Mode::ctr, Direction::decrypt, make, [&](Stream& again) { seen.push_back(again.object); });
  // The slots are this thread's now: another thread gets fresh objects.
  std::thread([&] {
    streams.lend(Mode::ctr, Direction::decrypt, make, [&](Stream& other) { seen.push_back(other.object); });
  }).join();
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 1, 1, 4}));
}

}  // namespace
