// Must not compile: the key type lacks decryptBlock(). The build test expects
// the diagnostic to name the missing member.
#include <quillon_tests/block_cipher_properties.hpp>

struct KeyWithoutDecryptBlock {
  static int blockSize() { return 128; }
  static int keyLength() { return 128; }
  static std::optional<KeyWithoutDecryptBlock> buildKey(quillon::ByteView) { return {}; }
  quillon::ByteString encryptBlock(quillon::ByteView bytes) const { return quillon::ByteString(bytes); }
};

int main() { (void)quillon_tests::makeBlockCipherPropTests<KeyWithoutDecryptBlock>(); }
