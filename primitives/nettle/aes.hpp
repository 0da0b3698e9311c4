#pragma once
// nettle AES as quillon::BlockCipher types: an implementation independent of
// OpenSSL's, so that every AES suite runs against two. ECB goes through
// nettle's aes*_encrypt / aes*_decrypt, CBC, CFB (full-block feedback) and
// CTR through nettle's own cbc_*, cfb_* and ctr_crypt; nettle has no OFB, so
// OFB is the generic mode of quillon/modes.hpp over nettle's block function.
//
// nettle's mode functions keep no state beyond the IV and handle only whole
// blocks between calls, so the lazy variants gather a block that straddles
// two chunks before handing it to nettle. Partial blocks behave as
// quillon/modes.hpp describes. The expanded encryption and decryption keys
// are computed once in buildKey and shared by copies of the key value.

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

enum class AesMode { ecb, cbc, cfb, ctr };

/// Expanded AES keys and nettle's modes over them.
class AesSchedule {
 public:
  /// `key` must be keyBits / 8 bytes, keyBits one of 128, 192, 256.
  AesSchedule(int keyBits, ByteView key);

  /// Runs `mode` over `input`. `iv` is empty for ECB; otherwise one block,
  /// and the IV that continues the stream is written to `ivOut`.
  ByteString run(AesMode mode, bool encrypt, ByteView iv, ByteView input, Byte* ivOut) const;
  LazyByteString runLazy(AesMode mode, bool encrypt, ByteView iv, const LazyByteString& input,
                         Byte* ivOut) const;

 private:
  struct Context;
  std::shared_ptr<const Context> context_;
};

}  // namespace detail

/// AES with a key of exactly KeyBits bits (128, 192 or 256).
template <int KeyBits>
class AES {
  static_assert(KeyBits == 128 || KeyBits == 192 || KeyBits == 256);
  using Mode = detail::AesMode;

 public:
  static int blockSize() { return 128; }
  static int keyLength() { return KeyBits; }

  /// A key from exactly KeyBits / 8 bytes; nothing for any other length.
  static std::optional<AES> buildKey(ByteView bytes) {
    if (bytes.size() != KeyBits / 8) return std::nullopt;
    return AES(bytes);
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

  using Iv = IV<AES>;
  [[nodiscard]] ModeResult<AES> cbc(const Iv& iv, ByteView b) const { return run(Mode::cbc, true, iv, b); }
  [[nodiscard]] ModeResult<AES> unCbc(const Iv& iv, ByteView b) const { return run(Mode::cbc, false, iv, b); }
  [[nodiscard]] ModeResult<AES> cfb(const Iv& iv, ByteView b) const { return run(Mode::cfb, true, iv, b); }
  [[nodiscard]] ModeResult<AES> unCfb(const Iv& iv, ByteView b) const { return run(Mode::cfb, false, iv, b); }
  [[nodiscard]] ModeResult<AES> ctr(const Iv& iv, ByteView b) const { return run(Mode::ctr, true, iv, b); }
  [[nodiscard]] ModeResult<AES> unCtr(const Iv& iv, ByteView b) const { return run(Mode::ctr, false, iv, b); }

  using Lazy = const LazyByteString&;
  [[nodiscard]] LazyModeResult<AES> cbcLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cbc, true, iv, b); }
  [[nodiscard]] LazyModeResult<AES> unCbcLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cbc, false, iv, b); }
  [[nodiscard]] LazyModeResult<AES> cfbLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cfb, true, iv, b); }
  [[nodiscard]] LazyModeResult<AES> unCfbLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cfb, false, iv, b); }
  [[nodiscard]] LazyModeResult<AES> ctrLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::ctr, true, iv, b); }
  [[nodiscard]] LazyModeResult<AES> unCtrLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::ctr, false, iv, b); }

 private:
  explicit AES(ByteView key) : schedule_(KeyBits, key) {}

  ByteString run(Mode mode, bool encrypt, ByteView input) const {
    return schedule_.run(mode, encrypt, {}, input, nullptr);
  }
  ModeResult<AES> run(Mode mode, bool encrypt, const Iv& iv, ByteView input) const {
    std::array<Byte, 16> next{};
    ByteString out = schedule_.run(mode, encrypt, iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }
  LazyModeResult<AES> runLazy(Mode mode, bool encrypt, const Iv& iv, const LazyByteString& input) const {
    std::array<Byte, 16> next{};
    LazyByteString out = schedule_.runLazy(mode, encrypt, iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }
  // IVs are made the way any binding makes them: by reading one block.
  static Iv ivFrom(const std::array<Byte, 16>& block) {
    return std::get<Done<Iv>>(Iv::get(block)).value;
  }

  detail::AesSchedule schedule_;
};

using AES128 = AES<128>;
using AES192 = AES<192>;
using AES256 = AES<256>;

static_assert(BlockCipher<AES128>);

}  // namespace quillon::nettle
