#pragma once
// Each function registers, with GoogleTest, every suite of one family for
// every bundled binding.

namespace quillon_check {

void registerHashSuites();
void registerBlockCipherSuites();

}  // namespace quillon_check
