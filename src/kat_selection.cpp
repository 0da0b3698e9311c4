#include <quillon_tests/detail/kat_selection.hpp>

#include <functional>

#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"
#include "kat_origin.hpp"

namespace quillon_tests::detail {

namespace {

bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

/// The value of the last "key = value" line before the first record of
/// `category` that is no header: the parser keeps no such line (a Monte
/// Carlo file's "Seed"), so it is read from the text. When the record's
/// position in the text is not known, the lines before the first line
/// holding the record-start key count.
const std::string_view* preambleValue(const KatFileView& file, const KatCategoryView& category,
                                      std::string_view recordStartKey, std::string_view key,
                                      std::string_view& storage) {
  const std::string_view all = file.text();
  const char* end = nullptr;
  if (!category.records.empty()) {
    const char* first = category.records[0][0].first.data();
    const std::less_equal<const char*> notAfter;
    if (notAfter(all.data(), first) && notAfter(first, all.data() + all.size())) end = first;
  }
  std::string_view text = end != nullptr ? all.substr(0, static_cast<std::size_t>(end - all.data())) : all;
  bool found = false;
  while (!text.empty()) {
    const std::size_t lineEnd = text.find('\n');
    const std::string_view line = trimBlanks(text.substr(0, lineEnd));
    text = lineEnd == std::string_view::npos ? std::string_view{} : text.substr(lineEnd + 1);
    if (line.empty() || line.front() == '#' || line.front() == '[') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view name = trimBlanks(line.substr(0, equals));
    if (end == nullptr && name == recordStartKey) break;
    if (name == key) {
      storage = trimBlanks(line.substr(equals + 1));
      found = true;
    }
  }
  return found ? &storage : nullptr;
}

struct RecordPlace {
  const KatFileView& file;
  const KatCategoryView& category;
  std::size_t indexInCategory;
  std::string_view recordStartKey;
};

const std::string_view* lookUp(const FieldLookup& lookup, const RecordPlace& place,
                               std::string_view& storage) {
  switch (lookup.source) {
    case FieldSource::record:
      return findProperty(place.category.records[place.indexInCategory], lookup.key);
    case FieldSource::header: return findProperty(place.category.header, lookup.key);
    case FieldSource::previousRecord:
      if (place.indexInCategory == 0) return nullptr;
      return findProperty(place.category.records[place.indexInCategory - 1], lookup.key);
    case FieldSource::preamble:
      return preambleValue(place.file, place.category, place.recordStartKey, lookup.key, storage);
  }
  return nullptr;
}

std::string_view placeText(FieldSource source) noexcept {
  switch (source) {
    case FieldSource::record: return "";
    case FieldSource::header: return " in the category header";
    case FieldSource::previousRecord: return " in the previous record";
    case FieldSource::preamble: return " outside the records";
  }
  return "";
}

/// `missing "KEY"`, `missing "PT" in the category header`, or for a field
/// with several lookups each of them: `missing "MD" in the previous record
/// or "Seed" outside the records`.
std::string missingReason(const KatField& field) {
  std::string reason = "missing ";
  for (std::size_t i = 0; i < field.lookupCount; ++i) {
    const FieldLookup& lookup = field.lookups[i];
    if (i > 0) reason += i + 1 == field.lookupCount ? " or " : ", ";
    reason.append("\"").append(lookup.key).append("\"");
    const bool onlyInRecord = field.lookupCount == 1 && lookup.source == FieldSource::record;
    if (!onlyInRecord) reason += placeText(lookup.source);
  }
  return reason;
}

quillon::ByteString decodeWhileListing(std::string_view text, std::string_view field,
                                       std::string_view path, std::size_t record) {
  try {
    return hexStringToBS(text);
  } catch (const HexDecodeError& error) {
    throw HexDecodeError(std::string(error.what()) + " (field \"" + std::string(field) + "\", " +
                         describeOrigin(path, record) + ")");
  }
}

/// `text` between double quotes, a double quote or backslash escaped by a
/// backslash and other non-printable bytes written as \xHH.
void appendQuoted(std::string& out, std::string_view text) {
  static constexpr char digits[] = "0123456789abcdef";
  out += '"';
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7f) {
      out += "\\x";
      out += digits[byte >> 4];
      out += digits[byte & 0x0f];
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

bool ownsFileName(std::string_view prefix, std::string_view fileName) noexcept {
  if (!fileName.starts_with(prefix)) return false;
  if (fileName.size() == prefix.size()) return true;
  const char next = fileName[prefix.size()];
  return !isDigit(next) && next != '_';
}

std::string katTestName(NameScheme naming, std::string_view namePrefix, std::string_view path,
                        const SelectedRecord& record) {
  const std::string_view index = record.value(FieldRole::name);
  std::string name;
  switch (naming) {
    case NameScheme::fileName:
    case NameScheme::fileStem: {
      const std::string_view file = naming == NameScheme::fileName ? fileNameOf(path) : fileStemOf(path);
      name.reserve(file.size() + 1 + index.size());
      name.append(file).append(1, '-').append(index);
      break;
    }
    case NameScheme::kindPrefix:
      name.reserve(record.kind->namePrefix.size() + index.size());
      name.append(record.kind->namePrefix).append(index);
      break;
    case NameScheme::layoutPrefixQuoted:
      name.reserve(namePrefix.size() + index.size() + 2);
      name.append(namePrefix);
      appendQuoted(name, index);
      break;
    case NameScheme::layoutPrefixOrdinal: {
      const std::string number = std::to_string(record.ordinal);
      name.reserve(namePrefix.size() + number.size());
      name.append(namePrefix).append(number);
      break;
    }
  }
  return name;
}

std::string quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  appendQuoted(out, text);
  return out;
}

std::string katOrigin(std::string_view path, const SelectedRecord& record) {
  return describeOrigin(path, record.record, record.line);
}

Test katTestCase(std::string name, const SourceLocation& record, TestAction action) {
  return withLocation(testCase(std::move(name), std::move(action)), record);
}

void selectKatRecords(const KatLayout& layout, KatRecordSink& sink, SuiteDiagnostics* diagnostics) {
  std::function<bool(std::string_view)> reads;
  if (!layout.ownedPrefix.empty())
    reads = [prefix = layout.ownedPrefix](std::string_view name) { return ownsFileName(prefix, name); };
  const KatFileViews files = loadKATFileViews(layout.directory, layout.recordStartKey, reads);
  if (diagnostics != nullptr) {
    diagnostics->directory = getDataFileName(layout.directory);
    if (!layout.ownedPrefix.empty()) {
      const std::string prefix(layout.ownedPrefix);
      for (const std::string& path : files.paths) {
        const std::string_view name = fileNameOf(path);
        if (ownsFileName(prefix, name)) continue;
        std::string note = name.starts_with(prefix)
                               ? "not read: \"" + prefix + "\" is followed by a digit or \"_\": " +
                                     "another suite's file"
                               : "not read: the name does not begin with \"" + prefix + "\"";
        diagnostics->files.push_back({path, 0, 0, 0, std::move(note), {}});
      }
    }
  }

  std::size_t ordinal = 0;
  for (const std::shared_ptr<const KatFileView>& file : files.files) {
    const std::string& path = file->path();
    FileDiagnostics* report = beginFileReport(diagnostics, *file);
    FileChoice choice = layout.chooseFile(layout, *file, diagnostics != nullptr);
    if (!choice.kind) {
      if (report != nullptr) report->note = std::move(choice.note);
      continue;
    }
    sink.startFile(path, file);

    std::size_t recordInFile = 0, categoryNumber = 0;
    for (const KatCategoryView& category : file->categories()) {
      ++categoryNumber;
      std::optional<std::size_t> kindIndex = choice.kind;
      if (layout.chooseCategory != nullptr)
        kindIndex = layout.chooseCategory(layout, *choice.kind, category, categoryNumber, report);
      if (!kindIndex) {
        recordInFile += category.records.size();
        continue;
      }
      const KatKind& kind = layout.kinds[*kindIndex];
      for (std::size_t index = 0; index < category.records.size(); ++index) {
        ++recordInFile;
        const RecordPlace place{*file, category, index, layout.recordStartKey};
        SelectedRecord selected;
        selected.kind = &kind;
        selected.record = recordInFile;
        selected.line = file->lineOf(category.records[index]);
        // Reasons are only spelled out when someone asked for them.
        auto skip = [&](std::string reason) {
          if (report != nullptr) report->skipped.push_back({recordInFile, std::move(reason)});
        };
        std::array<std::string_view, maxKatFields> preambles{};
        bool complete = true;
        for (std::size_t i = 0; i < kind.fieldCount && complete; ++i) {
          const KatField& field = kind.fields[i];
          const std::string_view* value = nullptr;
          for (std::size_t l = 0; l < field.lookupCount && value == nullptr; ++l) {
            value = lookUp(field.lookups[l], place, preambles[i]);
            // A record before it that lacks the key ends the search: the
            // later lookups stand in for the first record only.
            if (value == nullptr && field.lookups[l].source == FieldSource::previousRecord &&
                place.indexInCategory > 0)
              break;
          }
          if (value == nullptr) {
            skip(missingReason(field));
            complete = false;
          } else if (field.role == FieldRole::iv &&
                     !sink.acceptIV(decodeWhileListing(*value, field.lookups[0].key, path, recordInFile))) {
            skip("IV does not deserialise");
            complete = false;
          } else {
            selected.values[i] = *value;
          }
        }
        if (!complete) continue;
        if (layout.checkRecord != nullptr) {
          if (std::optional<std::string> reason = layout.checkRecord(layout, selected)) {
            skip(std::move(*reason));
            continue;
          }
        }
        if (layout.keyWhileListing && kind.has(FieldRole::key)) {
          const KatField& field = kind.fields[kind.indexOf(FieldRole::key)];
          if (!sink.acceptKey(decodeWhileListing(selected.value(FieldRole::key), field.lookups[0].key,
                                                 path, recordInFile))) {
            skip("key refused by buildKey");
            continue;
          }
        }
        selected.ordinal = ++ordinal;
        sink.add(std::move(selected));
        if (report != nullptr) ++report->tests;
      }
    }
  }
}

namespace {

/// A sink that only counts: for selections that read no IV or key.
class CountingSink final : public KatRecordSink {
 public:
  void startFile(const std::string&, const std::shared_ptr<const void>&) override {}
  bool acceptIV(quillon::ByteView) override { return true; }
  bool acceptKey(quillon::ByteView) override { return true; }
  void add(SelectedRecord&&) override {}
};

}  // namespace

SuiteDiagnostics diagnoseKat(const KatLayout& layout) {
  SuiteDiagnostics diagnostics;
  diagnostics.suite = layout.suite;
  CountingSink sink;
  selectKatRecords(layout, sink, &diagnostics);
  return diagnostics;
}

}  // namespace quillon_tests::detail
