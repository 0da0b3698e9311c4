// The generic modes against the bindings' native ones (OpenSSL's EVP modes,
// nettle's modes) on random input, and both against published vectors: the
// generic modes are what every cipher without native modes relies on. Both
// run over the same key: quillon::modeTable<K> dispatches to its native
// modes, quillon::genericModeTable<K> runs the generic ones over its block
// functions.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/quillon.hpp>
#include <quillon_tests/hex.hpp>

namespace {

using quillon::ByteString;
using quillon::ByteView;
using quillon::IV;
using quillon::LazyByteString;
using quillon_tests::hexStringToBS;

using quillon::Direction;
using quillon::Mode;

/// One mode function: a mode in one direction.
struct Op {
  Mode mode;
  Direction direction;
  [[nodiscard]] std::string name() const { return quillon::modeFunctionName(mode, direction); }
  [[nodiscard]] Op inverse() const {
    return {mode, direction == Direction::encrypt ? Direction::decrypt : Direction::encrypt};
  }
};
const std::vector<Op> allOps = [] {
  std::vector<Op> ops;
  for (Mode mode : quillon::allModes)
    for (Direction direction : quillon::bothDirections) ops.push_back({mode, direction});
  return ops;
}();
bool isStreamOp(Op op) { return quillon::takesPartialBlocks(op.mode); }
bool hasIV(Op op) { return quillon::takesIV(op.mode); }

/// What a mode function gave, in a form that compares across key types.
struct Result {
  ByteString bytes;
  std::vector<std::size_t> chunkLengths;  // lazy functions only
  ByteString iv;                          // empty for ECB
  friend bool operator==(const Result&, const Result&) = default;
};

std::vector<std::size_t> chunkLengths(const LazyByteString& lazy) {
  std::vector<std::size_t> lengths;
  for (const ByteString& chunk : lazy.chunks()) lengths.push_back(chunk.size());
  return lengths;
}

template <class K>
IV<K> ivOf(ByteView bytes) {
  return std::get<quillon::Done<IV<K>>>(IV<K>::get(bytes)).value;
}

// Each test runs a key's modes as quillon::cbc and the others dispatch them
// (the binding's own, `native`) and as quillon::generic runs them over the
// same key's block functions (`generic`).
template <class K>
constexpr const quillon::ModeTable<K>& native = quillon::modeTable<K>;
template <class K>
constexpr const quillon::ModeTable<K>& generic = quillon::genericModeTable<K>;

template <class K>
Result runStrict(const quillon::ModeTable<K>& table, Op op, const K& key, ByteView ivBytes, ByteView in) {
  if (!hasIV(op)) return {table.ecb(op.direction).strict(key, in), {}, {}};
  auto [out, next] = table.ivMode(op.mode, op.direction).strict(key, ivOf<K>(ivBytes), in);
  return {std::move(out), {}, ByteString(next.bytes())};
}

template <class K>
Result runLazy(const quillon::ModeTable<K>& table, Op op, const K& key, ByteView ivBytes,
               const LazyByteString& in) {
  if (!hasIV(op)) {
    const LazyByteString out = table.ecb(op.direction).lazy(key, in);
    return {out.toStrict(), chunkLengths(out), {}};
  }
  auto [out, next] = table.ivMode(op.mode, op.direction).lazy(key, ivOf<K>(ivBytes), in);
  return {out.toStrict(), chunkLengths(out), ByteString(next.bytes())};
}

class Random {
 public:
  ByteString bytes(std::size_t n) {
    std::vector<quillon::Byte> out(n);
    for (auto& b : out) b = static_cast<quillon::Byte>(engine_());
    return ByteString(std::move(out));
  }
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
  /// A random IV, often with a run of 0xff at the end so that counters carry
  /// across bytes (and across OpenSSL's 32-bit counter word).
  ByteString iv() {
    ByteString iv = bytes(16);
    if (below(2) == 0) return iv;
    std::vector<quillon::Byte> v(iv.begin(), iv.end());
    for (std::size_t i = 16 - 1 - below(16); i < 16; ++i) v[i] = 0xff;
    return ByteString(std::move(v));
  }
  /// `bytes` cut at random points, sometimes into many small chunks.
  LazyByteString chunked(const ByteString& bytes) {
    std::vector<ByteString> chunks;
    const std::size_t maxChunk = below(2) == 0 ? 7 : 70;
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t n = std::min(bytes.size() - at, 1 + below(maxChunk));
      chunks.push_back(bytes.drop(at).take(n));
      at += n;
    }
    return LazyByteString(std::move(chunks));
  }

