#pragma once
// Why a vector directory gives fewer tests than it has records.
//
// The known-answer suites skip unusable records silently, by design. Each
// suite's record selection can also fill a SuiteDiagnostics: per file, its
// categories and records, how many tests it gave, and every record it
// skipped with the reason. The suites and quillon-check's `vectors` command
// run the very same selection code, so the two cannot drift apart.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace quillon_tests {

struct SkippedRecord {
  /// Position of the record in its file, counting from 1 across categories.
  std::size_t record = 0;
  /// E.g. `missing "MD"`, `IV does not deserialise`, `key refused by buildKey`.
  std::string reason;
};

struct FileDiagnostics {
  std::string path;
  std::size_t categories = 0;
  std::size_t records = 0;
  /// Tests the suite builds from this file.
  std::size_t tests = 0;
  /// Set when the whole file gives nothing, e.g. "not read: name does not
  /// begin with SHA256" or "unsupported file kind \"CFBe\"".
  std::string note;
  std::vector<SkippedRecord> skipped;
};

struct SuiteDiagnostics {
  /// E.g. "makeSHA256Tests" or "makeAESTests<AES128>".
  std::string suite;
  /// The vector directory as resolved under the data directory.
  std::string directory;
  std::vector<FileDiagnostics> files;

  /// Sum of the files' tests.
  [[nodiscard]] std::size_t tests() const noexcept;
};

/// What one known-answer builder call made of its vector directory, in
/// counts: the summary a run prints beside the tests' outcomes, e.g.
/// "AES known answers: 2,352 passed; 4,784 records skipped: key refused
/// (192-bit 2,392, 256-bit 2,392)". Shared by all the tests of that call.
struct SelectionSummary {
  /// What the tests are, e.g. "AES known answers".
  std::string title;
  /// Tests the builder made from vector records.
  std::size_t tests = 0;
  /// Of those, the tests whose record carries a rejection marker (a "FAIL"
  /// line, "Result = Fail"): they expect the operation to refuse.
  std::size_t refusals = 0;

  struct Detail {
    std::string label;  // e.g. "192-bit"
    std::size_t records = 0;
  };
  struct SkipReason {
    std::string reason;  // e.g. "key refused"
    std::size_t records = 0;
    /// A breakdown of `records`, possibly empty.
    std::vector<Detail> details;
  };
  /// In the order the reasons first came up.
  std::vector<SkipReason> skipped;
};

/// A readable listing of `diagnostics`: one line per file read, one per
/// skipped record, and one line counting the files the suite does not read.
void printDiagnostics(std::ostream& out, const SuiteDiagnostics& diagnostics);

}  // namespace quillon_tests
