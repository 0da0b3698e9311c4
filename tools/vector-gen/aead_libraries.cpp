#include "aead_libraries.hpp"

#include "library_support.hpp"

#include <botan/aead.h>
#include <botan/exceptn.h>
#include <gcrypt.h>
#include <nettle/ccm.h>
#include <nettle/chacha-poly1305.h>
#include <nettle/gcm.h>
#include <nettle/memops.h>
#include <openssl/evp.h>

#include <stdexcept>

namespace vector_gen {

namespace {

constexpr std::size_t fullTag = 16;

struct Sealed {
  Bytes ciphertext;
  Bytes tag;
};

Bytes joined(const Sealed& sealed) { return concat(sealed.ciphertext, sealed.tag); }

// The text part and the tag of `ciphertextAndTag`.
Sealed split(const Bytes& ciphertextAndTag, std::size_t tagBytes) {
  if (ciphertextAndTag.size() < tagBytes) throw std::invalid_argument("input shorter than its tag");
  const auto middle = ciphertextAndTag.end() - static_cast<std::ptrdiff_t>(tagBytes);
  return {Bytes(ciphertextAndTag.begin(), middle), Bytes(middle, ciphertextAndTag.end())};
}

// ---- OpenSSL ----

std::string openSslName(AeadKind kind, const Bytes& key) {
  switch (kind) {
    case AeadKind::aesGcm: return "AES-" + aesBits(key) + "-GCM";
    case AeadKind::aesCcm: return "AES-" + aesBits(key) + "-CCM";
    case AeadKind::chacha20Poly1305: return "ChaCha20-Poly1305";
  }
  throw std::logic_error("unknown AEAD");
}

// The context keyed for one message, or nothing when OpenSSL refuses the
// nonce, the tag length or (CCM) the message length. A decrypting context
// gets the tag.
EvpContext openSslAeadContext(AeadKind kind, bool encrypt, const Bytes& key, const Bytes& nonce,
                              std::size_t textBytes, const Bytes& tag, std::size_t tagBytes) {
  const std::string name = openSslName(kind, key);
  const EVP_CIPHER* cipher = EVP_get_cipherbyname(name.c_str());
  if (cipher == nullptr) throw std::runtime_error("OpenSSL has no " + name);
  EvpContext context(EVP_CIPHER_CTX_new());
  if (!context || EVP_CipherInit_ex(context.get(), cipher, nullptr, nullptr, nullptr, encrypt ? 1 : 0) != 1) {
    throw std::runtime_error("OpenSSL " + name + " set-up failed");
  }
  int length = 0;
  const bool ccm = kind == AeadKind::aesCcm;
  const bool refused =
      EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_AEAD_SET_IVLEN, static_cast<int>(nonce.size()), nullptr) != 1 ||
      ((ccm || !encrypt) &&
       EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_AEAD_SET_TAG, static_cast<int>(tagBytes),
                           encrypt ? nullptr : const_cast<std::uint8_t*>(tag.data())) != 1) ||
      EVP_CipherInit_ex(context.get(), nullptr, nullptr, key.data(), nonce.data(), encrypt ? 1 : 0) != 1 ||
      (ccm && EVP_CipherUpdate(context.get(), nullptr, &length, nullptr, static_cast<int>(textBytes)) != 1);
  if (refused) return nullptr;
  return context;
}

void openSslAad(EVP_CIPHER_CTX* context, const Bytes& aad) {
  int length = 0;
  if (!aad.empty() &&
      EVP_CipherUpdate(context, nullptr, &length, aad.data(), static_cast<int>(aad.size())) != 1) {
    throw std::runtime_error("OpenSSL AEAD: the associated data was refused");
  }
}

std::optional<Bytes> openSslSeal(AeadKind kind, const Bytes& key, const Bytes& nonce, const Bytes& aad,
                                 const Bytes& plaintext, std::size_t tagBytes) {
  const EvpContext context = openSslAeadContext(kind, true, key, nonce, plaintext.size(), {}, tagBytes);
  if (!context) return std::nullopt;
  openSslAad(context.get(), aad);
  Bytes out(plaintext.size() + fullTag);
  int written = 0;
  int finalWritten = 0;
  // Always one text call, also for no text: CCM computes its tag there.
  // OpenSSL's CCM accepts a length its length field cannot hold and
  // refuses the text call instead.
  if (EVP_CipherUpdate(context.get(), out.data(), &written, dataOf(plaintext), static_cast<int>(plaintext.size())) != 1 ||
      EVP_CipherFinal_ex(context.get(), out.data() + written, &finalWritten) != 1) {
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(written + finalWritten));
  Bytes tag(tagBytes);
  if (EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_AEAD_GET_TAG, static_cast<int>(tagBytes), tag.data()) != 1) {
    return std::nullopt;
  }
  return concat(out, tag);
}

