#include "kat_files_view.hpp"

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "kat_lines.hpp"
#include "vector_directory.hpp"

namespace quillon_tests::detail {

// Fills a KatFileView: keeps index ranges while the property array grows and
// turns them into spans once it is complete.
class ViewSink {
 public:
  static constexpr bool keepsLoose = true;

  explicit ViewSink(KatFileView& file) : file_(file) {}

  void atLine(std::size_t line) noexcept { line_ = line; }

  void openCategory() {
    const std::size_t at = file_.properties_.size();
    categories_.push_back({at, 0, at, 0, records_.size(), records_.size()});
  }
  void header(std::string_view key, std::string_view value) {
    add(key, value);
    ++categories_.back().headerSize;
  }
  void looseProperty(std::string_view key, std::string_view value) {
    CategoryRange& category = categories_.back();
    if (category.looseSize == 0) category.looseBegin = file_.properties_.size();
    add(key, value);
    ++category.looseSize;
  }
  void openRecord() {
    recordBegin_ = file_.properties_.size();
    file_.recordLines_.push_back(line_);
  }
  void recordProperty(std::string_view key, std::string_view value) { add(key, value); }
  void closeRecord() {
    records_.emplace_back(recordBegin_, file_.properties_.size());
    categories_.back().recordsEnd = records_.size();
  }

  void finish() {
    const std::vector<KatPropertyView>& properties = file_.properties_;
    file_.records_.reserve(records_.size());
    for (const auto& [begin, end] : records_) file_.records_.emplace_back(properties.data() + begin, end - begin);
    file_.categories_.reserve(categories_.size());
    for (const CategoryRange& range : categories_)
      file_.categories_.push_back(
          {{properties.data() + range.headerBegin, range.headerSize},
           {properties.data() + range.looseBegin, range.looseSize},
           {file_.records_.data() + range.recordsBegin, range.recordsEnd - range.recordsBegin}});
  }

 private:
  struct CategoryRange {
    std::size_t headerBegin, headerSize, looseBegin, looseSize, recordsBegin, recordsEnd;
  };

  // A view into the file's text as it is; anything else (the parser's
  // scratch buffers) is copied into the file first.
  std::string_view keep(std::string_view field) {
    const std::string_view text = file_.text_;
    const std::less_equal<const char*> notAfter;
    if (field.empty()) return {};
    if (notAfter(text.data(), field.data()) && notAfter(field.data() + field.size(), text.data() + text.size()))
      return field;
    return file_.copies_.emplace_back(field);
  }
  void add(std::string_view key, std::string_view value) { file_.properties_.emplace_back(keep(key), keep(value)); }

  KatFileView& file_;
  std::vector<CategoryRange> categories_;
  std::vector<std::pair<std::size_t, std::size_t>> records_;  // property index ranges
  std::size_t recordBegin_ = 0;
  std::size_t line_ = 0;  // of the line being parsed
};

KatFileView::KatFileView(Token, std::string path, std::string text)
    : path_(std::move(path)), text_(std::move(text)) {}

std::uint64_t KatFileView::fingerprint() const noexcept { return std::hash<std::string_view>{}(text_); }

std::shared_ptr<const KatFileView> KatFileView::parse(std::string path, std::string text,
                                                      std::string_view recordStartKey) {
  // Made in place first: the views point into the object's own members.
  auto file = std::make_shared<KatFileView>(Token{}, std::move(path), std::move(text));
  ViewSink sink(*file);
  KatStructure<ViewSink> structure(sink, recordStartKey);
  parseText(structure, file->text_);
  structure.finish();
  sink.finish();
  return file;
}

std::size_t KatFileView::indexOf(const KatRecordView& record) const noexcept {
  return static_cast<std::size_t>(&record - records_.data());
}

std::size_t KatFileView::lineOf(const KatRecordView& record) const noexcept { return recordLines_[indexOf(record)]; }

const KatCategoryView& KatFileView::categoryOf(std::size_t index) const noexcept {
  // The first category whose records end after the index.
  const KatRecordView* record = records_.data() + index;
  return *std::partition_point(categories_.begin(), categories_.end(), [record](const KatCategoryView& category) {
    return category.records.data() + category.records.size() <= record;
  });
}

const std::string_view* findProperty(std::span<const KatPropertyView> properties,
                                     std::string_view key) noexcept {
  for (const KatPropertyView& property : properties)
    if (property.first == key) return &property.second;
  return nullptr;
}

namespace {

std::string_view trimBlanks(std::string_view s) noexcept {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<std::string_view> headerValue(std::span<const KatPropertyView> header, std::string_view key) noexcept {
  for (const auto& [name, value] : header) {
    const std::size_t comma = value.find(',');
    if (name == key) return comma == std::string_view::npos ? value : trimBlanks(value.substr(0, comma));
    // The further settings of a comma-separated line, each "key = value".
    for (std::size_t at = comma; at != std::string_view::npos;) {
      const std::size_t next = value.find(',', at + 1);
      const std::string_view setting = value.substr(at + 1, next == std::string_view::npos ? next : next - at - 1);
      const std::size_t equals = setting.find('=');
      if (equals != std::string_view::npos && trimBlanks(setting.substr(0, equals)) == key)
        return trimBlanks(setting.substr(equals + 1));
      at = next;
    }
  }
  return std::nullopt;
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

std::shared_ptr<const KatFileView> reloadKatFile(const std::string& path, std::string_view recordStartKey,
                                                 std::uint64_t fingerprint) {
  auto file = KatFileView::parse(path, readVectorFile(path), recordStartKey);
  if (file->fingerprint() != fingerprint)
    throw std::runtime_error("the vector file " + path + " changed after its tests were made: build them again");
  return file;
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
