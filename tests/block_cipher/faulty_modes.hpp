#pragma once
// Toy ciphers whose own mode members carry one bug of the family that round
// trips and chunked-against-contiguous checks cannot see: an IV handed back
// wrongly, or a counter of the wrong width or byte order. Each bug is in the
// strict and the lazy member alike and the same for encryption and
// decryption, so only the mode-consistency and differential suites notice.

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "block_cipher/faulty_ciphers.hpp"

namespace faulty {

using quillon::Mode;

/// The toy cipher with its own members for one mode: the generic mode, then
/// Self::nextIV(plaintext, ciphertext, startIV, rightIV) chooses the IV
/// returned. The lazy members run the strict ones on the joined chunks.
template <class Self, Mode M>
struct RewritesIV : Toy<Self> {
  using Iv = IV<Self>;
  using Result = std::pair<ByteString, Iv>;
  using LazyResult = std::pair<LazyByteString, Iv>;
  using Lazy = const LazyByteString&;

  // clang-format off
  Result cbc(const Iv& iv, ByteView b) const requires(M == Mode::cbc) { return run(true, iv, b); }
  Result unCbc(const Iv& iv, ByteView b) const requires(M == Mode::cbc) { return run(false, iv, b); }
  LazyResult cbcLazy(const Iv& iv, Lazy b) const requires(M == Mode::cbc) { return runLazy(true, iv, b); }
  LazyResult unCbcLazy(const Iv& iv, Lazy b) const requires(M == Mode::cbc) { return runLazy(false, iv, b); }
  Result cfb(const Iv& iv, ByteView b) const requires(M == Mode::cfb) { return run(true, iv, b); }
  Result unCfb(const Iv& iv, ByteView b) const requires(M == Mode::cfb) { return run(false, iv, b); }
  LazyResult cfbLazy(const Iv& iv, Lazy b) const requires(M == Mode::cfb) { return runLazy(true, iv, b); }
  LazyResult unCfbLazy(const Iv& iv, Lazy b) const requires(M == Mode::cfb) { return runLazy(false, iv, b); }
  Result ofb(const Iv& iv, ByteView b) const requires(M == Mode::ofb) { return run(true, iv, b); }
  Result unOfb(const Iv& iv, ByteView b) const requires(M == Mode::ofb) { return run(false, iv, b); }
  LazyResult ofbLazy(const Iv& iv, Lazy b) const requires(M == Mode::ofb) { return runLazy(true, iv, b); }
  LazyResult unOfbLazy(const Iv& iv, Lazy b) const requires(M == Mode::ofb) { return runLazy(false, iv, b); }
  Result ctr(const Iv& iv, ByteView b) const requires(M == Mode::ctr) { return run(true, iv, b); }
  Result unCtr(const Iv& iv, ByteView b) const requires(M == Mode::ctr) { return run(false, iv, b); }
  LazyResult ctrLazy(const Iv& iv, Lazy b) const requires(M == Mode::ctr) { return runLazy(true, iv, b); }
  LazyResult unCtrLazy(const Iv& iv, Lazy b) const requires(M == Mode::ctr) { return runLazy(false, iv, b); }
  // clang-format on

 private:
  const Self& self() const { return static_cast<const Self&>(*this); }

