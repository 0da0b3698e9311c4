#pragma once
// Each function registers, with GoogleTest, every suite of one family for
// every bundled binding.

namespace quillon_check {

void registerHashSuites();
void registerBlockCipherSuites();
/// The mode-consistency group for every cipher binding.
void registerModeConsistencySuites();
/// Each binding against an independent binding of the same algorithm.
void registerDifferentialSuites();

/// Lists every suite's vector files and skipped records; DIR (may be null)
/// replaces the data directory. Returns the process exit status.
int runVectorsCommand(const char* dataDirectory);

}  // namespace quillon_check
