#pragma once
// The mode members of a key type whose library runs its modes through one
// entry point, written once here for every binding.
//
// A key type derives `class K : public NativeModes<K>` (BlockBytes: its block
// length, 16 by default) and provides, for its library's code:
//   static constexpr NativeModeSet nativeModes{...};
//   void runNative(Mode, Direction, ByteView iv, ByteView input, Byte* out, Byte* ivOut) const;
//   void runNativeLazy(Mode, Direction, ByteView iv, const LazyByteString& input,
//                      Byte* out, Byte* ivOut) const;  // when nativeModes.lazy
// which write input.size() bytes of output to `out` and, for a mode with an
// IV, the IV that continues the stream (one block) to `ivOut`. For ECB `iv`
// is empty and `ivOut` null; otherwise `iv` is one block. The rules that do
// not depend on the library are applied here, before runNative is called:
// the partial-block rule (quillon::requireWholeBlocks: ECB and CBC input
// that is not whole blocks is refused), and empty input, which gives empty
// output and the IV unchanged without reaching the library. ECB is always
// native (encryptBlock, decryptBlock, ecb, unEcb). A mode left out of the
// set gets no member at all, so quillon's generic implementation runs it;
// without `lazy` the chunked variants are all generic.
//
// primitives/block_cipher_key.hpp builds a whole key type on this from a
// library's engine.

#include <array>
#include <cstddef>
#include <cstring>
#include <utility>
#include <variant>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_driver.hpp>
#include <quillon/mode_names.hpp>
#include <quillon/modes.hpp>

namespace quillon::bindings {

/// Which modes the library runs itself; ECB always.
struct NativeModeSet {
  bool cbc = false;
  bool cfb = false;
  bool ofb = false;
  bool ctr = false;
  /// The library streams chunked input through one context (runNativeLazy).
  bool lazy = false;
};

/// The IV that continues a stream of `mode` from `iv` after `length` bytes,
/// a whole number of blocks and at least one, went in at `in` and came out
/// at `out`: CBC and CFB the last ciphertext block, OFB the last keystream
/// block (input XOR output), CTR the counter `length / BlockBytes` steps on.
/// For libraries that do not hand it back, or not cheaply.
template <std::size_t BlockBytes>
void ivAfterWholeBlocks(Mode mode, Direction direction, ByteView iv, const Byte* in,
                        const Byte* out, std::size_t length, Byte* ivOut) {
  const std::size_t last = length - BlockBytes;
  switch (mode) {
    case Mode::cbc:
    case Mode::cfb:
      std::memcpy(ivOut, (direction == Direction::encrypt ? out : in) + last, BlockBytes);
      return;
    case Mode::ofb:
      for (std::size_t i = 0; i < BlockBytes; ++i) ivOut[i] = static_cast<Byte>(in[last + i] ^ out[last + i]);
      return;
    case Mode::ctr: {
      // The counter is the whole block, big-endian, wrapping.
      std::memcpy(ivOut, iv.data(), BlockBytes);
      std::size_t steps = length / BlockBytes;
      unsigned carry = 0;
      for (std::size_t i = BlockBytes; i-- > 0 && (steps != 0 || carry != 0);) {
        const unsigned sum = ivOut[i] + static_cast<unsigned>(steps & 0xff) + carry;
        ivOut[i] = static_cast<Byte>(sum);
        carry = sum >> 8;
        steps >>= 8;
      }
      return;
    }
    case Mode::ecb:
      return;
  }
}

template <class Derived, std::size_t BlockBytes = 16>
class NativeModes {
  static constexpr const NativeModeSet& modes() { return Derived::nativeModes; }
  using Iv = IV<Derived>;
  using Lazy = const LazyByteString&;
  static constexpr Direction E = Direction::encrypt;
  static constexpr Direction D = Direction::decrypt;

 public:
  [[nodiscard]] ByteString encryptBlock(ByteView blocks) const { return ecbRun(E, blocks); }
  [[nodiscard]] ByteString decryptBlock(ByteView blocks) const { return ecbRun(D, blocks); }
  [[nodiscard]] ByteString ecb(ByteView bytes) const { return ecbRun(E, bytes); }
  [[nodiscard]] ByteString unEcb(ByteView bytes) const { return ecbRun(D, bytes); }
  [[nodiscard]] LazyByteString ecbLazy(Lazy bytes) const requires(modes().lazy) {
    return chunkedRun(Mode::ecb, E, {}, bytes, nullptr);
  }
  [[nodiscard]] LazyByteString unEcbLazy(Lazy bytes) const requires(modes().lazy) {
    return chunkedRun(Mode::ecb, D, {}, bytes, nullptr);
  }

