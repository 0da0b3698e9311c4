#pragma once
// Where the vector files live, and reading a suite's vector directory.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <quillon_tests/errors.hpp>  // DataFileError, DataEncodingError
#include <quillon_tests/kat_parser.hpp>

namespace quillon_tests {

/// The data directory: the value of the environment variable
/// quillon_tests_datadir when it is set (verbatim, even when empty), else the
/// directory the vector files are installed to. Read on every call.
std::string getDataDir();

/// `name` under the data directory. With dir = getDataDir(), the first rule
/// that applies: dir empty or exactly "." gives `name`; `name` empty gives
/// dir; dir ending in "/" gives dir + name; otherwise dir + "/" + name.
/// `name` is not examined ("/x" gives dir + "//x"); nothing is checked on disk.
std::string getDataFileName(std::string_view name);

/// A vector directory's files, both lists in the order of the entry names,
/// compared byte for byte (so "B.rsp" comes before "a.rsp"): the same on
/// every file system, whatever order the files were created in.
struct KatFiles {
  /// Every entry that names an existing non-directory (symbolic links
  /// followed), as the directory path joined with the entry name.
  std::vector<std::string> paths;
  /// The parsed text of each of those paths whose file name starts with the
  /// prefix (all of them when there is no prefix).
  std::vector<std::vector<KatCategory>> files;
};

/// Lists getDataFileName(vectorDirectory), keeps the entries that are not
/// directories (entries whose status cannot be read, such as dangling links,
/// are dropped; subdirectories are not entered), and parses each kept file
/// whose name starts with `prefix` (compared byte for byte) with
/// parseCategories(recordStartKey, text). Entries are taken in the order of
/// their names, byte for byte, never in the order the file system lists
/// them, which differs between machines. Each file is read whole and closed
/// before the next is opened.
/// Throws DataFileError when the directory cannot be listed or a file cannot
/// be opened or read, and DataEncodingError when a file is not valid UTF-8.
KatFiles loadKATFiles(std::string_view vectorDirectory, std::string_view recordStartKey,
                      std::optional<std::string_view> prefix = {});

}  // namespace quillon_tests