std::optional<Bytes> openSslOpen(AeadKind kind, const Bytes& key, const Bytes& nonce, const Bytes& aad,
                                 const Bytes& ciphertextAndTag, std::size_t tagBytes) {
  const Sealed input = split(ciphertextAndTag, tagBytes);
  const EvpContext context =
      openSslAeadContext(kind, false, key, nonce, input.ciphertext.size(), input.tag, tagBytes);
  if (!context) return std::nullopt;
  openSslAad(context.get(), aad);
  Bytes out(input.ciphertext.size() + fullTag);
  int written = 0;
  int finalWritten = 0;
  // CCM checks the tag in its text call and has nothing to finish.
  if (EVP_CipherUpdate(context.get(), out.data(), &written, dataOf(input.ciphertext),
                       static_cast<int>(input.ciphertext.size())) != 1) {
    return std::nullopt;
  }
  if (kind != AeadKind::aesCcm && EVP_CipherFinal_ex(context.get(), out.data() + written, &finalWritten) != 1) {
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(written + finalWritten));
  return out;
}

// ---- nettle ----

// nettle asserts on lengths it cannot use, which would end the generator
// without a word; these are never passed.
void requireNettleLengths(AeadKind kind, const Bytes& nonce, std::size_t textBytes, std::size_t tagBytes) {
  bool ok = false;
  switch (kind) {
    case AeadKind::aesGcm: ok = !nonce.empty() && tagBytes <= fullTag; break;
    case AeadKind::aesCcm:
      ok = nonce.size() >= 7 && nonce.size() <= 13 && tagBytes >= 4 && tagBytes <= fullTag && tagBytes % 2 == 0 &&
           (nonce.size() < 8 || textBytes >> (8 * (15 - nonce.size())) == 0);
      break;
    case AeadKind::chacha20Poly1305: ok = nonce.size() == CHACHA_POLY1305_NONCE_SIZE && tagBytes == fullTag; break;
  }
  if (!ok) throw std::invalid_argument("lengths nettle would abort on");
}

Sealed nettleSeal(AeadKind kind, const Bytes& key, const Bytes& nonce, const Bytes& aad, const Bytes& text,
                  std::size_t tagBytes, bool encrypt) {
  requireNettleLengths(kind, nonce, text.size(), tagBytes);
  Sealed out{Bytes(text.size()), Bytes(tagBytes)};
  switch (kind) {
    case AeadKind::aesGcm: {
      const NettleAes aes(key);
      gcm_key hashKey;
      gcm_ctx context;
      gcm_set_key(&hashKey, aes.encryptKey(), aes.encryptFunction());
      gcm_set_iv(&context, &hashKey, nonce.size(), nonce.data());
      gcm_update(&context, &hashKey, aad.size(), dataOf(aad));
      (encrypt ? gcm_encrypt : gcm_decrypt)(&context, &hashKey, aes.encryptKey(), aes.encryptFunction(),
                                            text.size(), out.ciphertext.data(), dataOf(text));
      gcm_digest(&context, &hashKey, aes.encryptKey(), aes.encryptFunction(), tagBytes, out.tag.data());
      break;
    }
    case AeadKind::aesCcm: {
      const NettleAes aes(key);
      ccm_ctx context;
      ccm_set_nonce(&context, aes.encryptKey(), aes.encryptFunction(), nonce.size(), nonce.data(), aad.size(),
                    text.size(), tagBytes);
      ccm_update(&context, aes.encryptKey(), aes.encryptFunction(), aad.size(), dataOf(aad));
      (encrypt ? ccm_encrypt : ccm_decrypt)(&context, aes.encryptKey(), aes.encryptFunction(), text.size(),
                                            out.ciphertext.data(), dataOf(text));
      ccm_digest(&context, aes.encryptKey(), aes.encryptFunction(), tagBytes, out.tag.data());
      break;
    }
    case AeadKind::chacha20Poly1305: {
      if (key.size() != CHACHA_POLY1305_KEY_SIZE) throw std::invalid_argument("ChaCha20 key of wrong size");
      chacha_poly1305_ctx context;
      chacha_poly1305_set_key(&context, key.data());
      chacha_poly1305_set_nonce(&context, nonce.data());
      chacha_poly1305_update(&context, aad.size(), dataOf(aad));
      (encrypt ? chacha_poly1305_encrypt : chacha_poly1305_decrypt)(&context, text.size(), out.ciphertext.data(),
                                                                    dataOf(text));
      chacha_poly1305_digest(&context, tagBytes, out.tag.data());
      break;
    }
  }
  return out;
}