 private:
  std::mt19937_64 engine_{20240611};
};

template <class K>
class GenericAgainstNative : public ::testing::Test {
 protected:
  Random random;

  K key() { return *K::buildKey(random.bytes(static_cast<std::size_t>(K::keyLength() / 8))); }
};

using Natives = ::testing::Types<quillon::openssl::AES128, quillon::openssl::AES192,
                                 quillon::openssl::AES256, quillon::nettle::TwoFish,
                                 quillon::nettle::TwoFish128>;
TYPED_TEST_SUITE(GenericAgainstNative, Natives);

/// The IV that the mode's definition says `op` must return after whole
/// blocks: the last ciphertext block (CBC, CFB) or keystream block (OFB).
std::optional<ByteString> ivByDefinition(Op op, const ByteString& iv, const ByteString& in,
                                         const ByteString& out) {
  if (in.empty()) return iv;
  if (in.size() % 16 != 0) return std::nullopt;
  const std::size_t last = in.size() - 16;
  const bool encrypt = op.direction == Direction::encrypt;
  switch (op.mode) {
    case Mode::cbc: case Mode::cfb: return (encrypt ? out : in).drop(last);
    case Mode::ofb: {
      std::vector<quillon::Byte> stream(16);
      for (std::size_t i = 0; i < 16; ++i) stream[i] = in[last + i] ^ out[last + i];
      return ByteString(std::move(stream));
    }
    default: return std::nullopt;  // CTR: checked against counters below
  }
}

TYPED_TEST(GenericAgainstNative, SameOutputAndIVContiguousAndChunked) {
  for (int trial = 0; trial < 40; ++trial) {
    const TypeParam key = this->key();
    for (Op op : allOps) {
      const std::size_t length = isStreamOp(op) ? this->random.below(400) : 16 * this->random.below(25);
      const ByteString in = this->random.bytes(length);
      const ByteString iv = hasIV(op) ? this->random.iv() : ByteString();
      const LazyByteString chunks = this->random.chunked(in);
      SCOPED_TRACE(op.name() + " of " + std::to_string(length) + " bytes in " +
                   std::to_string(chunks.chunks().size()) + " chunks");

      const Result strict = runStrict(native<TypeParam>, op, key, iv, in);
      EXPECT_EQ(runStrict(generic<TypeParam>, op, key, iv, in), strict);
      const Result lazyNative = runLazy(native<TypeParam>, op, key, iv, chunks);
      EXPECT_EQ(runLazy(generic<TypeParam>, op, key, iv, chunks), lazyNative);
      EXPECT_EQ(lazyNative.bytes, strict.bytes);
      EXPECT_EQ(lazyNative.iv, strict.iv);
      EXPECT_EQ(lazyNative.chunkLengths, chunkLengths(chunks));
      if (const auto expected = ivByDefinition(op, iv, in, strict.bytes); expected && hasIV(op)) {
        EXPECT_EQ(strict.iv, *expected);
      }
    }
  }
}

TYPED_TEST(GenericAgainstNative, DecryptionUndoesEncryptionAndReturnsTheSameIV) {
  // Partial final blocks included: after one, CFB's register holds
  // ciphertext, which decryption sees as input and encryption as output.
  for (int trial = 0; trial < 40; ++trial) {
    const TypeParam key = this->key();
    for (Mode mode : quillon::ivModes) {
      const Op op{mode, Direction::encrypt};
      const std::size_t length = isStreamOp(op) ? this->random.below(100) : 16 * this->random.below(6);
      const ByteString in = this->random.bytes(length), iv = this->random.iv();
      SCOPED_TRACE(op.name() + " of " + std::to_string(length));
      auto check = [&](const quillon::ModeTable<TypeParam>& table) {
        const Result c = runStrict(table, op, key, iv, in);
        const Result d = runStrict(table, op.inverse(), key, iv, c.bytes);
        EXPECT_EQ(d.bytes, in);
        EXPECT_EQ(d.iv, c.iv);
      };
      check(native<TypeParam>);
      check(generic<TypeParam>);
    }
  }
}

