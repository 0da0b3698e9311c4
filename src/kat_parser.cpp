#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <quillon_tests/kat_parser.hpp>

#include "kat_text.hpp"

namespace quillon_tests {

namespace detail {

namespace {

using Bytes = const unsigned char*;

std::string_view viewOf(Bytes begin, Bytes end) noexcept {
  return {reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin)};
}

bool isAsciiWhitespace(unsigned char c) noexcept { return c == ' ' || (c >= 9 && c <= 13); }

bool isBlank(Bytes p, Bytes end) noexcept {
  while (p != end) {
    const std::size_t length = whitespaceAt(p, end);
    if (length == 0) return false;
    p += length;
  }
  return true;
}

void appendWithout(std::string& out, std::string_view line, char dropped) {
  for (std::size_t at = 0; at < line.size();) {
    const char* hit = static_cast<const char*>(std::memchr(line.data() + at, dropped, line.size() - at));
    const std::size_t stop = hit ? static_cast<std::size_t>(hit - line.data()) : line.size();
    out.append(line.data() + at, stop - at);
    at = stop + 1;
  }
}

void appendWithoutWhitespace(std::string& out, std::string_view line) {
  Bytes p = bytesOf(line);
  const Bytes end = p + line.size();
  Bytes run = p;
  while (p != end) {
    const std::size_t length = whitespaceAt(p, end);
    if (length == 0) {
      ++p;
      continue;
    }
    out.append(viewOf(run, p));
    p += length;
    run = p;
  }
  out.append(viewOf(run, end));
}

std::string_view trimWhitespace(std::string_view text) noexcept {
  Bytes begin = bytesOf(text);
  Bytes end = begin + text.size();
  while (begin != end) {
    const std::size_t length = whitespaceAt(begin, end);
    if (length == 0) break;
    begin += length;
  }
  while (begin != end) {
    const std::size_t length = whitespaceBefore(begin, end);
    if (length == 0) break;
    end -= length;
  }
  return viewOf(begin, end);
}

std::pair<std::string_view, std::string_view> splitAtEquals(std::string_view text) noexcept {
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return {text, {}};
  return {text.substr(0, eq), text.substr(eq + 1)};
}

// Builds categories from classified lines. A record is built in place; its
// capacity is guessed from the record before it (the records of a category
// mostly share one shape) and trimmed when it closes, so finished records
// hold no spare capacity.
class CategoryBuilder {
 public:
  explicit CategoryBuilder(std::string_view recordStartKey) : startKey_(recordStartKey) {}

  void header(std::string_view key, std::string_view value) {
    if (categories_.empty() || inPropertyRun_) openCategory();
    inPropertyRun_ = false;
    categories_.back().header.emplace_back(key, value);
  }

  // Whether a property with this key is kept: it opens a record or joins an
  // open one. Asked first so that discarded values are never copied.
  [[nodiscard]] bool keeps(std::string_view key) const noexcept {
    return record_ != nullptr || key == startKey_;
  }

  // A property line.
  void property(std::string_view key, std::string_view value) {
    if (!inPropertyRun_) startPropertyRun();
    if (key == startKey_) {
      closeRecord();
      std::vector<KatRecord>& records = categories_.back().records;
      record_ = &records.emplace_back();
      record_->reserve(lastRecordSize_);
    } else if (record_ == nullptr) {
      return;
    }
    record_->emplace_back(key, value);
  }

  // A property line that a fast path has found to be discarded.
  void discardedProperty() {
    if (!inPropertyRun_) startPropertyRun();
  }

  std::vector<KatCategory> finish() && {
    closeCategory();
    return std::move(categories_);
  }

 private:
  void startPropertyRun() {
    if (categories_.empty()) openCategory();
    inPropertyRun_ = true;
  }

  void openCategory() {
    closeCategory();
    categories_.emplace_back();
  }

  void closeRecord() {
    if (record_ == nullptr) return;
    lastRecordSize_ = record_->size();
    if (record_->capacity() != record_->size()) record_->shrink_to_fit();
    record_ = nullptr;
  }

  void closeCategory() {
    if (categories_.empty()) return;
    closeRecord();
    categories_.back().records.shrink_to_fit();
    categories_.back().header.shrink_to_fit();
  }

