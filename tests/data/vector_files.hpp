// Reading the shipped vector files for the data checks, and the reference
// computations they are compared with (OpenSSL and nettle, called directly).
#pragma once

#include <quillon_tests/kat_parser.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vector_data {

using Bytes = std::vector<std::uint8_t>;

struct VectorFile {
  std::string name;  // file name without directory
  std::string text;
  std::vector<quillon_tests::KatCategory> categories;  // as the suites parse it
};

// The files of <data directory>/Test/<directory>, sorted by name, each
// parsed with the library's parseCategories under `recordStartKey`. The data
// directory is quillon_tests::getDataDir(): the source tree's data/ under
// ctest, the installed copy otherwise.
std::vector<VectorFile> loadVectorFiles(std::string_view directory,
                                        std::string_view recordStartKey);
// The same files unparsed (no categories), for readers of their own.
std::vector<VectorFile> readVectorFiles(std::string_view directory);

// The digest variants whose files the SHA suites read, and where.
struct DigestVariant {
  std::string_view name;       // "SHA256", "SHA3_256": the files' prefix
  std::string_view directory;  // "KAT_SHA" or "KAT_SHA3"
  bool sha3;                   // the Monte Carlo chain of SHA-3 (else SHA-1/SHA-2)
};
extern const std::vector<DigestVariant> digestVariants;

// Everything before the last "." of a file name (the name when it has none).
std::string stemOf(std::string_view fileName);

// The value of the first property named `key`, as the suites look fields up.
std::optional<std::string> findField(const std::vector<quillon_tests::KatProperty>& properties,
                                     std::string_view key);

// Strict hex: throws std::invalid_argument on odd length or a non-hex digit.
// (The library's decoder is lenient by design; the shipped data must not be.)
Bytes decodeHex(std::string_view text);
std::string encodeHex(const Bytes& bytes);

// Reference results. Names are the ones the vector files use: "SHA1" ...
// "SHA512", "SHA512_224", "SHA512_256", "SHA3_224" ... "SHA3_512"; AES modes "ECB", "CBC", "CFB" (128-bit feedback), "OFB".
Bytes shaOpenSsl(std::string_view variant, const Bytes& message);
Bytes hmacOpenSsl(std::size_t digestBytes, const Bytes& key, const Bytes& message);
Bytes aesOpenSsl(std::string_view mode, bool encrypt, const Bytes& key, const Bytes& iv,
                 const Bytes& input);
Bytes twofishEcbNettle(bool encrypt, const Bytes& key, const Bytes& input);
// AES-CTR (mode "CTR" of aesOpenSsl) is the whole block as a big-endian
// counter. The Monte Carlo output of one record: 1000 blocks through one
// OpenSSL context of `mode` ("ECB", "CBC", "CFB", "OFB"), fed one block at
// a time, the second input the IV and each later one the output two blocks
// back (ECB: each output fed back in).
Bytes aesMonteCarloOpenSsl(std::string_view mode, bool encrypt, const Bytes& key, const Bytes& iv,
                           const Bytes& input);
// Full 16-byte CMAC tags: AES by OpenSSL, TwoFish by nettle.
Bytes aesCmacOpenSsl(const Bytes& key, const Bytes& message);
Bytes twofishCmacNettle(const Bytes& key, const Bytes& message);
Bytes twofishCbcNettle(bool encrypt, const Bytes& key, const Bytes& iv, const Bytes& input);

// A record of a NIST AEAD file with every value it inherits: fields of
// lines before the first section, of its section's header ("[Keylen = 128]",
// or "[Alen = 0, Plen = 0, ...]" split at commas), of lines between the
// header and the section's first record (CCM's Key), then its own lines,
// each overriding the ones before. A bare word ("FAIL") is a field with an
// empty value.
struct FlatRecord {
  std::map<std::string, std::string, std::less<>> fields;
  std::size_t line = 0;            // of its record-start line, from 1
  std::size_t indexInSection = 0;  // from 0; a file without sections is one section
};
std::vector<FlatRecord> flatRecords(const VectorFile& file, std::string_view recordStartKey);

// AEADs through OpenSSL: the ciphertext followed by a `tagBytes`-byte tag,
// or the plaintext; nothing when OpenSSL refuses (a wrong tag, a length the
// CCM length field cannot hold).
enum class Aead { aesGcm, aesCcm, chacha20Poly1305 };
std::optional<Bytes> aeadSealOpenSsl(Aead aead, const Bytes& key, const Bytes& nonce, const Bytes& aad,
                                     const Bytes& plaintext, std::size_t tagBytes);
std::optional<Bytes> aeadOpenOpenSsl(Aead aead, const Bytes& key, const Bytes& nonce, const Bytes& aad,
                                     const Bytes& ciphertextAndTag, std::size_t tagBytes);
// AES-CCM by nettle's streaming functions with the message length given
// modulo 2^(8 (15 - nonce.size())): what an implementation that wraps the
// length instead of refusing the message computes.
Bytes ccmWrappedLengthNettle(const Bytes& key, const Bytes& nonce, const Bytes& aad, const Bytes& plaintext,
                             std::size_t tagBytes);

}  // namespace vector_data
