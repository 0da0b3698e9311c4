// The shrink trees of the byte-string generators: generation untouched,
// the candidates of a step in their order, and every candidate smaller.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <quillon_tests/detail/mode_inputs.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/hex.hpp>

namespace {

using namespace quillon_tests;
using quillon::ByteString;
using quillon::LazyByteString;

template <class T>
std::vector<T> allOf(rc::Seq<T> seq) {
  std::vector<T> values;
  while (auto value = seq.next()) values.push_back(std::move(*value));
  return values;
}

std::string text(const ByteString& value) {
  std::ostringstream os;
  os << value;
  return os.str();
}
std::string text(const LazyByteString& value) {
  std::ostringstream os;
  os << value;
  return os.str();
}

LazyByteString lazy(std::vector<const char*> hexChunks) {
  std::vector<ByteString> chunks;
  for (const char* chunk : hexChunks) chunks.push_back(hexStringToBS(chunk));
  return LazyByteString(std::move(chunks));
}

// What greedy shrinking must decrease: chunks, bytes, chunk end offsets,
// byte values, compared in that order.
std::tuple<std::size_t, std::size_t, std::size_t, std::size_t> measure(const LazyByteString& v) {
  std::size_t offsets = 0, end = 0, values = 0;
  for (const ByteString& chunk : v.chunks()) {
    end += chunk.size();
    offsets += end;
    for (quillon::Byte b : chunk) values += b;
  }
  return {v.chunks().size(), v.size(), offsets, values};
}
std::tuple<std::size_t, std::size_t, std::size_t, std::size_t> measure(const ByteString& v) {
  return measure(LazyByteString(v));
}

TEST(ShrinkTree, GenerationDrawsTheSameValuesFromTheStream) {
  // Length, then a seed for the bytes; for chunked strings the count first.
  for (std::uint64_t seed = 0; seed < 150; ++seed) {
    for (int size : {0, 5, 40, 99}) {
      rc::Random stream(seed);
      const std::size_t length = 1 + stream.next() % maxGeneratedLength;
      const ByteString expected =
          detail::fillRandomBytes(stream.next(), length, detail::byteBoundForSize(size));
      ASSERT_EQ(byteStringGen()(rc::Random(seed), size).value(), expected) << seed << " " << size;

      rc::Random lazyStream(seed);
      const std::size_t count = lazyStream.next() % (maxGeneratedChunks + 1);
      std::vector<ByteString> chunks;
      for (std::size_t i = 0; i < count; ++i) {
        const std::size_t chunkLength = 1 + lazyStream.next() % maxGeneratedLength;
        chunks.push_back(
            detail::fillRandomBytes(lazyStream.next(), chunkLength, detail::byteBoundForSize(size)));
      }
      ASSERT_EQ(lazyByteStringGen()(rc::Random(seed), size).value(), LazyByteString(chunks))
          << seed << " " << size;
    }
  }
}

TEST(ShrinkTree, ByteStringCandidatesComeShorterFirstThenSimpler) {
  struct Row {
    const char* value;
    std::vector<const char*> candidates;
  };
  const std::vector<Row> rows{
      {"00", {}},
      {"01", {"00"}},  // one byte of 1: only the zeroed range
      {"05", {"00", "03", "04"}},
      {"0000", {"00", "00"}},
      {"050607",
       {"05", "07", "0506", "0607",                                // halves, then the ends
        "000000", "000007", "050600", "000607", "050007", "050600",  // zeroed ranges
        "030607", "040607", "050307", "050507", "050604", "050606"}},  // bytes lowered
  };
  for (const Row& row : rows) {
    std::vector<std::string> got;
    for (const ByteString& c : allOf(detail::byteStringShrinks(hexStringToBS(row.value))))
      got.push_back(text(c));
    EXPECT_EQ(got, std::vector<std::string>(row.candidates.begin(), row.candidates.end())) << row.value;
  }
}

TEST(ShrinkTree, LazyCandidatesComeFewerChunksShorterBoundariesThenSimpler) {
  struct Row {
    LazyByteString value;
    std::vector<const char*> candidates;
  };
  const std::vector<Row> rows{
      {lazy({}), {}},
      {lazy({"01", "0203"}),
       {"[]", "[0203]", "[01]", "[010203]",            // no chunks, each dropped, merged
        "[01]", "[03]", "[01, 02]", "[0203]",          // the message's halves and ends
        "[01, 02]", "[01, 03]",                        // the second chunk's halves
        "[00, 0000]", "[00, 0003]", "[01, 0200]",      // zeroed ranges
        "[00, 0203]", "[01, 0003]", "[01, 0200]",
        "[01, 0103]", "[01, 0202]"}},                  // bytes lowered
      {lazy({"01020304", "05"}),
       {"[]", "[05]", "[01020304]", "[0102030405]",
        "[0102]", "[04, 05]", "[01020304]", "[020304, 05]",
        "[0102, 05]", "[0304, 05]", "[010203, 05]", "[020304, 05]",  // the first chunk's
        "[01, 02030405]", "[0102, 030405]", "[010203, 0405]",       // its end moved toward the start
        "[00000000, 00]", "[00000004, 05]", "[01020300, 00]", "[00000304, 05]", "[01020000, 05]",
        "[01020304, 00]", "[00020304, 05]", "[01000304, 05]", "[01020004, 05]", "[01020300, 05]",
        "[01020304, 00]",
        "[01010304, 05]", "[01020204, 05]", "[01020302, 05]", "[01020303, 05]", "[01020304, 03]",
        "[01020304, 04]"}},
  };
  for (const Row& row : rows) {
    std::vector<std::string> got;
    for (const LazyByteString& c : allOf(detail::lazyByteStringShrinks(row.value))) got.push_back(text(c));
    EXPECT_EQ(got, std::vector<std::string>(row.candidates.begin(), row.candidates.end()))
        << text(row.value);
  }
}

TEST(ShrinkTree, FourOrMoreChunksAreHalvedBeforeSingleDrops) {
  const auto candidates = allOf(detail::lazyByteStringShrinks(lazy({"01", "02", "03", "04", "05"})));
  ASSERT_GE(candidates.size(), 4u);
  EXPECT_EQ(text(candidates[0]), "[]");
  EXPECT_EQ(text(candidates[1]), "[01, 02]");
  EXPECT_EQ(text(candidates[2]), "[03, 04, 05]");
  EXPECT_EQ(text(candidates[3]), "[02, 03, 04, 05]");
}

TEST(ShrinkTree, EveryCandidateIsSmallerAndStaysInTheGeneratorsRange) {
  // Hand-made layouts, and generated ones cut to a size whose full step is quick to list.
  std::vector<LazyByteString> values{lazy({"ff"}), lazy({"80", "0001", "ff00ff"}),
                                     lazy({"00", "00", "00", "00", "00", "00"}),
                                     lazy({"0102030405060708090a0b0c0d0e0f10", "11"})};
  for (std::uint64_t seed = 0; seed < 20; ++seed) {
    std::vector<ByteString> chunks;
    const LazyByteString generated = lazyByteStringGen()(rc::Random(seed), 99).value();
    for (const ByteString& chunk : generated.chunks())
      chunks.push_back(chunk.take(1 + seed % 23));
    values.emplace_back(std::move(chunks));
  }
  for (const LazyByteString& value : values) {
    const auto candidates = allOf(detail::lazyByteStringShrinks(value));
    const auto again = allOf(detail::lazyByteStringShrinks(value));
    ASSERT_EQ(candidates.size(), again.size());
    for (std::size_t i = 0; i < candidates.size(); ++i)
      EXPECT_EQ(text(candidates[i]), text(again[i])) << "a step must repeat exactly";
    for (const LazyByteString& c : candidates) {
      EXPECT_LT(measure(c), measure(value)) << text(c) << " from " << text(value);
      for (const ByteString& chunk : c.chunks()) EXPECT_FALSE(chunk.empty()) << text(c);
    }
    const ByteString flat = value.toStrict();
    if (flat.empty()) continue;
    for (const ByteString& c : allOf(detail::byteStringShrinks(flat))) {
      EXPECT_LT(measure(c), measure(flat)) << text(c) << " from " << text(flat);
      EXPECT_FALSE(c.empty());
    }
  }
}

TEST(ShrinkTree, ModeInputCandidatesAreValidAndSmaller) {
  using quillon_tests::detail::ModeInput;
  // What the step must decrease, in this order (see modeInputShrinks).
  auto measure = [](const ModeInput& in) {
    std::size_t cutSum = 0, ivNonzero = 0, messageNonzero = 0;
    for (std::size_t cut : in.cuts) cutSum += cut;
    for (quillon::Byte b : in.ivMaterial) ivNonzero += b != 0;
    for (quillon::Byte b : in.message) messageNonzero += b != 0;
    return std::tuple{in.message.size(), in.split, in.cuts.size(), cutSum, ivNonzero, messageNonzero};
  };
  for (const bool partial : {false, true}) {
    for (std::uint64_t seed = 0; seed < 40; ++seed) {
      const ModeInput input = detail::modeInputGen(16, partial)(rc::Random(seed), 0).value();
      for (const ModeInput& c : allOf(detail::modeInputShrinks(input, 16, partial))) {
        ASSERT_LT(measure(c), measure(input)) << seed;
        EXPECT_EQ(c.ivMaterial.size(), 16u);
        EXPECT_TRUE(partial || c.message.size() % 16 == 0) << c.message.size();
        EXPECT_EQ(c.split % 16, 0u);
        EXPECT_LE(c.split, c.message.size());
        for (std::size_t i = 0; i < c.cuts.size(); ++i) {
          EXPECT_GT(c.cuts[i], i == 0 ? 0 : c.cuts[i - 1]);
          EXPECT_LT(c.cuts[i], c.message.size());
        }
      }
    }
  }
}

TEST(ShrinkTree, ShrinkablesStartFromTheValueAndOfferTheStep) {
  const LazyByteString value = lazy({"0a0b", "0c"});
  const auto shrinkable = shrinkableLazyByteString(value);
  EXPECT_EQ(shrinkable.value(), value);
  std::vector<std::string> fromTree, fromStep;
  for (const auto& s : allOf(shrinkable.shrinks())) fromTree.push_back(text(s.value()));
  for (const auto& c : allOf(detail::lazyByteStringShrinks(value))) fromStep.push_back(text(c));
  EXPECT_EQ(fromTree, fromStep);
  // A generated value shrinks too, and its first candidate is the empty message.
  const auto generated = lazyByteStringGen()(rc::Random(3), 50);
  if (!generated.value().chunks().empty()) {
    EXPECT_EQ(text(generated.shrinks().next()->value()), "[]");
  }
}

TEST(ShowValue, ShapesAndAbbreviatedBytes) {
  struct Row {
    std::string shown, expected;
  };
  auto show = [](const auto& value) {
    std::ostringstream os;
    quillon::showValue(value, os);
    return os.str();
  };
  std::vector<ByteString> many(20, hexStringToBS("ab"));
  const std::vector<Row> rows{
      {show(hexStringToBS("00ff")), "2 bytes: 00ff"},
      {show(ByteString(1, 7)), "1 byte: 07"},
      {show(ByteString(49, 0x11)), "49 bytes: " + std::string(96, '1') + "..."},
      {show(lazy({})), "0 bytes in chunks []: []"},
      {show(lazy({"01", "0203"})), "3 bytes in chunks [1, 2]: [01, 0203]"},
      {show(LazyByteString(std::vector<ByteString>{ByteString(17, 0), ByteString(40, 0)})),
       "57 bytes in chunks [17, 40]: [" + std::string(32, '0') + "..., " + std::string(32, '0') +
           "...]"},
      {show(LazyByteString(many)),
       "20 bytes in chunks [1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, ... (20 chunks)]: "
       "[ab, ab, ab, ab, ab, ab, ab, ab, ab, ab, ab, ab, ab, ab, ab, ab, ab, ab, ab, ab]"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.shown, row.expected);
  // However large the value, the text stays short.
  const LazyByteString huge(std::vector<ByteString>(10, ByteString(4097, 0xee)));
  EXPECT_LT(show(huge).size(), 300u) << show(huge);
}

}  // namespace
