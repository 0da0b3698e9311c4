#pragma once
// The generic modes over a key type's encryptBlock / decryptBlock, behind
// quillon::generic (quillon/modes.hpp). Where a
// mode allows it, many blocks go to the cipher in one call (ECB, CBC
// decryption, CFB decryption, CTR), since a cipher call may cost far more
// than the block it encrypts; CBC and CFB encryption and OFB chain block by
// block.

#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_driver.hpp>
#include <quillon/mode_names.hpp>

namespace quillon::detail {

/// The block length of K in bytes; modes cannot run on blocks under a byte.
template <class K>
std::size_t modeBlockBytes(Mode mode, Direction direction, bool lazy) {
  const int bits = K::blockSize();
  if (bits < 8)
    throw std::invalid_argument("quillon::" + modeFunctionName(mode, direction, lazy) +
                                ": the cipher's blockSize() is " + std::to_string(bits) +
                                " bits; modes need blocks of at least 8");
  return static_cast<std::size_t>(bits / 8);
}

/// The block length of K for `mode`, after the partial-block rule.
template <class K>
std::size_t checkedBlockBytes(Mode mode, Direction direction, bool lazy, std::size_t length) {
  const std::size_t blockBytes = modeBlockBytes<K>(mode, direction, lazy);
  requireWholeBlocks(mode, direction, lazy, length, blockBytes);
  return blockBytes;
}

/// encryptBlock / decryptBlock over `length` bytes, checked to keep the
/// length: the modes copy exactly that many bytes out of the result.
template <class K>
ByteString cipherBlocks(const K& key, Direction direction, const Byte* in, std::size_t length) {
  const ByteView blocks(in, length);
  ByteString result =
      direction == Direction::encrypt ? key.encryptBlock(blocks) : key.decryptBlock(blocks);
  if (result.size() != length)
    throw std::logic_error(std::string("quillon: ") +
                           (direction == Direction::encrypt ? "encryptBlock" : "decryptBlock") +
                           " returned " + std::to_string(result.size()) + " bytes for " +
                           std::to_string(length));
  return result;
}

inline void xorInto(Byte* out, const Byte* a, const Byte* b, std::size_t length) noexcept {
  for (std::size_t i = 0; i < length; ++i) out[i] = static_cast<Byte>(a[i] ^ b[i]);
}

/// Adds one to `counter` read as a big-endian integer, wrapping at the top.
inline void incrementBigEndian(std::vector<Byte>& counter) noexcept {
  for (std::size_t i = counter.size(); i-- > 0;)
    if (++counter[i] != 0) break;
}

template <class K>
struct EcbEngine {
  const K& key;
  Direction direction;

  void blocks(const Byte* in, Byte* out, std::size_t length) const {
    const ByteString result = cipherBlocks(key, direction, in, length);
    std::memcpy(out, result.data(), length);
  }
};

/// State shared by the modes that carry one block from call to call.
template <class K>
class ChainedEngine {
 public:
  ChainedEngine(const K& key, ByteView iv, Mode mode) : key_(key), state_(iv.begin(), iv.end()) {
    if (state_.size() != static_cast<std::size_t>(K::blockSize() / 8))
      throw std::logic_error("quillon::" + std::string(modeName(mode)) + ": the IV is not one block long");
  }
  /// The IV that continues the stream.
  [[nodiscard]] ByteView next() const noexcept { return state_; }

 protected:
  const K& key_;
  std::vector<Byte> state_;  // chaining block, shift register or counter
};

template <class K>
class CbcEngine : public ChainedEngine<K> {
 public:
  CbcEngine(const K& key, ByteView iv, Direction direction)
      : ChainedEngine<K>(key, iv, Mode::cbc), direction_(direction) {}

