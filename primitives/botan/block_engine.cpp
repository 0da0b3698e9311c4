#include <primitives/botan/block_engine.hpp>

#include <botan/block_cipher.h>
#include <botan/cipher_mode.h>
#include <botan/stream_cipher.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include <primitives/prepared_streams.hpp>

namespace quillon::botan::detail {

namespace {

constexpr std::size_t blockBytes = BlockEngine::blockBytes;
using Block = std::array<Byte, blockBytes>;

/// A Botan mode object: a cipher mode (CBC, CFB) or a stream cipher (OFB,
/// CTR).
struct ModeObject {
  std::unique_ptr<Botan::Cipher_Mode> mode;
  std::unique_ptr<Botan::StreamCipher> stream;
};

}  // namespace

struct BlockEngine::Prepared {
  std::string cipherName;
  std::unique_ptr<Botan::BlockCipher> cipher;
  Botan::secure_vector<std::uint8_t> key;
  bindings::PreparedStreams<ModeObject, blockBytes> streams;

  [[nodiscard]] Block encryptOne(const Byte* block) const {
    Block out{};
    cipher->encrypt(block, out.data());
    return out;
  }

  /// Botan's object for `mode` in `direction`, keyed.
  [[nodiscard]] ModeObject keyed(Mode mode, Direction direction) const {
    ModeObject object;
    if (mode == Mode::cbc || mode == Mode::cfb) {
      object.mode = Botan::Cipher_Mode::create_or_throw(
          cipherName + (mode == Mode::cbc ? "/CBC/NoPadding" : "/CFB"),
          direction == Direction::encrypt ? Botan::ENCRYPTION : Botan::DECRYPTION);
      object.mode->set_key(key);
    } else {
      object.stream = Botan::StreamCipher::create_or_throw(
          std::string(mode == Mode::ofb ? "OFB(" : "CTR-BE(") + cipherName + ")");
      object.stream->set_key(key);
    }
    return object;
  }

  /// `out` holds `length` bytes of input; runs the mode over them in place
  /// from `iv`, unless the object already stands there.
  void runInPlace(bindings::PreparedStream<ModeObject, blockBytes>& stream, ByteView iv, Byte* out,
                  std::size_t length) const {
    const bool resumed = stream.resumeAt(iv);
    ModeObject& object = stream.object;
    if (object.stream) {
      if (!resumed) object.stream->set_iv(iv.data(), iv.size());
      object.stream->cipher1(out, length);
      return;
    }
    if (!resumed) object.mode->start(iv.data(), iv.size());
    const std::size_t whole = length - length % blockBytes;
    if (whole > 0) object.mode->process(out, whole);
    if (whole < length) {
      // A final partial block (CFB only) goes through finish.
      Botan::secure_vector<std::uint8_t> tail(out + whole, out + length);
      object.mode->finish(tail);
      std::memcpy(out + whole, tail.data(), tail.size());
    }
  }

  /// The IV after a final partial block of `length - whole` bytes, from the
  /// IV `previous` left by the whole blocks before it: CFB the partial
  /// ciphertext then the unused keystream, OFB that keystream block, CTR the
  /// counter after it. Botan keeps these to itself; they are recomputed.
  void ivAfterPartialBlock(Mode mode, Direction direction, const Byte* previous, ByteView input,
                           const Byte* out, Byte* ivOut) const {
    const std::size_t partial = input.size() % blockBytes;
    const std::size_t whole = input.size() - partial;
    if (mode == Mode::ctr) {
      bindings::ivAfterWholeBlocks<blockBytes>(mode, direction, ByteView(previous, blockBytes),
                                               nullptr, nullptr, blockBytes, ivOut);
      return;
    }
    const Block keystream = encryptOne(previous);
    std::memcpy(ivOut, keystream.data(), blockBytes);
    if (mode == Mode::cfb)
      std::memcpy(ivOut, (direction == Direction::encrypt ? out : input.data()) + whole, partial);
  }
};

BlockEngine::BlockEngine(std::string cipherName, ByteView key) {
  auto prepared = std::make_shared<Prepared>();
  prepared->cipher = Botan::BlockCipher::create_or_throw(cipherName);
  if (prepared->cipher->block_size() != blockBytes || !prepared->cipher->valid_keylength(key.size()))
    throw std::invalid_argument("Botan " + cipherName + ": a " + std::to_string(key.size()) +
                                "-byte key or its block size is not supported");
  prepared->cipher->set_key(key.data(), key.size());
  prepared->key.assign(key.begin(), key.end());
  prepared->cipherName = std::move(cipherName);
  prepared_ = std::move(prepared);
}

void BlockEngine::run(Mode mode, Direction direction, ByteView iv, ByteView input, Byte* out,
                      Byte* ivOut) const {
  const Prepared& prepared = *prepared_;
  const std::size_t count = input.size() / blockBytes;
  if (mode == Mode::ecb) {
    if (direction == Direction::encrypt)
      prepared.cipher->encrypt_n(input.data(), out, count);
    else
      prepared.cipher->decrypt_n(input.data(), out, count);
    return;
  }
  std::memcpy(out, input.data(), input.size());
  const bool wholeBlocks = input.size() % blockBytes == 0;
  prepared.streams.lend(mode, direction, [&] { return prepared.keyed(mode, direction); },
                        [&](auto& stream) {
                          prepared.runInPlace(stream, iv, out, input.size());
                          if (wholeBlocks) {
                            bindings::ivAfterWholeBlocks<blockBytes>(mode, direction, iv, input.data(),
                                                                     out, input.size(), ivOut);
                            stream.stoppedAt(ivOut);
                          }
                        });
  if (wholeBlocks) return;
  Block previous{};
  if (count == 0)
    std::memcpy(previous.data(), iv.data(), blockBytes);
  else
    bindings::ivAfterWholeBlocks<blockBytes>(mode, direction, iv, input.data(), out,
                                             count * blockBytes, previous.data());
  prepared.ivAfterPartialBlock(mode, direction, previous.data(), input, out, ivOut);
}

AesEngine::AesEngine(ByteView key) : BlockEngine("AES-" + std::to_string(key.size() * 8), key) {}

TwofishEngine::TwofishEngine(ByteView key) : BlockEngine("Twofish", key) {}

}  // namespace quillon::botan::detail
