#include "data/vector_files.hpp"

#include <quillon_tests/data_files.hpp>

#include <nettle/aes.h>
#include <nettle/cbc.h>
#include <nettle/ccm.h>
#include <nettle/cmac.h>
#include <nettle/twofish.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace vector_data {

namespace fs = std::filesystem;

std::vector<VectorFile> readVectorFiles(std::string_view directory) {
  const fs::path path =
      quillon_tests::getDataFileName("Test/" + std::string(directory));
  std::vector<VectorFile> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
    std::ifstream in(entry.path(), std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + entry.path().string());
    std::ostringstream text;
    text << in.rdbuf();
    files.push_back({entry.path().filename().string(), text.str(), {}});
  }
  std::sort(files.begin(), files.end(),
            [](const VectorFile& a, const VectorFile& b) { return a.name < b.name; });
  return files;
}

std::vector<VectorFile> loadVectorFiles(std::string_view directory,
                                        std::string_view recordStartKey) {
  std::vector<VectorFile> files = readVectorFiles(directory);
  for (VectorFile& file : files) file.categories = quillon_tests::parseCategories(recordStartKey, file.text);
  return files;
}

const std::vector<DigestVariant> digestVariants{
    {"SHA1", "KAT_SHA", false},       {"SHA224", "KAT_SHA", false},
    {"SHA256", "KAT_SHA", false},     {"SHA384", "KAT_SHA", false},
    {"SHA512", "KAT_SHA", false},     {"SHA512_224", "KAT_SHA", false},
    {"SHA512_256", "KAT_SHA", false}, {"SHA3_224", "KAT_SHA3", true},
    {"SHA3_256", "KAT_SHA3", true},   {"SHA3_384", "KAT_SHA3", true},
    {"SHA3_512", "KAT_SHA3", true}};

std::string stemOf(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  return std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
}

std::optional<std::string> findField(const std::vector<quillon_tests::KatProperty>& properties,
                                     std::string_view key) {
  for (const auto& [name, value] : properties) {
    if (name == key) return value;
  }
  return std::nullopt;
}

Bytes decodeHex(std::string_view text) {
  auto digit = [text](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw std::invalid_argument("not hex: \"" + std::string(text) + "\"");
  };
  if (text.size() % 2 != 0) throw std::invalid_argument("odd hex length: \"" + std::string(text) + "\"");
  Bytes bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(digit(text[i]) * 16 + digit(text[i + 1])));
  }
  return bytes;
}

std::string encodeHex(const Bytes& bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t byte : bytes) {
    text += digits[byte >> 4];
    text += digits[byte & 0x0f];
  }
  return text;
}

