// Fuzz target for hexStringToBS: the decoder must agree with a one-pair-at-a-
// time reading of the rules on every input, bytes or error alike.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <quillon_tests/hex.hpp>

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "hex_fuzz: %s\n", what);
    std::abort();
  }
}

std::optional<int> digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // The expected outcome: the bytes, or the offset of the first pair that
  // has no reading (odd length is checked first and has its own text).
  std::vector<std::uint8_t> expected;
  std::optional<std::size_t> unreadableAt;
  if (size % 2 == 0) {
    for (std::size_t at = 0; at < size; at += 2) {
      const auto high = digit(text[at]);
      if (!high) {
        unreadableAt = at;
        break;
      }
      const auto low = digit(text[at + 1]);
      expected.push_back(static_cast<std::uint8_t>(low ? *high * 16 + *low : *high));
    }
  }

  try {
    const quillon::ByteString decoded = quillon_tests::hexStringToBS(text);
    check(size % 2 == 0 && !unreadableAt, "decoded a text that has no reading");
    check(decoded == quillon::ByteString(expected), "decoded bytes differ from the rules");
  } catch (const quillon_tests::HexDecodeError& error) {
    const std::string what = error.what();
    if (size % 2 != 0) {
      check(what == "Not an even number of hex characters in input to hexStringToBS!",
            "odd length without its own error text");
    } else {
      check(unreadableAt.has_value(), "error for a text that has a reading");
      check(what.find("at offset " + std::to_string(*unreadableAt) + " ") != std::string::npos,
            "error names the wrong pair");
    }
  }
  return 0;
}
