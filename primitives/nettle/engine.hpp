#pragma once
// The engine of the nettle block-cipher bindings (primitives/
// block_cipher_key.hpp): a keyed nettle cipher with nettle's ECB, CBC, CFB
// (full block) and CTR over it, and nettle's CMAC (cmac128). nettle has no
// OFB, so OFB is left to quillon's generic mode over the block function.
//
// The expanded key is computed once, when the key is built, and shared by
// copies of the key value. nettle's mode functions read the expanded key and
// keep the running IV in the caller's buffer, so a key and its copies may be
// used from several threads at once.

#include <cstddef>
#include <memory>

#include <quillon/byte_string.hpp>
#include <quillon/mode_names.hpp>

#include <primitives/block_cipher_key.hpp>
#include <primitives/native_modes.hpp>

namespace quillon::nettle::detail {

struct KeyedCipher;  // primitives/nettle/cipher_modes.hpp

class CipherEngine : public bindings::AesSizes {
 public:
  /// nettle's ECB, CBC, CFB and CTR; OFB is generic.
  static constexpr bindings::NativeModeSet nativeModes{
      .cbc = true, .cfb = true, .ofb = false, .ctr = true, .lazy = true};

  void run(Mode mode, Direction direction, ByteView iv, ByteView input, Byte* out, Byte* ivOut) const;
  /// The same over chunked input, as one stream: a block that straddles two
  /// chunks is gathered before it reaches nettle.
  void runLazy(Mode mode, Direction direction, ByteView iv, const LazyByteString& input, Byte* out,
               Byte* ivOut) const;
  /// nettle's CMAC over the block function: the full 16-byte tag.
  [[nodiscard]] ByteString cmac(ByteView message) const;

 protected:
  explicit CipherEngine(std::shared_ptr<const KeyedCipher> cipher) noexcept
      : cipher_(std::move(cipher)) {}

 private:
  std::shared_ptr<const KeyedCipher> cipher_;
};

/// AES-128, -192 or -256, from the key's length.
class AesEngine : public CipherEngine {
 public:
  explicit AesEngine(ByteView key);
};

class TwofishEngine : public CipherEngine {
 public:
  explicit TwofishEngine(ByteView key);
};

}  // namespace quillon::nettle::detail