namespace {

// Never null, also for empty input.
const unsigned char* dataOf(const Bytes& bytes) {
  static const unsigned char empty = 0;
  return bytes.empty() ? &empty : bytes.data();
}

const EVP_MD* shaByName(std::string_view variant) {
  if (variant == "SHA1") return EVP_sha1();
  if (variant == "SHA224") return EVP_sha224();
  if (variant == "SHA256") return EVP_sha256();
  if (variant == "SHA384") return EVP_sha384();
  if (variant == "SHA512") return EVP_sha512();
  if (variant == "SHA512_224") return EVP_sha512_224();
  if (variant == "SHA512_256") return EVP_sha512_256();
  if (variant == "SHA3_224") return EVP_sha3_224();
  if (variant == "SHA3_256") return EVP_sha3_256();
  if (variant == "SHA3_384") return EVP_sha3_384();
  if (variant == "SHA3_512") return EVP_sha3_512();
  throw std::invalid_argument("no SHA variant " + std::string(variant));
}

const EVP_CIPHER* aesCipher(std::string_view mode, std::size_t keyBytes) {
  const int size = keyBytes == 16 ? 0 : keyBytes == 24 ? 1 : keyBytes == 32 ? 2 : -1;
  if (size < 0) throw std::invalid_argument("AES key of " + std::to_string(keyBytes) + " bytes");
  using CipherFunction = const EVP_CIPHER* (*)();
  struct Mode {
    std::string_view name;
    CipherFunction bySize[3];
  };
  static constexpr Mode modes[] = {
      {"ECB", {EVP_aes_128_ecb, EVP_aes_192_ecb, EVP_aes_256_ecb}},
      {"CBC", {EVP_aes_128_cbc, EVP_aes_192_cbc, EVP_aes_256_cbc}},
      {"CFB", {EVP_aes_128_cfb128, EVP_aes_192_cfb128, EVP_aes_256_cfb128}},
      {"OFB", {EVP_aes_128_ofb, EVP_aes_192_ofb, EVP_aes_256_ofb}},
      {"CTR", {EVP_aes_128_ctr, EVP_aes_192_ctr, EVP_aes_256_ctr}},
  };
  for (const Mode& candidate : modes) {
    if (candidate.name == mode) return candidate.bySize[size]();
  }
  throw std::invalid_argument("no AES mode " + std::string(mode));
}

void nettleEncrypt(const void* context, std::size_t length, std::uint8_t* out,
                   const std::uint8_t* in) {
  twofish_encrypt(static_cast<const twofish_ctx*>(context), length, out, in);
}

void nettleDecrypt(const void* context, std::size_t length, std::uint8_t* out,
                   const std::uint8_t* in) {
  twofish_decrypt(static_cast<const twofish_ctx*>(context), length, out, in);
}

twofish_ctx twofishKey(const Bytes& key, const Bytes& input) {
  if (key.size() != 16 && key.size() != 24 && key.size() != 32) {
    throw std::invalid_argument("TwoFish key of " + std::to_string(key.size()) + " bytes");
  }
  if (input.empty() || input.size() % TWOFISH_BLOCK_SIZE != 0) {
    throw std::invalid_argument("TwoFish input of " + std::to_string(input.size()) + " bytes");
  }
  twofish_ctx context;
  twofish_set_key(&context, key.size(), key.data());
  return context;
}

}  // namespace

Bytes shaOpenSsl(std::string_view variant, const Bytes& message) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(dataOf(message), message.size(), digest, &length, shaByName(variant),
                 nullptr) != 1) {
    throw std::runtime_error("EVP_Digest failed");
  }
  return Bytes(digest, digest + length);
}

