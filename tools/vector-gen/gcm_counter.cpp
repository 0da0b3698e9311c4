#include "gcm_counter.hpp"

#include "library_support.hpp"

#include <array>
#include <bit>
#include <stdexcept>

namespace vector_gen {

namespace {

// An element of GF(2^128) as GCM defines it: bit i of a block, counted from
// the most significant bit of its first byte, is the coefficient of x^i.
// `low` holds x^0..x^63 (x^j at bit j), `high` x^64..x^127.
struct FieldElement {
  std::uint64_t low = 0;
  std::uint64_t high = 0;
};

std::uint8_t reverseBits(std::uint8_t byte) {
  byte = static_cast<std::uint8_t>((byte & 0xf0) >> 4 | (byte & 0x0f) << 4);
  byte = static_cast<std::uint8_t>((byte & 0xcc) >> 2 | (byte & 0x33) << 2);
  return static_cast<std::uint8_t>((byte & 0xaa) >> 1 | (byte & 0x55) << 1);
}

FieldElement fromBlock(const std::uint8_t* block) {
  FieldElement element;
  for (int i = 0; i < 8; ++i) {
    element.low |= std::uint64_t{reverseBits(block[i])} << (8 * i);
    element.high |= std::uint64_t{reverseBits(block[8 + i])} << (8 * i);
  }
  return element;
}

Bytes toBlock(FieldElement element) {
  Bytes block(16);
  for (int i = 0; i < 8; ++i) {
    block[static_cast<std::size_t>(i)] = reverseBits(static_cast<std::uint8_t>(element.low >> (8 * i)));
    block[static_cast<std::size_t>(8 + i)] = reverseBits(static_cast<std::uint8_t>(element.high >> (8 * i)));
  }
  return block;
}

FieldElement add(FieldElement a, FieldElement b) { return {a.low ^ b.low, a.high ^ b.high}; }

// A polynomial of degree below 256 in four words (x^0 in bit 0 of
// words[0]) reduced modulo x^128 + x^7 + x^2 + x + 1: the upper half T is
// folded as T (x^7 + x^2 + x + 1), twice, since the first fold can spill
// up to 7 bits past x^127.
FieldElement reduce(std::uint64_t w0, std::uint64_t w1, std::uint64_t w2, std::uint64_t w3) {
  const std::uint64_t spill = (w3 >> 63) ^ (w3 >> 62) ^ (w3 >> 57);
  w0 ^= w2 ^ (w2 << 1) ^ (w2 << 2) ^ (w2 << 7);
  w1 ^= w3 ^ (w3 << 1 | w2 >> 63) ^ (w3 << 2 | w2 >> 62) ^ (w3 << 7 | w2 >> 57);
  w0 ^= spill ^ (spill << 1) ^ (spill << 2) ^ (spill << 7);
  return {w0, w1};
}

FieldElement timesX(FieldElement a) {
  const std::uint64_t spill = a.high >> 63;
  return {a.low << 1 ^ (spill * 0x87), a.high << 1 | a.low >> 63};
}

// a x^n for 0 <= n < 128.
FieldElement timesPowerOfX(FieldElement a, unsigned n) {
  if (n == 0) return a;
  std::uint64_t w0 = 0, w1 = 0, w2 = 0, w3 = 0;
  if (n < 64) {
    w0 = a.low << n;
    w1 = a.high << n | a.low >> (64 - n);
    w2 = a.high >> (64 - n);
  } else if (n == 64) {
    w1 = a.low;
    w2 = a.high;
  } else {
    w1 = a.low << (n - 64);
    w2 = a.high << (n - 64) | a.low >> (128 - n);
    w3 = a.high >> (128 - n);
  }
  return reduce(w0, w1, w2, w3);
}

// 32 bits spread to the even bits of 64: squaring over GF(2) is linear.
std::uint64_t spread(std::uint64_t half) {
  half = (half | half << 16) & 0x0000ffff0000ffffULL;
  half = (half | half << 8) & 0x00ff00ff00ff00ffULL;
  half = (half | half << 4) & 0x0f0f0f0f0f0f0f0fULL;
  half = (half | half << 2) & 0x3333333333333333ULL;
  return (half | half << 1) & 0x5555555555555555ULL;
}

FieldElement square(FieldElement a) {
  return reduce(spread(a.low & 0xffffffffu), spread(a.low >> 32), spread(a.high & 0xffffffffu),
                spread(a.high >> 32));
}

FieldElement multiply(FieldElement a, FieldElement b) {
  FieldElement product;
  for (unsigned i = 0; i < 128; ++i) {
    if (((i < 64 ? b.low >> i : b.high >> (i - 64)) & 1) != 0) product = add(product, a);
    a = timesPowerOfX(a, 1);
  }
  return product;
}

// The coefficients of x^96..x^127 (bytes 12-15 of the block), x^127 in
// bit 31: counterWord with its bits reversed. The solver works in this
// order; only targets and results are converted.
std::uint32_t reversedCounterWord(FieldElement element) { return static_cast<std::uint32_t>(element.high >> 32); }

std::uint32_t reverseWord(std::uint32_t word) {
  std::uint32_t reversed = 0;
  for (int i = 0; i < 32; ++i) reversed |= ((word >> i) & 1u) << (31 - i);
  return reversed;
}

// The last GHASH block, 0^64 || [bitlen]_64, times H: bit k of the length
// (k = 0 least significant) is the coefficient of x^(127 - k).
FieldElement lengthTerm(FieldElement hashKey, std::uint64_t bitLength) {
  FieldElement term;
  for (unsigned k = 0; k < 64; ++k) {
    if (((bitLength >> k) & 1) != 0) term = add(term, timesPowerOfX(hashKey, 127 - k));
  }
  return term;
}

// Which columns, xored together, give a target: an xor basis over GF(2)^32
// kept by leading bit, each vector with the columns it is made of.
class ColumnSolver {
 public:
  void addColumn(std::uint32_t column, std::uint64_t columnBit) {
    std::uint64_t made = columnBit;
    while (column != 0) {
      const int top = std::bit_width(column) - 1;
      if (!present_[top]) {
        present_[top] = true;
        basis_[top] = column;
        madeOf_[top] = made;
        return;
      }
      column ^= basis_[top];
      made ^= madeOf_[top];
    }
  }
  std::optional<std::uint64_t> solve(std::uint32_t target) const {
    std::uint64_t made = 0;
    while (target != 0) {
      const int top = std::bit_width(target) - 1;
      if (!present_[top]) return std::nullopt;
      target ^= basis_[top];
      made ^= madeOf_[top];
    }
    return made;
  }

