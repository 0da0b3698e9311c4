#pragma once
// Small helpers over parsed vector files, shared by the known-answer suites.

#include <string>
#include <string_view>
#include <vector>

#include <quillon_tests/kat_parser.hpp>

namespace quillon_tests {

/// The value of the first property named `key` (case-sensitive), or nullptr.
const std::string* findProperty(const std::vector<KatProperty>& properties,
                                std::string_view key) noexcept;
/// The same, for a caller that owns the properties and may move the value out.
std::string* findProperty(std::vector<KatProperty>& properties, std::string_view key) noexcept;

/// The last component of a "/"-separated path.
std::string_view fileNameOf(std::string_view path) noexcept;

/// The file name without its final extension: everything before the last "."
/// of the file name, or the whole name when it has no ".". ".hidden" has the
/// empty stem.
std::string_view fileStemOf(std::string_view path) noexcept;

/// A decimal integer with an optional leading "-" (and, where the text can
/// hold it, surrounding white space). Digits past the range of long long
/// saturate, since callers only compare it with lengths. Throws
/// std::invalid_argument naming `field` and the text otherwise.
long long parseDecimalField(std::string_view field, std::string_view text);

}  // namespace quillon_tests
