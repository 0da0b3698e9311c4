// Fuzz target for the vector-file parser. The first input byte picks the
// record-start key, the rest is the text. Every result is checked against
// the plain reference parser and against invariants that hold for any input.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <quillon_tests/kat_parser.hpp>

#include "fuzz_input.hpp"
#include "kat/reference_parser.hpp"

namespace {

void check(bool condition, const char* what) {
  quillon_fuzz::check(condition, "parse_categories_fuzz", what);
}

bool has(std::string_view text, std::string_view characters) {
  return text.find_first_of(characters) != std::string_view::npos;
}

void checkInvariants(std::string_view startKey, const std::vector<quillon_tests::KatCategory>& parsed) {
  for (const quillon_tests::KatCategory& category : parsed) {
    for (const auto& [key, value] : category.header) {
      check(!has(key, "[]=\r") && !has(value, "[]\r"), "header property keeps a bracket, '=' or CR");
    }
    for (const quillon_tests::KatRecord& record : category.records) {
      check(!record.empty() && record.front().first == startKey, "record does not open with the key");
      for (const auto& [key, value] : record)
        check(!has(key, "= \t\r\n") && !has(value, " \t\r\n"), "property keeps '=' in key or blanks");
    }
  }
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t newline = text.find('\n', at);
    const std::size_t stop = newline == std::string_view::npos ? text.size() : newline;
    lines.emplace_back(text.substr(at, stop - at));
    at = stop + 1;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillon_fuzz::VectorFileInput input;
  if (!quillon_fuzz::splitVectorFileInput(data, size, input)) return 0;
  const std::string_view startKey = input.recordStartKey;
  const std::string_view text = input.text;

  const auto parsed = quillon_tests::parseCategories(startKey, text);
  checkInvariants(startKey, parsed);
  check(parsed == quillon_tests::reference::parseCategories(startKey, text),
        "parseCategories differs from the reference parser");

  // getCategories takes lines as they are: blank and comment lines too.
  const std::vector<std::string> lines = splitLines(text);
  check(quillon_tests::getCategories(startKey, lines) ==
            quillon_tests::reference::getCategories(startKey, lines),
        "getCategories differs from the reference parser");
  return 0;
}
