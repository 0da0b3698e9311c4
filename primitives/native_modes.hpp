#pragma once
// The mode members of a binding whose library runs its modes through one
// entry point, so that every binding declares them once, here.
//
// A key type derives `class K : public NativeModes<K>` and provides, for its
// library's code:
//   static constexpr NativeModeSet nativeModes{...};
//   ByteString runNative(NativeMode, bool encrypt, ByteView iv, ByteView input, Byte* ivOut) const;
//   LazyByteString runNativeLazy(NativeMode, bool encrypt, ByteView iv,
//                                const LazyByteString& input, Byte* ivOut) const;  // when lazy
// `iv` is empty for ECB; otherwise one block, and the IV that continues the
// stream is written to `ivOut` (one block). ECB is always native
// (encryptBlock, decryptBlock, ecb, unEcb). A mode left out of the set gets
// no member at all, so quillon's generic implementation runs it; without
// `lazy` the chunked variants are all generic.

#include <array>
#include <cstddef>
#include <utility>
#include <variant>

#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>

namespace quillon::bindings {

enum class NativeMode { ecb, cbc, cfb, ofb, ctr };

/// Which modes the library runs itself; ECB always.
struct NativeModeSet {
  bool cbc = false;
  bool cfb = false;
  bool ofb = false;
  bool ctr = false;
  /// The library streams chunked input through one context (runNativeLazy).
  bool lazy = false;
};

template <class Derived, std::size_t BlockBytes = 16>
class NativeModes {
  static constexpr const NativeModeSet& modes() { return Derived::nativeModes; }
  using Iv = IV<Derived>;
  using Lazy = const LazyByteString&;
  using Mode = NativeMode;

 public:
  [[nodiscard]] ByteString encryptBlock(ByteView blocks) const { return ecbRun(true, blocks); }
  [[nodiscard]] ByteString decryptBlock(ByteView blocks) const { return ecbRun(false, blocks); }
  [[nodiscard]] ByteString ecb(ByteView bytes) const { return ecbRun(true, bytes); }
  [[nodiscard]] ByteString unEcb(ByteView bytes) const { return ecbRun(false, bytes); }
  [[nodiscard]] LazyByteString ecbLazy(Lazy bytes) const requires(modes().lazy) {
    return self().runNativeLazy(Mode::ecb, true, {}, bytes, nullptr);
  }
  [[nodiscard]] LazyByteString unEcbLazy(Lazy bytes) const requires(modes().lazy) {
    return self().runNativeLazy(Mode::ecb, false, {}, bytes, nullptr);
  }

  // clang-format off
  [[nodiscard]] ModeResult<Derived> cbc(const Iv& iv, ByteView b) const requires(modes().cbc) { return run(Mode::cbc, true, iv, b); }
  [[nodiscard]] ModeResult<Derived> unCbc(const Iv& iv, ByteView b) const requires(modes().cbc) { return run(Mode::cbc, false, iv, b); }
  [[nodiscard]] ModeResult<Derived> cfb(const Iv& iv, ByteView b) const requires(modes().cfb) { return run(Mode::cfb, true, iv, b); }
  [[nodiscard]] ModeResult<Derived> unCfb(const Iv& iv, ByteView b) const requires(modes().cfb) { return run(Mode::cfb, false, iv, b); }
  [[nodiscard]] ModeResult<Derived> ofb(const Iv& iv, ByteView b) const requires(modes().ofb) { return run(Mode::ofb, true, iv, b); }
  [[nodiscard]] ModeResult<Derived> unOfb(const Iv& iv, ByteView b) const requires(modes().ofb) { return run(Mode::ofb, false, iv, b); }
  [[nodiscard]] ModeResult<Derived> ctr(const Iv& iv, ByteView b) const requires(modes().ctr) { return run(Mode::ctr, true, iv, b); }
  [[nodiscard]] ModeResult<Derived> unCtr(const Iv& iv, ByteView b) const requires(modes().ctr) { return run(Mode::ctr, false, iv, b); }

  [[nodiscard]] LazyModeResult<Derived> cbcLazy(const Iv& iv, Lazy b) const requires(modes().cbc && modes().lazy) { return runLazy(Mode::cbc, true, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> unCbcLazy(const Iv& iv, Lazy b) const requires(modes().cbc && modes().lazy) { return runLazy(Mode::cbc, false, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> cfbLazy(const Iv& iv, Lazy b) const requires(modes().cfb && modes().lazy) { return runLazy(Mode::cfb, true, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> unCfbLazy(const Iv& iv, Lazy b) const requires(modes().cfb && modes().lazy) { return runLazy(Mode::cfb, false, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> ofbLazy(const Iv& iv, Lazy b) const requires(modes().ofb && modes().lazy) { return runLazy(Mode::ofb, true, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> unOfbLazy(const Iv& iv, Lazy b) const requires(modes().ofb && modes().lazy) { return runLazy(Mode::ofb, false, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> ctrLazy(const Iv& iv, Lazy b) const requires(modes().ctr && modes().lazy) { return runLazy(Mode::ctr, true, iv, b); }
  [[nodiscard]] LazyModeResult<Derived> unCtrLazy(const Iv& iv, Lazy b) const requires(modes().ctr && modes().lazy) { return runLazy(Mode::ctr, false, iv, b); }
  // clang-format on

 private:
  const Derived& self() const { return static_cast<const Derived&>(*this); }

  ByteString ecbRun(bool encrypt, ByteView input) const {
    return self().runNative(Mode::ecb, encrypt, {}, input, nullptr);
  }
  ModeResult<Derived> run(Mode mode, bool encrypt, const Iv& iv, ByteView input) const {
    std::array<Byte, BlockBytes> next{};
    ByteString out = self().runNative(mode, encrypt, iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }
  LazyModeResult<Derived> runLazy(Mode mode, bool encrypt, const Iv& iv, Lazy input) const {
    std::array<Byte, BlockBytes> next{};
    LazyByteString out = self().runNativeLazy(mode, encrypt, iv.bytes(), input, next.data());
    return {std::move(out), ivFrom(next)};
  }
  // IVs are made the way any binding makes them: by reading one block.
  static Iv ivFrom(const std::array<Byte, BlockBytes>& block) {
    return std::get<Done<Iv>>(Iv::get(block)).value;
  }
};

}  // namespace quillon::bindings
