#pragma once
// AEADs with one planted fault each, for the known-answer suites to catch:
// GCM and CCM written out over OpenSSL's AES-128 from the generic
// construction's pieces with one step changed, and wrappers that change how
// another AEAD treats nonces or checks tags. Strict members only; the
// wrappers have none of the optional length members either, so the suites
// run without them too.
//
// GCM, CCM and ChaCha20-Poly1305 XOR a keystream onto the text, so each type
// opens by sealing: the text is the ciphertext XOR what sealing a zero text
// gives, and the tag must be what sealing that text gives.

#include <algorithm>
#include <cstddef>
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
using Aes = quillon::openssl::AES128;

enum class TagCheck { whole, firstByteOnly, none };

/// What `key` opens `sealed` to, found by sealing; a tag compared as
/// `check` says (none: the text is released whatever the tag).
template <class K>
std::optional<ByteString> openBySealing(const K& key, ByteView nonce, ByteView aad, ByteView sealed,
                                        std::size_t tagBytes, TagCheck check = TagCheck::whole) {
  if (sealed.size() < tagBytes) return std::nullopt;
  const ByteView ciphertext = sealed.first(sealed.size() - tagBytes), tag = sealed.last(tagBytes);
  const std::optional<ByteString> keystream = key.seal(nonce, aad, ByteString(ciphertext.size(), 0), tagBytes);
  if (!keystream) return std::nullopt;
  std::vector<Byte> text(ciphertext.size());
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<Byte>(ciphertext[i] ^ (*keystream)[i]);
  const std::optional<ByteString> resealed = key.seal(nonce, aad, ByteView(text), tagBytes);
  if (!resealed) return std::nullopt;
  const ByteView right = resealed->view().last(tagBytes);
  const std::size_t compared = check == TagCheck::whole ? tagBytes : check == TagCheck::none ? 0 : 1;
  if (!std::equal(tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(std::min(compared, tagBytes)),
                  right.begin()))
    return std::nullopt;
  return ByteString(std::move(text));
}

/// An AEAD over OpenSSL's AES-128 with the lengths of `Lengths`, whose
/// Derived gives `ByteString sealAccepted(nonce, aad, plaintext, tagBytes)`.
template <class Derived, class Lengths>
class OverAes : public Lengths {
 public:
  static int keyLength() { return 128; }
  static std::optional<Derived> buildKey(ByteView bytes) {
    std::optional<Aes> key = Aes::buildKey(bytes);
    if (!key) return std::nullopt;
    return Derived(*key);
  }
  [[nodiscard]] std::optional<ByteString> seal(ByteView nonce, ByteView aad, ByteView plaintext,
                                               std::size_t tagBytes) const {
    if (!Lengths::acceptsNonceLength(nonce.size()) || !Lengths::acceptsTagLength(tagBytes) ||
        !Lengths::acceptsTextLength(nonce.size(), plaintext.size()))
      return std::nullopt;
    return static_cast<const Derived&>(*this).sealAccepted(nonce, aad, plaintext, tagBytes);
  }
  [[nodiscard]] std::optional<ByteString> open(ByteView nonce, ByteView aad, ByteView sealed,
                                               std::size_t tagBytes) const {
    return openBySealing(*this, nonce, aad, sealed, tagBytes);
  }

 protected:
  explicit OverAes(const Aes& key) : key_(key) {}
  Aes key_;
};

/// GCM whose counter carries over all 128 bits instead of wrapping in the
/// low 32.
class GcmCounter128 : public OverAes<GcmCounter128, quillon::detail::GcmLengths> {
 public:
  explicit GcmCounter128(const Aes& key) : OverAes(key) {}
  [[nodiscard]] ByteString sealAccepted(ByteView nonce, ByteView aad, ByteView plaintext, std::size_t tagBytes) const {
    namespace d = quillon::detail;
    const d::Gf128 hashKey = d::gcmHashKey(key_);
    const AeadBlock j0 = d::gcmPreCounterBlock(hashKey, nonce);
    AeadBlock counter = j0;
    d::incrementLowBytes(counter, 16);
    std::vector<Byte> out(plaintext.size());
    const ByteView text[] = {plaintext}, aadChunks[] = {aad};
    d::counterModeCrypt(key_, counter, 16, text, out.data());
    const ByteView ciphertext[] = {ByteView(out)};
    const AeadBlock tag = d::GcmKey<Aes>{key_, hashKey}.tag(j0, aadChunks, ciphertext);
    out.insert(out.end(), tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(tagBytes));
    return ByteString(std::move(out));
  }
};

