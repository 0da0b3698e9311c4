#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/kat_records.hpp>

namespace quillon_tests {

namespace {

const char* plural(std::size_t n, const char* one, const char* many) { return n == 1 ? one : many; }

bool isUnreadFile(const FileDiagnostics& file) {
  return file.records == 0 && file.categories == 0 && file.note.starts_with("not read");
}

}  // namespace

std::size_t SuiteDiagnostics::tests() const noexcept {
  std::size_t total = 0;
  for (const FileDiagnostics& file : files) total += file.tests;
  return total;
}

void printDiagnostics(std::ostream& out, const SuiteDiagnostics& diagnostics) {
  out << "== " << diagnostics.suite << ": " << diagnostics.tests() << " known-answer "
      << plural(diagnostics.tests(), "test", "tests") << " from " << diagnostics.directory << '\n';
  // Files not read at all are counted per reason, in order of first sight.
  std::vector<std::pair<std::string, std::size_t>> unread;
  for (const FileDiagnostics& file : diagnostics.files) {
    if (isUnreadFile(file)) {
      auto same = std::find_if(unread.begin(), unread.end(),
                               [&](const auto& entry) { return entry.first == file.note; });
      if (same == unread.end()) unread.emplace_back(file.note, 1);
      else ++same->second;
      continue;
    }
    out << "  " << fileNameOf(file.path) << ": " << file.categories << ' '
        << plural(file.categories, "category", "categories") << ", " << file.records << ' '
        << plural(file.records, "record", "records") << ", " << file.tests << ' '
        << plural(file.tests, "test", "tests");
    if (!file.skipped.empty()) out << ", " << file.skipped.size() << " skipped";
    out << '\n';
    if (!file.note.empty()) out << "    " << file.note << '\n';
    // Consecutive records skipped for the same reason share a line (a
    // binding of one key size skips whole files of the others).
    for (std::size_t i = 0; i < file.skipped.size();) {
      const SkippedRecord& first = file.skipped[i];
      std::size_t last = i;
      while (last + 1 < file.skipped.size() && file.skipped[last + 1].reason == first.reason &&
             file.skipped[last + 1].record == file.skipped[last].record + 1)
        ++last;
      if (last == i) {
        out << "    record " << first.record;
      } else {
        out << "    records " << first.record << '-' << file.skipped[last].record;
      }
      out << " skipped: " << first.reason << '\n';
      i = last + 1;
    }
  }
  for (const auto& [reason, count] : unread)
    out << "  (" << count << ' ' << plural(count, "other file", "other files") << ' ' << reason << ")\n";
}

}  // namespace quillon_tests
