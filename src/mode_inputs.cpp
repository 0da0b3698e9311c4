#include <quillon_tests/detail/mode_inputs.hpp>

#include <algorithm>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/property.hpp>

namespace quillon_tests::detail {

namespace {

using quillon::Byte;
using quillon::ByteString;

/// The shrinks of a byte string: zero all of it, then each half, each
/// quarter, ... down to single bytes, skipping ranges already zero.
class ZeroingShrinks {
 public:
  explicit ZeroingShrinks(ByteString bytes) : bytes_(std::move(bytes)), span_(bytes_.size()) {}

  rc::Maybe<ByteString> operator()() {
    while (span_ > 0) {
      const std::size_t begin = at_;
      const std::size_t end = std::min(begin + span_, bytes_.size());
      at_ = end;
      if (at_ >= bytes_.size()) {
        at_ = 0;
        span_ /= 2;
      }
      if (std::any_of(bytes_.begin() + static_cast<std::ptrdiff_t>(begin),
                      bytes_.begin() + static_cast<std::ptrdiff_t>(end),
                      [](Byte b) { return b != 0; })) {
        std::vector<Byte> zeroed(bytes_.begin(), bytes_.end());
        std::fill(zeroed.begin() + static_cast<std::ptrdiff_t>(begin),
                  zeroed.begin() + static_cast<std::ptrdiff_t>(end), Byte{0});
        return ByteString(std::move(zeroed));
      }
    }
    return rc::Nothing;
  }

