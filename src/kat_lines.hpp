#pragma once
// The rules that classify and split the lines of a vector file, and the
// structure they give (categories of records), written once for every
// builder of their result.
//
// The line rules (parseText, parseLines) drive a builder that provides
//   header(key, value)      a header line's property;
//   keeps(key) -> bool      whether a property with this key is kept (it
//                           opens a record or joins an open one); asked
//                           first, so that discarded values are never copied;
//   property(key, value)    a kept property line's property;
//   discardedProperty()     a property line found to be discarded;
// and, optionally,
//   atLine(n)               told before each line of a text is looked at,
//                           with its number counted from 1 (for builders
//                           that remember where records start).
// Keys and values are views, either into the text given or into a scratch
// buffer that the next line reuses: a builder copies what it keeps of the
// latter.
//
// KatStructure is that builder for every loader: it decides where
// categories and records open and close, and tells a sink.

#include <cstddef>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "kat_text.hpp"

namespace quillon_tests::detail {

using Bytes = const unsigned char*;

inline std::string_view viewOf(Bytes begin, Bytes end) noexcept {
  return {reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin)};
}

inline bool isAsciiWhitespace(unsigned char c) noexcept { return c == ' ' || (c >= 9 && c <= 13); }

inline bool isBlank(Bytes p, Bytes end) noexcept {
  while (p != end) {
    const std::size_t length = whitespaceAt(p, end);
    if (length == 0) return false;
    p += length;
  }
  return true;
}

inline void appendWithout(std::string& out, std::string_view line, char dropped) {
  for (std::size_t at = 0; at < line.size();) {
    const char* hit = static_cast<const char*>(std::memchr(line.data() + at, dropped, line.size() - at));
    const std::size_t stop = hit ? static_cast<std::size_t>(hit - line.data()) : line.size();
    out.append(line.data() + at, stop - at);
    at = stop + 1;
  }
}

