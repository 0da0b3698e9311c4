// Must not compile: a cipher without a CMAC of its own has nothing for the
// CMAC property to compare with the generic construction.
#include <quillon_tests/mode_kat.hpp>

struct KeyWithoutCmac {
  static int blockSize() { return 128; }
  static int keyLength() { return 128; }
  static std::optional<KeyWithoutCmac> buildKey(quillon::ByteView) { return KeyWithoutCmac{}; }
  quillon::ByteString encryptBlock(quillon::ByteView bytes) const { return quillon::ByteString(bytes); }
  quillon::ByteString decryptBlock(quillon::ByteView bytes) const { return quillon::ByteString(bytes); }
};

int main() { (void)quillon_tests::makeCMACPropTests<KeyWithoutCmac>(); }