  void blocks(const Byte* in, Byte* out, std::size_t length) {
    std::vector<Byte>& chain = this->state_;
    const std::size_t b = chain.size();
    if (direction_ == Direction::encrypt) {
      for (std::size_t at = 0; at < length; at += b) {
        xorInto(chain.data(), chain.data(), in + at, b);
        const ByteString cipher = cipherBlocks(this->key_, Direction::encrypt, chain.data(), b);
        std::memcpy(out + at, cipher.data(), b);
        std::memcpy(chain.data(), cipher.data(), b);
      }
      return;
    }
    // Every block's chaining value is known up front: decrypt all at once.
    const ByteString plain = cipherBlocks(this->key_, Direction::decrypt, in, length);
    xorInto(out, plain.data(), chain.data(), b);
    xorInto(out + b, plain.data() + b, in, length - b);
    std::memcpy(chain.data(), in + length - b, b);
  }

 private:
  Direction direction_;
};

/// Full-block cipher feedback.
template <class K>
class CfbEngine : public ChainedEngine<K> {
 public:
  CfbEngine(const K& key, ByteView iv, Direction direction)
      : ChainedEngine<K>(key, iv, Mode::cfb), direction_(direction) {}

  void blocks(const Byte* in, Byte* out, std::size_t length) {
    std::vector<Byte>& shift = this->state_;
    const std::size_t b = shift.size();
    if (direction_ == Direction::encrypt) {
      for (std::size_t at = 0; at < length; at += b) {
        const ByteString stream = cipherBlocks(this->key_, Direction::encrypt, shift.data(), b);
        xorInto(out + at, in + at, stream.data(), b);
        std::memcpy(shift.data(), out + at, b);
      }
      return;
    }
    // Decryption feeds back ciphertext, which is all known: one call.
    std::vector<Byte> feed(length);
    std::memcpy(feed.data(), shift.data(), b);
    std::memcpy(feed.data() + b, in, length - b);
    const ByteString stream = cipherBlocks(this->key_, Direction::encrypt, feed.data(), length);
    xorInto(out, in, stream.data(), length);
    std::memcpy(shift.data(), in + length - b, b);
  }

  /// The register after a partial block is what a whole block would leave
  /// had the plaintext been completed with zero bytes: the partial
  /// ciphertext, then the unused keystream. Encryption and decryption agree.
  void tail(const Byte* in, Byte* out, std::size_t length) {
    std::vector<Byte>& shift = this->state_;
    const ByteString stream = cipherBlocks(this->key_, Direction::encrypt, shift.data(), shift.size());
    xorInto(out, in, stream.data(), length);
    std::memcpy(shift.data(), direction_ == Direction::encrypt ? out : in, length);
    std::memcpy(shift.data() + length, stream.data() + length, shift.size() - length);
  }

 private:
  Direction direction_;
};

/// Output feedback; the same in both directions.
template <class K>
class OfbEngine : public ChainedEngine<K> {
 public:
  OfbEngine(const K& key, ByteView iv) : ChainedEngine<K>(key, iv, Mode::ofb) {}

  void blocks(const Byte* in, Byte* out, std::size_t length) {
    const std::size_t b = this->state_.size();
    for (std::size_t at = 0; at < length; at += b) tail(in + at, out + at, b);
  }
  /// Also used for whole blocks: the register becomes the keystream block.
  void tail(const Byte* in, Byte* out, std::size_t length) {
    std::vector<Byte>& stream = this->state_;
    const ByteString next = cipherBlocks(this->key_, Direction::encrypt, stream.data(), stream.size());
    std::memcpy(stream.data(), next.data(), stream.size());
    xorInto(out, in, stream.data(), length);
  }
};

/// Counter mode: the whole IV block is the counter, big-endian, one step per
/// block, as in NIST SP 800-38A and as OpenSSL and nettle count.
template <class K>
class CtrEngine : public ChainedEngine<K> {
 public:
  CtrEngine(const K& key, ByteView iv) : ChainedEngine<K>(key, iv, Mode::ctr) {}

