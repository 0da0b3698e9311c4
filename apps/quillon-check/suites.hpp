#pragma once
// Each function registers, with GoogleTest, the suites of one family for
// every bundled binding. They live in separate files so that a parallel
// build compiles them side by side: each instantiates every suite for many
// types, which is most of quillon-check's build time.

namespace quillon_check {

/// Known answers (with their property groups), HMAC and Monte Carlo for
/// every digest of a library.
void registerOpenSSLDigestSuites();
void registerNettleDigestSuites();
/// Known answers (with their property groups), CTR, Monte Carlo and CMAC for
/// every AES binding.
void registerAESSuites();
/// Known answers, properties and CMAC for the TwoFish bindings.
void registerTwoFishSuites();
/// The mode-consistency group for every cipher binding.
void registerModeConsistencySuites();
/// Each binding against an independent binding of the same algorithm.
void registerDifferentialSuites();
/// The GCM, CCM and ChaCha20-Poly1305 known answers for every AEAD binding
/// and for the generic GCM and CCM over OpenSSL's AES.
void registerAeadKnownAnswerSuites();
/// The AEAD properties for every AEAD binding and the generic GCM and CCM,
/// and each native AEAD against an independent one or the generic
/// construction over its own block cipher.
void registerAeadSuites();

/// Every suite above, in the order quillon-check runs and summarises them.
inline void registerAllSuites() {
  registerOpenSSLDigestSuites();
  registerNettleDigestSuites();
  registerAESSuites();
  registerTwoFishSuites();
  registerModeConsistencySuites();
  registerDifferentialSuites();
  registerAeadKnownAnswerSuites();
  registerAeadSuites();
}

/// Lists every suite's vector files and skipped records; DIR (may be null)
/// replaces the data directory. Returns the process exit status.
int runVectorsCommand(const char* dataDirectory);

}  // namespace quillon_check
