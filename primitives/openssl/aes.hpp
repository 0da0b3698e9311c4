#pragma once
// OpenSSL 3 AES as quillon::BlockCipher types, with OpenSSL's own ECB, CBC,
// CFB128, OFB and CTR through EVP for every mode function.
//
// Each call runs one EVP cipher context; the lazy variants feed every chunk
// to that one context, so chunk boundaries inside a block are OpenSSL's to
// handle. The IV handed back is the one OpenSSL's context holds at the end
// (EVP_CIPHER_CTX_get_updated_iv). Partial blocks behave as quillon/modes.hpp
// describes: ECB and CBC refuse them with std::invalid_argument, the stream
// modes encrypt them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>
#include <variant>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>

namespace quillon::openssl {

namespace detail {

enum class AesMode { ecb, cbc, cfb128, ofb, ctr };

/// One EVP operation: which cipher, which direction.
struct AesOperation {
  int keyBits;
  AesMode mode;
  bool encrypt;
};

/// Runs `operation` over `input` through one EVP context (every chunk of a
/// lazy input in order) and writes the context's final IV, one block, to
/// `ivOut` unless it is null. `iv` is empty for ECB.
ByteString aesStrict(const AesOperation& operation, const Byte* key, ByteView iv, ByteView input,
                     Byte* ivOut);
LazyByteString aesLazy(const AesOperation& operation, const Byte* key, ByteView iv,
                       const LazyByteString& input, Byte* ivOut);

}  // namespace detail

/// AES with a key of exactly KeyBits bits (128, 192 or 256).
template <int KeyBits>
class AES {
  static_assert(KeyBits == 128 || KeyBits == 192 || KeyBits == 256);
  using Mode = detail::AesMode;

 public:
  static constexpr std::size_t keyBytes = KeyBits / 8;

  static int blockSize() { return 128; }
  static int keyLength() { return KeyBits; }

  /// A key from exactly KeyBits / 8 bytes; nothing for any other length.
  static std::optional<AES> buildKey(ByteView bytes) {
    if (bytes.size() != keyBytes) return std::nullopt;
    return AES(bytes);
  }

  [[nodiscard]] ByteString encryptBlock(ByteView blocks) const { return run(Mode::ecb, true, blocks); }
  [[nodiscard]] ByteString decryptBlock(ByteView blocks) const { return run(Mode::ecb, false, blocks); }

  [[nodiscard]] ByteString ecb(ByteView bytes) const { return run(Mode::ecb, true, bytes); }
  [[nodiscard]] ByteString unEcb(ByteView bytes) const { return run(Mode::ecb, false, bytes); }
  [[nodiscard]] LazyByteString ecbLazy(const LazyByteString& bytes) const {
    return detail::aesLazy({KeyBits, Mode::ecb, true}, key_.data(), {}, bytes, nullptr);
  }
  [[nodiscard]] LazyByteString unEcbLazy(const LazyByteString& bytes) const {
    return detail::aesLazy({KeyBits, Mode::ecb, false}, key_.data(), {}, bytes, nullptr);
  }

  using Iv = IV<AES>;
  [[nodiscard]] ModeResult<AES> cbc(const Iv& iv, ByteView b) const { return run(Mode::cbc, true, iv, b); }
  [[nodiscard]] ModeResult<AES> unCbc(const Iv& iv, ByteView b) const { return run(Mode::cbc, false, iv, b); }
  [[nodiscard]] ModeResult<AES> cfb(const Iv& iv, ByteView b) const { return run(Mode::cfb128, true, iv, b); }
  [[nodiscard]] ModeResult<AES> unCfb(const Iv& iv, ByteView b) const { return run(Mode::cfb128, false, iv, b); }
  [[nodiscard]] ModeResult<AES> ofb(const Iv& iv, ByteView b) const { return run(Mode::ofb, true, iv, b); }
  [[nodiscard]] ModeResult<AES> unOfb(const Iv& iv, ByteView b) const { return run(Mode::ofb, false, iv, b); }
  [[nodiscard]] ModeResult<AES> ctr(const Iv& iv, ByteView b) const { return run(Mode::ctr, true, iv, b); }
  [[nodiscard]] ModeResult<AES> unCtr(const Iv& iv, ByteView b) const { return run(Mode::ctr, false, iv, b); }

  using Lazy = const LazyByteString&;
  [[nodiscard]] LazyModeResult<AES> cbcLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cbc, true, iv, b); }
  [[nodiscard]] LazyModeResult<AES> unCbcLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cbc, false, iv, b); }
  [[nodiscard]] LazyModeResult<AES> cfbLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cfb128, true, iv, b); }
  [[nodiscard]] LazyModeResult<AES> unCfbLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::cfb128, false, iv, b); }
  [[nodiscard]] LazyModeResult<AES> ofbLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::ofb, true, iv, b); }
  [[nodiscard]] LazyModeResult<AES> unOfbLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::ofb, false, iv, b); }
  [[nodiscard]] LazyModeResult<AES> ctrLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::ctr, true, iv, b); }
  [[nodiscard]] LazyModeResult<AES> unCtrLazy(const Iv& iv, Lazy b) const { return runLazy(Mode::ctr, false, iv, b); }

 private:
  explicit AES(ByteView bytes) { std::copy(bytes.begin(), bytes.end(), key_.begin()); }

  ByteString run(Mode mode, bool encrypt, ByteView input) const {
    return detail::aesStrict({KeyBits, mode, encrypt}, key_.data(), {}, input, nullptr);
  }
  ModeResult<AES> run(Mode mode, bool encrypt, const Iv& iv, ByteView input) const {
    std::array<Byte, 16> next{};
    ByteString out = detail::aesStrict({KeyBits, mode, encrypt}, key_.data(), iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }
  LazyModeResult<AES> runLazy(Mode mode, bool encrypt, const Iv& iv, const LazyByteString& input) const {
    std::array<Byte, 16> next{};
    LazyByteString out = detail::aesLazy({KeyBits, mode, encrypt}, key_.data(), iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }
  // IVs are made the way any binding makes them: by reading one block.
  static Iv ivFrom(const std::array<Byte, 16>& block) {
    return std::get<Done<Iv>>(Iv::get(block)).value;
  }

  std::array<Byte, keyBytes> key_{};
};

using AES128 = AES<128>;
using AES192 = AES<192>;
using AES256 = AES<256>;

static_assert(BlockCipher<AES128>);

}  // namespace quillon::openssl
