// Digests with the faults implementers of SHA-2 and SHA-3 really make, for
// checking that the suites catch them. Each is a complete quillon::Hash type.
#pragma once

#include <nettle/sha3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include <primitives/openssl/digests.hpp>
#include <primitives/raw_digest.hpp>
#include <quillon/byte_string.hpp>

namespace faulty_digests {

using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;
using quillon::LazyByteString;

/// SHA-512/256 as the first 32 bytes of SHA-512: the truncation is right,
/// the initial values (SHA-512/256 has its own) are not.
class Sha512Truncated256 : public quillon::bindings::RawDigest<Sha512Truncated256, 32> {
 public:
  explicit Sha512Truncated256(ByteString bytes) : RawDigest(std::move(bytes)) {}
  static int outputLength() { return 256; }
  static int blockLength() { return 1024; }
  static Sha512Truncated256 hash(const LazyByteString& message) {
    return Sha512Truncated256(quillon::openssl::SHA512::hash(message).encode().take(32));
  }
  static Sha512Truncated256 hashStrict(ByteView message) {
    return Sha512Truncated256(quillon::openssl::SHA512::hashStrict(message).encode().take(32));
  }
};

/// A Keccak sponge over nettle's permutation with a chosen first padding
/// byte: 0x06 gives SHA-3; 0x01 gives Keccak as submitted, the padding many
/// implementations still carry from before SHA-3 was standardised.
template <int OutputBits, Byte PaddingByte>
class Sponge : public quillon::bindings::RawDigest<Sponge<OutputBits, PaddingByte>, OutputBits / 8> {
  using Base = quillon::bindings::RawDigest<Sponge, OutputBits / 8>;

 public:
  explicit Sponge(ByteString bytes) : Base(std::move(bytes)) {}
  static int outputLength() { return OutputBits; }
  static int blockLength() { return 1600 - 2 * OutputBits; }
  static Sponge hash(const LazyByteString& message) { return hashStrict(message.toStrict()); }
  static Sponge hashStrict(ByteView message) {
    constexpr std::size_t rate = (1600 - 2 * OutputBits) / 8;
    sha3_state state{};
    auto absorb = [&state](const Byte* block) {
      for (std::size_t i = 0; i < rate; ++i)
        state.a[i / 8] ^= static_cast<std::uint64_t>(block[i]) << (8 * (i % 8));
      sha3_permute(&state);
    };
    std::size_t whole = message.size() / rate * rate;
    for (std::size_t offset = 0; offset < whole; offset += rate) absorb(message.data() + offset);
    std::array<Byte, rate> last{};
    std::copy(message.begin() + static_cast<std::ptrdiff_t>(whole), message.end(), last.begin());
    last[message.size() - whole] ^= PaddingByte;
    last[rate - 1] ^= 0x80;
    absorb(last.data());
    std::vector<Byte> out(OutputBits / 8);
    for (std::size_t i = 0; i < out.size(); ++i)
      out[i] = static_cast<Byte>(state.a[i / 8] >> (8 * (i % 8)));
    return Sponge(ByteString(std::move(out)));
  }
};

/// The value side of a wrapper around digest `D`: raw bytes of D's size.
template <class Derived, class D>
class WrapperValue {
 public:
  explicit WrapperValue(ByteString bytes) : bytes_(std::move(bytes)) {}
  static int outputLength() { return D::outputLength(); }
  static int blockLength() { return D::blockLength(); }
  ByteString encode() const { return bytes_; }
  static quillon::GetResult<Derived> get(ByteView bytes) {
    const std::size_t size = static_cast<std::size_t>(D::outputLength()) / 8;
    if (bytes.size() < size) return quillon::Partial{};
    return quillon::Done<Derived>{Derived(ByteString(bytes.first(size))), size};
  }
  friend bool operator==(const Derived& a, const Derived& b) { return a.bytes_ == b.bytes_; }
  friend std::ostream& operator<<(std::ostream& os, const Derived& d) { return os << d.bytes_; }

 private:
  ByteString bytes_;
};

/// Keeps the last message's final partial block and reuses it whenever the
/// next message has the same length, as a cache of the padded last block
/// keyed by length would. Right for any one message, and for the same
/// message twice; wrong for the second of two equal-length messages.
template <class D>
class CachedFinalBlock : public WrapperValue<CachedFinalBlock<D>, D> {
 public:
  using WrapperValue<CachedFinalBlock, D>::WrapperValue;
  static CachedFinalBlock hash(const LazyByteString& message) { return hashStrict(message.toStrict()); }
  static CachedFinalBlock hashStrict(ByteView message) {
    static thread_local std::size_t cachedLength = SIZE_MAX;
    static thread_local ByteString cachedTail;
    const std::size_t block = static_cast<std::size_t>(D::blockLength()) / 8;
    const std::size_t tailStart = message.size() / block * block;
    if (message.size() != cachedLength) {
      cachedLength = message.size();
      cachedTail = ByteString(message.subspan(tailStart));
    }
    const ByteString used = quillon::concat({ByteString(message.first(tailStart)), cachedTail});
    return CachedFinalBlock(D::hashStrict(used).encode());
  }
};

/// `hash` leaves out the last chunk whenever there is more than one, as a
/// loop that stops one chunk early would; hashStrict is right.
template <class D>
class LosesLastChunk : public WrapperValue<LosesLastChunk<D>, D> {
 public:
  using WrapperValue<LosesLastChunk, D>::WrapperValue;
  static LosesLastChunk hash(const LazyByteString& message) {
    std::vector<ByteString> chunks = message.chunks();
    if (chunks.size() > 1) chunks.pop_back();
    return LosesLastChunk(D::hash(LazyByteString(std::move(chunks))).encode());
  }
  static LosesLastChunk hashStrict(ByteView message) {
    return LosesLastChunk(D::hashStrict(message).encode());
  }
};

/// How MisChunked mishandles the chunks of `hash`.
enum class ChunkFault {
  losesByteAtBoundary,  // every chunk after the first loses its first byte
  chunksInReverse,      // the chunks are hashed last to first
};

/// MD5 whose `hash` mishandles its chunks as `F` says; hashStrict is right.
/// The smallest message either fault fails on is two one-byte chunks.
template <ChunkFault F>
class MisChunkedMD5 : public quillon::bindings::RawDigest<MisChunkedMD5<F>, 16> {
  using Real = quillon::openssl::MD5;
  using Base = quillon::bindings::RawDigest<MisChunkedMD5, 16>;

 public:
  explicit MisChunkedMD5(ByteString bytes) : Base(std::move(bytes)) {}
  static int outputLength() { return Real::outputLength(); }
  static int blockLength() { return Real::blockLength(); }
  static MisChunkedMD5 hash(const LazyByteString& message) {
    std::vector<ByteString> chunks = message.chunks();
    if constexpr (F == ChunkFault::losesByteAtBoundary) {
      for (std::size_t i = 1; i < chunks.size(); ++i) chunks[i] = chunks[i].drop(1);
    } else {
      std::reverse(chunks.begin(), chunks.end());
    }
    return MisChunkedMD5(Real::hash(LazyByteString(std::move(chunks))).encode());
  }
  static MisChunkedMD5 hashStrict(ByteView message) {
    return MisChunkedMD5(Real::hashStrict(message).encode());
  }
};

}  // namespace faulty_digests