// ---- libgcrypt ----

class GcryptAead {
 public:
  GcryptAead(AeadKind kind, const Bytes& key) : kind_(kind) {
    initialiseGcryptOnce();
    const int algorithm = kind == AeadKind::chacha20Poly1305 ? GCRY_CIPHER_CHACHA20 : gcryptAes(key);
    const int mode = kind == AeadKind::aesGcm   ? GCRY_CIPHER_MODE_GCM
                     : kind == AeadKind::aesCcm ? GCRY_CIPHER_MODE_CCM
                                                : GCRY_CIPHER_MODE_POLY1305;
    gcryptCheck(gcry_cipher_open(&handle_, algorithm, mode, 0), "cipher_open");
    gcryptCheck(gcry_cipher_setkey(handle_, key.data(), key.size()), "cipher_setkey");
  }
  ~GcryptAead() { gcry_cipher_close(handle_); }
  GcryptAead(const GcryptAead&) = delete;
  GcryptAead& operator=(const GcryptAead&) = delete;

  // False when libgcrypt refuses the nonce or (CCM) the lengths.
  bool start(const Bytes& nonce, const Bytes& aad, std::size_t textBytes, std::size_t tagBytes) {
    if (gcry_cipher_setiv(handle_, nonce.data(), nonce.size()) != 0) return false;
    if (kind_ == AeadKind::aesCcm) {
      std::uint64_t lengths[3] = {textBytes, aad.size(), tagBytes};
      if (gcry_cipher_ctl(handle_, GCRYCTL_SET_CCM_LENGTHS, lengths, sizeof lengths) != 0) return false;
    }
    gcryptCheck(gcry_cipher_authenticate(handle_, dataOf(aad), aad.size()), "cipher_authenticate");
    return true;
  }
  Bytes crypt(const Bytes& text, bool encrypt) {
    Bytes out(text.size() + 1);  // never empty: libgcrypt wants a buffer also for no text
    gcryptCheck(encrypt ? gcry_cipher_encrypt(handle_, out.data(), text.size(), dataOf(text), text.size())
                        : gcry_cipher_decrypt(handle_, out.data(), text.size(), dataOf(text), text.size()),
                "cipher_encrypt");
    out.pop_back();
    return out;
  }
  // GCM hands out the whole tag only; shorter ones are its prefix.
  Bytes tag(std::size_t tagBytes) {
    Bytes tag(kind_ == AeadKind::aesCcm ? tagBytes : fullTag);
    gcryptCheck(gcry_cipher_gettag(handle_, tag.data(), tag.size()), "cipher_gettag");
    return prefix(tag, tagBytes);
  }
  bool tagMatches(const Bytes& tag) { return gcry_cipher_checktag(handle_, tag.data(), tag.size()) == 0; }

 private:
  AeadKind kind_;
  gcry_cipher_hd_t handle_ = nullptr;
};

// ---- Botan ----

std::string botanName(AeadKind kind, const Bytes& key, const Bytes& nonce, std::size_t tagBytes) {
  switch (kind) {
    case AeadKind::aesGcm: return "AES-" + aesBits(key) + "/GCM(" + std::to_string(tagBytes) + ")";
    case AeadKind::aesCcm:
      return "AES-" + aesBits(key) + "/CCM(" + std::to_string(tagBytes) + "," + std::to_string(15 - nonce.size()) + ")";
    case AeadKind::chacha20Poly1305: return "ChaCha20Poly1305";
  }
  throw std::logic_error("unknown AEAD");
}

