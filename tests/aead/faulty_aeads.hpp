#pragma once
// AEADs with one planted fault each, for judging the AEAD suites: a GCM
// over OpenSSL's AES-128 put together from the generic construction's parts
// with one thing broken, and a ChaCha20-Poly1305 that takes a nonce it
// cannot use. Each claims the lengths of the sound algorithm.

#include <algorithm>
#include <cstddef>
#include <optional>
#include <primitives/openssl/aead.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon/aead.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/detail/aead_lengths.hpp>
#include <quillon/detail/gcm_impl.hpp>
#include <vector>

namespace faulty_aeads {

using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;
using quillon::LazyByteString;

enum class GcmFault {
  none,
  ivCutTo12,               // a nonce over 12 bytes used as its first 12
  ivZeroPaddedTo12,        // a nonce under 12 bytes completed with zeros
  tagFirstByteOnly,        // open compares only the tag's first byte
  tagAtCallerLength,       // open takes any tag length up to 16 (0 included)
  emptyNonceAccepted,      // an empty nonce sealed and opened (J0 = 0)
  textOnWrongTag,          // open decrypts whether the tag verifies or not
  noLengthBlockWhenEmpty,  // GHASH leaves out the length block when AAD or text is empty
  lazyLosesPartialBlock,   // the lazy members drop a chunk's partial block from GHASH
  counterOver128Bits,      // inc128 instead of inc32 for the CTR counter
};

template <GcmFault Fault>
class FaultyGcm {
 public:
  using Cipher = quillon::openssl::AES128;
  using Lengths = quillon::detail::GcmLengths;

  static int keyLength() { return 128; }
  static std::optional<FaultyGcm> buildKey(ByteView bytes) {
    std::optional<Cipher> cipher = Cipher::buildKey(bytes);
    if (!cipher) return std::nullopt;
    return FaultyGcm(std::move(*cipher));
  }
  static bool acceptsNonceLength(std::size_t bytes) { return Lengths::acceptsNonceLength(bytes); }
  static bool acceptsTagLength(std::size_t bytes) { return Lengths::acceptsTagLength(bytes); }

  [[nodiscard]] std::optional<ByteString> seal(ByteView nonce, ByteView aad, ByteView plaintext,
                                               std::size_t tagBytes) const {
    return sealChunks(nonce, {aad}, {plaintext}, tagBytes, false);
  }
  [[nodiscard]] std::optional<ByteString> open(ByteView nonce, ByteView aad, ByteView input,
                                               std::size_t tagBytes) const {
    if (input.size() < tagBytes) return std::nullopt;
    return openChunks(nonce, {aad}, {input.first(input.size() - tagBytes)}, input.last(tagBytes), false);
  }
  [[nodiscard]] std::optional<ByteString> sealLazy(ByteView nonce, const LazyByteString& aad,
                                                   const LazyByteString& plaintext,
                                                   std::size_t tagBytes) const {
    return sealChunks(nonce, views(aad), views(plaintext), tagBytes, true);
  }
  [[nodiscard]] std::optional<ByteString> openLazy(ByteView nonce, const LazyByteString& aad,
                                                   const LazyByteString& input, std::size_t tagBytes) const {
    if (input.size() < tagBytes) return std::nullopt;
    const std::size_t textBytes = input.size() - tagBytes;
    const ByteString tag(
        quillon::detail::joinChunks(quillon::detail::chunkViews(input, textBytes, input.size())));
    return openChunks(nonce, views(aad), quillon::detail::chunkViews(input, 0, textBytes), tag, true);
  }

 private:
  using Chunks = std::vector<ByteView>;
  using Block = quillon::detail::AeadBlock;

  explicit FaultyGcm(Cipher cipher)
      : cipher_(std::move(cipher)), hashKey_(quillon::detail::gcmHashKey(cipher_)) {}

  static Chunks views(const LazyByteString& lazy) {
    return Chunks(lazy.chunks().begin(), lazy.chunks().end());
  }
  static std::size_t total(const Chunks& chunks) { return quillon::detail::totalSize(chunks); }

  static bool acceptsNonce(std::size_t bytes) {
    return (Fault == GcmFault::emptyNonceAccepted && bytes == 0) || Lengths::acceptsNonceLength(bytes);
  }

  Block preCounter(ByteView nonce) const {
    std::vector<Byte> used(nonce.begin(), nonce.end());
    if (Fault == GcmFault::ivCutTo12 && used.size() > 12) used.resize(12);
    if (Fault == GcmFault::ivZeroPaddedTo12 && used.size() < 12) used.resize(12, 0);
    return quillon::detail::gcmPreCounterBlock(hashKey_, ByteView(used));
  }

  void crypt(const Block& j0, const Chunks& text, Byte* out) const {
    const std::size_t width = Fault == GcmFault::counterOver128Bits ? 16 : 4;
    Block counter = j0;
    quillon::detail::incrementLowBytes(counter, width);
    quillon::detail::counterModeCrypt(cipher_, counter, width, text, out);
  }

