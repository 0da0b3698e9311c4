// Must not compile: the AEAD type lacks open(). The build test expects the
// diagnostic to name the missing member.
#include <quillon/aead.hpp>

struct AeadWithoutOpen {
  static int keyLength() { return 128; }
  static std::optional<AeadWithoutOpen> buildKey(quillon::ByteView) { return AeadWithoutOpen{}; }
  static bool acceptsNonceLength(std::size_t) { return true; }
  static bool acceptsTagLength(std::size_t) { return true; }
  std::optional<quillon::ByteString> seal(quillon::ByteView, quillon::ByteView, quillon::ByteView,
                                          std::size_t) const {
    return quillon::ByteString();
  }
};

static_assert(quillon::diagnoseAead<AeadWithoutOpen>());
