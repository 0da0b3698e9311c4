#pragma once
// Where a known-answer vector came from, for failure reports.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <quillon_tests/data_files.hpp>

namespace quillon_tests::detail {

/// The paths of the files that loadKATFiles opened, aligned with
/// `files.files`: with a prefix, only the paths whose file name begins with it.
std::vector<std::string> openedPaths(const KatFiles& files,
                                     std::optional<std::string_view> prefix);

/// "vector file: <path>, record <n>" (n counts the file's records from 1).
std::string describeOrigin(std::string_view path, std::size_t recordInFile);

}  // namespace quillon_tests::detail
