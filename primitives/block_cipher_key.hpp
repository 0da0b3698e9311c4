#pragma once
// The key type every bundled block-cipher binding is: a library's engine
// behind quillon::BlockCipher, with the engine's modes as native members
// (primitives/native_modes.hpp). A binding of a new library or cipher writes
// the engine and names the key type it gives:
//
//   template <int KeyBits>
//   using AES = quillon::bindings::LibraryCipher<detail::AesEngine, KeyBits>;
//
// (a key type that needs members of its own derives from BlockCipherKey
// itself, naming itself as Derived).
//
// where the engine E provides (the first two from AesSizes for a cipher of
// AES's sizes)
//   static constexpr std::size_t blockBytes;                // 16 for AES
//   static constexpr bool takesKeyBytes(std::size_t bytes); // key lengths it takes
//   static constexpr NativeModeSet nativeModes;             // its own modes
//   explicit E(ByteView key);                               // key of such a length
//   void run(Mode, Direction, ByteView iv, ByteView input, Byte* out, Byte* ivOut) const;
//   void runLazy(Mode, Direction, ByteView iv, const LazyByteString& input,
//                Byte* out, Byte* ivOut) const;             // when nativeModes.lazy
//   ByteString cmac(ByteView message) const;                // optional: its own CMAC
// `run` and `runLazy` are NativeModes' runNative and runNativeLazy: ECB or a
// mode of nativeModes, never empty input, never partial blocks for ECB and
// CBC. The engine is copied with the key; it shares what it prepared from
// the key with its copies, and says in its binding's header what that is
// and whether it may be used from several threads.

#include <cstddef>
#include <concepts>
#include <optional>
#include <utility>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/mode_names.hpp>

#include <primitives/native_modes.hpp>

namespace quillon::bindings {

/// The sizes of AES, which TwoFish shares: 16-byte blocks and keys of 16, 24
/// or 32 bytes. An engine of such a cipher derives from it.
struct AesSizes {
  static constexpr std::size_t blockBytes = 16;
  static constexpr bool takesKeyBytes(std::size_t bytes) {
    return bytes == 16 || bytes == 24 || bytes == 32;
  }
};

/// The key lengths buildKey accepts: exactly keyLength(), or every length
/// the engine takes (TwoFish, whose vector files mix key sizes).
enum class KeyLengths { onlyKeyLength, everyEngineLength };

/// The base of a key type Derived (see the top of this header).
template <class Derived, class Engine, int KeyBits, KeyLengths Accepted = KeyLengths::onlyKeyLength>
class BlockCipherKey : public NativeModes<Derived, Engine::blockBytes> {
  static_assert(KeyBits % 8 == 0 && Engine::takesKeyBytes(KeyBits / 8),
                "the engine does not take keys of KeyBits bits");

 public:
  static constexpr NativeModeSet nativeModes = Engine::nativeModes;

  static int blockSize() { return static_cast<int>(Engine::blockBytes * 8); }
  static int keyLength() { return KeyBits; }

  /// A key from bytes of an accepted length; nothing for any other.
  static std::optional<Derived> buildKey(ByteView bytes) {
    const bool accepted = Accepted == KeyLengths::onlyKeyLength
                              ? bytes.size() == static_cast<std::size_t>(KeyBits / 8)
                              : Engine::takesKeyBytes(bytes.size());
    if (!accepted) return std::nullopt;
    return Derived(Engine(bytes));
  }

  /// The library's CMAC, used by quillon::cmac, when the engine has one.
  [[nodiscard]] ByteString cmac(ByteView message) const
    requires requires(const Engine& engine, ByteView bytes) {
      { engine.cmac(bytes) } -> std::same_as<ByteString>;
    }
  {
    return engine_.cmac(message);
  }

 protected:
  explicit BlockCipherKey(Engine engine) : engine_(std::move(engine)) {}

 private:
  friend NativeModes<Derived, Engine::blockBytes>;

  void runNative(Mode mode, Direction direction, ByteView iv, ByteView input, Byte* out,
                 Byte* ivOut) const {
    engine_.run(mode, direction, iv, input, out, ivOut);
  }
  void runNativeLazy(Mode mode, Direction direction, ByteView iv, const LazyByteString& input,
                     Byte* out, Byte* ivOut) const {
    engine_.runLazy(mode, direction, iv, input, out, ivOut);
  }

  Engine engine_;
};

/// The key type of one engine and key size: each library's AES and TwoFish.
/// Engines differ between libraries, so each library's types are its own.
template <class Engine, int KeyBits, KeyLengths Accepted = KeyLengths::onlyKeyLength>
class LibraryCipher : public BlockCipherKey<LibraryCipher<Engine, KeyBits, Accepted>, Engine, KeyBits, Accepted> {
  using LibraryCipher::BlockCipherKey::BlockCipherKey;
};

}  // namespace quillon::bindings
