#pragma once
// OpenSSL 3 AES as quillon::BlockCipher types, with OpenSSL's own ECB, CBC,
// CFB128, OFB and CTR through EVP for every mode function.
//
// Each call runs one EVP cipher context; the lazy variants feed every chunk
// to that one context, so chunk boundaries inside a block are OpenSSL's to
// handle. The IV handed back is the one OpenSSL's context holds at the end
// (EVP_CIPHER_CTX_get_updated_iv). Partial blocks behave as quillon/modes.hpp
// describes: ECB and CBC refuse them with std::invalid_argument, the stream
// modes encrypt them. CMAC is OpenSSL's own (EVP_MAC "CMAC").

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

#include <primitives/native_modes.hpp>

namespace quillon::openssl {

namespace detail {

using AesMode = bindings::NativeMode;  // CFB is CFB128

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

/// OpenSSL's CMAC (EVP_MAC "CMAC" over AES-keyBits-CBC): the 16-byte tag.
ByteString aesCmac(int keyBits, const Byte* key, ByteView message);

}  // namespace detail

/// AES with a key of exactly KeyBits bits (128, 192 or 256).
template <int KeyBits>
class AES : public bindings::NativeModes<AES<KeyBits>> {
  static_assert(KeyBits == 128 || KeyBits == 192 || KeyBits == 256);

 public:
  static constexpr std::size_t keyBytes = KeyBits / 8;
  /// Every mode through EVP, chunked input through one context.
  static constexpr bindings::NativeModeSet nativeModes{
      .cbc = true, .cfb = true, .ofb = true, .ctr = true, .lazy = true};

  static int blockSize() { return 128; }
  static int keyLength() { return KeyBits; }

  /// A key from exactly KeyBits / 8 bytes; nothing for any other length.
  static std::optional<AES> buildKey(ByteView bytes) {
    if (bytes.size() != keyBytes) return std::nullopt;
    return AES(bytes);
  }

  /// OpenSSL's CMAC, used by quillon::cmac.
  [[nodiscard]] ByteString cmac(ByteView message) const {
    return detail::aesCmac(KeyBits, key_.data(), message);
  }

 private:
  friend bindings::NativeModes<AES>;
  explicit AES(ByteView bytes) { std::copy(bytes.begin(), bytes.end(), key_.begin()); }

  ByteString runNative(detail::AesMode mode, bool encrypt, ByteView iv, ByteView input,
                       Byte* ivOut) const {
    return detail::aesStrict({KeyBits, mode, encrypt}, key_.data(), iv, input, ivOut);
  }
  LazyByteString runNativeLazy(detail::AesMode mode, bool encrypt, ByteView iv,
                               const LazyByteString& input,
                               Byte* ivOut) const {
    return detail::aesLazy({KeyBits, mode, encrypt}, key_.data(), iv, input, ivOut);
  }

  std::array<Byte, keyBytes> key_{};
};

using AES128 = AES<128>;
using AES192 = AES<192>;
using AES256 = AES<256>;

static_assert(BlockCipher<AES128>);

}  // namespace quillon::openssl
