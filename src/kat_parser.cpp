#include <string>
#include <utility>
#include <vector>

#include <quillon_tests/kat_parser.hpp>

#include "kat_lines.hpp"

namespace quillon_tests {

namespace detail {

namespace {

// Builds categories of owned strings. A record is built in place; its
// capacity is guessed from the record before it (the records of a category
// mostly share one shape) and trimmed when it closes, so finished records
// hold no spare capacity.
class CategorySink {
 public:
  static constexpr bool keepsLoose = false;

  void openCategory() {
    trimLastCategory();
    categories_.emplace_back();
  }
  void header(std::string_view key, std::string_view value) { categories_.back().header.emplace_back(key, value); }
  void openRecord() {
    record_ = &categories_.back().records.emplace_back();
    record_->reserve(lastRecordSize_);
  }
  void recordProperty(std::string_view key, std::string_view value) { record_->emplace_back(key, value); }
  void closeRecord() {
    lastRecordSize_ = record_->size();
    if (record_->capacity() != record_->size()) record_->shrink_to_fit();
    record_ = nullptr;
  }

  std::vector<KatCategory> finish() && {
    trimLastCategory();
    return std::move(categories_);
  }

 private:
  void trimLastCategory() {
    if (categories_.empty()) return;
    categories_.back().records.shrink_to_fit();
    categories_.back().header.shrink_to_fit();
  }

  std::vector<KatCategory> categories_;
  KatRecord* record_ = nullptr;  // the open record, the last of the last category
  std::size_t lastRecordSize_ = 4;
};

template <class Feed>
std::vector<KatCategory> buildCategories(std::string_view recordStartKey, Feed feed) {
  CategorySink sink;
  KatStructure<CategorySink> structure(sink, recordStartKey);
  feed(structure);
  structure.finish();
  return std::move(sink).finish();
}

}  // namespace

}  // namespace detail

std::vector<KatCategory> parseCategories(std::string_view recordStartKey, std::string_view text) {
  return detail::buildCategories(recordStartKey, [text](auto& builder) { detail::parseText(builder, text); });
}

std::vector<KatCategory> getCategories(std::string_view recordStartKey,
                                       std::span<const std::string> lines) {
  return detail::buildCategories(recordStartKey, [lines](auto& builder) { detail::parseLines(builder, lines); });
}

}  // namespace quillon_tests
