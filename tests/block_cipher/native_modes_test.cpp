// The mode members a binding gets from NativeModes: exactly the modes it
// declares native reach its library, everything else runs generically.

#include <gtest/gtest.h>

#include <map>

#include <primitives/botan/aes.hpp>
#include <primitives/botan/twofish.hpp>
#include <primitives/native_modes.hpp>
#include <primitives/nettle/aes.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>

namespace {

using quillon::ByteString;
using quillon::ByteView;
using quillon::LazyByteString;
using quillon::bindings::NativeMode;
using quillon::bindings::NativeModeSet;

template <class K>
concept OwnOfb = requires(const K& k, const quillon::IV<K>& iv, ByteView b) { k.ofb(iv, b); };
template <class K>
concept OwnCfbLazy =
    requires(const K& k, const quillon::IV<K>& iv, const LazyByteString& b) { k.cfbLazy(iv, b); };
template <class K>
concept OwnCtr = requires(const K& k, const quillon::IV<K>& iv, ByteView b) { k.ctr(iv, b); };

// Which library modes each bundled binding uses natively.
static_assert(OwnOfb<quillon::openssl::AES128> && OwnCfbLazy<quillon::openssl::AES128>);
static_assert(!OwnOfb<quillon::nettle::AES128> && OwnCfbLazy<quillon::nettle::AES128>);
static_assert(!OwnOfb<quillon::nettle::TwoFish> && OwnCtr<quillon::nettle::TwoFish>);
static_assert(OwnCtr<quillon::botan::TwoFish> && !OwnCfbLazy<quillon::botan::TwoFish>);
static_assert(OwnOfb<quillon::botan::AES128> && !OwnCfbLazy<quillon::botan::AES128>);

// A binding over an identity "library" that counts what reaches it.
template <NativeModeSet Modes>
class CountingCipher : public quillon::bindings::NativeModes<CountingCipher<Modes>> {
 public:
  static constexpr NativeModeSet nativeModes = Modes;
  static int blockSize() { return 128; }
  static int keyLength() { return 128; }
  static std::optional<CountingCipher> buildKey(ByteView) { return CountingCipher(); }

  static inline std::map<NativeMode, int> calls;

 private:
  friend quillon::bindings::NativeModes<CountingCipher>;
  ByteString runNative(NativeMode mode, bool, ByteView iv, ByteView input, quillon::Byte* ivOut) const {
    ++calls[mode];
    if (ivOut != nullptr) std::copy(iv.begin(), iv.end(), ivOut);
    return ByteString(input);
  }
  LazyByteString runNativeLazy(NativeMode mode, bool, ByteView iv, const LazyByteString& input,
                               quillon::Byte* ivOut) const {
    ++calls[mode];
    if (ivOut != nullptr) std::copy(iv.begin(), iv.end(), ivOut);
    return input;
  }
};

TEST(NativeModes, DeclaredModesReachTheLibraryOthersRunGenerically) {
  using Cipher = CountingCipher<NativeModeSet{.cbc = true, .ctr = true}>;
  const Cipher key = *Cipher::buildKey({});
  const auto iv = std::get<quillon::Done<quillon::IV<Cipher>>>(
                      quillon::IV<Cipher>::get(ByteString(16, 0x01)))
                      .value;
  const ByteString block(16, 0xab);
  Cipher::calls.clear();
  (void)quillon::cbc(key, iv, block);
  (void)quillon::ctr(key, iv, block);
  EXPECT_EQ(Cipher::calls[NativeMode::cbc], 1);
  EXPECT_EQ(Cipher::calls[NativeMode::ctr], 1);
  // OFB and CFB are generic: they reach the library only as ECB blocks.
  (void)quillon::ofb(key, iv, block);
  (void)quillon::cfb(key, iv, block);
  EXPECT_EQ(Cipher::calls[NativeMode::ofb], 0);
  EXPECT_EQ(Cipher::calls[NativeMode::cfb], 0);
  EXPECT_GE(Cipher::calls[NativeMode::ecb], 2);
  // Without `lazy`, chunked CBC is generic too.
  Cipher::calls.clear();
  (void)quillon::cbcLazy(key, iv, LazyByteString(block));
  EXPECT_EQ(Cipher::calls[NativeMode::cbc], 0);
  EXPECT_GE(Cipher::calls[NativeMode::ecb], 1);
}

TEST(NativeModes, LazyMembersExistOnlyWhenDeclared) {
  using Streaming = CountingCipher<NativeModeSet{.cbc = true, .lazy = true}>;
  static_assert(OwnCfbLazy<Streaming> == false);
  const Streaming key = *Streaming::buildKey({});
  const auto iv = std::get<quillon::Done<quillon::IV<Streaming>>>(
                      quillon::IV<Streaming>::get(ByteString(16, 0x02)))
                      .value;
  Streaming::calls.clear();
  const auto [out, next] = quillon::cbcLazy(key, iv, LazyByteString(ByteString(32, 0x05)));
  EXPECT_EQ(Streaming::calls[NativeMode::cbc], 1);
  EXPECT_EQ(out, ByteString(32, 0x05));
  EXPECT_EQ(next, iv);
}

}  // namespace
