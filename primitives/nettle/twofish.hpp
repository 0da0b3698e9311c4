#pragma once
// nettle TwoFish as quillon::BlockCipher types, with nettle's own ECB, CBC,
// CFB and CTR for those modes; nettle has no OFB, so OFB is the generic mode
// of quillon/modes.hpp over nettle's block function.
//
// nettle's mode functions keep no state beyond the IV and handle only whole
// blocks between calls, so the lazy variants gather a block that straddles
// two chunks before handing it to nettle. The expanded key (over 4 KiB) is
// computed once in buildKey and shared by copies of the key value.

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

namespace quillon::nettle {

namespace detail {

enum class TwofishMode { ecb, cbc, cfb, ctr };

/// An expanded TwoFish key and nettle's modes over it.
class TwofishSchedule {
 public:
  /// `key` must be 16, 24 or 32 bytes.
  explicit TwofishSchedule(ByteView key);

  /// Runs `mode` over `input`. `iv` is empty for ECB; otherwise one block,
  /// and the IV that continues the stream is written to `ivOut`.
  ByteString run(TwofishMode mode, bool encrypt, ByteView iv, ByteView input, Byte* ivOut) const;
  LazyByteString runLazy(TwofishMode mode, bool encrypt, ByteView iv, const LazyByteString& input,
                         Byte* ivOut) const;

 private:
  struct Context;
  std::shared_ptr<const Context> context_;
};

}  // namespace detail

/// TwoFish whose keyLength() is KeyBits. With AllKeySizes it accepts keys of
/// 128, 192 and 256 bits, as the TwoFish vector files mix them; otherwise
/// exactly KeyBits.
template <int KeyBits, bool AllKeySizes>
class TwoFishCipher {
  using Mode = detail::TwofishMode;

 public:
  static int blockSize() { return 128; }
  static int keyLength() { return KeyBits; }

  static std::optional<TwoFishCipher> buildKey(ByteView bytes) {
    const std::size_t n = bytes.size();
    const bool accepted = AllKeySizes ? (n == 16 || n == 24 || n == 32) : n == KeyBits / 8;
    if (!accepted) return std::nullopt;
    return TwoFishCipher(bytes);
  }

  [[nodiscard]] ByteString encryptBlock(ByteView blocks) const { return run(Mode::ecb, true, blocks); }
  [[nodiscard]] ByteString decryptBlock(ByteView blocks) const { return run(Mode::ecb, false, blocks); }

  [[nodiscard]] ByteString ecb(ByteView bytes) const { return run(Mode::ecb, true, bytes); }
  [[nodiscard]] ByteString unEcb(ByteView bytes) const { return run(Mode::ecb, false, bytes); }
  [[nodiscard]] LazyByteString ecbLazy(const LazyByteString& bytes) const {
    return schedule_.runLazy(Mode::ecb, true, {}, bytes, nullptr);
  }
  [[nodiscard]] LazyByteString unEcbLazy(const LazyByteString& bytes) const {
    return schedule_.runLazy(Mode::ecb, false, {}, bytes, nullptr);
  }

  using Iv = IV<TwoFishCipher>;
  [[nodiscard]] ModeResult<TwoFishCipher> cbc(const Iv& iv, ByteView b) const { return run(Mode::cbc, true, iv, b); }
  [[nodiscard]] ModeResult<TwoFishCipher> unCbc(const Iv& iv, ByteView b) const { return run(Mode::cbc, false, iv, b); }
  [[nodiscard]] ModeResult<TwoFishCipher> cfb(const Iv& iv, ByteView b) const { return run(Mode::cfb, true, iv, b); }
  [[nodiscard]] ModeResult<TwoFishCipher> unCfb(const Iv& iv, ByteView b) const { return run(Mode::cfb, false, iv, b); }
  [[nodiscard]] ModeResult<TwoFishCipher> ctr(const Iv& iv, ByteView b) const { return run(Mode::ctr, true, iv, b); }
  [[nodiscard]] ModeResult<TwoFishCipher> unCtr(const Iv& iv, ByteView b) const { return run(Mode::ctr, false, iv, b); }

  using Lazy = const LazyByteString&;
  [[nodiscard]] LazyModeResult<TwoFishCipher> cbcLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cbc, true, iv, b); }
  [[nodiscard]] LazyModeResult<TwoFishCipher> unCbcLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cbc, false, iv, b); }
  [[nodiscard]] LazyModeResult<TwoFishCipher> cfbLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cfb, true, iv, b); }
  [[nodiscard]] LazyModeResult<TwoFishCipher> unCfbLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cfb, false, iv, b); }
  [[nodiscard]] LazyModeResult<TwoFishCipher> ctrLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::ctr, true, iv, b); }
  [[nodiscard]] LazyModeResult<TwoFishCipher> unCtrLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::ctr, false, iv, b); }

 private:
  explicit TwoFishCipher(ByteView key) : schedule_(key) {}

  ByteString run(Mode mode, bool encrypt, ByteView input) const {
    return schedule_.run(mode, encrypt, {}, input, nullptr);
  }
  ModeResult<TwoFishCipher> run(Mode mode, bool encrypt, const Iv& iv, ByteView input) const {
    std::array<Byte, 16> next{};
    ByteString out = schedule_.run(mode, encrypt, iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }
  LazyModeResult<TwoFishCipher> runLazy(Mode mode, bool encrypt, const Iv& iv, const LazyByteString& input) const {
    std::array<Byte, 16> next{};
    LazyByteString out = schedule_.runLazy(mode, encrypt, iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }
  // IVs are made the way any binding makes them: by reading one block.
  static Iv ivFrom(const std::array<Byte, 16>& block) {
    return std::get<Done<Iv>>(Iv::get(block)).value;
  }

  detail::TwofishSchedule schedule_;
};

/// Keys of 128, 192 or 256 bits; the property suites derive 256-bit keys.
using TwoFish = TwoFishCipher<256, true>;
using TwoFish128 = TwoFishCipher<128, false>;
using TwoFish192 = TwoFishCipher<192, false>;

static_assert(BlockCipher<TwoFish>);

}  // namespace quillon::nettle