 private:
  std::array<std::uint32_t, 32> basis_{};
  std::array<std::uint64_t, 32> madeOf_{};
  std::array<bool, 32> present_{};
};

// The key search's solver for 8 columns, branch-free because it runs for
// every key: a reduced basis, each vector's pivot bit set in no other one,
// so a vector is reduced by xoring each basis vector whose pivot it holds.
class SmallSolver {
 public:
  void addColumn(std::uint32_t column, std::uint8_t made) {
    reduce(column, made);
    if (column == 0) return;
    const int pivot = std::bit_width(column) - 1;
    for (std::size_t i = 0; i < rank_; ++i) {
      const std::uint32_t holds = 0u - ((basis_[i] >> pivot) & 1u);
      basis_[i] ^= column & holds;
      madeOf_[i] = static_cast<std::uint8_t>(madeOf_[i] ^ (made & holds));
    }
    basis_[rank_] = column;
    madeOf_[rank_] = made;
    pivots_[rank_++] = pivot;
  }
  std::optional<std::uint8_t> solve(std::uint32_t target) const {
    std::uint8_t made = 0;
    reduce(target, made);
    if (target != 0) return std::nullopt;
    return made;
  }

 private:
  void reduce(std::uint32_t& vector, std::uint8_t& made) const {
    for (std::size_t i = 0; i < rank_; ++i) {
      const std::uint32_t holds = 0u - ((vector >> pivots_[i]) & 1u);
      vector ^= basis_[i] & holds;
      made = static_cast<std::uint8_t>(made ^ (madeOf_[i] & holds));
    }
  }

  std::array<std::uint32_t, 8> basis_{};
  std::array<std::uint8_t, 8> madeOf_{};
  std::array<int, 8> pivots_{};
  std::size_t rank_ = 0;
};

constexpr std::size_t blockBytes = 16;

std::size_t ghashBlocks(std::size_t nonceBytes) { return (nonceBytes + blockBytes - 1) / blockBytes + 1; }

// Bit p of the nonce (p < 128, in its first block) enters J0 as x^p times
// H^m, m the number of GHASH blocks.
FieldElement firstBlockWeight(FieldElement hashKey, std::size_t nonceBytes) {
  FieldElement power = hashKey;
  for (std::size_t i = 1; i < ghashBlocks(nonceBytes); ++i) power = multiply(power, hashKey);
  return power;
}

// H = E_K(0^128) for key after key: one OpenSSL ECB context, re-keyed.
class HashKeys {
 public:
  explicit HashKeys(const Bytes& anyKey)
      : context_(openSslContext("AES-" + aesBits(anyKey) + "-ECB", true, anyKey, {})) {}
  std::array<std::uint8_t, blockBytes> of(const Bytes& key) {
    const std::array<std::uint8_t, blockBytes> zero{};
    std::array<std::uint8_t, blockBytes> hashKey{};
    int written = 0;
    if (EVP_EncryptInit_ex(context_.get(), nullptr, nullptr, key.data(), nullptr) != 1 ||
        EVP_EncryptUpdate(context_.get(), hashKey.data(), &written, zero.data(), blockBytes) != 1) {
      throw std::runtime_error("OpenSSL AES failed in the key search");
    }
    return hashKey;
  }

