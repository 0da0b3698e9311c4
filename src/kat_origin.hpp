#pragma once
// Where a known-answer vector came from, for failure reports.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillon_tests::detail {

/// "vector file: <path>, record <n>" (n counts the file's records from 1).
std::string describeOrigin(std::string_view path, std::size_t recordInFile);

}  // namespace quillon_tests::detail