  Result generic(bool encrypt, const Iv& iv, ByteView in) const {
    const Direction direction = encrypt ? Direction::encrypt : Direction::decrypt;
    return quillon::genericModeTable<Self>.ivMode(M, direction).strict(self(), iv, in);
  }
  Result run(bool encrypt, const Iv& iv, ByteView in) const {
    Result result = generic(encrypt, iv, in);
    const ByteView plain = encrypt ? in : result.first.view();
    const ByteView cipher = encrypt ? result.first.view() : in;
    result.second = ivOf<Self>(Self::nextIV(plain, cipher, iv.bytes(), result.second.bytes()));
    return result;
  }
  LazyResult runLazy(bool encrypt, const Iv& iv, Lazy in) const {
    Result result = run(encrypt, iv, in.toStrict());
    return {quillon::splitLike(std::move(result.first).release(), in), std::move(result.second)};
  }
};

/// The block at `index` of `bytes`, completed with zero bytes.
inline ByteString blockAt(ByteView bytes, std::size_t index) {
  std::vector<Byte> block(16, 0);
  const std::size_t begin = 16 * index;
  for (std::size_t i = begin; i < bytes.size() && i < begin + 16; ++i) block[i - begin] = bytes[i];
  return ByteString(std::move(block));
}

/// CFB hands back the last plaintext block where the last ciphertext block
/// belongs.
struct CfbReturnsPlaintextAsIV : RewritesIV<CfbReturnsPlaintextAsIV, Mode::cfb> {
  static ByteString nextIV(ByteView plain, ByteView, ByteView start, ByteView) {
    return plain.empty() ? ByteString(start) : blockAt(plain, (plain.size() - 1) / 16);
  }
};

/// CFB leaves the IV where the last whole block left it when the message
/// ends in a partial block.
struct CfbPartialBlockKeepsIV : RewritesIV<CfbPartialBlockKeepsIV, Mode::cfb> {
  static ByteString nextIV(ByteView, ByteView cipher, ByteView start, ByteView right) {
    if (cipher.size() % 16 == 0) return ByteString(right);
    return cipher.size() < 16 ? ByteString(start) : blockAt(cipher, cipher.size() / 16 - 1);
  }
};

/// OFB returns the IV it was given: the keystream restarts on every call.
struct OfbNeverAdvancesIV : RewritesIV<OfbNeverAdvancesIV, Mode::ofb> {
  static ByteString nextIV(ByteView, ByteView, ByteView start, ByteView) { return ByteString(start); }
};

/// CBC returns the first ciphertext block instead of the last.
struct CbcReturnsFirstBlockAsIV : RewritesIV<CbcReturnsFirstBlockAsIV, Mode::cbc> {
  static ByteString nextIV(ByteView, ByteView cipher, ByteView start, ByteView) {
    return cipher.empty() ? ByteString(start) : blockAt(cipher, 0);
  }
};

/// CTR returns the last counter it used, not the one after it.
struct CtrReturnsLastUsedCounter : RewritesIV<CtrReturnsLastUsedCounter, Mode::ctr> {
  static ByteString nextIV(ByteView plain, ByteView, ByteView, ByteView right) {
    std::vector<Byte> counter(right.begin(), right.end());
    if (!plain.empty())
      for (std::size_t i = counter.size(); i-- > 0;)
        if (counter[i]-- != 0) break;
    return ByteString(std::move(counter));
  }
};

/// CTR of its own, stepping the counter with Self::increment.
template <class Self>
struct CountsItsOwnWay : Toy<Self> {
  using Iv = IV<Self>;
  std::pair<ByteString, Iv> ctr(const Iv& iv, ByteView in) const {
    std::array<Byte, 16> counter{};
    std::copy(iv.bytes().begin(), iv.bytes().end(), counter.begin());
    std::vector<Byte> out(in.size());
    for (std::size_t at = 0; at < in.size(); at += 16) {
      const ByteString stream = Self::encryptWith(this->key, counter);
      for (std::size_t i = at; i < in.size() && i < at + 16; ++i)
        out[i] = static_cast<Byte>(in[i] ^ stream[i - at]);
      Self::increment(counter);
    }
    return {ByteString(std::move(out)), ivOf<Self>(counter)};
  }
  std::pair<ByteString, Iv> unCtr(const Iv& iv, ByteView in) const { return ctr(iv, in); }
  std::pair<LazyByteString, Iv> ctrLazy(const Iv& iv, const LazyByteString& in) const {
    auto [out, next] = ctr(iv, in.toStrict());
    return {quillon::splitLike(std::move(out).release(), in), std::move(next)};
  }
  std::pair<LazyByteString, Iv> unCtrLazy(const Iv& iv, const LazyByteString& in) const {
    return ctrLazy(iv, in);
  }
};

/// The counter read little-endian: the first byte counts fastest.
struct LittleEndianCtr : CountsItsOwnWay<LittleEndianCtr> {
  static void increment(std::array<Byte, 16>& counter) {
    for (Byte& b : counter)
      if (++b != 0) break;
  }
};

/// Only the last Bytes bytes count, big-endian, wrapping without a carry
/// into the rest of the block.
template <std::size_t Bytes>
struct NarrowCtr : CountsItsOwnWay<NarrowCtr<Bytes>> {
  static void increment(std::array<Byte, 16>& counter) {
    for (std::size_t i = 16; i-- > 16 - Bytes;)
      if (++counter[i] != 0) break;
  }
};
using Ctr32BitWraps = NarrowCtr<4>;
using Ctr64BitWraps = NarrowCtr<8>;

/// buildKey takes 32-byte keys too (and uses their first half), where the
/// sound toy takes only 16.
struct AcceptsLongerKeys : Toy<AcceptsLongerKeys> {
  static std::optional<AcceptsLongerKeys> buildKey(ByteView bytes) {
    if (bytes.size() != 16 && bytes.size() != 32) return std::nullopt;
    return Toy<AcceptsLongerKeys>::buildKey(bytes.first(16));
  }
};

}  // namespace faulty
