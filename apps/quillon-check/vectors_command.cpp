// `quillon-check vectors [DIR]`: for every known-answer suite, the files of
// its vector directory, what each gives, and every record skipped with the
// reason. It runs the suites' own record selection.

#include <stdlib.h>

#include <exception>
#include <functional>
#include <iostream>
#include <vector>

#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aead.hpp>
#include <primitives/openssl/aes.hpp>
#include <quillon_tests/quillon_tests.hpp>

#include "suites.hpp"

namespace quillon_check {

namespace {

quillon_tests::SuiteDiagnostics named(quillon_tests::SuiteDiagnostics diagnostics,
                                      const char* suite) {
  diagnostics.suite = suite;
  return diagnostics;
}

}  // namespace

int runVectorsCommand(const char* dataDirectory) {
  using namespace quillon_tests;
  if (dataDirectory != nullptr) ::setenv("quillon_tests_datadir", dataDirectory, 1);
  std::cout << "data directory: " << getDataDir() << "\n\n";

  const std::vector<std::function<SuiteDiagnostics()>> suites{
      [] { return diagnoseSHAVectors("SHA1"); },
      [] { return diagnoseSHAVectors("SHA224"); },
      [] { return diagnoseSHAVectors("SHA256"); },
      [] { return diagnoseSHAVectors("SHA384"); },
      [] { return diagnoseSHAVectors("SHA512"); },
      [] { return diagnoseSHAVectors("SHA512_224"); },
      [] { return diagnoseSHAVectors("SHA512_256"); },
      [] { return diagnoseSHAVectors("SHA3_224"); },
      [] { return diagnoseSHAVectors("SHA3_256"); },
      [] { return diagnoseSHAVectors("SHA3_384"); },
      [] { return diagnoseSHAVectors("SHA3_512"); },
      [] { return diagnoseMonteVectors("SHA1"); },
      [] { return diagnoseMonteVectors("SHA224"); },
      [] { return diagnoseMonteVectors("SHA256"); },
      [] { return diagnoseMonteVectors("SHA384"); },
      [] { return diagnoseMonteVectors("SHA512"); },
      [] { return diagnoseMonteVectors("SHA512_224"); },
      [] { return diagnoseMonteVectors("SHA512_256"); },
      [] { return diagnoseMonteVectors("SHA3_224"); },
      [] { return diagnoseMonteVectors("SHA3_256"); },
      [] { return diagnoseMonteVectors("SHA3_384"); },
      [] { return diagnoseMonteVectors("SHA3_512"); },
      [] { return diagnoseHMACVectors("SHA1"); },
      [] { return diagnoseHMACVectors("SHA224"); },
      [] { return diagnoseHMACVectors("SHA256"); },
      [] { return diagnoseHMACVectors("SHA384"); },
      [] { return diagnoseHMACVectors("SHA512"); },
      // Which AES records are used depends on the key length the binding
      // accepts; TwoFish bindings take all three sizes.
      [] { return named(diagnoseAESVectors<quillon::openssl::AES128>(), "makeAESTests<AES-128>"); },
      [] { return named(diagnoseAESVectors<quillon::openssl::AES192>(), "makeAESTests<AES-192>"); },
      [] { return named(diagnoseAESVectors<quillon::openssl::AES256>(), "makeAESTests<AES-256>"); },
      [] { return named(diagnoseTwoFishVectors<quillon::nettle::TwoFish>(), "makeTwoFishTests"); },
      // Block-cipher modes and MACs, selected by key length like the AES suite.
      [] { return named(diagnoseAESCTRVectors<quillon::openssl::AES128>(), "makeAESCTRTests<AES-128>"); },
      [] { return named(diagnoseAESCTRVectors<quillon::openssl::AES192>(), "makeAESCTRTests<AES-192>"); },
      [] { return named(diagnoseAESCTRVectors<quillon::openssl::AES256>(), "makeAESCTRTests<AES-256>"); },
      [] { return named(diagnoseAESMonteVectors<quillon::openssl::AES128>(), "makeAESMonteTests<AES-128>"); },
      [] { return named(diagnoseAESMonteVectors<quillon::openssl::AES192>(), "makeAESMonteTests<AES-192>"); },
      [] { return named(diagnoseAESMonteVectors<quillon::openssl::AES256>(), "makeAESMonteTests<AES-256>"); },
      [] { return named(diagnoseCMACVectors<quillon::openssl::AES128>(), "makeCMACTests<AES-128>"); },
      [] { return named(diagnoseCMACVectors<quillon::openssl::AES192>(), "makeCMACTests<AES-192>"); },
      [] { return named(diagnoseCMACVectors<quillon::openssl::AES256>(), "makeCMACTests<AES-256>"); },
      [] { return named(diagnoseTwoFishCMACVectors<quillon::nettle::TwoFish>(), "makeTwoFishCMACTests"); },
      // AEADs: GCM and CCM selected by key length like the AES suite.
      [] { return named(diagnoseGCMVectors<quillon::openssl::AES128GCM>(), "makeGCMTests<AES-128-GCM>"); },
      [] { return named(diagnoseGCMVectors<quillon::openssl::AES192GCM>(), "makeGCMTests<AES-192-GCM>"); },
      [] { return named(diagnoseGCMVectors<quillon::openssl::AES256GCM>(), "makeGCMTests<AES-256-GCM>"); },
      [] { return named(diagnoseCCMVectors<quillon::openssl::AES128CCM>(), "makeCCMTests<AES-128-CCM>"); },
      [] { return named(diagnoseCCMVectors<quillon::openssl::AES192CCM>(), "makeCCMTests<AES-192-CCM>"); },
      [] { return named(diagnoseCCMVectors<quillon::openssl::AES256CCM>(), "makeCCMTests<AES-256-CCM>"); },
      [] { return diagnoseChaCha20Poly1305Vectors<quillon::openssl::ChaCha20Poly1305>(); },
  };
  int status = 0;
  for (const auto& diagnose : suites) {
    try {
      printDiagnostics(std::cout, diagnose());
    } catch (const std::exception& error) {
      std::cout << "error: " << error.what() << '\n';
      status = 1;
    }
    std::cout << '\n';
  }
  return status;
}

}  // namespace quillon_check
