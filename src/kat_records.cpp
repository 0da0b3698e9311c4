#include <limits>
#include <stdexcept>
#include <quillon_tests/kat_records.hpp>

namespace quillon_tests {

const std::string* findProperty(const std::vector<KatProperty>& properties,
                                std::string_view key) noexcept {
  for (const KatProperty& property : properties)
    if (property.first == key) return &property.second;
  return nullptr;
}

std::string* findProperty(std::vector<KatProperty>& properties, std::string_view key) noexcept {
  for (KatProperty& property : properties)
    if (property.first == key) return &property.second;
  return nullptr;
}

std::string_view fileNameOf(std::string_view path) noexcept {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view fileStemOf(std::string_view path) noexcept {
  const std::string_view name = fileNameOf(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

long long parseDecimalField(std::string_view field, std::string_view text) {
  std::string_view digits = text;
  auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (!digits.empty() && isSpace(digits.front())) digits.remove_prefix(1);
  while (!digits.empty() && isSpace(digits.back())) digits.remove_suffix(1);
  const bool negative = !digits.empty() && digits.front() == '-';
  if (negative) digits.remove_prefix(1);
  if (digits.empty())
    throw std::invalid_argument(std::string(field) + " is not an integer: \"" + std::string(text) +
                                "\"");
  constexpr long long limit = std::numeric_limits<long long>::max();
  long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9')
      throw std::invalid_argument(std::string(field) + " is not an integer: \"" +
                                  std::string(text) + "\"");
    const int digit = c - '0';
    value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
  }
  return negative ? -value : value;
}

}  // namespace quillon_tests