 private:
  ByteString bytes_;
  std::size_t span_;
  std::size_t at_ = 0;
};

}  // namespace

rc::Gen<std::size_t> uniformIn(std::size_t min, std::size_t max) {
  if (max <= min) throw std::invalid_argument("quillon_tests::detail::uniformIn: empty range");
  return rc::Gen<std::size_t>([min, max](const rc::Random& random, int /*size*/) {
    const std::size_t value = min + rc::Random(random).next() % (max - min);
    return rc::shrinkable::shrinkRecur(
        value, [min](std::size_t x) { return rc::shrink::towards<std::size_t>(x, min); });
  });
}

rc::Gen<ByteString> zeroShrinkingBytesGen(std::size_t length) {
  return rc::Gen<ByteString>([length](const rc::Random& random, int /*size*/) {
    ByteString bytes = fillRandomBytes(rc::Random(random).next(), length, 255);
    return rc::shrinkable::shrinkRecur(std::move(bytes), [](const ByteString& value) {
      return rc::Seq<ByteString>(ZeroingShrinks(value));
    });
  });
}

rc::Gen<ByteString> shorteningBytesGen(std::size_t length) {
  return rc::Gen<ByteString>([length](const rc::Random& random, int /*size*/) {
    ByteString bytes = fillRandomBytes(rc::Random(random).next(), length, 255);
    return bytes.empty() ? rc::shrinkable::just(std::move(bytes)) : shrinkableByteString(std::move(bytes));
  });
}

rc::Gen<ByteString> carryBiasedBlockGen(std::size_t blockBytes) {
  // Which run of trailing 0xff bytes: none (a random block), 1, 2, 4, 8, the
  // whole block, or any other length.
  constexpr std::size_t runKinds = 7;
  return rc::gen::apply(
      [blockBytes](const ByteString& random, std::size_t kind, std::size_t otherRun,
                   std::size_t stepsBelowCarry) {
        static constexpr std::size_t fixedRuns[] = {0, 1, 2, 4, 8};
        const std::size_t run = std::min(
            blockBytes, kind < 5 ? fixedRuns[kind] : kind == 5 ? blockBytes : otherRun);
        if (run == 0) return random;
        std::vector<Byte> block(random.begin(), random.end());
        std::fill(block.end() - static_cast<std::ptrdiff_t>(run), block.end(), Byte{0xff});
        block.back() = static_cast<Byte>(0xff - stepsBelowCarry);
        return ByteString(std::move(block));
      },
      zeroShrinkingBytesGen(blockBytes), uniformIn(0, runKinds), uniformIn(1, blockBytes + 1),
      uniformIn(0, 4));
}

rc::Gen<ByteString> hmacKeyGen(std::size_t blockBytes) {
  const auto lengths = rc::gen::apply(
      [blockBytes](std::size_t kind, std::size_t shorter, std::size_t longer) {
        return kind == 0 ? shorter : kind == 1 ? blockBytes : longer;
      },
      uniformIn(0, 3), uniformIn(0, std::max<std::size_t>(blockBytes, 1)),
      uniformIn(blockBytes + 1, 3 * blockBytes + 2));
  return rc::gen::mapcat(lengths, zeroShrinkingBytesGen);
}

rc::Gen<ByteString> cipherKeyBytesGen(std::vector<std::size_t> likelyLengths) {
  for (std::size_t length : {0, 1, 8, 15, 16, 17, 23, 24, 25, 31, 32, 33, 64})
    likelyLengths.push_back(length);
  const auto lengths = rc::gen::apply(
      [likelyLengths](std::size_t anyLength, std::size_t likely, std::size_t any) {
        return anyLength == 1 ? any : likelyLengths[likely];
      },
      uniformIn(0, 2), uniformIn(0, likelyLengths.size()), uniformIn(0, 65));
  return rc::gen::mapcat(lengths, zeroShrinkingBytesGen);
}

namespace {

/// The input drawn from `random`: the IV, the message's shape and bytes,
/// the split and the cuts, in that order from one stream.
ModeInput drawModeInput(rc::Random random, std::size_t blockBytes, bool partialBlocks) {
  auto below = [&random](std::size_t bound) { return static_cast<std::size_t>(random.next() % bound); };
  ModeInput input;
  {
    // The IV: a random block ending, for six kinds in seven, in a run of
    // 0xff bytes of 1, 2, 4, 8, a whole block or any length.
    std::vector<Byte> iv = fillRandomBytes(random.next(), blockBytes, 255).release();
    static constexpr std::size_t fixedRuns[] = {0, 1, 2, 4, 8};
    const std::size_t kind = below(7);
    const std::size_t otherRun = 1 + below(blockBytes);
    const std::size_t stepsBelowCarry = below(4);
    const std::size_t run =
        std::min(blockBytes, kind < 5 ? fixedRuns[kind] : kind == 5 ? blockBytes : otherRun);
    if (run > 0) {
      std::fill(iv.end() - static_cast<std::ptrdiff_t>(run), iv.end(), Byte{0xff});
      iv.back() = static_cast<Byte>(0xff - stepsBelowCarry);
    }
    input.ivMaterial = ByteString(std::move(iv));
  }
  // Half the messages have at most three blocks: short streams are where an
  // IV handed back wrongly shows first and where failures are easiest to read.
  const bool longer = below(2) == 1;
  const std::size_t fewBlocks = below(4);
  const std::size_t manyBlocks = below(maxModeBlocks + 1);
  const std::size_t tailKind = below(4);
  const std::size_t anyTail = below(blockBytes);
  const std::size_t blocks = longer ? manyBlocks : fewBlocks;
  const std::size_t tails[] = {0, 1, blockBytes - 1, anyTail};
  const std::size_t length = blocks * blockBytes + (partialBlocks ? tails[tailKind] : 0);
  input.message = fillRandomBytes(random.next(), length, 255);
  input.split = below(blocks + 1) * blockBytes;
  if (length >= 2) {
    const std::size_t count = below(4);
    for (std::size_t i = 0; i < count; ++i) input.cuts.push_back(1 + below(length - 1));
    std::sort(input.cuts.begin(), input.cuts.end());
    input.cuts.erase(std::unique(input.cuts.begin(), input.cuts.end()), input.cuts.end());
  }
  return input;
}

/// `input` without the message bytes [from, to): the split and the cuts
/// after the range move back with the bytes, a split inside it goes to its
/// start (rounded down to a block), cuts inside it go.
ModeInput withoutBytes(const ModeInput& input, std::size_t from, std::size_t to, std::size_t blockBytes) {
  const std::size_t removed = to - from;
  const quillon::ByteView bytes = input.message.view();
  std::vector<Byte> message(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(from));
  message.insert(message.end(), bytes.begin() + static_cast<std::ptrdiff_t>(to), bytes.end());
  ModeInput out{input.ivMaterial, ByteString(std::move(message)), 0, {}};
  const std::size_t length = out.message.size();
  const std::size_t split = input.split >= to ? input.split - removed : std::min(input.split, from);
  out.split = std::min(split, length) / blockBytes * blockBytes;
  for (std::size_t cut : input.cuts) {
    const std::size_t moved = cut <= from ? cut : cut >= to ? cut - removed : 0;
    if (moved > 0 && moved < length && (out.cuts.empty() || out.cuts.back() < moved)) out.cuts.push_back(moved);
  }
  return out;
}

/// The candidates of one shrink step of a mode input, made one at a time.
/// In the order tried:
///  1. shorter, the split and the cuts following the bytes: no message; one
///     byte (stream modes); half the whole blocks (the first, the second
///     half); all blocks before the split but one, all after it but one;
///     each block; then the tail: none, one byte, one byte less; or, with
///     no tail, the last block cut to one byte (stream modes);
///  2. the split toward the start: at the start, halfway, one block earlier;
///  3. fewer and earlier cuts: none, each dropped, each moved to just after
///     the one before it, or one byte earlier;
///  4. zero bytes: ranges of the IV, then of the message, set to zero.
class ModeInputShrinks {
 public:
  ModeInputShrinks(ModeInput input, std::size_t blockBytes, bool partialBlocks)
      : input_(std::move(input)), blockBytes_(blockBytes), partial_(partialBlocks),
        ivZeros_(input_.ivMaterial), messageZeros_(input_.message) {}

