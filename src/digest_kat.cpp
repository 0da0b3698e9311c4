#include <quillon_tests/detail/digest_kat.hpp>

#include <quillon_tests/assert_equal.hpp>

namespace quillon_tests::detail {

void failDigestTest(const KatCase<NoListingState>& test, const DigestComparison& comparison) {
  std::string note = katOrigin(test.file->path, test.record.record);
  note.append("\n").append(test.record.kind->operation);
  assertEqual(test.name(), comparison.expected, comparison.computed, note);
  // assertEqual returns only for equal values, which the caller ruled out.
  throw AssertionFailure(test.name());
}

}  // namespace quillon_tests::detail
