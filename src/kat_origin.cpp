#include "kat_origin.hpp"

#include <quillon_tests/kat_records.hpp>

namespace quillon_tests::detail {

std::vector<std::string> openedPaths(const KatFiles& files,
                                     std::optional<std::string_view> prefix) {
  std::vector<std::string> opened;
  for (const std::string& path : files.paths)
    if (!prefix || fileNameOf(path).starts_with(*prefix)) opened.push_back(path);
  return opened;
}

std::string describeOrigin(std::string_view path, std::size_t recordInFile) {
  return "vector file: " + std::string(path) + ", record " + std::to_string(recordInFile);
}

}  // namespace quillon_tests::detail