  std::string_view startKey_;
  std::vector<KatCategory> categories_;
  KatRecord* record_ = nullptr;  // the open record, the last of the last category
  std::size_t lastRecordSize_ = 4;
  bool inPropertyRun_ = false;
};

// The common property line: printable ASCII key, optional blanks, "=",
// optional blanks, printable ASCII value, optional trailing ASCII white
// space. Taken without copying; returns false, having done nothing, for
// anything else (the general path then handles it).
bool tryPlainProperty(CategoryBuilder& builder, std::string_view line) {
  Bytes begin = bytesOf(line);
  Bytes end = begin + line.size();
  while (end != begin && isAsciiWhitespace(end[-1])) --end;
  const auto* eq = static_cast<Bytes>(std::memchr(begin, '=', static_cast<std::size_t>(end - begin)));
  Bytes keyEnd = eq ? eq : end;
  while (keyEnd != begin && isAsciiWhitespace(keyEnd[-1])) --keyEnd;
  if (!isPlainAscii(begin, keyEnd)) return false;
  const std::string_view key = viewOf(begin, keyEnd);
  if (!builder.keeps(key)) {
    // Discarded whatever its value holds, so the value need not be checked.
    builder.discardedProperty();
    return true;
  }
  Bytes value = eq ? eq + 1 : end;
  while (value != end && isAsciiWhitespace(*value)) ++value;
  if (!isPlainAscii(value, end)) return false;
  builder.property(key, viewOf(value, end));
  return true;
}

// One pass over the common line of a text: a printable ASCII key, optional
// blanks, "=", optional blanks, a printable ASCII value, and the line end
// ("\n", "\r\n" or the end of the text). Returns where the next line starts,
// or nullptr, having done nothing, when the line is anything else.
Bytes tryPlainLine(CategoryBuilder& builder, Bytes line, Bytes end) {
  auto isBlankByte = [](unsigned char c) { return c == ' ' || c == '\t'; };
  Bytes at = findNonPlainOrEquals(line, end);
  const Bytes keyEnd = at;
  while (at != end && isBlankByte(*at)) ++at;
  Bytes value = at;
  Bytes valueEnd = at;
  if (at != end && *at == '=') {
    ++at;
    while (at != end && isBlankByte(*at)) ++at;
    value = at;
    valueEnd = findNonPlain(at, end);
  }
  Bytes next;
  if (valueEnd == end)
    next = end;
  else if (*valueEnd == '\n')
    next = valueEnd + 1;
  else if (*valueEnd == '\r' && (valueEnd + 1 == end || valueEnd[1] == '\n'))
    next = valueEnd + 1 == end ? end : valueEnd + 2;
  else
    return nullptr;
  const std::string_view key = viewOf(line, keyEnd);
  if (builder.keeps(key))
    builder.property(key, viewOf(value, valueEnd));
  else
    builder.discardedProperty();
  return next;
}

// Any property line: every white-space character removed, split at the
// first "=".
void generalProperty(CategoryBuilder& builder, std::string_view line, std::string& scratch) {
  scratch.clear();
  appendWithoutWhitespace(scratch, line);
  const auto [key, value] = splitAtEquals(scratch);
  if (builder.keeps(key))
    builder.property(key, value);
  else
    builder.discardedProperty();
}

// A header line: every bracket removed, split at the first "=", both halves
// trimmed.
void headerLine(CategoryBuilder& builder, std::string_view line, std::string& scratch) {
  scratch.clear();
  for (const char c : line)
    if (c != '[' && c != ']') scratch.push_back(c);
  const auto [key, value] = splitAtEquals(scratch);
  builder.header(trimWhitespace(key), trimWhitespace(value));
}

// A line after carriage-return removal (parseCategories) or as given
// (getCategories), by the general rules.
void categoriseLine(CategoryBuilder& builder, std::string_view line, std::string& scratch) {
  if (!line.empty() && line.front() == '[')
    headerLine(builder, line, scratch);
  else
    generalProperty(builder, line, scratch);
}

}  // namespace

}  // namespace detail

std::vector<KatCategory> parseCategories(std::string_view recordStartKey, std::string_view text) {
  using detail::Bytes;
  detail::CategoryBuilder builder(recordStartKey);
  std::string scratch;
  std::string withoutReturns;
  Bytes at = detail::bytesOf(text);
  const Bytes end = at + text.size();
  while (at != end) {
    // A printable first byte other than "#" and "[" rules out comment,
    // blank and header lines and needs no carriage-return removal.
    if (*at >= 0x21 && *at < 0x80 && *at != '#' && *at != '[') {
      if (const Bytes next = detail::tryPlainLine(builder, at, end)) {
        at = next;
        continue;
      }
    }
    const auto* newline = static_cast<Bytes>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
    const Bytes lineEnd = newline ? newline : end;
    const Bytes line = at;
    at = newline ? newline + 1 : end;

    if (line == lineEnd) continue;  // empty: blank
    const unsigned char first = *line;
    if (first == '#') continue;  // comment; tested before the blank test
    // A printable first byte decides the blank test at once.
    if ((first <= 0x20 || first >= 0x80) && detail::isBlank(line, lineEnd)) continue;

    // The common line needs no copy. Carriage returns are only white space
    // to a property line, except a leading one, which can hide a header
    // ("\r[" is one), so such lines take the general path.
    if (first != '[' && first != '\r' &&
        detail::tryPlainProperty(builder, detail::viewOf(line, lineEnd)))
      continue;
    std::string_view kept = detail::viewOf(line, lineEnd);
    if (std::memchr(line, '\r', kept.size()) != nullptr) {
      withoutReturns.clear();
      detail::appendWithout(withoutReturns, kept, '\r');
      kept = withoutReturns;
    }
    detail::categoriseLine(builder, kept, scratch);
  }
  return std::move(builder).finish();
}

std::vector<KatCategory> getCategories(std::string_view recordStartKey,
                                       std::span<const std::string> lines) {
  detail::CategoryBuilder builder(recordStartKey);
  std::string scratch;
  for (const std::string_view line : lines) {
    if (line.empty() || line.front() != '[') {
      if (detail::tryPlainProperty(builder, line)) continue;
    }
    detail::categoriseLine(builder, line, scratch);
  }
  return std::move(builder).finish();
}

}  // namespace quillon_tests