inline void appendWithoutWhitespace(std::string& out, std::string_view line) {
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

inline std::string_view trimWhitespace(std::string_view text) noexcept {
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

inline std::pair<std::string_view, std::string_view> splitAtEquals(std::string_view text) noexcept {
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return {text, {}};
  return {text.substr(0, eq), text.substr(eq + 1)};
}

// The common property line: printable ASCII key, optional blanks, "=",
// optional blanks, printable ASCII value, optional trailing ASCII white
// space. Taken without copying; returns false, having done nothing, for
// anything else (the general path then handles it).
template <class Builder>
bool tryPlainProperty(Builder& builder, std::string_view line) {
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
template <class Builder>
Bytes tryPlainLine(Builder& builder, Bytes line, Bytes end) {
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
template <class Builder>
void generalProperty(Builder& builder, std::string_view line, std::string& scratch) {
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
template <class Builder>
void headerLine(Builder& builder, std::string_view line, std::string& scratch) {
  scratch.clear();
  for (const char c : line)
    if (c != '[' && c != ']') scratch.push_back(c);
  const auto [key, value] = splitAtEquals(scratch);
  builder.header(trimWhitespace(key), trimWhitespace(value));
}

// A line after carriage-return removal (parseCategories) or as given
// (getCategories), by the general rules.
template <class Builder>
void categoriseLine(Builder& builder, std::string_view line, std::string& scratch) {
  if (!line.empty() && line.front() == '[')
    headerLine(builder, line, scratch);
  else
    generalProperty(builder, line, scratch);
}

/// Feeds the lines of `text` to `builder` by the parseCategories rules:
/// comment and blank lines dropped, carriage returns removed.
template <class Builder>
void parseText(Builder& builder, std::string_view text) {
  std::string scratch;
  std::string withoutReturns;
  Bytes at = bytesOf(text);
  const Bytes end = at + text.size();
  std::size_t lineNumber = 0;  // every pass of the loop takes one line
  while (at != end) {
    if constexpr (requires { builder.atLine(lineNumber); }) builder.atLine(++lineNumber);
    // A printable first byte other than "#" and "[" rules out comment,
    // blank and header lines and needs no carriage-return removal.
    if (*at >= 0x21 && *at < 0x80 && *at != '#' && *at != '[') {
      if (const Bytes next = tryPlainLine(builder, at, end)) {
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
    if ((first <= 0x20 || first >= 0x80) && isBlank(line, lineEnd)) continue;

    // The common line needs no copy. Carriage returns are only white space
    // to a property line, except a leading one, which can hide a header
    // ("\r[" is one), so such lines take the general path.
    if (first != '[' && first != '\r' && tryPlainProperty(builder, viewOf(line, lineEnd))) continue;
    std::string_view kept = viewOf(line, lineEnd);
    if (std::memchr(line, '\r', kept.size()) != nullptr) {
      withoutReturns.clear();
      appendWithout(withoutReturns, kept, '\r');
      kept = withoutReturns;
    }
    categoriseLine(builder, kept, scratch);
  }
}

/// Feeds lines that are already split and filtered to `builder` by the
/// getCategories rules: nothing dropped, no carriage return removed.
template <class Builder>
void parseLines(Builder& builder, std::span<const std::string> lines) {
  std::string scratch;
  for (const std::string_view line : lines) {
    if (line.empty() || line.front() != '[') {
      if (tryPlainProperty(builder, line)) continue;
    }
    categoriseLine(builder, line, scratch);
  }
}

/// The category and record structure of the parseCategories rules: a
/// category is a run of header lines and the run of property lines that
/// follows; in a property run the record-start key opens a record, other
/// properties join the open one, and those before the run's first record
/// are loose. It drives a Sink with
///   openCategory()                 a new category (the previous one is complete);
///   header(key, value)             a header property of the open category;
///   openRecord()                   a new record in the open category;
///   recordProperty(key, value)     a property of the open record (its first
///                                  one is the record-start property);
///   closeRecord()                  the open record is complete;
///   looseProperty(key, value)      when Sink::keepsLoose: a loose property;
///   atLine(n)                      optionally, as the line rules give it.
template <class Sink>
class KatStructure {
 public:
  KatStructure(Sink& sink, std::string_view recordStartKey) : sink_(sink), startKey_(recordStartKey) {}

  void header(std::string_view key, std::string_view value) {
    if (!hasCategory_ || inPropertyRun_) openCategory();
    inPropertyRun_ = false;
    sink_.header(key, value);
  }

  [[nodiscard]] bool keeps(std::string_view key) const noexcept {
    return Sink::keepsLoose || recordOpen_ || key == startKey_;
  }

  void atLine(std::size_t line) {
    if constexpr (requires { sink_.atLine(line); }) sink_.atLine(line);
  }

  void property(std::string_view key, std::string_view value) {
    if (!inPropertyRun_) startPropertyRun();
    if (key == startKey_) {
      closeRecord();
      recordOpen_ = true;
      sink_.openRecord();
    } else if (!recordOpen_) {
      if constexpr (Sink::keepsLoose) sink_.looseProperty(key, value);
      return;
    }
    sink_.recordProperty(key, value);
  }

  void discardedProperty() {
    if (!inPropertyRun_) startPropertyRun();
  }

  /// Closes what is open; call once, after the last line.
  void finish() { closeRecord(); }

 private:
  void startPropertyRun() {
    if (!hasCategory_) openCategory();
    inPropertyRun_ = true;
  }

  void openCategory() {
    closeRecord();
    hasCategory_ = true;
    sink_.openCategory();
  }

  void closeRecord() {
    if (!recordOpen_) return;
    recordOpen_ = false;
    sink_.closeRecord();
  }

  Sink& sink_;
  std::string_view startKey_;
  bool hasCategory_ = false;
  bool recordOpen_ = false;
  bool inPropertyRun_ = false;
};

}  // namespace quillon_tests::detail
