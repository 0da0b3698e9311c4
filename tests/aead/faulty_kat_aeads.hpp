#pragma once
// AEADs with one planted fault each, for the known-answer suites to catch:
// GCM and CCM written out over OpenSSL's AES-128 from the generic
// construction's pieces, one step changed, and wrappers that weaken the
// tag check of any AEAD. Strict members only.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <primitives/openssl/aes.hpp>
#include <quillon/aead.hpp>
#include <quillon/ccm.hpp>
#include <quillon/gcm.hpp>

namespace faulty_kat {

using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;
using quillon::detail::AeadBlock;
using quillon::detail::AeadChunks;
using Aes = quillon::openssl::AES128;

enum class GcmFault {
  counter128,   // the counter carries over all 128 bits, not only the low 32
  ivCutTo12,    // an IV of any other length is cut or zero-padded to 12 bytes
};

/// AES-128-GCM with `Fault`; right wherever the fault does not show.
template <GcmFault Fault>
class FaultyGcm : public quillon::detail::AeadFront<FaultyGcm<Fault>, false>, public quillon::detail::GcmLengths {
 public:
  static int keyLength() { return 128; }
  static std::optional<FaultyGcm> buildKey(ByteView bytes) {
    std::optional<Aes> key = Aes::buildKey(bytes);
    if (!key) return std::nullopt;
    return FaultyGcm(*key);
  }

 private:
  friend quillon::detail::AeadFront<FaultyGcm, false>;

  explicit FaultyGcm(const Aes& key) : key_(key), hashKey_(quillon::detail::gcmHashKey(key_)) {}

  [[nodiscard]] quillon::detail::GcmKey<Aes> gcm() const { return {key_, hashKey_}; }

  [[nodiscard]] AeadBlock preCounterBlock(ByteView nonce) const {
    if (Fault != GcmFault::ivCutTo12 || nonce.size() == 12)
      return quillon::detail::gcmPreCounterBlock(hashKey_, nonce);
    AeadBlock j0{};
    std::copy_n(nonce.begin(), std::min<std::size_t>(nonce.size(), 12), j0.begin());
    j0[15] = 1;
    return j0;
  }
  void crypt(const AeadBlock& j0, AeadChunks text, Byte* out) const {
    const std::size_t width = Fault == GcmFault::counter128 ? 16 : 4;
    AeadBlock counter = j0;
    quillon::detail::incrementLowBytes(counter, width);
    quillon::detail::counterModeCrypt(key_, counter, width, text, out);
  }

  std::optional<ByteString> sealAccepted(ByteView nonce, AeadChunks aad, AeadChunks text,
                                         std::size_t tagBytes) const {
    const AeadBlock j0 = preCounterBlock(nonce);
    std::vector<Byte> out(quillon::detail::totalSize(text));
    crypt(j0, text, out.data());
    const ByteView ciphertext[] = {ByteView(out)};
    const AeadBlock tag = gcm().tag(j0, aad, ciphertext);
    out.insert(out.end(), tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(tagBytes));
    return ByteString(std::move(out));
  }
  std::optional<ByteString> openAccepted(ByteView nonce, AeadChunks aad, AeadChunks text, ByteView tag) const {
    const AeadBlock j0 = preCounterBlock(nonce);
    const AeadBlock expected = gcm().tag(j0, aad, text);
    if (!std::equal(tag.begin(), tag.end(), expected.begin())) return std::nullopt;
    std::vector<Byte> out(quillon::detail::totalSize(text));
    crypt(j0, text, out.data());
    return ByteString(std::move(out));
  }