  // clang-format off
  [[nodiscard]] ModeResult<Derived> cbc(const Iv& iv, ByteView b) const requires(modes().cbc) { return run(Mode::cbc, E, iv, b); }
  [[nodiscard]] ModeResult<Derived> unCbc(const Iv& iv, ByteView b) const requires(modes().cbc) { return run(Mode::cbc, D, iv, b); }
  [[nodiscard]] ModeResult<Derived> cfb(const Iv& iv, ByteView b) const requires(modes().cfb) { return run(Mode::cfb, E, iv, b); }
  [[nodiscard]] ModeResult<Derived> unCfb(const Iv& iv, ByteView b) const requires(modes().cfb) { return run(Mode::cfb, D, iv, b); }
  [[nodiscard]] ModeResult<Derived> ofb(const Iv& iv, ByteView b) const requires(modes().ofb) { return run(Mode::ofb, E, iv, b); }
  [[nodiscard]] ModeResult<Derived> unOfb(const Iv& iv, ByteView b) const requires(modes().ofb) { return run(Mode::ofb, D, iv, b); }
  [[nodiscard]] ModeResult<Derived> ctr(const Iv& iv, ByteView b) const requires(modes().ctr) { return run(Mode::ctr, E, iv, b); }
  [[nodiscard]] ModeResult<Derived> unCtr(const Iv& iv, ByteView b) const requires(modes().ctr) { return run(Mode::ctr, D, iv, b); }

  [[nodiscard]] LazyModeResult<Derived> cbcLazy(const Iv& iv, Lazy b) const requires(modes().cbc && modes().lazy) { return runLazy(Mode::cbc, E, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> unCbcLazy(const Iv& iv, Lazy b) const requires(modes().cbc && modes().lazy) { return runLazy(Mode::cbc, D, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> cfbLazy(const Iv& iv, Lazy b) const requires(modes().cfb && modes().lazy) { return runLazy(Mode::cfb, E, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> unCfbLazy(const Iv& iv, Lazy b) const requires(modes().cfb && modes().lazy) { return runLazy(Mode::cfb, D, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> ofbLazy(const Iv& iv, Lazy b) const requires(modes().ofb && modes().lazy) { return runLazy(Mode::ofb, E, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> unOfbLazy(const Iv& iv, Lazy b) const requires(modes().ofb && modes().lazy) { return runLazy(Mode::ofb, D, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> ctrLazy(const Iv& iv, Lazy b) const requires(modes().ctr && modes().lazy) { return runLazy(Mode::ctr, E, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> unCtrLazy(const Iv& iv, Lazy b) const requires(modes().ctr && modes().lazy) { return runLazy(Mode::ctr, D, iv, b); }
  // clang-format on

 private:
  using Block = std::array<Byte, BlockBytes>;

  const Derived& self() const { return static_cast<const Derived&>(*this); }

  ByteString ecbRun(Direction direction, ByteView input) const {
    requireWholeBlocks(Mode::ecb, direction, false, input.size(), BlockBytes);
    std::vector<Byte> out(input.size());
    if (!input.empty()) self().runNative(Mode::ecb, direction, {}, input, out.data(), nullptr);
    return ByteString(std::move(out));
  }

  ModeResult<Derived> run(Mode mode, Direction direction, const Iv& iv, ByteView input) const {
    requireWholeBlocks(mode, direction, false, input.size(), BlockBytes);
    if (input.empty()) return {ByteString(), iv};
    std::vector<Byte> out(input.size());
    Block next{};
    self().runNative(mode, direction, iv.bytes(), input, out.data(), next.data());
    return {ByteString(std::move(out)), ivFrom(next)};
  }

  LazyByteString chunkedRun(Mode mode, Direction direction, ByteView iv, Lazy input, Byte* ivOut) const {
    requireWholeBlocks(mode, direction, true, input.size(), BlockBytes);
    std::vector<Byte> out(input.size());
    if (!input.empty()) self().runNativeLazy(mode, direction, iv, input, out.data(), ivOut);
    return splitLike(std::move(out), input);
  }

  LazyModeResult<Derived> runLazy(Mode mode, Direction direction, const Iv& iv, Lazy input) const {
    if (input.empty()) {
      requireWholeBlocks(mode, direction, true, 0, BlockBytes);
      return {LazyByteString(), iv};
    }
    Block next{};
    LazyByteString out = chunkedRun(mode, direction, iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }

  // IVs are made the way any binding makes them: by reading one block.
  static Iv ivFrom(const Block& block) { return std::get<Done<Iv>>(Iv::get(block)).value; }
};

}  // namespace quillon::bindings
