#pragma once
// NIST known-answer vector files: text to categories of key/value records.
//
// The layout, line by line (lines end at "\n"):
//  - comment: first character "#"; dropped by parseCategories;
//  - blank:   empty or white space only; dropped by parseCategories;
//  - header:  first character "["; every "[" and "]" is removed, the rest is
//             split at its first "=" and key and value are trimmed of white
//             space at both ends ("[L = 20]" gives ("L", "20"), "[DECRYPT]"
//             gives ("DECRYPT", ""));
//  - property: any other line; every white-space character is removed, also
//             inside the value, and the rest is split at its first "="
//             ("Msg = 61 62" gives ("Msg", "6162"), "Note" gives ("Note", "")).
// A category is a run of header lines followed by the run of property lines
// up to the next header line. Inside a property run, every property whose key
// equals the record-start key (case-sensitive) opens a record; the others join
// the record opened last, and those before the first opening are discarded.
//
// White space is bytes 9-13 and 32 plus, in their UTF-8 form, U+00A0, U+1680,
// U+2000-U+200A, U+202F, U+205F and U+3000. The parser works on bytes and never
// fails: input that is not valid UTF-8 is taken as it is, bytes that do not
// form one of those white-space sequences being ordinary characters. White
// space is recognised in one pass over a line after its carriage returns are
// gone, so removing a blank never joins its neighbours into a new one.

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon_tests {

/// One key/value pair of a header line or a property line.
using KatProperty = std::pair<std::string, std::string>;

/// One vector: never empty, its first property has the record-start key.
/// Keys may repeat; users take the first occurrence.
using KatRecord = std::vector<KatProperty>;

/// The header properties that open a category and the records that follow.
struct KatCategory {
  std::vector<KatProperty> header;
  std::vector<KatRecord> records;

  friend bool operator==(const KatCategory&, const KatCategory&) = default;
};

/// Splits `text` into lines, drops comment lines (first character "#", tested
/// first) and blank lines, removes every carriage return from the lines kept,
/// and hands them to getCategories. Total: every input gives a result.
std::vector<KatCategory> parseCategories(std::string_view recordStartKey, std::string_view text);

/// Categories of lines that are already split and filtered. Drops nothing and
/// removes no carriage return by itself: a blank line in a property run is a
/// property with empty key and value, a comment line is an ordinary property.
std::vector<KatCategory> getCategories(std::string_view recordStartKey,
                                       std::span<const std::string> lines);

}  // namespace quillon_tests
