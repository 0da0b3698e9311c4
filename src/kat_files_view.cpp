#include "kat_files_view.hpp"

#include <functional>

#include "kat_lines.hpp"
#include "vector_directory.hpp"

namespace quillon_tests::detail {

// Fills a KatFileView by the same steps as parseCategories' builder, but
// keeps index ranges while the property array grows and turns them into
// spans once it is complete.
class ViewBuilder {
 public:
  ViewBuilder(KatFileView& file, std::string_view recordStartKey)
      : file_(file), startKey_(recordStartKey) {}

  void header(std::string_view key, std::string_view value) {
    if (categories_.empty() || inPropertyRun_) openCategory();
    inPropertyRun_ = false;
    file_.properties_.emplace_back(keep(key), keep(value));
    ++categories_.back().headerSize;
  }

  [[nodiscard]] bool keeps(std::string_view key) const noexcept {
    return recordOpen_ || key == startKey_;
  }

  void property(std::string_view key, std::string_view value) {
    if (!inPropertyRun_) startPropertyRun();
    if (key == startKey_) {
      closeRecord();
      recordOpen_ = true;
      recordBegin_ = file_.properties_.size();
    } else if (!recordOpen_) {
      return;
    }
    file_.properties_.emplace_back(keep(key), keep(value));
  }

  void discardedProperty() {
    if (!inPropertyRun_) startPropertyRun();
  }

  void finish() {
    closeCategory();
    const std::vector<KatPropertyView>& properties = file_.properties_;
    file_.records_.reserve(records_.size());
    for (const auto& [begin, end] : records_)
      file_.records_.emplace_back(properties.data() + begin, end - begin);
    file_.categories_.reserve(categories_.size());
    for (const CategoryRange& range : categories_)
      file_.categories_.push_back(
          {{properties.data() + range.headerBegin, range.headerSize},
           {file_.records_.data() + range.recordsBegin, range.recordsEnd - range.recordsBegin}});
  }

 private:
  struct CategoryRange {
    std::size_t headerBegin = 0;
    std::size_t headerSize = 0;
    std::size_t recordsBegin = 0;
    std::size_t recordsEnd = 0;
  };

  // A view into the file's text as it is; anything else (the parser's
  // scratch buffers) is copied into the file first.
  std::string_view keep(std::string_view field) {
    const std::string_view text = file_.text_;
    const std::less_equal<const char*> notAfter;
    if (field.empty()) return {};
    if (notAfter(text.data(), field.data()) &&
        notAfter(field.data() + field.size(), text.data() + text.size()))
      return field;
    return file_.copies_.emplace_back(field);
  }

  void startPropertyRun() {
    if (categories_.empty()) openCategory();
    inPropertyRun_ = true;
  }

  void openCategory() {
    closeCategory();
    categories_.push_back({file_.properties_.size(), 0, records_.size(), records_.size()});
  }

  void closeRecord() {
    if (!recordOpen_) return;
    records_.emplace_back(recordBegin_, file_.properties_.size());
    categories_.back().recordsEnd = records_.size();
    recordOpen_ = false;
  }

  void closeCategory() {
    if (categories_.empty()) return;
    closeRecord();
  }

  KatFileView& file_;
  std::string_view startKey_;
  std::vector<CategoryRange> categories_;
  std::vector<std::pair<std::size_t, std::size_t>> records_;  // property index ranges
  std::size_t recordBegin_ = 0;
  bool recordOpen_ = false;
  bool inPropertyRun_ = false;
};

KatFileView::KatFileView(Token, std::string path, std::string text)
    : path_(std::move(path)), text_(std::move(text)) {}

std::shared_ptr<const KatFileView> KatFileView::parse(std::string path, std::string text,
                                                      std::string_view recordStartKey) {
  // Made in place first: the views point into the object's own members.
  auto file = std::make_shared<KatFileView>(Token{}, std::move(path), std::move(text));
  ViewBuilder builder(*file, recordStartKey);
  parseText(builder, file->text_);
  builder.finish();
  return file;
}

const std::string_view* findProperty(std::span<const KatPropertyView> properties,
                                     std::string_view key) noexcept {
  for (const KatPropertyView& property : properties)
    if (property.first == key) return &property.second;
  return nullptr;
}

KatFileViews loadKATFileViews(std::string_view vectorDirectory, std::string_view recordStartKey,
                              std::optional<std::string_view> prefix) {
  return loadKATFileViews(vectorDirectory, recordStartKey, startsWith(prefix));
}

KatFileViews loadKATFileViews(std::string_view vectorDirectory, std::string_view recordStartKey,
                              const std::function<bool(std::string_view fileName)>& reads) {
  KatFileViews result;
  result.paths = readVectorDirectory(
      vectorDirectory, reads, [&](const std::string& path, std::string&& text) {
        result.files.push_back(KatFileView::parse(path, std::move(text), recordStartKey));
      });
  return result;
}

FileDiagnostics* beginFileReport(SuiteDiagnostics* diagnostics, const KatFileView& file) {
  if (diagnostics == nullptr) return nullptr;
  FileDiagnostics& report = diagnostics->files.emplace_back();
  report.path = file.path();
  report.categories = file.categories().size();
  report.records = file.recordCount();
  return &report;
}

}  // namespace quillon_tests::detail