  rc::Maybe<ModeInput> operator()() {
    while (index_ < candidateCount()) {
      if (std::optional<ModeInput> candidate = make(index_++)) return std::move(*candidate);
    }
    if (rc::Maybe<ByteString> iv = ivZeros_()) {
      ModeInput candidate = input_;
      candidate.ivMaterial = std::move(*iv);
      return candidate;
    }
    if (rc::Maybe<ByteString> message = messageZeros_()) {
      ModeInput candidate = input_;
      candidate.message = std::move(*message);
      return candidate;
    }
    return rc::Nothing;
  }

 private:
  static constexpr std::size_t fixedShorter = 6;  // empty, one byte, two halves, before/after the split
  static constexpr std::size_t tailCandidates = 4;
  static constexpr std::size_t splitCandidates = 3;

  std::size_t blocks() const { return input_.message.size() / blockBytes_; }
  std::size_t tail() const { return input_.message.size() % blockBytes_; }
  std::size_t cutCandidates() const { return 1 + 3 * input_.cuts.size(); }
  std::size_t candidateCount() const {
    return fixedShorter + blocks() + tailCandidates + splitCandidates + cutCandidates();
  }

  std::optional<ModeInput> without(std::size_t from, std::size_t to) const {
    if (from >= to) return std::nullopt;
    return withoutBytes(input_, from, to, blockBytes_);
  }

  std::optional<ModeInput> make(std::size_t index) const {
    const std::size_t length = input_.message.size();
    const std::size_t nb = blocks();
    const std::size_t wholeEnd = nb * blockBytes_;
    const std::size_t splitBlock = input_.split / blockBytes_;
    if (index < fixedShorter) {
      switch (index) {
        case 0: return without(0, length);
        case 1: return partial_ && length > 1 ? without(1, length) : std::nullopt;
        case 2: return nb >= 2 ? without(0, nb / 2 * blockBytes_) : std::nullopt;
        case 3: return nb >= 2 ? without(nb / 2 * blockBytes_, wholeEnd) : std::nullopt;
        case 4: return splitBlock >= 2 ? without(0, input_.split - blockBytes_) : std::nullopt;
        default:
          return nb >= splitBlock + 2 ? without(input_.split + blockBytes_, wholeEnd) : std::nullopt;
      }
    }
    index -= fixedShorter;
    if (index < nb) {
      const std::size_t block = nb - 1 - index;  // the last block first
      return without(block * blockBytes_, (block + 1) * blockBytes_);
    }
    index -= nb;
    if (index < tailCandidates) {
      const std::size_t t = tail();
      switch (index) {
        case 0: return t > 0 ? without(wholeEnd, length) : std::nullopt;
        case 1: return t > 1 ? without(wholeEnd + 1, length) : std::nullopt;
        case 2: return t > 2 ? without(length - 1, length) : std::nullopt;
        default:
          return t == 0 && partial_ && nb > 0 && blockBytes_ > 1 ? without(length - blockBytes_ + 1, length)
                                                                  : std::nullopt;
      }
    }
    index -= tailCandidates;
    if (index < splitCandidates) {
      const std::size_t split = input_.split;
      std::size_t moved = split;
      switch (index) {
        case 0: moved = 0; break;
        case 1: moved = splitBlock / 2 * blockBytes_; break;
        default: moved = split >= blockBytes_ ? split - blockBytes_ : split; break;
      }
      // Each new split once: 0, then halfway, then one block earlier.
      const bool fresh = moved < split && (index == 0 || moved > 0) &&
                         (index != 2 || moved != splitBlock / 2 * blockBytes_);
      if (!fresh) return std::nullopt;
      ModeInput candidate = input_;
      candidate.split = moved;
      return candidate;
    }
    index -= splitCandidates;
    const std::vector<std::size_t>& cuts = input_.cuts;
    if (index == 0) {
      if (cuts.empty()) return std::nullopt;
      ModeInput candidate = input_;
      candidate.cuts.clear();
      return candidate;
    }
    --index;
    const std::size_t which = index / 3;
    if (which >= cuts.size()) return std::nullopt;
    ModeInput candidate = input_;
    const std::size_t earliest = which == 0 ? 1 : cuts[which - 1] + 1;
    switch (index % 3) {
      case 0:
        if (cuts.size() < 2) return std::nullopt;  // the same as none at all
        candidate.cuts.erase(candidate.cuts.begin() + static_cast<std::ptrdiff_t>(which));
        return candidate;
      case 1:
        if (cuts[which] <= earliest) return std::nullopt;
        candidate.cuts[which] = earliest;
        return candidate;
      default:
        if (cuts[which] - 1 <= earliest) return std::nullopt;  // no move, or the one above
        candidate.cuts[which] = cuts[which] - 1;
        return candidate;
    }
  }

