#include <primitives/botan/aead.hpp>

#include <botan/aead.h>
#include <botan/exceptn.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <quillon/detail/aead_front.hpp>

namespace quillon::botan::detail {

namespace {

std::string modeName(BotanAead algorithm, std::size_t keyBytes, std::size_t nonceBytes, std::size_t tagBytes) {
  const std::string aes = "AES-" + std::to_string(keyBytes * 8);
  const std::string gcm = "/GCM(" + std::to_string(tagBytes) + ")";
  const std::string ccm = "/CCM(" + std::to_string(tagBytes) + "," + std::to_string(15 - nonceBytes) + ")";
  switch (algorithm) {
    case BotanAead::aesGcm: return aes + gcm;
    case BotanAead::aesCcm: return aes + ccm;
    case BotanAead::twofishGcm: return "Twofish" + gcm;
    case BotanAead::twofishCcm: return "Twofish" + ccm;
    case BotanAead::chacha20Poly1305: return "ChaCha20Poly1305";
  }
  return "?";
}

/// Runs one message through a keyed Botan AEAD mode: the AAD in one call,
/// the text through update in pieces of Botan's granularity, the last piece
/// with `finalBytes` (the tag, when opening) through finish. Throws what
/// Botan throws, Invalid_Authentication_Tag included. The output is in
/// Botan's secure_vector, wiped when freed: text that update released
/// before finish refused the tag is gone with it.
Botan::secure_vector<std::uint8_t> run(BotanAead algorithm, Botan::Cipher_Dir direction, ByteView key, ByteView nonce,
                      bindings::AeadChunks aad, bindings::AeadChunks text, std::size_t tagBytes, ByteView finalBytes) {
  const auto mode =
      Botan::AEAD_Mode::create_or_throw(modeName(algorithm, key.size(), nonce.size(), tagBytes), direction);
  mode->set_key(key.data(), key.size());
  const std::vector<Byte> joinedAad = bindings::joinChunks(aad);
  mode->set_associated_data(joinedAad.data(), joinedAad.size());
  mode->start(nonce.data(), nonce.size());

  Botan::secure_vector<std::uint8_t> out;
  out.reserve(quillon::detail::totalSize(text) + tagBytes);
  Botan::secure_vector<std::uint8_t> buffer;
  bool holding = false;  // whether `buffer` holds a piece not yet handed over
  quillon::detail::forEachWholePiece(text, mode->update_granularity(), [&](ByteView piece) {
    if (holding) {
      mode->update(buffer);
      out.insert(out.end(), buffer.begin(), buffer.end());
    }
    buffer.assign(piece.begin(), piece.end());
    holding = true;
  });
  if (!holding) buffer.clear();
  buffer.insert(buffer.end(), finalBytes.begin(), finalBytes.end());
  mode->finish(buffer);
  out.insert(out.end(), buffer.begin(), buffer.end());
  return out;
}

}  // namespace

std::optional<ByteString> botanSeal(BotanAead algorithm, ByteView key, ByteView nonce, bindings::AeadChunks aad,
                                    bindings::AeadChunks plaintext, std::size_t tagBytes) {
  const auto sealed = run(algorithm, Botan::ENCRYPTION, key, nonce, aad, plaintext, tagBytes, {});
  return ByteString(sealed.begin(), sealed.end());
}

std::optional<ByteString> botanOpen(BotanAead algorithm, ByteView key, ByteView nonce, bindings::AeadChunks aad,
                                    bindings::AeadChunks ciphertext, ByteView tag) {
  try {
    const auto opened = run(algorithm, Botan::DECRYPTION, key, nonce, aad, ciphertext, tag.size(), tag);
    return ByteString(opened.begin(), opened.end());
  } catch (const Botan::Invalid_Authentication_Tag&) {
    return std::nullopt;
  }
}

}  // namespace quillon::botan::detail
