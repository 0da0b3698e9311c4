#include <quillon_tests/detail/block_cipher_kat.hpp>

namespace quillon_tests::detail {

std::string cipherNote(const KatRecord& record) {
  return "got = " + std::string(record.kind().operation) + " computed by the cipher";
}

}  // namespace quillon_tests::detail
