#pragma once
// Listing and reading a vector directory, shared by the loaders.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon_tests::detail {

/// Lists getDataFileName(vectorDirectory), sorted by entry name bytewise,
/// and returns every entry that is an existing non-directory (all status
/// queries come first). Then reads each of them whose file name `reads`
/// accepts (all when it is empty), in that order, one file open at a time,
/// checks that it is UTF-8 and hands its path and text to `take`. Throws
/// DataFileError and DataEncodingError as loadKATFiles does.
std::vector<std::string> readVectorDirectory(
    std::string_view vectorDirectory, const std::function<bool(std::string_view fileName)>& reads,
    const std::function<void(const std::string& path, std::string&& text)>& take);

/// The text of one vector file, read whole and checked to be UTF-8, with
/// the errors of readVectorDirectory.
std::string readVectorFile(const std::string& path);

/// The file-name test of loadKATFiles' prefix: names starting with it, or
/// every name without one.
inline std::function<bool(std::string_view)> startsWith(std::optional<std::string_view> prefix) {
  if (!prefix) return {};
  return [prefix = *prefix](std::string_view fileName) { return fileName.starts_with(prefix); };
}

}  // namespace quillon_tests::detail
