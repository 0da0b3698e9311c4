#pragma once
// Vector files as the known-answer suites read them: each file's text kept
// whole, its properties views into it. Loading allocates per file, not per
// field. A test does not keep a file: it holds the file's path, its
// fingerprint and the record's position, and reloadKatFile reads the file
// again when the test runs.

#include <cstddef>
#include <cstdint>
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
  /// The property lines before the category's first record, which belong to
  /// no record (NIST's "Seed = ..." or "Key = ..." lines below a header, or
  /// "Plen = 24" before the first header). parseCategories drops them.
  std::span<const KatPropertyView> loose;
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
  /// What the text hashes to: a test checks that the file it reloads is the
  /// one its suite listed. Computed on each call, so that the files a suite
  /// makes no test of (another key size's) are never hashed.
  [[nodiscard]] std::uint64_t fingerprint() const noexcept;
  [[nodiscard]] std::span<const KatCategoryView> categories() const noexcept { return categories_; }
  /// The records of all categories together, in file order.
  [[nodiscard]] std::span<const KatRecordView> records() const noexcept { return records_; }
  [[nodiscard]] std::size_t recordCount() const noexcept { return records_.size(); }
  /// The line of the text (from 1) where `record`, one of this file's
  /// records, starts: the line of its record-start key.
  [[nodiscard]] std::size_t lineOf(const KatRecordView& record) const noexcept;
  /// The position of one of this file's records in records(), from 0.
  [[nodiscard]] std::size_t indexOf(const KatRecordView& record) const noexcept;
  /// The category holding records()[index].
  [[nodiscard]] const KatCategoryView& categoryOf(std::size_t index) const noexcept;

 private:
  friend class ViewSink;

  std::string path_;
  std::string text_;
  // Keys and values that are not a slice of the text (header lines, lines
  // with white space inside a field or with carriage returns). A deque
  // never moves its elements, so views into them stay valid.
  std::deque<std::string> copies_;
  std::vector<KatPropertyView> properties_;  // headers, loose lines and records, in file order
  std::vector<KatRecordView> records_;
  std::vector<std::size_t> recordLines_;  // parallel to records_
  std::vector<KatCategoryView> categories_;
};

/// The value of the first property named `key`, or nullptr.
const std::string_view* findProperty(std::span<const KatPropertyView> properties,
                                     std::string_view key) noexcept;

/// The value of `key` in a category header. A header line may list several
/// settings separated by commas, as NIST's CCM files do
/// ("[Alen = 0, Plen = 0, Nlen = 7, Tlen = 4]" is parsed as the key "Alen"
/// with the value "0, Plen = 0, Nlen = 7, Tlen = 4"): the value of "Alen" is
/// then "0" and that of "Tlen" "4". A header without commas is read as it is.
std::optional<std::string_view> headerValue(std::span<const KatPropertyView> header, std::string_view key) noexcept;

/// A vector directory read as loadKATFiles reads it.
struct KatFileViews {
  /// The same list as KatFiles::paths.
  std::vector<std::string> paths;
  /// The files whose name starts with the prefix, in the order of `paths`.
  std::vector<std::shared_ptr<const KatFileView>> files;
};

/// loadKATFiles with the files as views: the same listing, order, reading,
/// checks and errors.
KatFileViews loadKATFileViews(std::string_view vectorDirectory, std::string_view recordStartKey,
                              std::optional<std::string_view> prefix = {});
/// The same, reading the files whose name `reads` accepts (all when empty).
KatFileViews loadKATFileViews(std::string_view vectorDirectory, std::string_view recordStartKey,
                              const std::function<bool(std::string_view fileName)>& reads);

/// The file at `path` parsed with `recordStartKey`, as it was when a suite
/// listed it with `fingerprint`. Throws DataFileError or DataEncodingError
/// when it cannot be read, and std::runtime_error naming it when it changed.
std::shared_ptr<const KatFileView> reloadKatFile(const std::string& path, std::string_view recordStartKey,
                                                 std::uint64_t fingerprint);

/// The diagnostics entry of one file a suite reads, with its path and its
/// category and record counts; nullptr when no diagnostics are wanted.
FileDiagnostics* beginFileReport(SuiteDiagnostics* diagnostics, const KatFileView& file);

}  // namespace quillon_tests::detail
