#pragma once
// OpenSSL 3 AES as quillon::BlockCipher types, with OpenSSL's own ECB, CBC,
// CFB128, OFB and CTR through EVP for every mode function, and OpenSSL's
// CMAC (EVP_MAC "CMAC").
//
// A key holds one EVP cipher context per mode and direction, keyed once when
// that mode function is first called, so that a call sets at most the IV;
// the lazy variants feed every chunk to that one context, so chunk
// boundaries inside a block are OpenSSL's to handle. Copies of a key share
// the contexts and may be used from several threads at once: a context
// serves the first thread that uses it, and other threads' calls run on
// fresh contexts (primitives/prepared_streams.hpp).
// The IV handed back is the last ciphertext block (CBC, CFB), the last
// keystream block (OFB) or the counter after the last block used (CTR),
// taken from the data after whole blocks and from the context
// (EVP_CIPHER_CTX_get_updated_iv) after a partial one. Partial blocks behave
// as quillon/modes.hpp describes.

#include <cstddef>
#include <memory>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/mode_names.hpp>

#include <primitives/block_cipher_key.hpp>
#include <primitives/native_modes.hpp>

namespace quillon::openssl {

namespace detail {

/// OpenSSL's AES-128, -192 or -256 (from the key's length) through EVP.
class AesEngine : public bindings::AesSizes {
 public:
  /// Every mode through EVP, chunked input through one context.
  static constexpr bindings::NativeModeSet nativeModes{
      .cbc = true, .cfb = true, .ofb = true, .ctr = true, .lazy = true};

  explicit AesEngine(ByteView key);

  void run(Mode mode, Direction direction, ByteView iv, ByteView input, Byte* out, Byte* ivOut) const;
  void runLazy(Mode mode, Direction direction, ByteView iv, const LazyByteString& input, Byte* out,
               Byte* ivOut) const;
  /// OpenSSL's CMAC over AES-CBC with this key: the 16-byte tag.
  [[nodiscard]] ByteString cmac(ByteView message) const;

 private:
  struct Prepared;
  std::shared_ptr<const Prepared> prepared_;
};

}  // namespace detail

/// AES with a key of exactly KeyBits bits (128, 192 or 256).
template <int KeyBits>
using AES = bindings::LibraryCipher<detail::AesEngine, KeyBits>;

using AES128 = AES<128>;
using AES192 = AES<192>;
using AES256 = AES<256>;

static_assert(BlockCipher<AES128>);

}  // namespace quillon::openssl
