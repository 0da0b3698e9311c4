#pragma once
// A TOY: 64-bit FNV-1a, a fast non-cryptographic hash. It is here only to
// show how a digest type meets quillon::Hash; never use it for security.

#include <cstdint>
#include <ostream>

#include <quillon/quillon.hpp>

struct ToyFnvHash {
  std::uint64_t state = 0xcbf29ce484222325ULL;  // the FNV offset basis

  static int outputLength() { return 64; }  // bits
  static int blockLength() { return 8; }    // it consumes one byte at a time

  static ToyFnvHash hash(const quillon::LazyByteString& message) {
    ToyFnvHash digest;
    for (const quillon::ByteString& chunk : message.chunks()) digest.absorb(chunk);
    return digest;
  }
  static ToyFnvHash hashStrict(quillon::ByteView message) {
    ToyFnvHash digest;
    digest.absorb(message);
    return digest;
  }

  // Big-endian raw bytes, no length prefix.
  quillon::ByteString encode() const {
    std::vector<quillon::Byte> bytes(8);
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<quillon::Byte>(state >> (56 - 8 * i));
    return quillon::ByteString(std::move(bytes));
  }
  static quillon::GetResult<ToyFnvHash> get(quillon::ByteView bytes) {
    if (bytes.size() < 8) return quillon::Partial{};
    ToyFnvHash digest;
    digest.state = 0;
    for (int i = 0; i < 8; ++i) digest.state = (digest.state << 8) | bytes[i];
    return quillon::Done<ToyFnvHash>{digest, 8};
  }

  friend bool operator==(const ToyFnvHash&, const ToyFnvHash&) = default;
  friend std::ostream& operator<<(std::ostream& os, const ToyFnvHash& digest) {
    return os << digest.encode();
  }

 private:
  void absorb(quillon::ByteView bytes) {
    for (quillon::Byte b : bytes) state = (state ^ b) * 0x100000001b3ULL;  // the FNV prime
  }
};
