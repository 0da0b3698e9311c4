#include <quillon_tests/detail/mode_inputs.hpp>

#include <algorithm>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/generators.hpp>

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

rc::Gen<std::vector<std::size_t>> cutsGen(std::size_t length) {
  if (length < 2) return rc::gen::just(std::vector<std::size_t>{});
  return rc::gen::mapcat(uniformIn(0, 4), [length](std::size_t count) {
    return rc::gen::container<std::vector<std::size_t>>(count, uniformIn(1, length));
  });
}

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

rc::Gen<ModeInput> modeInputGen(std::size_t blockBytes, bool partialBlocks) {
  if (blockBytes == 0)
    throw std::invalid_argument("quillon_tests: mode inputs need blocks of at least one byte");
  struct Shape {
    std::size_t blocks, tail;
  };
  // Half the messages have at most three blocks: short streams are where an
  // IV handed back wrongly shows first and where failures are easiest to read.
  const auto shapes = rc::gen::apply(
      [blockBytes, partialBlocks](std::size_t longer, std::size_t fewBlocks, std::size_t manyBlocks,
                                  std::size_t tailKind, std::size_t anyTail) {
        const std::size_t tails[] = {0, 1, blockBytes - 1, anyTail};
        return Shape{longer == 0 ? fewBlocks : manyBlocks, partialBlocks ? tails[tailKind] : 0};
      },
      uniformIn(0, 2), uniformIn(0, 4), uniformIn(0, maxModeBlocks + 1), uniformIn(0, 4),
      uniformIn(0, blockBytes));
  const auto messages = rc::gen::mapcat(shapes, [blockBytes](Shape shape) {
    const std::size_t length = shape.blocks * blockBytes + shape.tail;
    return rc::gen::apply(
        [blockBytes](ByteString message, std::size_t splitBlocks, std::vector<std::size_t> cuts) {
          std::sort(cuts.begin(), cuts.end());
          cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
          return ModeInput{{}, std::move(message), splitBlocks * blockBytes, std::move(cuts)};
        },
        zeroShrinkingBytesGen(length), uniformIn(0, shape.blocks + 1), cutsGen(length));
  });
  return rc::gen::apply(
      [](ByteString iv, ModeInput input) {
        input.ivMaterial = std::move(iv);
        return input;
      },
      carryBiasedBlockGen(blockBytes), messages);
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
