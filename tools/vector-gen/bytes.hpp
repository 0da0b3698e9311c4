// Byte strings, hex text and the deterministic byte source of the generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vector_gen {

using Bytes = std::vector<std::uint8_t>;

enum class HexCase { lower, upper };

std::string toHex(const Bytes& bytes, HexCase letterCase);

// Strict decoder for the values the generator reads back from Debian's files:
// an odd length or a non-hex character throws, naming the offending text.
Bytes fromHex(std::string_view text);

Bytes concat(const Bytes& first, const Bytes& second);

// The first `count` bytes of `bytes`, or all of them when there are fewer.
Bytes prefix(const Bytes& bytes, std::size_t count);

// Reproducible pseudo-random bytes: block i of the stream is
// SHA-256(label || 0x00 || i as 8 big-endian bytes). The output depends only
// on the label, never on the platform, the time or a library version, so the
// generated files come out byte for byte the same on every machine. Each
// vector gets its own label, so adding a vector never shifts another one.
class ByteStream {
 public:
  explicit ByteStream(std::string label);
  Bytes take(std::size_t count);

 private:
  std::string label_;
  std::uint64_t nextBlock_ = 0;
  Bytes buffered_;
};

// Reads a whole file as bytes; throws with the path when it cannot.
std::string readFile(const std::string& path);
// Writes `contents` exactly (binary mode, no newline translation).
void writeFile(const std::string& path, std::string_view contents);

}  // namespace vector_gen
