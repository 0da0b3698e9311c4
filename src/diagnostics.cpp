#include <ostream>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/kat_records.hpp>

namespace quillon_tests {

namespace {

const char* plural(std::size_t n, const char* one, const char* many) { return n == 1 ? one : many; }

bool isUnreadFile(const FileDiagnostics& file) {
  return file.records == 0 && file.categories == 0 && file.note.starts_with("not read");
}

}  // namespace

void printDiagnostics(std::ostream& out, const SuiteDiagnostics& diagnostics) {
  out << "== " << diagnostics.suite << ": " << diagnostics.tests() << " known-answer "
      << plural(diagnostics.tests(), "test", "tests") << " from " << diagnostics.directory << '\n';
  std::size_t unread = 0;
  std::string unreadReason;
  for (const FileDiagnostics& file : diagnostics.files) {
    if (isUnreadFile(file)) {
      ++unread;
      unreadReason = file.note;
      continue;
    }
    out << "  " << fileNameOf(file.path) << ": " << file.categories << ' '
        << plural(file.categories, "category", "categories") << ", " << file.records << ' '
        << plural(file.records, "record", "records") << ", " << file.tests << ' '
        << plural(file.tests, "test", "tests");
    if (!file.skipped.empty()) out << ", " << file.skipped.size() << " skipped";
    out << '\n';
    if (!file.note.empty()) out << "    " << file.note << '\n';
    for (const SkippedRecord& skipped : file.skipped)
      out << "    record " << skipped.record << " skipped: " << skipped.reason << '\n';
  }
  if (unread > 0)
    out << "  (" << unread << ' ' << plural(unread, "other file", "other files") << ' '
        << unreadReason << ")\n";
}

}  // namespace quillon_tests
