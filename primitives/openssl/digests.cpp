#include <primitives/openssl/digests.hpp>
#include <primitives/openssl/errors.hpp>

#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <array>
#include <memory>
#include <stdexcept>
#include <string>

namespace quillon::openssl::detail {

namespace {

struct MdContextDeleter {
  void operator()(EVP_MD_CTX* context) const noexcept { EVP_MD_CTX_free(context); }
};
struct MacDeleter {
  void operator()(EVP_MAC* mac) const noexcept { EVP_MAC_free(mac); }
};
struct MacContextDeleter {
  void operator()(EVP_MAC_CTX* context) const noexcept { EVP_MAC_CTX_free(context); }
};
struct MdDeleter {
  void operator()(EVP_MD* md) const noexcept { EVP_MD_free(md); }
};

// Fetching an algorithm is a lookup in OpenSSL's provider tables; it is done
// once per algorithm and the result kept as a constant of the process.
const EVP_MD* fetchDigest(const DigestAlgorithm& algorithm) {
  static const auto fetch = [](const char* name) {
    EVP_MD* md = EVP_MD_fetch(nullptr, name, nullptr);
    if (md == nullptr) throwOpenSSLError(std::string("fetching digest ") + name);
    return std::unique_ptr<EVP_MD, MdDeleter>(md);
  };
  struct Fetched {
    std::string_view name;
    std::unique_ptr<EVP_MD, MdDeleter> md;
  };
  static const std::array fetched = [] {
    constexpr std::array names{"MD5",       "SHA1",       "SHA224",     "SHA256",
                               "SHA384",    "SHA512",     "SHA512-224", "SHA512-256",
                               "SHA3-224",  "SHA3-256",   "SHA3-384",   "SHA3-512"};
    std::array<Fetched, names.size()> all;
    for (std::size_t i = 0; i < names.size(); ++i) all[i] = {names[i], fetch(names[i])};
    return all;
  }();
  for (const Fetched& candidate : fetched)
    if (candidate.name == algorithm.name) return candidate.md.get();
  throw std::invalid_argument("OpenSSL binding: unknown digest " + std::string(algorithm.name));
}

template <class Update>
ByteString digestWith(const DigestAlgorithm& algorithm, Update&& update) {
  std::unique_ptr<EVP_MD_CTX, MdContextDeleter> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex2(context.get(), fetchDigest(algorithm), nullptr) != 1)
    throwOpenSSLError(std::string("initialising ") + algorithm.name);
  update(context.get());
  std::vector<Byte> out(static_cast<std::size_t>(EVP_MAX_MD_SIZE));
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), out.data(), &length) != 1)
    throwOpenSSLError(std::string("finishing ") + algorithm.name);
  out.resize(length);
  return ByteString(std::move(out));
}

void digestUpdate(EVP_MD_CTX* context, ByteView bytes, const char* name) {
  if (EVP_DigestUpdate(context, bytes.data(), bytes.size()) != 1)
    throwOpenSSLError(std::string("hashing with ") + name);
}

template <class Update>
ByteString hmacWith(const DigestAlgorithm& algorithm, ByteView key, Update&& update) {
  static const std::unique_ptr<EVP_MAC, MacDeleter> mac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
  if (!mac) throwOpenSSLError("fetching HMAC");
  std::unique_ptr<EVP_MAC_CTX, MacContextDeleter> context(EVP_MAC_CTX_new(mac.get()));
  OSSL_PARAM params[] = {
      OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, const_cast<char*>(algorithm.name), 0),
      OSSL_PARAM_construct_end()};
  // A zero-length key is legal HMAC; OpenSSL wants a non-null pointer for it.
  static const unsigned char noKey = 0;
  const unsigned char* keyData = key.empty() ? &noKey : key.data();
  if (!context || EVP_MAC_init(context.get(), keyData, key.size(), params) != 1)
    throwOpenSSLError(std::string("initialising HMAC-") + algorithm.name);
  update(context.get());
  std::vector<Byte> out(static_cast<std::size_t>(EVP_MAX_MD_SIZE));
  std::size_t length = 0;
  if (EVP_MAC_final(context.get(), out.data(), &length, out.size()) != 1)
    throwOpenSSLError(std::string("finishing HMAC-") + algorithm.name);
  out.resize(length);
  return ByteString(std::move(out));
}

void macUpdate(EVP_MAC_CTX* context, ByteView bytes, const char* name) {
  if (EVP_MAC_update(context, bytes.data(), bytes.size()) != 1)
    throwOpenSSLError(std::string("HMAC-") + name);
}

}  // namespace

ByteString digestChunks(const DigestAlgorithm& algorithm, const std::vector<ByteString>& chunks) {
  return digestWith(algorithm, [&](EVP_MD_CTX* context) {
    for (const ByteString& chunk : chunks) digestUpdate(context, chunk, algorithm.name);
  });
}

ByteString digestBytes(const DigestAlgorithm& algorithm, ByteView message) {
  // One call, no context of ours: a different path through OpenSSL from
  // digestChunks, which is what the chunked-versus-contiguous checks compare.
  std::vector<Byte> out(static_cast<std::size_t>(EVP_MAX_MD_SIZE));
  unsigned int length = 0;
  if (EVP_Digest(message.data(), message.size(), out.data(), &length, fetchDigest(algorithm),
                 nullptr) != 1)
    throwOpenSSLError(std::string("hashing with ") + algorithm.name);
  out.resize(length);
  return ByteString(std::move(out));
}

ByteString hmacChunks(const DigestAlgorithm& algorithm, ByteView key,
                      const std::vector<ByteString>& chunks) {
  return hmacWith(algorithm, key, [&](EVP_MAC_CTX* context) {
    for (const ByteString& chunk : chunks) macUpdate(context, chunk, algorithm.name);
  });
}

ByteString hmacBytes(const DigestAlgorithm& algorithm, ByteView key, ByteView message) {
  return hmacWith(algorithm, key, [&](EVP_MAC_CTX* context) {
    macUpdate(context, message, algorithm.name);
  });
}

}  // namespace quillon::openssl::detail
