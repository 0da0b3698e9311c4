#include <gtest/gtest.h>

#include <quillon_tests/generators.hpp>

namespace {

using namespace quillon_tests;

TEST(Generators, ByteStringsStayWithinTheirLengthsAndShrinkShorterFirst) {
  std::size_t shortest = maxGeneratedLength, longest = 0;
  for (std::uint64_t seed = 0; seed < 3000; ++seed) {
    const auto shrinkable = byteStringGen()(rc::Random(seed), 100);
    const std::size_t length = shrinkable.value().size();
    ASSERT_GE(length, 1u);
    ASSERT_LE(length, maxGeneratedLength);
    // The first candidate is the first half, or for one byte a simpler byte.
    const auto first = shrinkable.shrinks().next();
    if (length > 1) {
      ASSERT_TRUE(first) << "seed " << seed;
      EXPECT_EQ(first->value(), shrinkable.value().take(length / 2)) << "seed " << seed;
    } else if (shrinkable.value()[0] == 0) {
      EXPECT_FALSE(first) << "seed " << seed << ": a zero byte is as small as it gets";
    }
    shortest = std::min(shortest, length);
    longest = std::max(longest, length);
  }
  // Lengths are uniform over 1..4097: 3000 draws must spread over the range.
  EXPECT_LT(shortest, 50u);
  EXPECT_GT(longest, maxGeneratedLength - 50);
}

TEST(Generators, LazyByteStringsHaveUpToTenNonEmptyChunks) {
  std::vector<int> countsSeen(maxGeneratedChunks + 1, 0);
  for (std::uint64_t seed = 0; seed < 400; ++seed) {
    const auto value = lazyByteStringGen()(rc::Random(seed), 50).value();
    ASSERT_LE(value.chunks().size(), maxGeneratedChunks);
    for (const auto& chunk : value.chunks()) ASSERT_FALSE(chunk.empty());
    ++countsSeen[value.chunks().size()];
  }
  for (std::size_t count = 0; count <= maxGeneratedChunks; ++count)
    EXPECT_GT(countsSeen[count], 0) << "no value with " << count << " chunks";
}

TEST(Generators, SmallSizesGiveSmallBytesAndSeedsReproduce) {
  struct Case {
    int size, bound;
  };
  for (const Case& c : std::vector<Case>{{0, 1}, {1, 1}, {4, 4}, {15, 128}, {16, 255}, {99, 255}}) {
    EXPECT_EQ(detail::byteBoundForSize(c.size), c.bound) << "size " << c.size;
    const quillon::ByteString bytes = detail::fillRandomBytes(42, 4096, c.bound);
    const auto maximum = *std::max_element(bytes.begin(), bytes.end());
    EXPECT_EQ(maximum, c.bound) << "size " << c.size << ": the top value should be drawn";
  }
  EXPECT_EQ(byteStringGen()(rc::Random(7), 30).value(), byteStringGen()(rc::Random(7), 30).value());
  EXPECT_NE(byteStringGen()(rc::Random(7), 30).value(), byteStringGen()(rc::Random(8), 30).value());
}

}  // namespace
