// Fuzz target for the view loader the known-answer suites read vector files
// with. The first input byte picks the record-start key, the rest is the
// file's text. The views must give what the plain reference parser gives,
// and every record and the counts must hold together.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "fuzz_input.hpp"
#include "kat/materialise.hpp"
#include "kat/reference_parser.hpp"
#include "kat_files_view.hpp"

namespace {

void check(bool condition, const char* what) {
  quillon_fuzz::check(condition, "kat_files_view_fuzz", what);
}

bool inside(std::string_view part, std::string_view whole) {
  const std::less_equal<const char*> notAfter;
  return notAfter(whole.data(), part.data()) &&
         notAfter(part.data() + part.size(), whole.data() + whole.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillon_fuzz::VectorFileInput input;
  if (!quillon_fuzz::splitVectorFileInput(data, size, input)) return 0;
  using quillon_tests::detail::KatFileView;
  const auto file = KatFileView::parse("fuzz.rsp", std::string(input.text), input.recordStartKey);

  check(file->text() == input.text, "the file keeps a text other than the one given");
  check(quillon_tests::testing_views::materialise(*file) ==
            quillon_tests::reference::parseCategories(input.recordStartKey, input.text),
        "the views differ from the reference parser");

  std::size_t records = 0;
  for (const quillon_tests::detail::KatCategoryView& category : file->categories()) {
    records += category.records.size();
    for (const quillon_tests::detail::KatRecordView& record : category.records) {
      check(!record.empty() && record.front().first == input.recordStartKey,
            "a record does not open with the record-start key");
      check(quillon_tests::detail::findProperty(record, input.recordStartKey) == &record.front().second,
            "findProperty does not find a record's first property");
      // Fields that are a slice of the text are views into the file's own
      // copy, never into the caller's buffer.
      for (const auto& [key, value] : record)
        check(!inside(key, input.text) && !inside(value, input.text),
              "a field points into the caller's buffer");
    }
  }
  check(records == file->recordCount(), "recordCount differs from the records of the categories");
  for (std::size_t i = 0; i < file->recordCount(); ++i) {
    const quillon_tests::detail::KatRecordView* record = &file->records()[i];
    const quillon_tests::detail::KatCategoryView& category = file->categoryOf(i);
    check(record >= category.records.data() && record < category.records.data() + category.records.size(),
          "categoryOf gives a category that does not hold the record");
    check(file->indexOf(*record) == i, "indexOf differs from the record's position");
  }
  // The lines before a category's first record hold no record-start key.
  for (const quillon_tests::detail::KatCategoryView& category : file->categories())
    for (const auto& [key, value] : category.loose)
      check(key != input.recordStartKey, "a loose line holds the record-start key");
  return 0;
}
