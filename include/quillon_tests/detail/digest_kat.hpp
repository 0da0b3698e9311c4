#pragma once
// The digest family of known-answer suites (see kat_selection.hpp): a test
// computes a digest twice, by the contiguous path (hashStrict) and by the
// chunked one (hash), and compares both with the vector's value.
//
// A suite gives its KatLayout and one function template
//   DigestComparison check(const KatRecord& record)
// that decodes the record's fields and computes both digests;
// makeDigestKatTests<&check<D>>(layout, where) builds its tests and
// diagnoseKat(layout) lists its selection. A failure report shows the two
// paths as the first and second component; the kind's operation text says
// what they are.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon_tests/detail/kat_selection.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests::detail {

/// The vector's value, the field it came from, and what the digest under
/// test gave by the contiguous path and by the chunked one.
struct DigestComparison {
  std::string_view expectedField;
  quillon::ByteString expected;
  std::array<quillon::ByteString, 2> computed;
};

/// The note of a digest test's failure: the kind's operation text.
std::string digestNote(const KatRecord& record);

template <auto Check>
void runDigestTest(const KatRecord& record) {
  const DigestComparison c = Check(record);
  checkKnownAnswer(record, c.expectedField, c.expected.view(), {c.computed[0].view(), c.computed[1].view()});
}

/// The known-answer tests of `layout`, in the order of the selection.
template <auto Check>
std::vector<Test> makeDigestKatTests(const KatLayout& layout, const SourceLocation& where,
                                     std::size_t reserveExtra = 0) {
  return makeKatTests(layout, {.run = &runDigestTest<Check>, .note = &digestNote}, where, reserveExtra);
}

}  // namespace quillon_tests::detail
