// quillon-vector-gen VECTORS_DIR OUT_DIR
//
// Writes the known-answer vector files into OUT_DIR/KAT_SHA, KAT_SHA3,
// KAT_AES, KAT_HMAC, KAT_TWOFISH, KAT_AES_CTR, KAT_AES_MCT, KAT_CMAC,
// KAT_AES_GCM, KAT_AES_CCM and KAT_CHACHA20_POLY1305.
// VECTORS_DIR is the cryptography_vectors directory of Debian's
// python3-cryptography-vectors. OUT_DIR must be empty or absent,
// so that a run never mixes with files of an earlier one. Exits non-zero, with
// the disagreeing values, when any cross-check fails.
#include "aead_vectors.hpp"
#include "block_vectors.hpp"
#include "hmac_vectors.hpp"
#include "nist_files.hpp"
#include "twofish_vectors.hpp"

#include <filesystem>
#include <iostream>
#include <numeric>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;
using vector_gen::WrittenFile;

std::string prepareDirectory(const fs::path& parent, const char* name) {
  const fs::path directory = parent / name;
  fs::create_directories(directory);
  return directory.string();
}

void report(const char* directory, const std::vector<WrittenFile>& files) {
  const int records = std::accumulate(files.begin(), files.end(), 0,
                                      [](int sum, const WrittenFile& file) { return sum + file.records; });
  const int rejections = std::accumulate(files.begin(), files.end(), 0,
                                         [](int sum, const WrittenFile& file) { return sum + file.rejections; });
  std::cout << directory << ": " << files.size() << " files, " << records << " records";
  if (rejections > 0) std::cout << ", " << rejections << " of them to be refused";
  std::cout << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: quillon-vector-gen VECTORS_DIR OUT_DIR\n";
    return 2;
  }
  try {
    const std::string vectorsDir = argv[1];
    const fs::path outDir = argv[2];
    if (fs::exists(outDir) && !fs::is_empty(outDir)) {
      throw std::runtime_error(outDir.string() + " is not empty");
    }

    report("KAT_SHA", vector_gen::copyShaFiles(vectorsDir, prepareDirectory(outDir, "KAT_SHA")));
    // The digest files: SHA-3 message files, then every digest Monte Carlo
    // file beside its message files.
    report("KAT_SHA3", vector_gen::copySha3Files(vectorsDir, prepareDirectory(outDir, "KAT_SHA3")));
    report("digest Monte Carlo",
           vector_gen::copyDigestMonteFiles(vectorsDir, prepareDirectory(outDir, "KAT_SHA"),
                                            prepareDirectory(outDir, "KAT_SHA3")));
    report("KAT_AES", vector_gen::splitAesFiles(vectorsDir, prepareDirectory(outDir, "KAT_AES")));
    std::cout << "HMAC cross-checks:\n";
    const auto hmac =
        vector_gen::writeHmacFiles(vectorsDir, prepareDirectory(outDir, "KAT_HMAC"), std::cout);
    report("KAT_HMAC", hmac);
    std::cout << "TwoFish cross-checks:\n";
    const auto twofish =
        vector_gen::writeTwofishFiles(prepareDirectory(outDir, "KAT_TWOFISH"), std::cout);
    report("KAT_TWOFISH", twofish);

    // Block-cipher modes and MACs: CTR, Monte Carlo chains, CMAC.
    std::cout << "AES-CTR cross-checks:\n";
    report("KAT_AES_CTR",
           vector_gen::writeAesCtrFiles(vectorsDir, prepareDirectory(outDir, "KAT_AES_CTR"), std::cout));
    std::cout << "AES Monte Carlo cross-checks:\n";
    report("KAT_AES_MCT",
           vector_gen::writeAesMonteCarloFiles(prepareDirectory(outDir, "KAT_AES_MCT"), std::cout));
    std::cout << "CMAC cross-checks:\n";
    report("KAT_CMAC",
           vector_gen::writeCmacFiles(vectorsDir, prepareDirectory(outDir, "KAT_CMAC"), std::cout));

    // AEADs: NIST's GCM and CCM files, the ChaCha20-Poly1305 files, and
    // generated boundary records.
    std::cout << "AES-GCM cross-checks:\n";
    report("KAT_AES_GCM",
           vector_gen::writeAesGcmFiles(vectorsDir, prepareDirectory(outDir, "KAT_AES_GCM"), std::cout));
    std::cout << "AES-CCM cross-checks:\n";
    report("KAT_AES_CCM",
           vector_gen::writeAesCcmFiles(vectorsDir, prepareDirectory(outDir, "KAT_AES_CCM"), std::cout));
    std::cout << "ChaCha20-Poly1305 cross-checks:\n";
    report("KAT_CHACHA20_POLY1305",
           vector_gen::writeChaCha20Poly1305Files(vectorsDir, prepareDirectory(outDir, "KAT_CHACHA20_POLY1305"),
                                                  std::cout));
  } catch (const std::exception& error) {
    std::cerr << "quillon-vector-gen: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
