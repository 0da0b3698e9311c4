#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include <quillon_tests/data_files.hpp>

#include "kat_text.hpp"
#include "vector_directory.hpp"

#ifndef QUILLON_TESTS_BUILTIN_DATADIR
#error "QUILLON_TESTS_BUILTIN_DATADIR must name the installed data directory"
#endif

namespace quillon_tests {

DataFileError::DataFileError(std::string path, std::error_code code, const std::string& action)
    : std::runtime_error("cannot " + action + " '" + path + "': " + code.message()),
      path_(std::move(path)),
      code_(code) {}

DataEncodingError::DataEncodingError(std::string path, std::size_t offset)
    : std::runtime_error("'" + path + "' is not valid UTF-8: invalid byte sequence at byte offset " +
                         std::to_string(offset)),
      path_(std::move(path)),
      offset_(offset) {}

namespace detail {

std::size_t firstInvalidUtf8(std::string_view text) noexcept {
  const unsigned char* const begin = bytesOf(text);
  const unsigned char* const end = begin + text.size();
  const unsigned char* p = begin;
  while (p != end) {
    // Vector files are ASCII almost throughout: skip it a word at a time.
    while (end - p >= 8 && (loadWord(p) & everyByte(0x80)) == 0) p += 8;
    if (p == end) break;
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    std::size_t length;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) secondLow = 0xA0;   // no overlong forms
      if (c == 0xED) secondHigh = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) secondLow = 0x90;   // no overlong forms
      if (c == 0xF4) secondHigh = 0x8F;  // nothing above U+10FFFF
    } else {
      return static_cast<std::size_t>(p - begin);
    }
    if (static_cast<std::size_t>(end - p) < length || p[1] < secondLow || p[1] > secondHigh)
      return static_cast<std::size_t>(p - begin);
    for (std::size_t i = 2; i < length; ++i)
      if ((p[i] & 0xC0) != 0x80) return static_cast<std::size_t>(p - begin);
    p += length;
  }
  return std::string_view::npos;
}

namespace {

std::error_code lastError() { return {errno, std::system_category()}; }

// The path join used for directory entries: entry names never hold "/".
std::string joinPath(const std::string& directory, std::string_view name) {
  if (directory.empty()) return std::string(name);
  if (directory.back() == '/') return directory + std::string(name);
  return directory + "/" + std::string(name);
}

std::string_view fileNameOf(std::string_view path) noexcept {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The entry names of `directory`, sorted bytewise. The order the system
// returns them in depends on the file system (hashed on ext4, newest first on
// tmpfs), and the suites number their tests in this order: sorting makes the
// same data give the same tests, names and shard split on every machine.
std::vector<std::string> listDirectory(const std::string& directory) {
  const std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(directory.c_str()), ::closedir);
  if (!handle) throw DataFileError(directory, lastError(), "list directory");
  std::vector<std::string> names;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(handle.get());
    if (entry == nullptr) {
      if (errno != 0) throw DataFileError(directory, lastError(), "list directory");
      // std::string compares as unsigned bytes, whatever the locale.
      std::sort(names.begin(), names.end());
      return names;
    }
    names.emplace_back(entry->d_name);
  }
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  [[nodiscard]] int get() const noexcept { return fd_; }

 private:
  int fd_;
};

// The whole content of the file at `path`; the file is closed on return.
std::string readWholeFile(const std::string& path) {
  // O_NONBLOCK: a FIFO among the vector files reads as empty instead of
  // waiting for a writer; it changes nothing for regular files.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) throw DataFileError(path, lastError(), "open file");
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) throw DataFileError(path, lastError(), "read file");
  std::string text;
  // The size is a hint only: the file may change while it is read.
  std::size_t capacity = status.st_size > 0 ? static_cast<std::size_t>(status.st_size) + 1 : 4096;
  text.resize(capacity);
  std::size_t used = 0;
  for (;;) {
    if (used == text.size()) text.resize(text.size() * 2);
    const ssize_t got = ::read(file.get(), text.data() + used, text.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) break;  // a FIFO with no data
      throw DataFileError(path, lastError(), "read file");
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  text.resize(used);
  return text;
}

}  // namespace

}  // namespace detail

std::string getDataDir() {
  if (const char* value = std::getenv("quillon_tests_datadir")) return value;
  return QUILLON_TESTS_BUILTIN_DATADIR;
}

std::string getDataFileName(std::string_view name) {
  std::string directory = getDataDir();
  if (directory.empty() || directory == ".") return std::string(name);
  if (name.empty()) return directory;
  if (directory.back() != '/') directory.push_back('/');
  directory.append(name);
  return directory;
}

namespace detail {

std::string readVectorFile(const std::string& path) {
  std::string text = readWholeFile(path);
  if (const std::size_t bad = firstInvalidUtf8(text); bad != std::string_view::npos)
    throw DataEncodingError(path, bad);
  return text;
}

std::vector<std::string> readVectorDirectory(
    std::string_view vectorDirectory, const std::function<bool(std::string_view fileName)>& reads,
    const std::function<void(const std::string& path, std::string&& text)>& take) {
  const std::string directory = getDataFileName(vectorDirectory);
  std::vector<std::string> paths;
  // Every status query comes before any file is opened.
  for (const std::string& name : listDirectory(directory)) {
    std::string path = joinPath(directory, name);
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) continue;
    paths.push_back(std::move(path));
  }
  for (const std::string& path : paths) {
    if (reads && !reads(fileNameOf(path))) continue;
    take(path, readVectorFile(path));
  }
  return paths;
}

}  // namespace detail

KatFiles loadKATFiles(std::string_view vectorDirectory, std::string_view recordStartKey,
                      std::optional<std::string_view> prefix) {
  KatFiles result;
  result.paths = detail::readVectorDirectory(
      vectorDirectory, detail::startsWith(prefix), [&](const std::string& /*path*/, std::string&& text) {
        result.files.push_back(parseCategories(recordStartKey, text));
      });
  return result;
}

}  // namespace quillon_tests
