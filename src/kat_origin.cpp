#include "kat_origin.hpp"

namespace quillon_tests::detail {

std::string describeOrigin(std::string_view path, std::size_t recordInFile, std::size_t line) {
  std::string text = "vector file: " + std::string(path) + ", record " + std::to_string(recordInFile);
  if (line > 0) text += " (line " + std::to_string(line) + ")";
  return text;
}

}  // namespace quillon_tests::detail
