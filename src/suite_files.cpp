#include "suite_files.hpp"

#include <quillon_tests/kat_records.hpp>

namespace quillon_tests::detail {

bool belongsToSuite(std::string_view fileName, std::string_view prefix) noexcept {
  if (!fileName.starts_with(prefix)) return false;
  if (fileName.size() == prefix.size()) return true;
  const char next = fileName[prefix.size()];
  return !(next >= '0' && next <= '9') && next != '_';
}

void noteFilesNotRead(SuiteDiagnostics* diagnostics, const std::vector<std::string>& paths,
                      std::string_view prefix) {
  if (!diagnostics) return;
  const std::string quotedPrefix = "\"" + std::string(prefix) + "\"";
  for (const std::string& path : paths) {
    const std::string_view name = fileNameOf(path);
    if (belongsToSuite(name, prefix)) continue;
    diagnostics->files.push_back(
        {path, 0, 0, 0,
         name.starts_with(prefix)
             ? "not read: the name continues " + quotedPrefix + " with a digit or \"_\""
             : "not read: the name does not begin with " + quotedPrefix,
         {}});
  }
}

}  // namespace quillon_tests::detail
