#pragma once
// Types that each miss one member of a concept, numbered so that every call
// of a builder instantiates a type of its own, and so reports its own error.
// The other slot of a differential builder takes the kit's stand-ins, which
// are sound (quillon_tests/detail/checked_types.hpp).

#include <optional>
#include <ostream>

#include <quillon/quillon.hpp>

template <int N>
struct KeyWithoutDecryptBlock {
  static int blockSize() { return 128; }
  static int keyLength() { return 128; }
  static std::optional<KeyWithoutDecryptBlock> buildKey(quillon::ByteView) { return {}; }
  quillon::ByteString encryptBlock(quillon::ByteView bytes) const { return quillon::ByteString(bytes); }
};

template <int N>
struct DigestWithoutEncode {
  static int outputLength() { return 128; }
  static int blockLength() { return 512; }
  static DigestWithoutEncode hash(const quillon::LazyByteString&) { return {}; }
  static DigestWithoutEncode hashStrict(quillon::ByteView) { return {}; }
  static quillon::GetResult<DigestWithoutEncode> get(quillon::ByteView) { return quillon::Partial{}; }
  friend bool operator==(const DigestWithoutEncode&, const DigestWithoutEncode&) = default;
  friend std::ostream& operator<<(std::ostream& os, const DigestWithoutEncode&) { return os; }
};

template <int N>
struct AeadWithoutOpen {
  static int keyLength() { return 128; }
  static std::optional<AeadWithoutOpen> buildKey(quillon::ByteView) { return AeadWithoutOpen{}; }
  static bool acceptsNonceLength(std::size_t) { return true; }
  static bool acceptsTagLength(std::size_t) { return true; }
  std::optional<quillon::ByteString> seal(quillon::ByteView, quillon::ByteView, quillon::ByteView,
                                          std::size_t) const {
    return quillon::ByteString();
  }
};
