// The AES-CTR, AES Monte Carlo and CMAC vector files: published values
// rebuilt from their inputs and generated records, each value computed by one
// library and compared with two others.
#pragma once

#include "block_libraries.hpp"
#include "bytes.hpp"
#include "nist_files.hpp"

#include <ostream>
#include <string>
#include <vector>

namespace vector_gen {

// One record of an AES Monte Carlo chain: the record's own starting values
// and the output of its 1000 chained operations.
struct MonteCarloRecord {
  Bytes key;
  Bytes iv;      // empty for ECB
  Bytes input;   // PLAINTEXT when encrypting, CIPHERTEXT when decrypting
  Bytes output;  // the other one, after 1000 operations
};

// The AES Monte Carlo chain of NIST's AESVS: `records` records, each running
// 1000 operations of `mode` through `library` from its own key, IV and input,
// the next record starting from values derived from the last two outputs.
std::vector<MonteCarloRecord> aesMonteCarlo(Library library, StreamMode mode, bool encrypt,
                                            const Bytes& key, const Bytes& iv, const Bytes& input,
                                            int records);

// KAT_AES_CTR: CTRSP800_38A{e,d}.rsp, CTRRFC3686{e,d}.rsp, CTRCarry<bits>{e,d}.rsp.
std::vector<WrittenFile> writeAesCtrFiles(const std::string& vectorsDir, const std::string& outDir,
                                          std::ostream& log);
// KAT_AES_MCT: {ECB,CBC,CFB128,OFB}MCT{128,192,256}{e,d}.rsp.
std::vector<WrittenFile> writeAesMonteCarloFiles(const std::string& outDir, std::ostream& log);
// KAT_CMAC: CMACGenAES{128,192,256}.rsp and CMACGenTwofish{128,192,256}.rsp.
std::vector<WrittenFile> writeCmacFiles(const std::string& vectorsDir, const std::string& outDir,
                                        std::ostream& log);

}  // namespace vector_gen
