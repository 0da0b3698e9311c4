#include <gtest/gtest.h>

#include <sstream>

#include <quillon/byte_string.hpp>

namespace {

using quillon::ByteString;
using quillon::LazyByteString;

template <class T>
std::string textOf(const T& value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

TEST(LazyByteString, DropsEmptyChunksSoEveryBoundaryIsReal) {
  const LazyByteString lazy({ByteString{}, ByteString{1, 2}, ByteString{}, ByteString{3}});
  ASSERT_EQ(lazy.chunks().size(), 2u);
  EXPECT_EQ(lazy.size(), 3u);
  EXPECT_EQ(lazy.toStrict(), (ByteString{1, 2, 3}));
  EXPECT_TRUE(LazyByteString(ByteString{}).chunks().empty());
}

TEST(LazyByteString, ComparesByContentWhateverTheChunking) {
  const LazyByteString a({ByteString{1}, ByteString{2, 3}});
  const LazyByteString b({ByteString{1, 2}, ByteString{3}});
  const LazyByteString shorter({ByteString{1, 2}});
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, (ByteString{1, 2, 3}));
  EXPECT_FALSE(a == shorter);
  EXPECT_FALSE(a == (ByteString{1, 2, 4}));
  EXPECT_EQ(LazyByteString(), ByteString{});
}

TEST(LazyByteString, ChunkedCutsFixedPiecesWithAShorterLast) {
  struct Case {
    std::size_t length, chunkSize;
    std::vector<std::size_t> chunkSizes;
  };
  for (const Case& c : std::vector<Case>{{0, 37, {}},
                                         {37, 37, {37}},
                                         {38, 37, {37, 1}},
                                         {74, 37, {37, 37}},
                                         {100, 37, {37, 37, 26}}}) {
    std::vector<quillon::Byte> bytes(c.length);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<quillon::Byte>(i);
    const ByteString whole{std::move(bytes)};
    const LazyByteString lazy = LazyByteString::chunked(whole, c.chunkSize);
    std::vector<std::size_t> sizes;
    for (const ByteString& chunk : lazy.chunks()) sizes.push_back(chunk.size());
    EXPECT_EQ(sizes, c.chunkSizes) << "length " << c.length;
    EXPECT_EQ(lazy.toStrict(), whole) << "length " << c.length;
  }
}

TEST(ByteString, TextFormsAreLowercaseHex) {
  EXPECT_EQ(textOf(ByteString{0x00, 0xab, 0x7f}), "00ab7f");
  EXPECT_EQ(textOf(LazyByteString({ByteString{0x0a}, ByteString{0xff, 0x01}})), "[0a, ff01]");
  EXPECT_EQ(textOf(LazyByteString()), "[]");
}

TEST(ByteString, TakeAndDropClampToTheLength) {
  const ByteString bytes{1, 2, 3};
  EXPECT_EQ(bytes.take(2), (ByteString{1, 2}));
  EXPECT_EQ(bytes.take(10), bytes);
  EXPECT_EQ(bytes.drop(2), (ByteString{3}));
  EXPECT_TRUE(bytes.drop(10).empty());
}

}  // namespace