// Botan throws for lengths it refuses and for a tag that does not match.
std::optional<Bytes> botanRun(AeadKind kind, bool encrypt, const Bytes& key, const Bytes& nonce, const Bytes& aad,
                              const Bytes& input, std::size_t tagBytes) {
  try {
    const std::unique_ptr<Botan::AEAD_Mode> mode = Botan::AEAD_Mode::create_or_throw(
        botanName(kind, key, nonce, tagBytes), encrypt ? Botan::ENCRYPTION : Botan::DECRYPTION);
    mode->set_key(key.data(), key.size());
    mode->set_associated_data(aad.data(), aad.size());
    mode->start(nonce.data(), nonce.size());
    Botan::secure_vector<std::uint8_t> buffer(input.begin(), input.end());
    mode->finish(buffer);
    return Bytes(buffer.begin(), buffer.end());
  } catch (const Botan::Invalid_Authentication_Tag&) {
    return std::nullopt;
  } catch (const Botan::Invalid_Argument&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<Bytes> aeadSeal(Library library, AeadKind kind, const Bytes& key, const Bytes& nonce,
                              const Bytes& aad, const Bytes& plaintext, std::size_t tagBytes) {
  switch (library) {
    case Library::openssl: return openSslSeal(kind, key, nonce, aad, plaintext, tagBytes);
    case Library::nettle:
      if (kind == AeadKind::aesCcm && nonce.size() >= 8 && plaintext.size() >> (8 * (15 - nonce.size())) != 0) {
        return std::nullopt;  // checked here: nettle itself would abort
      }
      return joined(nettleSeal(kind, key, nonce, aad, plaintext, tagBytes, true));
    case Library::gcrypt: {
      GcryptAead aead(kind, key);
      if (!aead.start(nonce, aad, plaintext.size(), tagBytes)) return std::nullopt;
      const Bytes ciphertext = aead.crypt(plaintext, true);
      return concat(ciphertext, aead.tag(tagBytes));
    }
    case Library::botan: return botanRun(kind, true, key, nonce, aad, plaintext, tagBytes);
  }
  throw std::logic_error("unknown library");
}

std::optional<Bytes> aeadOpen(Library library, AeadKind kind, const Bytes& key, const Bytes& nonce,
                              const Bytes& aad, const Bytes& ciphertextAndTag, std::size_t tagBytes) {
  switch (library) {
    case Library::openssl: return openSslOpen(kind, key, nonce, aad, ciphertextAndTag, tagBytes);
    case Library::nettle: {
      const Sealed input = split(ciphertextAndTag, tagBytes);
      if (kind == AeadKind::aesCcm && nonce.size() >= 8 && input.ciphertext.size() >> (8 * (15 - nonce.size())) != 0) {
        return std::nullopt;  // checked here: nettle itself would abort
      }
      const Sealed opened = nettleSeal(kind, key, nonce, aad, input.ciphertext, tagBytes, false);
      if (!memeql_sec(opened.tag.data(), input.tag.data(), tagBytes)) return std::nullopt;
      return opened.ciphertext;
    }
    case Library::gcrypt: {
      const Sealed input = split(ciphertextAndTag, tagBytes);
      GcryptAead aead(kind, key);
      if (!aead.start(nonce, aad, input.ciphertext.size(), tagBytes)) return std::nullopt;
      Bytes plaintext = aead.crypt(input.ciphertext, false);
      if (!aead.tagMatches(input.tag)) return std::nullopt;
      return plaintext;
    }
    case Library::botan: return botanRun(kind, false, key, nonce, aad, ciphertextAndTag, tagBytes);
  }
  throw std::logic_error("unknown library");
}

Bytes nettleCcmWithWrappedLength(const Bytes& key, const Bytes& nonce, const Bytes& aad, const Bytes& plaintext,
                                 std::size_t tagBytes) {
  requireNettleLengths(AeadKind::aesCcm, nonce, 0, tagBytes);
  const std::size_t lengthBits = 8 * (15 - nonce.size());
  const std::size_t declared = lengthBits >= 64 ? plaintext.size() : plaintext.size() & ((std::size_t{1} << lengthBits) - 1);
  // nettle's streaming functions take the length once, for the first block,
  // and never compare it with the text that follows.
  const NettleAes aes(key);
  ccm_ctx context;
  ccm_set_nonce(&context, aes.encryptKey(), aes.encryptFunction(), nonce.size(), nonce.data(), aad.size(), declared,
                tagBytes);
  ccm_update(&context, aes.encryptKey(), aes.encryptFunction(), aad.size(), dataOf(aad));
  Bytes out(plaintext.size() + tagBytes);
  ccm_encrypt(&context, aes.encryptKey(), aes.encryptFunction(), plaintext.size(), out.data(), dataOf(plaintext));
  ccm_digest(&context, aes.encryptKey(), aes.encryptFunction(), tagBytes, out.data() + plaintext.size());
  return out;
}

}  // namespace vector_gen
