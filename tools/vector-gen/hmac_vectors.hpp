// The HMAC vector files: our own NIST-layout file, computed with OpenSSL and
// checked with libgcrypt and nettle, and the RFC 2202 / RFC 4231 values.
#pragma once

#include "bytes.hpp"
#include "nist_files.hpp"

#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vector_gen {

enum class Sha { sha1, sha224, sha256, sha384, sha512 };

struct ShaVariant {
  Sha sha;
  std::string_view name;     // "SHA256"
  std::size_t digestBytes;   // the "L" of the NIST layout
  std::size_t blockBytes;    // where HMAC starts hashing the key first
};

const std::array<ShaVariant, 5>& shaVariants();

Bytes hmacOpenSsl(Sha sha, const Bytes& key, const Bytes& message);
Bytes hmacGcrypt(Sha sha, const Bytes& key, const Bytes& message);
Bytes hmacNettle(Sha sha, const Bytes& key, const Bytes& message);

// The full HMAC from OpenSSL, after libgcrypt and nettle produced the same
// bytes; any disagreement throws with `context` and all three values.
Bytes crossCheckedHmac(const ShaVariant& variant, const Bytes& key, const Bytes& message,
                       std::string_view context);

// Key and message lengths of the generated file for one hash: keys from
// empty to well past the block (longer keys are hashed first), messages
// around the block boundary.
std::vector<std::size_t> hmacKeyLengths(const ShaVariant& variant);
std::vector<std::size_t> hmacMessageLengths(const ShaVariant& variant);
// The truncated "Tlen" values used for one hash (all below the digest size).
std::vector<std::size_t> hmacTruncatedLengths(const ShaVariant& variant);

// Writes HMAC.rsp (generated) and HMAC_RFC.rsp (RFC 2202 and RFC 4231 values
// read from Debian's python3-cryptography-vectors) into `outDir`, logging
// what was cross-checked.
std::vector<WrittenFile> writeHmacFiles(const std::string& vectorsDir, const std::string& outDir,
                                        std::ostream& log);

}  // namespace vector_gen
