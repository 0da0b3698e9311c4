// The TwoFish vector files: computed with nettle, checked with Botan 2.
#pragma once

#include "bytes.hpp"
#include "nist_files.hpp"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace vector_gen {

inline constexpr std::size_t twofishBlockBytes = 16;

// ECB over whole blocks and CBC, by nettle and by Botan. Inputs must be a
// whole number of blocks and keys 16, 24 or 32 bytes; otherwise they throw.
Bytes twofishEcbEncryptNettle(const Bytes& key, const Bytes& input);
Bytes twofishEcbDecryptNettle(const Bytes& key, const Bytes& input);
Bytes twofishCbcEncryptNettle(const Bytes& key, const Bytes& iv, const Bytes& input);
Bytes twofishCbcDecryptNettle(const Bytes& key, const Bytes& iv, const Bytes& input);
Bytes twofishEcbEncryptBotan(const Bytes& key, const Bytes& input);
Bytes twofishEcbDecryptBotan(const Bytes& key, const Bytes& input);
Bytes twofishCbcEncryptBotan(const Bytes& key, const Bytes& iv, const Bytes& input);
Bytes twofishCbcDecryptBotan(const Bytes& key, const Bytes& iv, const Bytes& input);

// One step of the TwoFish authors' table chain.
struct TableStep {
  Bytes key;
  Bytes plaintext;
  Bytes ciphertext;
};

// The chain starts from the zero key and the zero block; each next plaintext
// is the previous ciphertext, and each next key is the previous plaintext
// followed by the first (key size - 16) bytes of the previous key, so that
// the key is made of earlier ciphertexts. Every step is checked with Botan.
std::vector<TableStep> twofishTableChain(std::size_t keyBytes, int steps);

// Writes ECB_TLB, ECB_VK, ECB_VT, ECB_E_M, ECB_D_M, CBC_E_M and CBC_D_M
// (".TXT") into `outDir`, logging what was cross-checked.
std::vector<WrittenFile> writeTwofishFiles(const std::string& outDir, std::ostream& log);

}  // namespace vector_gen