  ModeInput input_;
  std::size_t blockBytes_;
  bool partial_;
  ZeroingShrinks ivZeros_;
  ZeroingShrinks messageZeros_;
  std::size_t index_ = 0;
};

}  // namespace

rc::Seq<ModeInput> modeInputShrinks(const ModeInput& input, std::size_t blockBytes, bool partialBlocks) {
  return rc::Seq<ModeInput>(ModeInputShrinks(input, blockBytes, partialBlocks));
}

rc::Gen<ModeInput> modeInputGen(std::size_t blockBytes, bool partialBlocks) {
  if (blockBytes == 0)
    throw std::invalid_argument("quillon_tests: mode inputs need blocks of at least one byte");
  return rc::Gen<ModeInput>([blockBytes, partialBlocks](const rc::Random& random, int /*size*/) {
    return rc::shrinkable::shrinkRecur(
        drawModeInput(random, blockBytes, partialBlocks),
        [blockBytes, partialBlocks](const ModeInput& input) {
          return modeInputShrinks(input, blockBytes, partialBlocks);
        });
  });
}

quillon::LazyByteString chunkedSlice(const ModeInput& input, std::size_t begin, std::size_t end) {
  std::vector<ByteString> chunks;
  std::size_t at = begin;
  for (std::size_t cut : input.cuts) {
    if (cut <= at || cut >= end) continue;
    chunks.push_back(ByteString(input.message.view().subspan(at, cut - at)));
    at = cut;
  }
  if (at < end) chunks.push_back(ByteString(input.message.view().subspan(at, end - at)));
  return quillon::LazyByteString(std::move(chunks));
}

void showValue(const ModeInput& input, std::ostream& os) {
  os << "IV " << input.ivMaterial << ", " << input.message.size() << "-byte message split at byte "
     << input.split << ", chunk cuts at [";
  const char* separator = "";
  for (std::size_t cut : input.cuts) {
    os << separator << cut;
    separator = ", ";
  }
  os << "]: " << input.message;
}

void noteModeInput(const ModeInput& input, bool withSplit) {
  noteMessage("message", chunkedSlice(input, 0, input.message.size()));
  if (withSplit) noteValue("split at", std::to_string(input.split));
  std::string cuts = "[";
  for (std::size_t cut : input.cuts) cuts += (cuts.size() > 1 ? ", " : "") + std::to_string(cut);
  noteInput({"chunk cuts", "", cuts + "]"});
}

bool sameRun(const std::string& what, std::string_view expectedSource, const ModeRun& expected,
             std::string_view actualSource, const ModeRun& actual) {
  const bool sameOutput = expected.output == actual.output;
  const bool sameIV = expected.iv == actual.iv;
  if (sameOutput && sameIV) return true;
  std::ostringstream report;
  report << what << ": " << (sameOutput ? "the returned IV differs" : "the output differs")
         << (sameOutput || sameIV ? "" : ", and so does the returned IV") << '\n'
         << "  expected (" << expectedSource << "): output " << expected.output;
  if (!expected.iv.empty() || !actual.iv.empty()) report << ", IV " << expected.iv;
  report << "\n  actual (" << actualSource << "): output " << actual.output;
  if (!expected.iv.empty() || !actual.iv.empty()) report << ", IV " << actual.iv;
  report << '\n';
  if (!sameOutput) report << "  output " << describeByteMismatch(expected.output, actual.output);
  RC_LOG() << report.str();
  return false;
}

}  // namespace quillon_tests::detail