TYPED_TEST(GenericAgainstNative, TwoCallsContinueOneStream) {
  for (int trial = 0; trial < 20; ++trial) {
    const TypeParam key = this->key();
    for (Op op : allOps) {
      if (!hasIV(op)) continue;
      const std::size_t first = 16 * this->random.below(5);
      const ByteString in = this->random.bytes(first + (isStreamOp(op) ? this->random.below(70)
                                                                        : 16 * this->random.below(5)));
      const ByteString iv = this->random.iv();
      SCOPED_TRACE(op.name() + " split at " + std::to_string(first) + " of " +
                   std::to_string(in.size()));
      auto check = [&](const quillon::ModeTable<TypeParam>& table) {
        const Result whole = runStrict(table, op, key, iv, in);
        const Result head = runStrict(table, op, key, iv, in.take(first));
        const Result rest = runStrict(table, op, key, head.iv, in.drop(first));
        EXPECT_EQ(quillon::concat({head.bytes, rest.bytes}), whole.bytes);
        EXPECT_EQ(rest.iv, whole.iv);
      };
      check(native<TypeParam>);
      check(generic<TypeParam>);
    }
  }
}

TYPED_TEST(GenericAgainstNative, BlockModesRejectPartialBlocksWithTheLength) {
  const TypeParam key = this->key();
  for (Op op : allOps) {
    if (isStreamOp(op)) continue;
    for (std::size_t length : {1, 15, 17, 47}) {
      SCOPED_TRACE(op.name() + " of " + std::to_string(length));
      const ByteString in = this->random.bytes(length), iv = this->random.iv();
      const LazyByteString chunks = this->random.chunked(in);
      auto expectRejected = [&](auto&& call) {
        try {
          call();
          ADD_FAILURE() << "no exception";
        } catch (const std::invalid_argument& error) {
          EXPECT_NE(std::string(error.what()).find(std::to_string(length) + " bytes"), std::string::npos)
              << error.what();
        }
      };
      expectRejected([&] { runStrict(native<TypeParam>, op, key, iv, in); });
      expectRejected([&] { runStrict(generic<TypeParam>, op, key, iv, in); });
      expectRejected([&] { runLazy(native<TypeParam>, op, key, iv, chunks); });
      expectRejected([&] { runLazy(generic<TypeParam>, op, key, iv, chunks); });
    }
  }
}

TYPED_TEST(GenericAgainstNative, CounterIsTheWholeBlockBigEndian) {
  struct Row {
    const char* iv;
    std::size_t length;
    const char* next;
  };
  // A partly used block counts as used.
  const Row rows[] = {
      {"000102030405060708090a0b0c0d0e0f", 48, "000102030405060708090a0b0c0d0e12"},
      {"00000000000000000000000000000000", 1, "00000000000000000000000000000001"},
      {"000000000000000000000000fffffffe", 33, "00000000000000000000000100000001"},
      {"00000000000000ffffffffffffffffff", 16, "00000000000001000000000000000000"},
      {"ffffffffffffffffffffffffffffffff", 40, "00000000000000000000000000000002"},
  };
  const TypeParam key = this->key();
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.iv) + " over " + std::to_string(row.length) + " bytes");
    const ByteString in = this->random.bytes(row.length);
    const Op ctr{Mode::ctr, Direction::encrypt};
    EXPECT_EQ(runStrict(native<TypeParam>, ctr, key, hexStringToBS(row.iv), in).iv, hexStringToBS(row.next));
    EXPECT_EQ(runStrict(generic<TypeParam>, ctr, key, hexStringToBS(row.iv), in).iv, hexStringToBS(row.next));
  }
}

// Published vectors: the first block of each NIST SP 800-38A example for
// AES, and the TwoFish authors' all-zero-key vectors.
struct Vector {
  const char* cipher;
  Op op;
  const char* key;
  const char* iv;
  const char* plain;
  const char* cipherText;
};

constexpr const char* nistKey128 = "2b7e151628aed2a6abf7158809cf4f3c";
constexpr const char* nistPlain = "6bc1bee22e409f96e93d7e117393172a";
constexpr const char* nistIV = "000102030405060708090a0b0c0d0e0f";
constexpr const char* zeros16 = "00000000000000000000000000000000";

