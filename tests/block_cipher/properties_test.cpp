// ESP padding, IV reading, the suite's key derivation and block-aligned
// prefix, and the suite against every binding.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/quillon.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/runner.hpp>

namespace {

using quillon::ByteString;
using quillon::LazyByteString;
using quillon_tests::hexStringToBS;

TEST(PadESP, PadsWithOneTwoThreeAndTheLengthToWholeBlocks) {
  struct Row {
    std::size_t block, length;
    const char* padding;
  };
  const Row rows[] = {
      {16, 0, "0102030405060708090a0b0c0d0e0f0f"}, {16, 15, "00"}, {16, 16, "0102030405060708090a0b0c0d0e0f0f"},
      {16, 14, "0101"}, {8, 5, "010202"}, {1, 3, "00"}, {256, 255, "00"}};
  for (const Row& row : rows) {
    const ByteString data(row.length, 0xaa);
    EXPECT_EQ(quillon::padESP(row.block, data), quillon::concat({data, hexStringToBS(row.padding)}))
        << row.block << "-byte blocks, " << row.length << " bytes";
  }
  EXPECT_EQ(quillon::padESPBlockSize<quillon::openssl::AES128>(ByteString(17, 1)).size(), 32u);
  EXPECT_THROW(quillon::padESP(0, ByteString(3, 1)), std::invalid_argument);
  EXPECT_THROW(quillon::padESP(257, ByteString(3, 1)), std::invalid_argument);
}

TEST(PadESP, UnpadUndoesPadForEveryLength) {
  for (std::size_t block : {1, 8, 16, 200})
    for (std::size_t length = 0; length < 3 * block; ++length) {
      const ByteString data(length, static_cast<quillon::Byte>(length));
      const ByteString padded = quillon::padESP(block, data);
      EXPECT_EQ(padded.size() % block, 0u);
      EXPECT_EQ(quillon::unpadESP(padded), std::optional<ByteString>(data)) << block << " " << length;
    }
}

TEST(UnpadESP, GivesNothingForMalformedPadding) {
  struct Row {
    const char* input;
    std::optional<const char*> data;
  };
  const Row rows[] = {
      {"", std::nullopt},           // empty
      {"00", ""},                   // no pad bytes, no data
      {"aabb00", "aabb"},
      {"aa010202", "aa"},
      {"01", std::nullopt},         // length byte larger than what precedes it
      {"ff", std::nullopt},
      {"0203", std::nullopt},
      {"aa020102", std::nullopt},   // pad bytes out of order
      {"aa010302", std::nullopt},   // a wrong pad byte
      {"aa010203", std::nullopt},   // the data byte read as a pad byte
      {"aa0001", std::nullopt},     // a zero pad byte
  };
  for (const Row& row : rows) {
    const auto expected = row.data ? std::optional<ByteString>(hexStringToBS(*row.data)) : std::nullopt;
    EXPECT_EQ(quillon::unpadESP(hexStringToBS(row.input)), expected) << row.input;
  }
}

TEST(IVGet, ReadsOneBlockAndIgnoresTheRest) {
  using IV = quillon::IV<quillon::openssl::AES128>;
  for (std::size_t length : {0, 1, 15})
    EXPECT_TRUE(std::holds_alternative<quillon::Partial>(IV::get(ByteString(length, 7)))) << length;
  for (std::size_t length : {16, 17, 4097}) {
    std::vector<quillon::Byte> bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<quillon::Byte>(i);
    const ByteString input(std::move(bytes));
    const auto read = IV::get(input);
    ASSERT_TRUE(std::holds_alternative<quillon::Done<IV>>(read)) << length;
    const auto& done = std::get<quillon::Done<IV>>(read);
    EXPECT_EQ(done.consumed, 16u);
    EXPECT_EQ(ByteString(done.value.bytes()), input.take(16));
  }
}

TEST(DeriveKeyBytes, CyclesTheMaterialAndAZeroByteToTheKeyLength) {
  struct Row {
    const char* material;
    int keyLengthBits;
    const char* key;
  };
  const Row rows[] = {
      {"6162", 128, "61620061620061620061620061620061"},
      {"6162", 130, "61620061620061620061620061620061"},  // rounded down to bytes
      {"", 128, "00000000000000000000000000000000"},
      {"6162", 24, "616200"},
      {"000102030405060708090a0b0c0d0e0f10", 128, "000102030405060708090a0b0c0d0e0f"},
      {"6162", 7, ""},
      {"6162", 0, ""},
      {"6162", -8, ""},
  };
  for (const Row& row : rows)
    EXPECT_EQ(quillon_tests::detail::deriveKeyBytes(hexStringToBS(row.material), row.keyLengthBits),
              hexStringToBS(row.key))
        << row.material << " for " << row.keyLengthBits << " bits";
}

TEST(BlockAlignedPrefix, CutsToWholeBlocksKeepingChunkBoundaries) {
  struct Row {
    std::vector<std::size_t> chunks;
    int blockSizeBits;
    std::vector<std::size_t> prefix;
  };
  const Row rows[] = {
      {{5, 20, 3}, 128, {5, 11}},
      {{5}, 128, {}},
      {{}, 128, {}},
      {{16, 16}, 128, {16, 16}},
      {{3, 13, 1}, 128, {3, 13}},
      {{7, 2}, 8, {7, 2}},
      {{7, 2}, 12, {7, 2}},  // 12 bits: blocks of one byte
      {{7, 2}, 64, {7, 1}},
      {{7, 2}, -4, {7, 2}},  // rounded down to -1 byte, counted by its size
  };
  for (const Row& row : rows) {
    std::vector<ByteString> chunks;
    std::size_t next = 0;
    for (std::size_t length : row.chunks) {
      std::vector<quillon::Byte> chunk(length);
      for (auto& b : chunk) b = static_cast<quillon::Byte>(next++);
      chunks.emplace_back(std::move(chunk));
    }
    const LazyByteString message(std::move(chunks));
    const LazyByteString prefix = quillon_tests::detail::blockAlignedPrefix(message, row.blockSizeBits);
    std::vector<std::size_t> lengths;
    for (const ByteString& chunk : prefix.chunks()) lengths.push_back(chunk.size());
    EXPECT_EQ(lengths, row.prefix) << row.blockSizeBits;
    EXPECT_EQ(prefix.toStrict(), message.toStrict().take(prefix.size()));
  }
}

TEST(BlockAlignedPrefix, BlocksUnderOneByteRaiseBlockSizeUnderOneByteError) {
  const LazyByteString message(ByteString(20, 1));
  for (int bits = 0; bits < 8; ++bits) {
    try {
      quillon_tests::detail::blockAlignedPrefix(message, bits);
      ADD_FAILURE() << bits << " bits: no exception";
    } catch (const quillon_tests::BlockSizeUnderOneByteError& error) {
      const std::string what = error.what();
      EXPECT_EQ(what.rfind("block size under 8 bits", 0), 0u) << what;
      EXPECT_NE(what.find("blockSize() is " + std::to_string(bits) + " bits"), std::string::npos) << what;
    }
  }
}

template <class K>
class SuiteOnBinding : public ::testing::Test {};
using Bindings = ::testing::Types<quillon::openssl::AES128, quillon::openssl::AES192,
                                  quillon::openssl::AES256, quillon::nettle::TwoFish,
                                  quillon::nettle::TwoFish128, quillon::nettle::TwoFish192>;
TYPED_TEST_SUITE(SuiteOnBinding, Bindings);

TYPED_TEST(SuiteOnBinding, EveryLeafPasses) {
  const auto results = quillon_tests::runTests(quillon_tests::makeBlockCipherPropTests<TypeParam>());
  EXPECT_EQ(results.size(), 10u);
  for (const auto& result : results)
    EXPECT_EQ(result.outcome, quillon_tests::Outcome::passed) << result.pathText() << "\n" << result.report;
}

}  // namespace
