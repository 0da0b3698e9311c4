#pragma once
// Botan 2 TwoFish as a quillon::BlockCipher type: an implementation
// independent of nettle's, so that the TwoFish suite runs against two.
//
// The block function is Botan's BlockCipher "Twofish"; CBC is Botan's own
// "Twofish/CBC/NoPadding" cipher mode and CTR Botan's "CTR-BE(Twofish)"
// stream cipher, the counter being the whole block. ECB goes straight to the
// block function. CFB, OFB and every lazy variant are the generic modes of
// quillon/modes.hpp over Botan's block function, so the property suite also
// compares Botan's CBC and CTR with the generic ones. Partial blocks behave
// as quillon/modes.hpp describes. The key schedule is computed once in
// buildKey and shared by copies of the key value.

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <variant>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>

namespace quillon::botan {

namespace detail {

/// A keyed Botan TwoFish and the Botan modes used over it.
class TwofishEngine {
 public:
  /// `key` must be 16, 24 or 32 bytes.
  explicit TwofishEngine(ByteView key);

  [[nodiscard]] ByteString blocks(bool encrypt, ByteView input) const;
  /// Botan's CBC from `iv`; the IV that continues the stream goes to `ivOut`.
  [[nodiscard]] ByteString cbc(bool encrypt, ByteView iv, ByteView input, Byte* ivOut) const;
  /// Botan's big-endian CTR from `iv`; the counter after the last block used
  /// goes to `ivOut`.
  [[nodiscard]] ByteString ctr(ByteView iv, ByteView input, Byte* ivOut) const;

 private:
  struct Context;
  std::shared_ptr<const Context> context_;
};

}  // namespace detail

/// TwoFish accepting keys of 128, 192 and 256 bits, as the TwoFish vector
/// files mix them; keyLength() is 256, so the property suites derive 256-bit
/// keys.
class TwoFish {
 public:
  static int blockSize() { return 128; }
  static int keyLength() { return 256; }

  static std::optional<TwoFish> buildKey(ByteView bytes) {
    const std::size_t n = bytes.size();
    if (n != 16 && n != 24 && n != 32) return std::nullopt;
    return TwoFish(bytes);
  }

  [[nodiscard]] ByteString encryptBlock(ByteView blocks) const { return engine_.blocks(true, blocks); }
  [[nodiscard]] ByteString decryptBlock(ByteView blocks) const { return engine_.blocks(false, blocks); }
  [[nodiscard]] ByteString ecb(ByteView bytes) const { return engine_.blocks(true, bytes); }
  [[nodiscard]] ByteString unEcb(ByteView bytes) const { return engine_.blocks(false, bytes); }

  using Iv = IV<TwoFish>;
  [[nodiscard]] ModeResult<TwoFish> cbc(const Iv& iv, ByteView bytes) const { return cbcRun(true, iv, bytes); }
  [[nodiscard]] ModeResult<TwoFish> unCbc(const Iv& iv, ByteView bytes) const { return cbcRun(false, iv, bytes); }
  [[nodiscard]] ModeResult<TwoFish> ctr(const Iv& iv, ByteView bytes) const { return ctrRun(iv, bytes); }
  [[nodiscard]] ModeResult<TwoFish> unCtr(const Iv& iv, ByteView bytes) const { return ctrRun(iv, bytes); }

 private:
  explicit TwoFish(ByteView key) : engine_(key) {}

  ModeResult<TwoFish> cbcRun(bool encrypt, const Iv& iv, ByteView input) const {
    std::array<Byte, 16> next{};
    ByteString out = engine_.cbc(encrypt, iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }
  ModeResult<TwoFish> ctrRun(const Iv& iv, ByteView input) const {
    std::array<Byte, 16> next{};
    ByteString out = engine_.ctr(iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }
  // IVs are made the way any binding makes them: by reading one block.
  static Iv ivFrom(const std::array<Byte, 16>& block) {
    return std::get<Done<Iv>>(Iv::get(block)).value;
  }

  detail::TwofishEngine engine_;
};

static_assert(BlockCipher<TwoFish>);

}  // namespace quillon::botan