  Aes key_;
  quillon::detail::Gf128 hashKey_;
};

/// AES-128-CCM that writes an AAD length of 0xFF00 to 0xFFFF in the 2-byte
/// form, which holds only lengths below 0xFF00.
class CcmShortAadLength : public quillon::detail::AeadFront<CcmShortAadLength, false>,
                          public quillon::detail::CcmLengths {
 public:
  static int keyLength() { return 128; }
  static std::optional<CcmShortAadLength> buildKey(ByteView bytes) {
    std::optional<Aes> key = Aes::buildKey(bytes);
    if (!key) return std::nullopt;
    return CcmShortAadLength(*key);
  }

 private:
  friend quillon::detail::AeadFront<CcmShortAadLength, false>;

  explicit CcmShortAadLength(const Aes& key) : key_(key) {}

  // SP 800-38C's tag, as quillon::detail::ccmTag computes it, with the
  // length field changed.
  [[nodiscard]] std::vector<Byte> tag(ByteView nonce, AeadChunks aad, ByteView plaintext,
                                      std::size_t tagBytes) const {
    const std::size_t aadBytes = quillon::detail::totalSize(aad);
    AeadBlock b0 = quillon::detail::ccmCounterBlock(nonce, plaintext.size());
    b0[0] = static_cast<Byte>((aadBytes > 0 ? 0x40 : 0) | ((tagBytes - 2) / 2) << 3 | (14 - nonce.size()));
    quillon::detail::CbcMac<Aes> mac(key_);
    mac.absorbPadded(ByteView(b0));
    if (aadBytes > 0) {
      std::vector<Byte> formatted = quillon::detail::ccmAadLengthField(aadBytes);
      if (aadBytes <= 0xFFFF) formatted = {static_cast<Byte>(aadBytes >> 8), static_cast<Byte>(aadBytes)};
      const std::vector<Byte> joined = quillon::detail::joinChunks(aad);
      formatted.insert(formatted.end(), joined.begin(), joined.end());
      mac.absorbPadded(ByteView(formatted));
    }
    mac.absorbPadded(plaintext);
    const AeadBlock mask = quillon::detail::encryptOneBlock(key_, quillon::detail::ccmCounterBlock(nonce, 0));
    std::vector<Byte> out(tagBytes);
    for (std::size_t i = 0; i < tagBytes; ++i) out[i] = static_cast<Byte>(mac.value()[i] ^ mask[i]);
    return out;
  }
  [[nodiscard]] std::vector<Byte> crypt(ByteView nonce, AeadChunks text) const {
    std::vector<Byte> out(quillon::detail::totalSize(text));
    quillon::detail::counterModeCrypt(key_, quillon::detail::ccmCounterBlock(nonce, 1), 15 - nonce.size(), text,
                                      out.data());
    return out;
  }

  std::optional<ByteString> sealAccepted(ByteView nonce, AeadChunks aad, AeadChunks text,
                                         std::size_t tagBytes) const {
    std::vector<Byte> out = crypt(nonce, text);
    const std::vector<Byte> plaintext = quillon::detail::joinChunks(text);
    const std::vector<Byte> mac = tag(nonce, aad, ByteView(plaintext), tagBytes);
    out.insert(out.end(), mac.begin(), mac.end());
    return ByteString(std::move(out));
  }
  std::optional<ByteString> openAccepted(ByteView nonce, AeadChunks aad, AeadChunks text, ByteView tagIn) const {
    const std::vector<Byte> plaintext = crypt(nonce, text);
    const std::vector<Byte> mac = tag(nonce, aad, ByteView(plaintext), tagIn.size());
    if (!std::equal(tagIn.begin(), tagIn.end(), mac.begin(), mac.end())) return std::nullopt;
    return ByteString(plaintext);
  }

  Aes key_;
};

enum class TagFault {
  firstByteOnly,     // open compares the first byte of the tag only
  textOnBadTag,      // open hands out the decrypted text when the tag is wrong
};

/// `A` (GCM, CCM or ChaCha20-Poly1305: a keystream XORed onto the text) with
/// its open replaced: the text is decrypted with the keystream A seals a
/// zero text with, and its tag is A's seal of that text.
template <class A, TagFault Fault>
class WeakTagCheck {
 public:
  static int keyLength() { return A::keyLength(); }
  static std::optional<WeakTagCheck> buildKey(ByteView bytes) {
    std::optional<A> inner = A::buildKey(bytes);
    if (!inner) return std::nullopt;
    return WeakTagCheck(std::move(*inner));
  }
  static bool acceptsNonceLength(std::size_t bytes) { return A::acceptsNonceLength(bytes); }
  static bool acceptsTagLength(std::size_t bytes) { return A::acceptsTagLength(bytes); }
  static bool acceptsAadLength(std::size_t bytes) { return A::acceptsAadLength(bytes); }
  static bool acceptsTextLength(std::size_t nonceBytes, std::size_t bytes) {
    return A::acceptsTextLength(nonceBytes, bytes);
  }

  [[nodiscard]] std::optional<ByteString> seal(ByteView nonce, ByteView aad, ByteView plaintext,
                                               std::size_t tagBytes) const {
    return inner_.seal(nonce, aad, plaintext, tagBytes);
  }
  [[nodiscard]] std::optional<ByteString> open(ByteView nonce, ByteView aad, ByteView sealed,
                                               std::size_t tagBytes) const {
    if (sealed.size() < tagBytes) return std::nullopt;
    const ByteView ciphertext = sealed.first(sealed.size() - tagBytes), tag = sealed.last(tagBytes);
    const std::optional<ByteString> keystream =
        inner_.seal(nonce, aad, ByteString(ciphertext.size(), Byte{0}), tagBytes);
    if (!keystream) return std::nullopt;
    std::vector<Byte> plaintext(ciphertext.size());
    for (std::size_t i = 0; i < plaintext.size(); ++i) plaintext[i] = static_cast<Byte>(ciphertext[i] ^ (*keystream)[i]);
    const std::optional<ByteString> resealed = inner_.seal(nonce, aad, ByteView(plaintext), tagBytes);
    const bool tagMatches = resealed && (Fault == TagFault::textOnBadTag ||
                                         tagBytes == 0 || (*resealed)[plaintext.size()] == tag[0]);
    if (!tagMatches) return std::nullopt;
    return ByteString(std::move(plaintext));
  }

 private:
  explicit WeakTagCheck(A inner) : inner_(std::move(inner)) {}
  A inner_;
};

static_assert(quillon::Aead<FaultyGcm<GcmFault::counter128>> && quillon::Aead<CcmShortAadLength>);

}  // namespace faulty_kat