Bytes hmacOpenSsl(std::size_t digestBytes, const Bytes& key, const Bytes& message) {
  const EVP_MD* md = nullptr;
  for (const char* variant : {"SHA1", "SHA224", "SHA256", "SHA384", "SHA512"}) {
    if (static_cast<std::size_t>(EVP_MD_get_size(shaByName(variant))) == digestBytes) {
      md = shaByName(variant);
    }
  }
  if (md == nullptr) throw std::invalid_argument("no SHA digest of " + std::to_string(digestBytes) + " bytes");
  unsigned char mac[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (HMAC(md, dataOf(key), static_cast<int>(key.size()), dataOf(message), message.size(), mac,
           &length) == nullptr) {
    throw std::runtime_error("HMAC failed");
  }
  return Bytes(mac, mac + length);
}

Bytes aesOpenSsl(std::string_view mode, bool encrypt, const Bytes& key, const Bytes& iv,
                 const Bytes& input) {
  const EVP_CIPHER* cipher = aesCipher(mode, key.size());
  if (EVP_CIPHER_get_iv_length(cipher) > 0 &&
      iv.size() != static_cast<std::size_t>(EVP_CIPHER_get_iv_length(cipher))) {
    throw std::invalid_argument("IV of " + std::to_string(iv.size()) + " bytes");
  }
  const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(
      EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  Bytes output(input.size() + EVP_MAX_BLOCK_LENGTH);
  int written = 0;
  int finalWritten = 0;
  if (!context ||
      EVP_CipherInit_ex(context.get(), cipher, nullptr, key.data(),
                        iv.empty() ? nullptr : iv.data(), encrypt ? 1 : 0) != 1 ||
      EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1 ||
      EVP_CipherUpdate(context.get(), output.data(), &written, dataOf(input),
                       static_cast<int>(input.size())) != 1 ||
      EVP_CipherFinal_ex(context.get(), output.data() + written, &finalWritten) != 1) {
    throw std::runtime_error("OpenSSL AES-" + std::string(mode) + " failed");
  }
  output.resize(static_cast<std::size_t>(written + finalWritten));
  return output;
}

Bytes twofishEcbNettle(bool encrypt, const Bytes& key, const Bytes& input) {
  const twofish_ctx context = twofishKey(key, input);
  Bytes output(input.size());
  (encrypt ? nettleEncrypt : nettleDecrypt)(&context, input.size(), output.data(), input.data());
  return output;
}

Bytes twofishCbcNettle(bool encrypt, const Bytes& key, const Bytes& iv, const Bytes& input) {
  const twofish_ctx context = twofishKey(key, input);
  if (iv.size() != TWOFISH_BLOCK_SIZE) {
    throw std::invalid_argument("TwoFish IV of " + std::to_string(iv.size()) + " bytes");
  }
  Bytes chain = iv;  // nettle advances it in place
  Bytes output(input.size());
  if (encrypt) {
    cbc_encrypt(&context, nettleEncrypt, TWOFISH_BLOCK_SIZE, chain.data(), input.size(),
                output.data(), input.data());
  } else {
    cbc_decrypt(&context, nettleDecrypt, TWOFISH_BLOCK_SIZE, chain.data(), input.size(),
                output.data(), input.data());
  }
  return output;
}

Bytes aesMonteCarloOpenSsl(std::string_view mode, bool encrypt, const Bytes& key, const Bytes& iv,
                           const Bytes& input) {
  const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(
      EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  if (!context || input.size() != 16 ||
      EVP_CipherInit_ex(context.get(), aesCipher(mode, key.size()), nullptr, key.data(),
                        mode == "ECB" ? nullptr : iv.data(), encrypt ? 1 : 0) != 1 ||
      EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1) {
    throw std::runtime_error("OpenSSL AES-" + std::string(mode) + " Monte Carlo set-up failed");
  }
  Bytes in = input, last, out(16);
  for (int j = 0; j < 1000; ++j) {
    int written = 0;
    if (EVP_CipherUpdate(context.get(), out.data(), &written, in.data(), 16) != 1 || written != 16) {
      throw std::runtime_error("OpenSSL AES-" + std::string(mode) + " failed");
    }
    in = mode == "ECB" ? out : j == 0 ? iv : last;
    last = out;
  }
  return last;
}

Bytes aesCmacOpenSsl(const Bytes& key, const Bytes& message) {
  const std::unique_ptr<EVP_MAC, decltype(&EVP_MAC_free)> mac(EVP_MAC_fetch(nullptr, "CMAC", nullptr),
                                                             EVP_MAC_free);
  const std::unique_ptr<EVP_MAC_CTX, decltype(&EVP_MAC_CTX_free)> context(
      mac ? EVP_MAC_CTX_new(mac.get()) : nullptr, EVP_MAC_CTX_free);
  std::string cipher = "AES-" + std::to_string(key.size() * 8) + "-CBC";
  const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher.data(), 0),
                               OSSL_PARAM_construct_end()};
  Bytes tag(16);
  std::size_t length = 0;
  if (!context || EVP_MAC_init(context.get(), key.data(), key.size(), params) != 1 ||
      EVP_MAC_update(context.get(), dataOf(message), message.size()) != 1 ||
      EVP_MAC_final(context.get(), tag.data(), &length, tag.size()) != 1 || length != 16) {
    throw std::runtime_error("OpenSSL CMAC with " + cipher + " failed");
  }
  return tag;
}

Bytes twofishCmacNettle(const Bytes& key, const Bytes& message) {
  if (key.size() != 16 && key.size() != 24 && key.size() != 32) {
    throw std::invalid_argument("TwoFish key of " + std::to_string(key.size()) + " bytes");
  }
  twofish_ctx cipher;
  twofish_set_key(&cipher, key.size(), key.data());
  cmac128_key subkeys;
  cmac128_ctx context;
  cmac128_set_key(&subkeys, &cipher, nettleEncrypt);
  cmac128_init(&context);
  cmac128_update(&context, &cipher, nettleEncrypt, message.size(), dataOf(message));
  Bytes tag(16);
  cmac128_digest(&context, &subkeys, &cipher, nettleEncrypt, tag.size(), tag.data());
  return tag;
}

namespace {

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// "Key = 00" as ("Key", "00"); "FAIL" as ("FAIL", "").
std::pair<std::string, std::string> keyAndValue(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {std::string(trimmed(text)), ""};
  return {std::string(trimmed(text.substr(0, equals))), std::string(trimmed(text.substr(equals + 1)))};
}

}  // namespace

std::vector<FlatRecord> flatRecords(const VectorFile& file, std::string_view recordStartKey) {
  std::map<std::string, std::string, std::less<>> globals, header, preamble;
  std::vector<FlatRecord> records;
  bool inSection = false, inRecord = false, lastWasHeader = false;
  std::size_t indexInSection = 0, lineNumber = 0;
  std::string_view text = file.text;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      if (!lastWasHeader) {
        header.clear();
        preamble.clear();
        indexInSection = 0;
      }
      std::string_view inside = line.substr(1, line.find(']') - 1);
      while (true) {
        const std::size_t comma = inside.find(',');
        auto [key, value] = keyAndValue(inside.substr(0, comma));
        header.insert_or_assign(std::move(key), std::move(value));
        if (comma == std::string_view::npos) break;
        inside.remove_prefix(comma + 1);
      }
      inSection = true;
      inRecord = false;
      lastWasHeader = true;
      continue;
    }
    lastWasHeader = false;
    auto [key, value] = keyAndValue(line);
    if (key == recordStartKey) {
      FlatRecord record{globals, lineNumber, indexInSection++};
      for (const auto* inherited : {&header, &preamble})
        for (const auto& [name, inheritedValue] : *inherited) record.fields.insert_or_assign(name, inheritedValue);
      records.push_back(std::move(record));
      inRecord = true;
    }
    (inRecord ? records.back().fields : inSection ? preamble : globals).insert_or_assign(std::move(key), std::move(value));
  }
  return records;
}

