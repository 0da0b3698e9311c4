// Must not compile: the digest type lacks encode(). The build test expects
// the diagnostic to name the missing member.
#include <quillon_tests/hash_properties.hpp>

struct DigestWithoutEncode {
  static int outputLength() { return 128; }
  static int blockLength() { return 512; }
  static DigestWithoutEncode hash(const quillon::LazyByteString&) { return {}; }
  static DigestWithoutEncode hashStrict(quillon::ByteView) { return {}; }
  static quillon::GetResult<DigestWithoutEncode> get(quillon::ByteView) { return quillon::Partial{}; }
  friend bool operator==(const DigestWithoutEncode&, const DigestWithoutEncode&) = default;
  friend std::ostream& operator<<(std::ostream& os, const DigestWithoutEncode&) { return os; }
};

int main() { (void)quillon_tests::makeHashPropTests<DigestWithoutEncode>(); }