/// CCM that writes an AAD length of 0xFF00 to 0xFFFF in the 2-byte form,
/// which holds only lengths below 0xFF00 (the tag as quillon::detail::ccmTag
/// computes it, the length field changed).
class CcmShortAadLength : public OverAes<CcmShortAadLength, quillon::detail::CcmLengths> {
 public:
  explicit CcmShortAadLength(const Aes& key) : OverAes(key) {}
  [[nodiscard]] ByteString sealAccepted(ByteView nonce, ByteView aad, ByteView plaintext, std::size_t tagBytes) const {
    namespace d = quillon::detail;
    AeadBlock b0 = d::ccmCounterBlock(nonce, plaintext.size());
    b0[0] = static_cast<Byte>((aad.empty() ? 0 : 0x40) | ((tagBytes - 2) / 2) << 3 | (14 - nonce.size()));
    d::CbcMac<Aes> mac(key_);
    mac.absorbPadded(ByteView(b0));
    if (!aad.empty()) {
      std::vector<Byte> formatted = d::ccmAadLengthField(aad.size());
      if (aad.size() <= 0xFFFF) formatted = {static_cast<Byte>(aad.size() >> 8), static_cast<Byte>(aad.size())};
      formatted.insert(formatted.end(), aad.begin(), aad.end());
      mac.absorbPadded(ByteView(formatted));
    }
    mac.absorbPadded(plaintext);
    const AeadBlock mask = d::encryptOneBlock(key_, d::ccmCounterBlock(nonce, 0));
    std::vector<Byte> out(plaintext.size());
    const ByteView text[] = {plaintext};
    d::counterModeCrypt(key_, d::ccmCounterBlock(nonce, 1), 15 - nonce.size(), text, out.data());
    for (std::size_t i = 0; i < tagBytes; ++i) out.push_back(static_cast<Byte>(mac.value()[i] ^ mask[i]));
    return ByteString(std::move(out));
  }
};

enum class Fault {
  nonceCutTo12,   // a nonce of any other length cut or zero-padded to 12 bytes
  firstTagByte,   // open compares the first byte of the tag only
  textOnBadTag,   // open hands out the text when the tag is wrong
};

/// `A` with `F`: its seal, and an open found by sealing.
template <class A, Fault F>
class Faulty {
 public:
  static int keyLength() { return A::keyLength(); }
  static std::optional<Faulty> buildKey(ByteView bytes) {
    std::optional<A> inner = A::buildKey(bytes);
    if (!inner) return std::nullopt;
    return Faulty(std::move(*inner));
  }
  static bool acceptsNonceLength(std::size_t bytes) { return A::acceptsNonceLength(bytes); }
  static bool acceptsTagLength(std::size_t bytes) { return A::acceptsTagLength(bytes); }

  [[nodiscard]] std::optional<ByteString> seal(ByteView nonce, ByteView aad, ByteView plaintext,
                                               std::size_t tagBytes) const {
    if (F != Fault::nonceCutTo12 || nonce.size() == 12) return inner_.seal(nonce, aad, plaintext, tagBytes);
    std::vector<Byte> cut(12, 0);
    std::copy_n(nonce.begin(), std::min<std::size_t>(nonce.size(), 12), cut.begin());
    return inner_.seal(ByteView(cut), aad, plaintext, tagBytes);
  }
  [[nodiscard]] std::optional<ByteString> open(ByteView nonce, ByteView aad, ByteView sealed,
                                               std::size_t tagBytes) const {
    const TagCheck check = F == Fault::firstTagByte   ? TagCheck::firstByteOnly
                           : F == Fault::textOnBadTag ? TagCheck::none
                                                      : TagCheck::whole;
    return openBySealing(*this, nonce, aad, sealed, tagBytes, check);
  }

 private:
  explicit Faulty(A inner) : inner_(std::move(inner)) {}
  A inner_;
};

static_assert(quillon::Aead<GcmCounter128> && quillon::Aead<CcmShortAadLength> &&
              quillon::Aead<Faulty<quillon::openssl::AES128CCM, Fault::textOnBadTag>>);

}  // namespace faulty_kat
