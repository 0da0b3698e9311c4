#include "kat_origin.hpp"

namespace quillon_tests::detail {

std::string describeOrigin(std::string_view path, std::size_t recordInFile) {
  return "vector file: " + std::string(path) + ", record " + std::to_string(recordInFile);
}

}  // namespace quillon_tests::detail
