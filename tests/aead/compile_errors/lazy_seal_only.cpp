// Must not compile: the AEAD type has sealLazy but no openLazy, so a suite
// would check one chunked path and silently skip the other.
#include <quillon/aead.hpp>

struct AeadWithSealLazyOnly {
  static int keyLength() { return 128; }
  static std::optional<AeadWithSealLazyOnly> buildKey(quillon::ByteView) { return AeadWithSealLazyOnly{}; }
  static bool acceptsNonceLength(std::size_t) { return true; }
  static bool acceptsTagLength(std::size_t) { return true; }
  std::optional<quillon::ByteString> seal(quillon::ByteView, quillon::ByteView, quillon::ByteView,
                                          std::size_t) const {
    return quillon::ByteString();
  }
  std::optional<quillon::ByteString> open(quillon::ByteView, quillon::ByteView, quillon::ByteView,
                                          std::size_t) const {
    return quillon::ByteString();
  }
  std::optional<quillon::ByteString> sealLazy(quillon::ByteView, const quillon::LazyByteString&,
                                              const quillon::LazyByteString&, std::size_t) const {
    return quillon::ByteString();
  }
};

static_assert(quillon::diagnoseAead<AeadWithSealLazyOnly>());