namespace {

const EVP_CIPHER* aeadCipher(Aead aead, std::size_t keyBytes) {
  if (aead == Aead::chacha20Poly1305) return EVP_chacha20_poly1305();
  const int size = keyBytes == 16 ? 0 : keyBytes == 24 ? 1 : keyBytes == 32 ? 2 : -1;
  if (size < 0) throw std::invalid_argument("AES key of " + std::to_string(keyBytes) + " bytes");
  using CipherFunction = const EVP_CIPHER* (*)();
  static constexpr CipherFunction gcm[] = {EVP_aes_128_gcm, EVP_aes_192_gcm, EVP_aes_256_gcm};
  static constexpr CipherFunction ccm[] = {EVP_aes_128_ccm, EVP_aes_192_ccm, EVP_aes_256_ccm};
  return (aead == Aead::aesGcm ? gcm : ccm)[size]();
}

// One OpenSSL AEAD call: nothing on any refusal. CCM takes the tag length
// (and, decrypting, the tag) before the key and the text length before the
// AAD, checks the tag in its one text call and has nothing to finish; the
// others check it when finishing. The text call is made also for no text.
std::optional<Bytes> openSslAead(Aead aead, bool encrypt, const Bytes& key, const Bytes& nonce, const Bytes& aad,
                                 const Bytes& input, const Bytes& tag, std::size_t tagBytes) {
  const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> owner(EVP_CIPHER_CTX_new(),
                                                                              EVP_CIPHER_CTX_free);
  EVP_CIPHER_CTX* context = owner.get();
  const bool ccm = aead == Aead::aesCcm;
  Bytes out(input.size() + 16);
  int length = 0, finalLength = 0;
  const bool ok =
      context != nullptr &&
      EVP_CipherInit_ex(context, aeadCipher(aead, key.size()), nullptr, nullptr, nullptr, encrypt) == 1 &&
      EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_AEAD_SET_IVLEN, static_cast<int>(nonce.size()), nullptr) == 1 &&
      (!(ccm || !encrypt) || EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_AEAD_SET_TAG, static_cast<int>(tagBytes),
                                                 encrypt ? nullptr : const_cast<std::uint8_t*>(dataOf(tag))) == 1) &&
      EVP_CipherInit_ex(context, nullptr, nullptr, key.data(), nonce.data(), encrypt) == 1 &&
      (!ccm || EVP_CipherUpdate(context, nullptr, &length, nullptr, static_cast<int>(input.size())) == 1) &&
      (aad.empty() || EVP_CipherUpdate(context, nullptr, &length, aad.data(), static_cast<int>(aad.size())) == 1) &&
      EVP_CipherUpdate(context, out.data(), &length, dataOf(input), static_cast<int>(input.size())) == 1 &&
      ((ccm && !encrypt) || EVP_CipherFinal_ex(context, out.data() + length, &finalLength) == 1);
  if (!ok) return std::nullopt;
  out.resize(static_cast<std::size_t>(length + finalLength));
  if (!encrypt) return out;
  Bytes computedTag(tagBytes);
  if (EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_AEAD_GET_TAG, static_cast<int>(tagBytes), computedTag.data()) != 1) {
    return std::nullopt;
  }
  out.insert(out.end(), computedTag.begin(), computedTag.end());
  return out;
}

}  // namespace

