#pragma once
// Where a known-answer vector came from, for failure reports.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillon_tests::detail {

/// "vector file: <path>, record <n>" (n counts the file's records from 1),
/// followed by " (line <l>)" when the line where the record starts is known.
std::string describeOrigin(std::string_view path, std::size_t recordInFile, std::size_t line = 0);

}  // namespace quillon_tests::detail
