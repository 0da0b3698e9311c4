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
/// queries come first). Then reads each of them whose file name starts with
/// `prefix`, in that order, one
/// file open at a time, checks that it is UTF-8 and hands its path and text
/// to `take`. Throws DataFileError and DataEncodingError as loadKATFiles does.
std::vector<std::string> readVectorDirectory(
    std::string_view vectorDirectory, std::optional<std::string_view> prefix,
    const std::function<void(const std::string& path, std::string&& text)>& take);

}  // namespace quillon_tests::detail
