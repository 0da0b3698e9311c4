#pragma once
// Which vector files a suite of a given name prefix reads.

#include <string>
#include <string_view>
#include <vector>

#include <quillon_tests/diagnostics.hpp>

namespace quillon_tests::detail {

/// True when `fileName` begins with `prefix` and the character after it, if
/// any, is neither a digit nor "_": "SHA512" takes "SHA512ShortMsg.rsp" but
/// not "SHA512_224ShortMsg.rsp", "SHA1" not "SHA1024.rsp".
bool belongsToSuite(std::string_view fileName, std::string_view prefix) noexcept;

/// Adds a "not read" entry to `diagnostics` (when given) for every path of
/// the directory listing that does not belong to the suite of `prefix`.
void noteFilesNotRead(SuiteDiagnostics* diagnostics, const std::vector<std::string>& paths,
                      std::string_view prefix);

}  // namespace quillon_tests::detail
