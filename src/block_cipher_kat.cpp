#include <quillon_tests/detail/block_cipher_kat.hpp>

namespace quillon_tests::detail {

void throwKeyRefused(const KatRecord& record, std::size_t keyBytes) {
  throw KeyRefusedError(record.suite() + ": " + record.testName() + ": buildKey refused the " +
                        std::to_string(keyBytes) + "-byte key of field \"" + std::string(record.keyOf("key")) +
                        "\" (" + record.origin() + ")");
}

std::string keySizeLabel(std::size_t keyBytes) { return std::to_string(keyBytes * 8) + "-bit"; }

std::string cipherNote(const KatRecord& record) {
  return "got = " + std::string(record.kind().operation) + " computed by the cipher";
}

}  // namespace quillon_tests::detail
