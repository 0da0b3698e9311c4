#pragma once
// Every exception the test library throws of its own, in one place. A test
// body that throws AssertionFailure fails; anything else it throws ends the
// test with an error. The others end a builder (the vector data cannot be
// read, a file is of no known kind) or a test (its vector cannot be used).

#include <cstddef>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace quillon_tests {

/// Thrown by assertEqual when the values differ. The runners report it as a
/// failure; any other exception from a test body is an error.
class AssertionFailure : public std::exception {
 public:
  explicit AssertionFailure(std::string report) : report_(std::move(report)) {}
  [[nodiscard]] const char* what() const noexcept override { return report_.c_str(); }

 private:
  std::string report_;
};

/// Raised by hexStringToBS for text it cannot decode, and by a known-answer
/// field that does not decode (naming the field, the vector file and the
/// record).
class HexDecodeError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

/// A vector directory that cannot be listed, or a vector file that cannot be
/// opened or read. what() names the path and the operating system's reason.
class DataFileError : public std::runtime_error {
 public:
  DataFileError(std::string path, std::error_code code, const std::string& action);
  [[nodiscard]] const std::string& path() const noexcept { return path_; }
  [[nodiscard]] std::error_code code() const noexcept { return code_; }

 private:
  std::string path_;
  std::error_code code_;
};

/// A vector file whose bytes are not valid UTF-8. what() names the file and
/// the byte offset of the first byte of the first invalid sequence.
class DataEncodingError : public std::runtime_error {
 public:
  DataEncodingError(std::string path, std::size_t offset);
  [[nodiscard]] const std::string& path() const noexcept { return path_; }
  [[nodiscard]] std::size_t offset() const noexcept { return offset_; }

 private:
  std::string path_;
  std::size_t offset_;
};

/// Raised by makeTwoFishTests for a vector file that holds records but whose
/// stem is no known kind. what() names the suite, the file, its stem and
/// the known kinds.
class UnknownVectorFileKindError : public std::runtime_error {
 public:
  UnknownVectorFileKindError(std::string path, std::string_view stem);
  [[nodiscard]] const std::string& path() const noexcept { return path_; }

 private:
  std::string path_;
};

/// Raised by a known-answer test whose key the cipher's buildKey refuses,
/// in a suite that builds keys when the test runs (TwoFish). what() names
/// the suite, the test, the key's length and the vector file and record.
class KeyRefusedError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Raised by a known-answer test whose expected digest the digest type's
/// get cannot read (MD5). what() names the suite, the test and the byte
/// count.
class DigestDecodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Raised when the block-aligned prefix of a message is asked for with a
/// block of zero bytes (a cipher whose blockSize() is under 8 bits, in the
/// block-cipher properties). Its text begins with "block size under 8 bits".
class BlockSizeUnderOneByteError : public std::domain_error {
 public:
  using std::domain_error::domain_error;
};

}  // namespace quillon_tests
