#pragma once
// The digest family of known-answer suites: the record selection of
// kat_selection.hpp and the test that compares a pair of digests (the
// contiguous path first, the chunked one second) with the vector's value.
//
// A suite gives its KatLayout and one function template
//   DigestComparison check(const SelectedRecord& record)
// that decodes the record's fields and computes both digests;
// makeDigestKatTests<&check<D>>(layout) builds its tests and
// diagnoseKat(layout) lists its selection.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon_tests/detail/kat_selection.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests::detail {

/// The vector's value and what the digest under test gave, each twice:
/// first by the contiguous path, second by the chunked one.
struct DigestComparison {
  std::pair<quillon::ByteString, quillon::ByteString> expected;
  std::pair<quillon::ByteString, quillon::ByteString> computed;
};

/// Nothing is built while a digest suite's list is built.
struct NoListingState {};

/// Fails the test of `test` through assertEqual with the note naming the
/// vector file and record and what the two components are.
[[noreturn]] void failDigestTest(const KatCase<NoListingState>& test, const DigestComparison& comparison);

template <auto Check>
void runDigestTest(const KatCase<NoListingState>& test) {
  const DigestComparison comparison = Check(test.record);
  // The report text is only put together for a failure.
  if (comparison.computed != comparison.expected) failDigestTest(test, comparison);
}

/// The sink of a digest suite: keeps every selected record.
class DigestKatCollector final : public KatCollector<NoListingState> {
 public:
  using KatCollector<NoListingState>::KatCollector;
  bool acceptIV(quillon::ByteView) override { return true; }
  bool acceptKey(quillon::ByteView) override { return true; }

 private:
  NoListingState takeExtra() override { return {}; }
};

/// The known-answer tests of `layout`, in the order of the selection.
template <auto Check>
std::vector<Test> makeDigestKatTests(const KatLayout& layout, std::size_t reserveExtra = 0) {
  DigestKatCollector collector(layout);
  selectKatRecords(layout, collector, nullptr);
  return katTests<&runDigestTest<Check>>(collector.data(), reserveExtra);
}

}  // namespace quillon_tests::detail
