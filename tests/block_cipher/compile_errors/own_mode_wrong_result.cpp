// Must not compile: the key type's own cbc member returns the output without
// the IV. It must be rejected, not silently replaced by the generic CBC.
#include <quillon/modes.hpp>

struct KeyWithWrongCbc {
  static int blockSize() { return 128; }
  static int keyLength() { return 128; }
  static std::optional<KeyWithWrongCbc> buildKey(quillon::ByteView) { return KeyWithWrongCbc{}; }
  quillon::ByteString encryptBlock(quillon::ByteView bytes) const { return quillon::ByteString(bytes); }
  quillon::ByteString decryptBlock(quillon::ByteView bytes) const { return quillon::ByteString(bytes); }
  quillon::ByteString cbc(const quillon::IV<KeyWithWrongCbc>&, quillon::ByteView bytes) const {
    return quillon::ByteString(bytes);
  }
};

int main() {
  const auto iv = quillon::IV<KeyWithWrongCbc>::get(quillon::ByteString(16, 0));
  (void)quillon::cbc(KeyWithWrongCbc{}, std::get<quillon::Done<quillon::IV<KeyWithWrongCbc>>>(iv).value,
                     quillon::ByteString(16, 0));
}
