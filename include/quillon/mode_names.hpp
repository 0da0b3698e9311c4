#pragma once
// The vocabulary of the modes of operation: which mode, which direction, the
// name of each mode function, and what follows from the mode alone. Code that
// handles modes as values (a vector file's kinds, a binding's single entry
// point, a property over every mode) says it with these enums rather than
// one of its own; quillon/mode_table.hpp turns a mode and a direction into
// the functions that run them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillon {

/// The five modes of quillon/modes.hpp. CFB is full-block feedback.
enum class Mode : std::uint8_t { ecb, cbc, cfb, ofb, ctr };

/// Encryption runs `ecb`, `cbc`, ...; decryption `unEcb`, `unCbc`, ...
/// (for OFB and CTR the same operation as encryption).
enum class Direction : std::uint8_t { encrypt, decrypt };

inline constexpr std::array<Mode, 5> allModes{Mode::ecb, Mode::cbc, Mode::cfb, Mode::ofb, Mode::ctr};
/// The modes that take an IV and hand back the one that continues the stream.
inline constexpr std::array<Mode, 4> ivModes{Mode::cbc, Mode::cfb, Mode::ofb, Mode::ctr};
inline constexpr std::array<Direction, 2> bothDirections{Direction::encrypt, Direction::decrypt};

constexpr bool takesIV(Mode mode) noexcept { return mode != Mode::ecb; }

/// The stream modes (CFB, OFB, CTR) encrypt a final partial block; ECB and
/// CBC take whole blocks only.
constexpr bool takesPartialBlocks(Mode mode) noexcept {
  return mode == Mode::cfb || mode == Mode::ofb || mode == Mode::ctr;
}

/// "ecb", "cbc", "cfb", "ofb" or "ctr".
constexpr std::string_view modeName(Mode mode) noexcept {
  constexpr std::string_view names[] = {"ecb", "cbc", "cfb", "ofb", "ctr"};
  return names[static_cast<std::size_t>(mode)];
}

/// The name of the quillon function that runs `mode` in `direction`: "cbc",
/// "unCbc", and with `lazy` "cbcLazy", "unCbcLazy".
inline std::string modeFunctionName(Mode mode, Direction direction, bool lazy = false) {
  std::string name(modeName(mode));
  if (direction == Direction::decrypt) {
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    name.insert(0, "un");
  }
  if (lazy) name += "Lazy";
  return name;
}

/// A mode function as a number below modeFunctionCount, for tables with one
/// entry per mode and direction.
constexpr std::size_t modeFunctionIndex(Mode mode, Direction direction) noexcept {
  return static_cast<std::size_t>(mode) * 2 + static_cast<std::size_t>(direction);
}
inline constexpr std::size_t modeFunctionCount = allModes.size() * bothDirections.size();

/// The rule on partial blocks, for every implementation of the modes: ECB
/// and CBC refuse input that is not a whole number of `blockBytes`-byte
/// blocks with std::invalid_argument naming the function and the length
/// ("quillon::unCbcLazy: input of 17 bytes is not a whole number of 16-byte
/// blocks"), before anything is encrypted. Any other input passes.
[[noreturn]] inline void throwPartialBlocks(Mode mode, Direction direction, bool lazy,
                                            std::size_t length, std::size_t blockBytes) {
  throw std::invalid_argument("quillon::" + modeFunctionName(mode, direction, lazy) + ": input of " +
                              std::to_string(length) + " bytes is not a whole number of " +
                              std::to_string(blockBytes) + "-byte blocks");
}
inline void requireWholeBlocks(Mode mode, Direction direction, bool lazy, std::size_t length,
                               std::size_t blockBytes) {
  if (!takesPartialBlocks(mode) && length % blockBytes != 0)
    throwPartialBlocks(mode, direction, lazy, length, blockBytes);
}

}  // namespace quillon
