#pragma once
// A keyed Botan 2 block cipher with a 16-byte block and the Botan modes run
// over it, shared by the Botan bindings (AES, TwoFish).
//
// ECB goes straight to the block function; CBC and CFB are Botan cipher
// modes ("<cipher>/CBC/NoPadding", "<cipher>/CFB"), OFB and CTR Botan stream
// ciphers ("OFB(<cipher>)", "CTR-BE(<cipher>)", the counter being the whole
// block). Botan's modes are keyed afresh for every call; the block function
// keeps its schedule, computed once and shared by copies of the engine.
// Returned IVs and partial blocks follow quillon/modes.hpp.

#include <memory>
#include <string>

#include <quillon/byte_string.hpp>

#include <primitives/native_modes.hpp>

namespace quillon::botan::detail {

class BlockEngine {
 public:
  static constexpr std::size_t blockBytes = 16;

  /// `cipherName` is Botan's name of a cipher with 16-byte blocks ("AES-128",
  /// "Twofish"); `key` must be a length that cipher accepts.
  BlockEngine(std::string cipherName, ByteView key);

  /// One mode function, as NativeModes asks for it: `iv` is empty for ECB,
  /// otherwise one block, and the IV that continues the stream goes to
  /// `ivOut`.
  [[nodiscard]] ByteString run(bindings::NativeMode mode, bool encrypt, ByteView iv, ByteView input,
                               Byte* ivOut) const;

 private:
  struct Context;

  [[nodiscard]] ByteString blocks(bool encrypt, ByteView input) const;
  [[nodiscard]] ByteString cbc(bool encrypt, ByteView iv, ByteView input, Byte* ivOut) const;
  [[nodiscard]] ByteString cfb(bool encrypt, ByteView iv, ByteView input, Byte* ivOut) const;
  [[nodiscard]] ByteString ofb(ByteView iv, ByteView input, Byte* ivOut) const;
  [[nodiscard]] ByteString ctr(ByteView iv, ByteView input, Byte* ivOut) const;

  std::shared_ptr<const Context> context_;
};

}  // namespace quillon::botan::detail
