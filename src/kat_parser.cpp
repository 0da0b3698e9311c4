#include <string>
#include <utility>
#include <vector>

#include <quillon_tests/kat_parser.hpp>

#include "kat_lines.hpp"

namespace quillon_tests {

namespace detail {

namespace {

// Builds categories from classified lines. A record is built in place; its
// capacity is guessed from the record before it (the records of a category
// mostly share one shape) and trimmed when it closes, so finished records
// hold no spare capacity.
class CategoryBuilder {
 public:
  explicit CategoryBuilder(std::string_view recordStartKey) : startKey_(recordStartKey) {}

  void header(std::string_view key, std::string_view value) {
    if (categories_.empty() || inPropertyRun_) openCategory();
    inPropertyRun_ = false;
    categories_.back().header.emplace_back(key, value);
  }

  // Whether a property with this key is kept: it opens a record or joins an
  // open one. Asked first so that discarded values are never copied.
  [[nodiscard]] bool keeps(std::string_view key) const noexcept {
    return record_ != nullptr || key == startKey_;
  }

  // A property line.
  void property(std::string_view key, std::string_view value) {
    if (!inPropertyRun_) startPropertyRun();
    if (key == startKey_) {
      closeRecord();
      std::vector<KatRecord>& records = categories_.back().records;
      record_ = &records.emplace_back();
      record_->reserve(lastRecordSize_);
    } else if (record_ == nullptr) {
      return;
    }
    record_->emplace_back(key, value);
  }

  // A property line that a fast path has found to be discarded.
  void discardedProperty() {
    if (!inPropertyRun_) startPropertyRun();
  }

  std::vector<KatCategory> finish() && {
    closeCategory();
    return std::move(categories_);
  }

 private:
  void startPropertyRun() {
    if (categories_.empty()) openCategory();
    inPropertyRun_ = true;
  }

  void openCategory() {
    closeCategory();
    categories_.emplace_back();
  }

  void closeRecord() {
    if (record_ == nullptr) return;
    lastRecordSize_ = record_->size();
    if (record_->capacity() != record_->size()) record_->shrink_to_fit();
    record_ = nullptr;
  }

  void closeCategory() {
    if (categories_.empty()) return;
    closeRecord();
    categories_.back().records.shrink_to_fit();
    categories_.back().header.shrink_to_fit();
  }

  std::string_view startKey_;
  std::vector<KatCategory> categories_;
  KatRecord* record_ = nullptr;  // the open record, the last of the last category
  std::size_t lastRecordSize_ = 4;
  bool inPropertyRun_ = false;
};

}  // namespace

}  // namespace detail

std::vector<KatCategory> parseCategories(std::string_view recordStartKey, std::string_view text) {
  detail::CategoryBuilder builder(recordStartKey);
  detail::parseText(builder, text);
  return std::move(builder).finish();
}

std::vector<KatCategory> getCategories(std::string_view recordStartKey,
                                       std::span<const std::string> lines) {
  detail::CategoryBuilder builder(recordStartKey);
  detail::parseLines(builder, lines);
  return std::move(builder).finish();
}

}  // namespace quillon_tests