  void absorb(quillon::detail::Ghash& ghash, const Chunks& chunks, bool lazy) const {
    if (Fault == GcmFault::lazyLosesPartialBlock && lazy) {
      for (std::size_t i = 0; i < chunks.size(); ++i) {
        const ByteView chunk = chunks[i];
        ghash.absorbPadded(i + 1 < chunks.size() ? chunk.first(chunk.size() / 16 * 16) : chunk);
      }
      return;
    }
    quillon::detail::forEachWholePiece(chunks, 16, [&](ByteView piece) { ghash.absorbPadded(piece); });
  }

  Block tag(const Block& j0, const Chunks& aad, const Chunks& ciphertext, bool lazy) const {
    quillon::detail::Ghash ghash(hashKey_);
    absorb(ghash, aad, lazy);
    absorb(ghash, ciphertext, lazy);
    const bool leaveOut =
        Fault == GcmFault::noLengthBlockWhenEmpty && (total(aad) == 0 || total(ciphertext) == 0);
    if (!leaveOut) ghash.absorbLengths(std::uint64_t{total(aad)} * 8, std::uint64_t{total(ciphertext)} * 8);
    Block out = quillon::detail::storeGf128(ghash.value());
    const Block mask = quillon::detail::encryptOneBlock(cipher_, j0);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] ^= mask[i];
    return out;
  }

  std::optional<ByteString> sealChunks(ByteView nonce, const Chunks& aad, const Chunks& text,
                                       std::size_t tagBytes, bool lazy) const {
    if (!acceptsNonce(nonce.size()) || !acceptsTagLength(tagBytes)) return std::nullopt;
    const Block j0 = preCounter(nonce);
    std::vector<Byte> out(total(text) + tagBytes);
    crypt(j0, text, out.data());
    // The ciphertext in the caller's chunking, for the lazy fault.
    Chunks ciphertext;
    std::size_t at = 0;
    for (ByteView chunk : text) {
      ciphertext.push_back(ByteView(out).subspan(at, chunk.size()));
      at += chunk.size();
    }
    const Block full = tag(j0, aad, ciphertext, lazy);
    std::copy_n(full.begin(), tagBytes, out.begin() + static_cast<std::ptrdiff_t>(total(text)));
    return ByteString(std::move(out));
  }

  std::optional<ByteString> openChunks(ByteView nonce, const Chunks& aad, const Chunks& ciphertext,
                                       ByteView given, bool lazy) const {
    const std::size_t tagBytes = given.size();
    const bool tagLength = Fault == GcmFault::tagAtCallerLength ? tagBytes <= 16 : acceptsTagLength(tagBytes);
    if (!acceptsNonce(nonce.size()) || !tagLength) return std::nullopt;
    const Block j0 = preCounter(nonce);
    const Block expected = tag(j0, aad, ciphertext, lazy);
    const std::size_t compared =
        Fault == GcmFault::tagFirstByteOnly ? std::min<std::size_t>(tagBytes, 1) : tagBytes;
    const bool verified =
        std::equal(given.begin(), given.begin() + static_cast<std::ptrdiff_t>(compared), expected.begin());
    if (!verified && Fault != GcmFault::textOnWrongTag) return std::nullopt;
    std::vector<Byte> out(total(ciphertext));
    crypt(j0, ciphertext, out.data());
    return ByteString(std::move(out));
  }

  Cipher cipher_;
  quillon::detail::Gf128 hashKey_;
};

/// OpenSSL's ChaCha20-Poly1305 that takes the nonce lengths AcceptsNonce
/// allows, and uses their first 12 bytes.
template <bool (*AcceptsNonce)(std::size_t)>
class ChaChaWithNonces {
 public:
  using Inner = quillon::openssl::ChaCha20Poly1305;

  static int keyLength() { return Inner::keyLength(); }
  static std::optional<ChaChaWithNonces> buildKey(ByteView bytes) {
    std::optional<Inner> inner = Inner::buildKey(bytes);
    if (!inner) return std::nullopt;
    return ChaChaWithNonces(std::move(*inner));
  }
  static bool acceptsNonceLength(std::size_t bytes) { return AcceptsNonce(bytes); }
  static bool acceptsTagLength(std::size_t bytes) { return Inner::acceptsTagLength(bytes); }

  [[nodiscard]] std::optional<ByteString> seal(ByteView nonce, ByteView aad, ByteView plaintext,
                                               std::size_t tagBytes) const {
    if (!AcceptsNonce(nonce.size()) || nonce.size() < 12) return std::nullopt;
    return inner_.seal(nonce.first(12), aad, plaintext, tagBytes);
  }
  [[nodiscard]] std::optional<ByteString> open(ByteView nonce, ByteView aad, ByteView input,
                                               std::size_t tagBytes) const {
    if (!AcceptsNonce(nonce.size()) || nonce.size() < 12) return std::nullopt;
    return inner_.open(nonce.first(12), aad, input, tagBytes);
  }

 private:
  explicit ChaChaWithNonces(Inner inner) : inner_(std::move(inner)) {}
  Inner inner_;
};

inline bool twelveOrSixteenBytes(std::size_t bytes) { return bytes == 12 || bytes == 16; }
inline bool noLength(std::size_t /*bytes*/) { return false; }

/// A 16-byte nonce taken and cut to 12.
using ChaChaCuts16ByteNonce = ChaChaWithNonces<&twelveOrSixteenBytes>;
/// Says no to every nonce: nothing to test.
using AcceptsNoNonce = ChaChaWithNonces<&noLength>;

}  // namespace faulty_aeads
