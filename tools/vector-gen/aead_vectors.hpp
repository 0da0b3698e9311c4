// The AEAD vector files: NIST's AES-GCM and AES-CCM files copied unchanged,
// the ChaCha20-Poly1305 files of Debian's package converted to the NIST
// layout, and generated records (GCM counter wraps, CCM length boundaries,
// Poly1305 carries), each value computed by one library and compared with
// others.
#pragma once

#include "nist_files.hpp"

#include <ostream>
#include <string>
#include <vector>

namespace vector_gen {

// KAT_AES_GCM: gcmEncryptExtIV{128,192,256}.rsp, gcmDecrypt{128,192,256}.rsp
// and gcmEncryptExtIVWrap{128,192,256}.rsp.
std::vector<WrittenFile> writeAesGcmFiles(const std::string& vectorsDir, const std::string& outDir,
                                          std::ostream& log);
// KAT_AES_CCM: {VADT,VNT,VPT,VTT,DVPT}{128,192,256}.rsp and DVPTLengths128.rsp.
std::vector<WrittenFile> writeAesCcmFiles(const std::string& vectorsDir, const std::string& outDir,
                                          std::ostream& log);
// KAT_CHACHA20_POLY1305: ChaCha20Poly1305{OpenSSL,BoringSSL,Carry}.rsp.
std::vector<WrittenFile> writeChaCha20Poly1305Files(const std::string& vectorsDir, const std::string& outDir,
                                                    std::ostream& log);

}  // namespace vector_gen