std::optional<Bytes> aeadSealOpenSsl(Aead aead, const Bytes& key, const Bytes& nonce, const Bytes& aad,
                                     const Bytes& plaintext, std::size_t tagBytes) {
  return openSslAead(aead, true, key, nonce, aad, plaintext, {}, tagBytes);
}

std::optional<Bytes> aeadOpenOpenSsl(Aead aead, const Bytes& key, const Bytes& nonce, const Bytes& aad,
                                     const Bytes& ciphertextAndTag, std::size_t tagBytes) {
  if (ciphertextAndTag.size() < tagBytes) return std::nullopt;
  const auto split = ciphertextAndTag.end() - static_cast<std::ptrdiff_t>(tagBytes);
  return openSslAead(aead, false, key, nonce, aad, Bytes(ciphertextAndTag.begin(), split),
                     Bytes(split, ciphertextAndTag.end()), tagBytes);
}

Bytes ccmWrappedLengthNettle(const Bytes& key, const Bytes& nonce, const Bytes& aad, const Bytes& plaintext,
                             std::size_t tagBytes) {
  if (key.size() != 16 || nonce.size() < 7 || nonce.size() > 13 || tagBytes < 4 || tagBytes > 16 || tagBytes % 2 != 0) {
    throw std::invalid_argument("lengths this AES-128 CCM helper does not take");
  }
  const std::size_t lengthBits = 8 * (15 - nonce.size());
  const std::size_t declared = lengthBits >= 64 ? plaintext.size() : plaintext.size() & ((std::size_t{1} << lengthBits) - 1);
  aes128_ctx cipher;
  aes128_set_encrypt_key(&cipher, key.data());
  const auto encrypt = [](const void* context, std::size_t length, std::uint8_t* out, const std::uint8_t* in) {
    aes128_encrypt(static_cast<const aes128_ctx*>(context), length, out, in);
  };
  ccm_ctx context;
  ccm_set_nonce(&context, &cipher, encrypt, nonce.size(), nonce.data(), aad.size(), declared, tagBytes);
  ccm_update(&context, &cipher, encrypt, aad.size(), dataOf(aad));
  Bytes out(plaintext.size() + tagBytes);
  ccm_encrypt(&context, &cipher, encrypt, plaintext.size(), out.data(), dataOf(plaintext));
  ccm_digest(&context, &cipher, encrypt, tagBytes, out.data() + plaintext.size());
  return out;
}

}  // namespace vector_data
