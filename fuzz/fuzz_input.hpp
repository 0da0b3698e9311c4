#pragma once
// The input format the vector-file fuzz targets share: the first byte picks
// the record-start key, the rest is the file's text. Corpus files of one
// target therefore serve the others.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string_view>

namespace quillon_fuzz {

struct VectorFileInput {
  std::string_view recordStartKey;
  std::string_view text;
};

/// Nothing for empty input.
inline bool splitVectorFileInput(const std::uint8_t* data, std::size_t size, VectorFileInput& out) {
  if (size == 0) return false;
  static constexpr std::string_view keys[] = {"Len", "COUNT", "Count", "I", "", "Msg", "[", "#"};
  out.recordStartKey = keys[data[0] % std::size(keys)];
  out.text = std::string_view(reinterpret_cast<const char*>(data + 1), size - 1);
  return true;
}

/// Aborts, naming the target and the broken expectation, so that libFuzzer
/// keeps the input and the replay test fails.
inline void check(bool condition, const char* target, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "%s: %s\n", target, what);
    std::abort();
  }
}

}  // namespace quillon_fuzz
