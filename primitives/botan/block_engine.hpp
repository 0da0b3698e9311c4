#pragma once
// The engines of the Botan block-cipher bindings (primitives/
// block_cipher_key.hpp): a keyed Botan 2 block cipher with a 16-byte block
// and Botan's modes over it.
//
// ECB goes straight to the block function; CBC and CFB are Botan cipher
// modes ("<cipher>/CBC/NoPadding", "<cipher>/CFB"), OFB and CTR Botan stream
// ciphers ("OFB(<cipher>)", "CTR-BE(<cipher>)", the counter being the whole
// block). The key schedule is computed once, when the key is built; each
// mode object is keyed once, on first use, and later calls set only its IV
// (primitives/prepared_streams.hpp). Copies of a key share all of it and may
// be used from several threads at once: the block function is read-only, and
// a mode object serves the first thread that uses it, other threads' calls
// running on fresh ones. Returned IVs and partial blocks follow
// quillon/modes.hpp.

#include <cstddef>
#include <memory>
#include <string>

#include <quillon/byte_string.hpp>
#include <quillon/mode_names.hpp>

#include <primitives/block_cipher_key.hpp>
#include <primitives/native_modes.hpp>

namespace quillon::botan::detail {

class BlockEngine : public bindings::AesSizes {
 public:
  void run(Mode mode, Direction direction, ByteView iv, ByteView input, Byte* out, Byte* ivOut) const;

 protected:
  /// `cipherName` is Botan's name of a cipher with 16-byte blocks ("AES-128",
  /// "Twofish"); `key` must be a length that cipher accepts.
  BlockEngine(std::string cipherName, ByteView key);

 private:
  struct Prepared;
  std::shared_ptr<const Prepared> prepared_;
};

/// AES-128, -192 or -256, from the key's length.
class AesEngine : public BlockEngine {
 public:
  /// Botan's own ECB, CBC, CFB, OFB and CTR; chunked input runs generically.
  static constexpr bindings::NativeModeSet nativeModes{
      .cbc = true, .cfb = true, .ofb = true, .ctr = true, .lazy = false};
  explicit AesEngine(ByteView key);
};

class TwofishEngine : public BlockEngine {
 public:
  /// Botan's ECB, CBC and CTR; CFB, OFB and every chunked variant are
  /// generic, so the property suites also compare Botan's CBC and CTR with
  /// the generic ones.
  static constexpr bindings::NativeModeSet nativeModes{
      .cbc = true, .cfb = false, .ofb = false, .ctr = true, .lazy = false};
  explicit TwofishEngine(ByteView key);
};

}  // namespace quillon::botan::detail