 private:
  EvpContext context_;
};

void requireHashKeyAndNonce(const Bytes& hashKey, const Bytes& nonce) {
  if (hashKey.size() != blockBytes) throw std::invalid_argument("GHASH key of wrong size");
  if (nonce.empty() || nonce.size() == 12) {
    throw std::invalid_argument("J0 is hashed only for nonces of other than 0 or 12 bytes");
  }
}

}  // namespace

Bytes gcmPreCounterBlock(const Bytes& hashKey, const Bytes& nonce) {
  requireHashKeyAndNonce(hashKey, nonce);
  const FieldElement h = fromBlock(hashKey.data());
  Bytes padded = nonce;
  padded.resize(ghashBlocks(nonce.size()) * blockBytes - blockBytes, 0);
  FieldElement state;
  for (std::size_t offset = 0; offset < padded.size(); offset += blockBytes) {
    state = multiply(add(state, fromBlock(padded.data() + offset)), h);
  }
  state = add(multiply(state, h), lengthTerm(h, 8 * std::uint64_t{nonce.size()}));
  return toBlock(state);
}

std::uint32_t counterWord(const Bytes& preCounterBlock) {
  if (preCounterBlock.size() != blockBytes) throw std::invalid_argument("J0 of wrong size");
  std::uint32_t word = 0;
  for (std::size_t i = 12; i < 16; ++i) word = word << 8 | preCounterBlock[i];
  return word;
}

std::optional<Bytes> nonceForCounterWord(const Bytes& hashKey, Bytes nonce, std::uint32_t word) {
  requireHashKeyAndNonce(hashKey, nonce);
  const FieldElement weight = firstBlockWeight(fromBlock(hashKey.data()), nonce.size());
  ColumnSolver solver;
  const std::size_t freeBits = std::min<std::size_t>(64, 8 * nonce.size());
  for (std::size_t p = 0; p < freeBits; ++p) {
    solver.addColumn(reversedCounterWord(timesPowerOfX(weight, static_cast<unsigned>(p))), std::uint64_t{1} << p);
  }
  const std::uint32_t now = counterWord(gcmPreCounterBlock(hashKey, nonce));
  const std::optional<std::uint64_t> flips = solver.solve(reverseWord(now ^ word));
  if (!flips) return std::nullopt;
  for (std::size_t p = 0; p < freeBits; ++p) {
    if (((*flips >> p) & 1) != 0) nonce[p / 8] ^= static_cast<std::uint8_t>(0x80u >> (p % 8));
  }
  if (counterWord(gcmPreCounterBlock(hashKey, nonce)) != word) {
    throw std::logic_error("the solved nonce misses its counter word");
  }
  return nonce;
}

std::vector<KeyAndNonce> searchOneByteNonces(const Bytes& seedKey, const std::vector<std::uint32_t>& words) {
  requireAesKey(seedKey);
  std::vector<std::optional<KeyAndNonce>> found(words.size());
  std::vector<std::uint32_t> reversedWords;
  for (std::uint32_t word : words) reversedWords.push_back(reverseWord(word));
  std::size_t missing = words.size();
  Bytes key = seedKey;
  HashKeys hashKeys(seedKey);
  constexpr std::uint64_t limit = std::uint64_t{1} << 32;
  for (std::uint64_t index = 0; missing > 0; ++index) {
    if (index == limit) throw std::runtime_error("no key up to 2^32 reaches every counter word");
    for (std::size_t i = 0; i < 8; ++i) {
      key[key.size() - 8 + i] = static_cast<std::uint8_t>(seedKey[seedKey.size() - 8 + i] ^ (index >> (56 - 8 * i)));
    }
    const std::array<std::uint8_t, blockBytes> hashKey = hashKeys.of(key);
    // Two GHASH blocks: the nonce byte (x^0..x^7) times H^2, and the
    // length block (8 bits: x^124) times H.
    const FieldElement h = fromBlock(hashKey.data());
    FieldElement column = square(h);
    SmallSolver solver;
    for (unsigned p = 0; p < 8; ++p) {
      solver.addColumn(reversedCounterWord(column), static_cast<std::uint8_t>(1u << p));
      column = timesX(column);
    }
    const std::uint32_t constant = reversedCounterWord(timesPowerOfX(h, 124));
    for (std::size_t w = 0; w < words.size(); ++w) {
      if (found[w]) continue;
      if (const std::optional<std::uint8_t> bits = solver.solve(reversedWords[w] ^ constant)) {
        std::uint8_t nonce = 0;
        for (unsigned p = 0; p < 8; ++p) {
          if (((*bits >> p) & 1) != 0) nonce = static_cast<std::uint8_t>(nonce | (0x80u >> p));
        }
        found[w] = KeyAndNonce{key, Bytes{nonce}, index};
        --missing;
      }
    }
  }
  std::vector<KeyAndNonce> result;
  for (std::size_t w = 0; w < words.size(); ++w) {
    // The slow, general computation agrees with the search's shortcut.
    const std::array<std::uint8_t, blockBytes> hashKey = hashKeys.of(found[w]->key);
    if (counterWord(gcmPreCounterBlock(Bytes(hashKey.begin(), hashKey.end()), found[w]->nonce)) != words[w]) {
      throw std::logic_error("the key search's nonce misses its counter word");
    }
    result.push_back(std::move(*found[w]));
  }
  return result;
}

}  // namespace vector_gen
