#pragma once
// Vector files as the known-answer suites read them: each file's text kept
// whole, its properties views into it. Loading allocates per file, not per
// field, and tests hold views rather than copies.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <quillon_tests/diagnostics.hpp>

namespace quillon_tests::detail {

using KatPropertyView = std::pair<std::string_view, std::string_view>;
/// One record: never empty, its first property has the record-start key.
using KatRecordView = std::span<const KatPropertyView>;

struct KatCategoryView {
  std::span<const KatPropertyView> header;
  std::span<const KatRecordView> records;
};

/// One vector file, parsed by the parseCategories rules. Immutable once
/// made; every view it hands out lives as long as the object.
class KatFileView {
  struct Token {};

 public:
  /// Takes `text` as the file's content and parses it.
  static std::shared_ptr<const KatFileView> parse(std::string path, std::string text,
                                                  std::string_view recordStartKey);

  KatFileView(Token, std::string path, std::string text);
  KatFileView(const KatFileView&) = delete;
  KatFileView& operator=(const KatFileView&) = delete;

  [[nodiscard]] const std::string& path() const noexcept { return path_; }
  [[nodiscard]] std::string_view text() const noexcept { return text_; }
  [[nodiscard]] std::span<const KatCategoryView> categories() const noexcept { return categories_; }
  /// The records of all categories together.
  [[nodiscard]] std::size_t recordCount() const noexcept { return records_.size(); }

 private:
  friend class ViewBuilder;

  std::string path_;
  std::string text_;
  // Keys and values that are not a slice of the text (header lines, lines
  // with white space inside a field or with carriage returns). A deque
  // never moves its elements, so views into them stay valid.
  std::deque<std::string> copies_;
  std::vector<KatPropertyView> properties_;  // headers and records, in file order
  std::vector<KatRecordView> records_;
  std::vector<KatCategoryView> categories_;
};

/// The value of the first property named `key`, or nullptr.
const std::string_view* findProperty(std::span<const KatPropertyView> properties,
                                     std::string_view key) noexcept;

/// A vector directory read as loadKATFiles reads it.
struct KatFileViews {
  /// The same list as KatFiles::paths.
  std::vector<std::string> paths;
  /// The files whose name starts with the prefix, in listing order.
  std::vector<std::shared_ptr<const KatFileView>> files;
};

/// loadKATFiles with the files as views: the same listing, order, reading,
/// checks and errors.
KatFileViews loadKATFileViews(std::string_view vectorDirectory, std::string_view recordStartKey,
                              std::optional<std::string_view> prefix = {});
/// The same, reading the files whose name `reads` accepts (all when empty).
KatFileViews loadKATFileViews(std::string_view vectorDirectory, std::string_view recordStartKey,
                              const std::function<bool(std::string_view fileName)>& reads);

/// The diagnostics entry of one file a suite reads, with its path and its
/// category and record counts; nullptr when no diagnostics are wanted.
FileDiagnostics* beginFileReport(SuiteDiagnostics* diagnostics, const KatFileView& file);

}  // namespace quillon_tests::detail
