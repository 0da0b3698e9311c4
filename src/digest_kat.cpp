#include <quillon_tests/detail/digest_kat.hpp>

namespace quillon_tests::detail {

std::string digestNote(const KatRecord& record) { return std::string(record.kind().operation); }

}  // namespace quillon_tests::detail
