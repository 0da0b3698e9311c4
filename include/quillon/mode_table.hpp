#pragma once
// The mode functions of a key type K as one table, indexed by Mode and
// Direction (quillon/mode_names.hpp), contiguous and chunked, so that code
// handling modes as values looks its function up instead of switching on an
// enum of its own:
//
//   const quillon::ModeFunctions<K>& decrypt = quillon::modeTable<K>.ivMode(Mode::cbc, Direction::decrypt);
//   auto [plain, next] = decrypt.strict(key, iv, bytes);        // quillon::unCbc
//   auto [chunks, again] = decrypt.lazy(key, iv, lazyBytes);     // quillon::unCbcLazy
//   ByteString out = quillon::modeTable<K>.ecb(Direction::encrypt).strict(key, bytes);  // quillon::ecb
//
// modeTable<K> holds the functions of quillon/modes.hpp, which run K's own
// member when it has one; genericModeTable<K> those of quillon::generic,
// which never do. ECB takes no IV, so its functions have a type of their
// own. Every entry is a plain function pointer, usable in constant
// expressions.

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_names.hpp>
#include <quillon/modes.hpp>

namespace quillon {

/// One IV mode in one direction: `cbc` and `cbcLazy`, say.
template <class K>
struct ModeFunctions {
  using Strict = ModeResult<K> (*)(const K&, const IV<K>&, ByteView);
  using Lazy = LazyModeResult<K> (*)(const K&, const IV<K>&, const LazyByteString&);
  Strict strict = nullptr;
  Lazy lazy = nullptr;
};

/// ECB in one direction: `ecb` and `ecbLazy`, or `unEcb` and `unEcbLazy`.
template <class K>
struct EcbFunctions {
  using Strict = ByteString (*)(const K&, ByteView);
  using Lazy = LazyByteString (*)(const K&, const LazyByteString&);
  Strict strict = nullptr;
  Lazy lazy = nullptr;
};

template <class K>
class ModeTable {
 public:
  /// `ecb` rows by Direction; `ivModes` rows by modeFunctionIndex less the
  /// two of ECB.
  constexpr ModeTable(std::array<EcbFunctions<K>, 2> ecb,
                      std::array<ModeFunctions<K>, modeFunctionCount - 2> ivModes) noexcept
      : ecb_(ecb), ivModes_(ivModes) {}

  [[nodiscard]] constexpr const EcbFunctions<K>& ecb(Direction direction) const noexcept {
    return ecb_[static_cast<std::size_t>(direction)];
  }

  /// The functions of CBC, CFB, OFB or CTR; std::invalid_argument for ECB,
  /// which takes no IV (see ecb()).
  [[nodiscard]] constexpr const ModeFunctions<K>& ivMode(Mode mode, Direction direction) const {
    if (!takesIV(mode))
      throw std::invalid_argument("quillon::ModeTable::ivMode: " + std::string(modeName(mode)) +
                                  " takes no IV; its functions are ecb(direction)");
    return ivModes_[modeFunctionIndex(mode, direction) - 2];
  }

 private:
  std::array<EcbFunctions<K>, 2> ecb_;
  std::array<ModeFunctions<K>, modeFunctionCount - 2> ivModes_;
};

/// The functions of quillon/modes.hpp for K.
template <BlockCipher K>
inline constexpr ModeTable<K> modeTable{
    {{{&ecb<K>, &ecbLazy<K>}, {&unEcb<K>, &unEcbLazy<K>}}},
    {{{&cbc<K>, &cbcLazy<K>},
      {&unCbc<K>, &unCbcLazy<K>},
      {&cfb<K>, &cfbLazy<K>},
      {&unCfb<K>, &unCfbLazy<K>},
      {&ofb<K>, &ofbLazy<K>},
      {&unOfb<K>, &unOfbLazy<K>},
      {&ctr<K>, &ctrLazy<K>},
      {&unCtr<K>, &unCtrLazy<K>}}}};

/// The functions of quillon::generic for K.
template <BlockCipher K>
inline constexpr ModeTable<K> genericModeTable{
    {{{&generic::ecb<K>, &generic::ecbLazy<K>}, {&generic::unEcb<K>, &generic::unEcbLazy<K>}}},
    {{{&generic::cbc<K>, &generic::cbcLazy<K>},
      {&generic::unCbc<K>, &generic::unCbcLazy<K>},
      {&generic::cfb<K>, &generic::cfbLazy<K>},
      {&generic::unCfb<K>, &generic::unCfbLazy<K>},
      {&generic::ofb<K>, &generic::ofbLazy<K>},
      {&generic::unOfb<K>, &generic::unOfbLazy<K>},
      {&generic::ctr<K>, &generic::ctrLazy<K>},
      {&generic::unCtr<K>, &generic::unCtrLazy<K>}}}};

}  // namespace quillon