  void blocks(const Byte* in, Byte* out, std::size_t length) {
    std::vector<Byte>& counter = this->state_;
    const std::size_t b = counter.size();
    std::vector<Byte> counters(length);
    for (std::size_t at = 0; at < length; at += b) {
      std::memcpy(counters.data() + at, counter.data(), b);
      incrementBigEndian(counter);
    }
    const ByteString stream = cipherBlocks(this->key_, Direction::encrypt, counters.data(), length);
    xorInto(out, in, stream.data(), length);
  }
  /// A partly used counter block counts as used.
  void tail(const Byte* in, Byte* out, std::size_t length) {
    std::vector<Byte>& counter = this->state_;
    const ByteString stream = cipherBlocks(this->key_, Direction::encrypt, counter.data(), counter.size());
    incrementBigEndian(counter);
    xorInto(out, in, stream.data(), length);
  }
};

/// A chained mode over contiguous input: the output and the next IV.
template <class K, class Engine>
std::pair<ByteString, IV<K>> runChained(Engine engine, std::size_t blockBytes, ByteView input) {
  ByteString out = runMode(engine, blockBytes, input);
  return {std::move(out), IVAccess::make<K>(engine.next())};
}

template <class K, class Engine>
std::pair<LazyByteString, IV<K>> runChainedLazy(Engine engine, std::size_t blockBytes,
                                                const LazyByteString& input) {
  LazyByteString out = runModeChunked(engine, blockBytes, input);
  return {std::move(out), IVAccess::make<K>(engine.next())};
}

template <class K>
ByteString ecbMode(const K& key, ByteView input, Direction direction) {
  checkedBlockBytes<K>(Mode::ecb, direction, false, input.size());
  if (input.empty()) return {};
  return cipherBlocks(key, direction, input.data(), input.size());
}

template <class K>
LazyByteString ecbModeLazy(const K& key, const LazyByteString& input, Direction direction) {
  EcbEngine<K> engine{key, direction};
  return runModeChunked(engine, checkedBlockBytes<K>(Mode::ecb, direction, true, input.size()), input);
}

/// CBC and CFB, whose engines take the direction.
template <template <class> class Engine, class K>
std::pair<ByteString, IV<K>> directedMode(Mode mode, const K& key, const IV<K>& iv, ByteView input,
                                          Direction direction) {
  const std::size_t b = checkedBlockBytes<K>(mode, direction, false, input.size());
  return runChained<K>(Engine<K>(key, iv.bytes(), direction), b, input);
}

template <template <class> class Engine, class K>
std::pair<LazyByteString, IV<K>> directedModeLazy(Mode mode, const K& key, const IV<K>& iv,
                                                  const LazyByteString& input, Direction direction) {
  const std::size_t b = checkedBlockBytes<K>(mode, direction, true, input.size());
  return runChainedLazy<K>(Engine<K>(key, iv.bytes(), direction), b, input);
}

/// OFB and CTR, the same operation both ways.
template <template <class> class Engine, class K>
std::pair<ByteString, IV<K>> streamMode(Mode mode, const K& key, const IV<K>& iv, ByteView input) {
  const std::size_t b = checkedBlockBytes<K>(mode, Direction::encrypt, false, input.size());
  return runChained<K>(Engine<K>(key, iv.bytes()), b, input);
}

template <template <class> class Engine, class K>
std::pair<LazyByteString, IV<K>> streamModeLazy(Mode mode, const K& key, const IV<K>& iv,
                                                const LazyByteString& input) {
  const std::size_t b = checkedBlockBytes<K>(mode, Direction::encrypt, true, input.size());
  return runChainedLazy<K>(Engine<K>(key, iv.bytes()), b, input);
}

/// What a key type's own mode member returns must be exactly what the free
/// function of the same name returns; anything else is a compile error
/// rather than a silent fallback to the generic mode.
template <class Expected, class Actual>
Expected ownModeResult(Actual&& result) {
  static_assert(std::is_same_v<std::remove_cvref_t<Actual>, Expected>,
                "quillon: a key type's own mode member must return exactly what the quillon free "
                "function of the same name returns (see quillon/modes.hpp)");
  return std::forward<Actual>(result);
}

}  // namespace quillon::detail
