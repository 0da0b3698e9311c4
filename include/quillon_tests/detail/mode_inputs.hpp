#pragma once
// Inputs for the properties that run one mode against another: an IV, a
// message, where a continued stream is cut, and how the message is chunked.
// They are drawn to reach where mode bugs live, and they shrink.
//
//  - The IV ends, more often than not, in a run of 0xff bytes (1, 2, 4, 8 or
//    the whole block, or any other length) whose last byte sits a few steps
//    below the carry, so that a counter crosses an 8-, 16-, 32-, 64- or
//    128-bit boundary within the message. Random IVs alone never carry past
//    the low bytes.
//  - The message is a whole number of blocks (0 to 3 often, up to 32), then,
//    for the stream modes, a tail of 0, 1, block-1 or any bytes.
//  - The split is at a whole block; the chunk cuts fall anywhere, so chunks
//    mostly split blocks.
// Shrinking shortens the message with the split and the cuts following its
// bytes (so that a failure needing the split in the middle keeps it there),
// then moves the split and the cuts toward the start, drops cuts, and zeroes
// bytes of the IV and the message.

#include <rapidcheck.h>

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include <quillon/byte_string.hpp>

namespace quillon_tests::detail {

inline constexpr std::size_t maxModeBlocks = 32;

struct ModeInput {
  quillon::ByteString ivMaterial;  // exactly one block
  quillon::ByteString message;
  std::size_t split = 0;            // a multiple of the block length, at most message.size()
  std::vector<std::size_t> cuts;    // chunk boundaries inside the message, ascending
};

/// A value uniform in [min, max), whatever the engine's size (so that rare
/// shapes come up from the first cases), shrinking toward min.
rc::Gen<std::size_t> uniformIn(std::size_t min, std::size_t max);

/// Bytes of exactly `length`, uniform over 0..255 (one engine draw seeds
/// them all, so long messages cost little). They shrink by zeroing the whole,
/// then halves, quarters, ... of themselves.
rc::Gen<quillon::ByteString> zeroShrinkingBytesGen(std::size_t length);

/// Bytes of exactly `length`, uniform over 0..255, that shrink as generated
/// byte strings do (shorter: halves, then a byte off either end; then
/// simpler bytes), never to nothing.
rc::Gen<quillon::ByteString> shorteningBytesGen(std::size_t length);

/// One block of `blockBytes` bytes biased toward counter carries, as above.
rc::Gen<quillon::ByteString> carryBiasedBlockGen(std::size_t blockBytes);

/// Key bytes for an HMAC over blocks of `blockBytes` bytes: a third each
/// shorter than a block (possibly empty), exactly a block, and longer (up to
/// three blocks), since each takes its own path through the construction.
rc::Gen<quillon::ByteString> hmacKeyGen(std::size_t blockBytes);

/// Key bytes for buildKey: half of them of a length a cipher commonly takes
/// or just misses (or `likelyLengths`), the rest of any length up to 64.
rc::Gen<quillon::ByteString> cipherKeyBytesGen(std::vector<std::size_t> likelyLengths);

/// A mode input for blocks of `blockBytes` bytes; with `partialBlocks` false
/// the message is whole blocks only (ECB, CBC). Throws std::invalid_argument
/// when blockBytes is 0.
rc::Gen<ModeInput> modeInputGen(std::size_t blockBytes, bool partialBlocks);

/// One shrink step of a mode input: the candidates in the order the engine
/// tries them (see mode_inputs.cpp). Each is smaller in (message length,
/// split, number of cuts, their sum, nonzero IV bytes, nonzero message bytes)
/// and keeps the input valid for the same block length and kind of mode.
rc::Seq<ModeInput> modeInputShrinks(const ModeInput& input, std::size_t blockBytes,
                                    bool partialBlocks);

/// input.message[begin, end) cut at the input's cuts that fall inside it.
quillon::LazyByteString chunkedSlice(const ModeInput& input, std::size_t begin, std::size_t end);

/// How the engine shows a mode input in a failure report.
void showValue(const ModeInput& input, std::ostream& os);

/// Notes the input's message (chunked at its cuts) for the report of the
/// running case, then, with `withSplit`, where it is split, then its cuts.
/// The IV is noted where it is read (derivedIV).
void noteModeInput(const ModeInput& input, bool withSplit);

/// The block length in bytes of a cipher whose blockSize() is `bits`; 0
/// when that is under one byte (modeInputGen then refuses).
constexpr std::size_t blockBytesOf(int bits) noexcept {
  return bits >= 8 ? static_cast<std::size_t>(bits / 8) : 0;
}

/// What one call of a mode function gave: its output (chunks joined) and
/// the IV it returned (empty for ECB).
struct ModeRun {
  quillon::ByteString output;
  quillon::ByteString iv;
};

/// True when the runs agree. Otherwise logs, for the engine's report, `what`
/// was compared, both runs labelled with where they come from (expected
/// first), and where they first differ.
bool sameRun(const std::string& what, std::string_view expectedSource, const ModeRun& expected,
             std::string_view actualSource, const ModeRun& actual);

}  // namespace quillon_tests::detail
