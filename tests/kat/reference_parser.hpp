#pragma once
// A deliberately plain vector-file parser: each rule of the format applied
// as its own pass over whole lists, with no fast paths. The tests and the
// fuzz targets compare the real parser against it.

#include <string>
#include <string_view>
#include <vector>

#include <quillon_tests/kat_parser.hpp>

namespace quillon_tests::reference {

// The text cut into units: a white-space character (one of its byte
// sequences) or any other single byte.
struct Unit {
  std::string_view bytes;
  bool whitespace;
};

inline std::vector<Unit> units(std::string_view text) {
  static const std::vector<std::string> multiByteSpaces = [] {
    std::vector<std::string> spaces = {"\xC2\xA0", "\xE1\x9A\x80", "\xE2\x80\xAF", "\xE2\x81\x9F",
                                       "\xE3\x80\x80"};
    for (char last = '\x80'; last != '\x8B'; ++last) spaces.push_back(std::string("\xE2\x80") + last);
    return spaces;
  }();
  std::vector<Unit> out;
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    std::size_t length = 0;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r') length = 1;
    if (static_cast<unsigned char>(c) >= 0xC2)
      for (const std::string& space : multiByteSpaces)
        if (text.substr(at).starts_with(space)) length = space.size();
    out.push_back({text.substr(at, length == 0 ? 1 : length), length != 0});
    at += length == 0 ? 1 : length;
  }
  return out;
}

inline bool blank(std::string_view line) {
  for (const Unit& unit : units(line))
    if (!unit.whitespace) return false;
  return true;
}

inline std::string withoutWhitespace(std::string_view text) {
  std::string out;
  for (const Unit& unit : units(text))
    if (!unit.whitespace) out += unit.bytes;
  return out;
}

inline std::string trimmed(std::string_view text) {
  const std::vector<Unit> all = units(text);
  std::size_t first = 0;
  std::size_t last = all.size();
  while (first < last && all[first].whitespace) ++first;
  while (last > first && all[last - 1].whitespace) --last;
  std::string out;
  for (std::size_t i = first; i < last; ++i) out += all[i].bytes;
  return out;
}

inline std::string without(std::string_view text, std::string_view dropped) {
  std::string out;
  for (const char c : text)
    if (dropped.find(c) == std::string_view::npos) out += c;
  return out;
}

inline KatProperty splitAtFirstEquals(const std::string& text) {
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos) return {text, ""};
  return {text.substr(0, eq), text.substr(eq + 1)};
}

inline bool isHeader(const std::string& line) { return !line.empty() && line[0] == '['; }

inline std::vector<std::string> filteredLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  for (const char c : text) {
    if (c == '\n') {
      lines.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == '#') continue;
    if (blank(line)) continue;
    kept.push_back(without(line, "\r"));
  }
  return kept;
}

inline std::vector<KatCategory> getCategories(std::string_view startKey,
                                              const std::vector<std::string>& lines) {
  std::vector<KatCategory> categories;
  std::size_t at = 0;
  while (at < lines.size()) {
    std::vector<std::string> headerRun;
    std::vector<std::string> propertyRun;
    while (at < lines.size() && isHeader(lines[at])) headerRun.push_back(lines[at++]);
    while (at < lines.size() && !isHeader(lines[at])) propertyRun.push_back(lines[at++]);

    KatCategory category;
    for (const std::string& line : headerRun) {
      const KatProperty split = splitAtFirstEquals(without(line, "[]"));
      category.header.emplace_back(trimmed(split.first), trimmed(split.second));
    }
    std::vector<KatProperty> properties;
    for (const std::string& line : propertyRun)
      properties.push_back(splitAtFirstEquals(withoutWhitespace(line)));
    for (const KatProperty& property : properties) {
      if (property.first == startKey)
        category.records.push_back({property});
      else if (!category.records.empty())
        category.records.back().push_back(property);
    }
    categories.push_back(category);
  }
  return categories;
}

inline std::vector<KatCategory> parseCategories(std::string_view startKey, std::string_view text) {
  return getCategories(startKey, filteredLines(text));
}

}  // namespace quillon_tests::reference
