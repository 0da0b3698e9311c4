#pragma once
// A throw-away data directory for suite tests: created empty, made the data
// directory through quillon_tests_datadir, removed (and the variable
// restored) on destruction.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace test_support {

class TemporaryDataDir {
 public:
  /// Under `base`, by default the system's temporary directory.
  explicit TemporaryDataDir(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
    std::string pattern = (base / "quillon-data-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    if (const char* previous = ::getenv(variable)) previous_ = previous;
    ::setenv(variable, root_.c_str(), 1);
  }
  ~TemporaryDataDir() {
    if (previous_) {
      ::setenv(variable, previous_->c_str(), 1);
    } else {
      ::unsetenv(variable);
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TemporaryDataDir(const TemporaryDataDir&) = delete;
  TemporaryDataDir& operator=(const TemporaryDataDir&) = delete;

  /// Writes `contents` to `relativePath` under the directory, creating parents.
  void write(const std::string& relativePath, std::string_view contents) const {
    const std::filesystem::path path = root_ / relativePath;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
  }
  /// Creates an empty directory `relativePath`.
  void makeDirectory(const std::string& relativePath) const {
    std::filesystem::create_directories(root_ / relativePath);
  }
  [[nodiscard]] const std::filesystem::path& root() const { return root_; }

 private:
  static constexpr const char* variable = "quillon_tests_datadir";
  std::filesystem::path root_;
  std::optional<std::string> previous_;
};

}  // namespace test_support