const Vector vectors[] = {
    {"AES128", {Mode::ecb, Direction::encrypt}, nistKey128, "", nistPlain, "3ad77bb40d7a3660a89ecaf32466ef97"},
    {"AES128", {Mode::cbc, Direction::encrypt}, nistKey128, nistIV, nistPlain, "7649abac8119b246cee98e9b12e9197d"},
    {"AES128", {Mode::cfb, Direction::encrypt}, nistKey128, nistIV, nistPlain, "3b3fd92eb72dad20333449f8e83cfb4a"},
    {"AES128", {Mode::ofb, Direction::encrypt}, nistKey128, nistIV, nistPlain, "3b3fd92eb72dad20333449f8e83cfb4a"},
    {"AES128", {Mode::ctr, Direction::encrypt}, nistKey128, "f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff", nistPlain,
     "874d6191b620e3261bef6864990db6ce"},
    {"AES192", {Mode::ecb, Direction::encrypt}, "8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b", "", nistPlain,
     "bd334f1d6e45f25ff712a214571fa5cc"},
    {"AES256", {Mode::ecb, Direction::encrypt}, "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4", "",
     nistPlain, "f3eed1bdb5d2a03c064b5a7e3db181f8"},
    {"TwoFish", {Mode::ecb, Direction::encrypt}, zeros16, "", zeros16, "9f589f5cf6122c32b6bfec2f2ae8c35a"},
    {"TwoFish", {Mode::ecb, Direction::encrypt}, "000000000000000000000000000000000000000000000000", "", zeros16,
     "efa71f788965bd4453f860178fc19101"},
    {"TwoFish", {Mode::ecb, Direction::encrypt}, "0000000000000000000000000000000000000000000000000000000000000000", "",
     zeros16, "57ff739d4dc92c1bd7fc01700cc8216f"},
};

template <class K>
void checkVector(const Vector& v) {
  SCOPED_TRACE(std::string(v.cipher) + " " + v.op.name() + " key " + v.key);
  const auto key = K::buildKey(hexStringToBS(v.key));
  ASSERT_TRUE(key);
  const ByteString iv = hexStringToBS(v.iv), plain = hexStringToBS(v.plain),
                   cipherText = hexStringToBS(v.cipherText);
  for (const quillon::ModeTable<K>* table : {&native<K>, &generic<K>}) {
    EXPECT_EQ(runStrict(*table, v.op, *key, iv, plain).bytes, cipherText);
    EXPECT_EQ(runStrict(*table, v.op.inverse(), *key, iv, cipherText).bytes, plain);
  }
}

TEST(PublishedVectors, NativeAndGenericModesReproduceThem) {
  for (const Vector& v : vectors) {
    const std::string cipher = v.cipher;
    if (cipher == "AES128") checkVector<quillon::openssl::AES128>(v);
    if (cipher == "AES192") checkVector<quillon::openssl::AES192>(v);
    if (cipher == "AES256") checkVector<quillon::openssl::AES256>(v);
    if (cipher == "TwoFish") checkVector<quillon::nettle::TwoFish>(v);
  }
}

TEST(BuildKey, EachBindingAcceptsExactlyItsKeyLengths) {
  const std::vector<std::size_t> lengths = {0, 15, 16, 17, 24, 31, 32, 33};
  auto accepted = [&](auto build) {
    std::vector<std::size_t> out;
    for (std::size_t n : lengths)
      if (build(ByteString(n, 0x5a))) out.push_back(n);
    return out;
  };
  using V = std::vector<std::size_t>;
  EXPECT_EQ(accepted(quillon::openssl::AES128::buildKey), V({16}));
  EXPECT_EQ(accepted(quillon::openssl::AES192::buildKey), V({24}));
  EXPECT_EQ(accepted(quillon::openssl::AES256::buildKey), V({32}));
  EXPECT_EQ(accepted(quillon::nettle::TwoFish::buildKey), V({16, 24, 32}));
  EXPECT_EQ(accepted(quillon::nettle::TwoFish128::buildKey), V({16}));
  EXPECT_EQ(accepted(quillon::nettle::TwoFish192::buildKey), V({24}));
}

}  // namespace
