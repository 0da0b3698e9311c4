#include <quillon_tests/detail/kat_selection.hpp>

#include <algorithm>
#include <deque>
#include <mutex>
#include <stdexcept>

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"
#include "kat_origin.hpp"

namespace quillon_tests::detail {

/// What the tests of one builder call share: everything but the position
/// of their own record.
struct KatSuiteRun {
  struct File {
    SourceLocation location;  // the path, shared by the tests' locations
    std::uint64_t fingerprint = 0;
  };

  std::string suite;
  std::string recordStartKey;
  NameScheme naming = NameScheme::fileName;
  std::string namePrefix;
  std::span<const KatKind> kinds;
  KatFamily family;
  std::deque<File> files;

  /// The file `index` as it was listed. The tests of one file run one after
  /// the other: the last file read is kept for the next test.
  std::shared_ptr<const KatFileView> load(std::uint32_t index) const {
    const std::lock_guard lock(lastMutex);
    if (!last || lastIndex != index) {
      last.reset();  // one file held at a time
      last = reloadKatFile(files[index].location.file(), recordStartKey, files[index].fingerprint);
      lastIndex = index;
    }
    return last;
  }

 private:
  mutable std::mutex lastMutex;
  mutable std::shared_ptr<const KatFileView> last;
  mutable std::uint32_t lastIndex = 0;
};

namespace {

bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

/// `text` between double quotes, with escapes.
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

std::string quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  appendQuoted(out, text);
  return out;
}

// --- records -------------------------------------------------------------

std::size_t KatRecord::found(std::string_view field) const {
  const std::size_t index = kind_->indexOf(field);
  if (index == kind_->fieldCount())
    throw std::logic_error(suite() + ": the kind \"" + std::string(kind_->label) + "\" has no field \"" +
                           std::string(field) + "\"");
  return index;
}

bool KatRecord::has(std::string_view field) const noexcept {
  const std::size_t index = kind_->indexOf(field);
  return index < kind_->fieldCount() && present_[index];
}

std::string_view KatRecord::text(std::string_view field) const { return values_[found(field)]; }

std::string_view KatRecord::keyOf(std::string_view field) const {
  const std::size_t index = found(field);
  return kind_->fields[index].lookups[lookupUsed_[index]].key;
}

quillon::ByteString KatRecord::bytes(std::string_view field) const {
  const std::string_view value = text(field);
  try {
    return hexStringToBS(value);
  } catch (const HexDecodeError& error) {
    throw HexDecodeError(std::string(error.what()) + " (field \"" + std::string(keyOf(field)) + "\", " + origin() +
                         ")");
  }
}

long long KatRecord::number(std::string_view field) const {
  const std::string_view value = text(field);
  try {
    return parseDecimalField(keyOf(field), value);
  } catch (const std::invalid_argument& error) {
    throw std::invalid_argument(std::string(error.what()) + " (" + origin() + ")");
  }
}

std::string KatRecord::marker() const {
  if (!rejected_) return {};
  for (std::size_t i = 0; i < kind_->fieldCount(); ++i) {
    const KatField& field = kind_->fields[i];
    if (field.use != FieldUse::rejection || !present_[i]) continue;
    if (field.marker.empty()) return std::string(field.key());
    if (values_[i].starts_with(field.marker)) return std::string(field.key()) + " = " + std::string(values_[i]);
  }
  return {};
}

const std::string& KatRecord::suite() const noexcept { return suite_->suite; }

const std::string& KatRecord::path() const noexcept { return suite_->files[file_].location.file(); }

std::string KatRecord::note() const {
  return suite_->family.note != nullptr ? suite_->family.note(*this) : std::string();
}

std::string KatRecord::origin() const { return describeOrigin(path(), record_, line_); }

std::string KatRecord::testName() const {
  const std::string_view prefix =
      suite_->naming == NameScheme::kindPrefix ? kind_->namePrefix : std::string_view(suite_->namePrefix);
  std::string name;
  switch (suite_->naming) {
    case NameScheme::fileName: name = fileNameOf(path()); break;
    case NameScheme::fileStem: name = fileStemOf(path()); break;
    case NameScheme::kindPrefix:
    case NameScheme::layoutPrefixQuoted:
    case NameScheme::layoutPrefixOrdinal: name = prefix; break;
  }
  if (suite_->naming == NameScheme::layoutPrefixOrdinal) return name + std::to_string(ordinal_);
  bool first = suite_->naming == NameScheme::kindPrefix || suite_->naming == NameScheme::layoutPrefixQuoted;
  for (std::size_t i = 0; i < kind_->fieldCount(); ++i) {
    if (!kind_->fields[i].naming) continue;
    if (!first) name += '-';
    first = false;
    if (suite_->naming == NameScheme::layoutPrefixQuoted) {
      appendQuoted(name, values_[i]);
    } else {
      name += values_[i];
    }
  }
  return name;
}

KatSkip keyRefused(std::size_t keyBytes) {
  return {"key refused by buildKey", "key refused", std::to_string(keyBytes * 8) + "-bit"};
}

void throwKeyRefused(const KatRecord& record, std::size_t keyBytes) {
  throw KeyRefusedError(record.suite() + ": " + record.testName() + ": buildKey refused the " +
                        std::to_string(keyBytes) + "-byte key of field \"" + std::string(record.keyOf("key")) +
                        "\" (" + record.origin() + ")");
}

// --- the lookup of a record's fields -----------------------------------------

namespace {

/// The last loose property `key` before the category's first record: in the
/// category itself, else in the categories before it.
std::optional<std::string_view> preambleValue(const KatFileView& file, const KatCategoryView& category,
                                              std::string_view key) {
  const std::span<const KatCategoryView> categories = file.categories();
  for (std::size_t i = static_cast<std::size_t>(&category - categories.data()) + 1; i-- > 0;) {
    const std::span<const KatPropertyView> loose = categories[i].loose;
    for (std::size_t j = loose.size(); j-- > 0;)
      if (loose[j].first == key) return loose[j].second;
  }
  return std::nullopt;
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

}  // namespace

/// Resolves the fields of a record, the same way while the list is built
/// and when the test runs.
struct KatResolver {
  using FieldCheck = std::optional<KatSkip> (*)(const KatRecord&, const KatField&);

  static void place(KatRecord& record, const KatKind& kind, const KatSuiteRun& suite, std::uint32_t file,
                    std::size_t recordInFile, std::size_t line) {
    record.kind_ = &kind;
    record.suite_ = &suite;
    record.file_ = file;
    record.record_ = recordInFile;
    record.line_ = line;
  }
  static void number(KatRecord& record, std::size_t ordinal) { record.ordinal_ = ordinal; }

  /// Looks up every field of `record`'s kind in the record `index` of
  /// `category`; nothing when all are there, else why the record is left out.
  static std::optional<KatSkip> resolve(KatRecord& record, const KatFileView& file, const KatCategoryView& category,
                                        std::size_t index, FieldCheck check) {
    const KatKind& kind = *record.kind_;
    const KatField* missingWhenAccepted = nullptr;
    for (std::size_t i = 0; i < kind.fieldCount(); ++i) {
      const KatField& field = kind.fields[i];
      std::optional<std::string_view> value;
      std::size_t used = 0;
      for (; used < field.lookupCount && !value; ++used) {
        value = lookUp(field.lookups[used], file, category, index);
        // A record before it that lacks the key ends the search: the later
        // lookups stand in for the first record only.
        if (!value && field.lookups[used].source == FieldSource::previousRecord && index > 0) break;
      }
      if (!value) {
        if (field.use == FieldUse::required) return KatSkip{missingReason(field)};
        if (field.use == FieldUse::whenAccepted && missingWhenAccepted == nullptr) missingWhenAccepted = &field;
        continue;
      }
      record.values_[i] = *value;
      record.lookupUsed_[i] = static_cast<std::uint8_t>(used - 1);
      record.present_[i] = true;
      if (field.use == FieldUse::rejection && value->starts_with(field.marker)) record.rejected_ = true;
      if (check != nullptr)
        if (std::optional<KatSkip> skip = check(record, field)) return skip;
    }
    if (missingWhenAccepted != nullptr && !record.rejected_) return KatSkip{missingReason(*missingWhenAccepted)};
    return std::nullopt;
  }

 private:
  static std::optional<std::string_view> lookUp(const FieldLookup& lookup, const KatFileView& file,
                                                const KatCategoryView& category, std::size_t index) {
    switch (lookup.source) {
      case FieldSource::record:
        if (const std::string_view* value = findProperty(category.records[index], lookup.key)) return *value;
        return std::nullopt;
      case FieldSource::header: return headerValue(category.header, lookup.key);
      case FieldSource::previousRecord:
        if (index == 0) return std::nullopt;
        if (const std::string_view* value = findProperty(category.records[index - 1], lookup.key)) return *value;
        return std::nullopt;
      case FieldSource::preamble: return preambleValue(file, category, lookup.key);
    }
    return std::nullopt;
  }
};

// --- the selection -----------------------------------------------------------

namespace {

/// One record the selection took.
struct Taken {
  std::uint32_t file;    // into KatSuiteRun::files
  std::uint32_t record;  // in its file, from 0
  std::uint32_t ordinal;
  std::uint16_t kind;
};

/// What the selection saw, for the report of a selection that takes nothing.
struct SelectionScan {
  std::string directory;
  std::size_t entries = 0;       // the directory's files
  std::size_t filesRead = 0;     // of a kind of the suite
  std::size_t records = 0;       // in those files
  std::size_t leftToOthers = 0;  // records in categories of no kind
  std::vector<std::string> filesOfNoKind;  // "<name>: <note>", files of the suite's directory it cannot read
};

void count(SelectionSummary& summary, const KatSkip& skip, std::size_t records = 1) {
  const std::string& reason = skip.reason.empty() ? skip.note : skip.reason;
  auto entry = std::find_if(summary.skipped.begin(), summary.skipped.end(),
                            [&](const SelectionSummary::SkipReason& known) { return known.reason == reason; });
  if (entry == summary.skipped.end()) entry = summary.skipped.insert(summary.skipped.end(), {reason, 0, {}});
  entry->records += records;
  if (skip.detail.empty()) return;
  auto detail = std::find_if(entry->details.begin(), entry->details.end(),
                             [&](const SelectionSummary::Detail& known) { return known.label == skip.detail; });
  if (detail == entry->details.end()) detail = entry->details.insert(entry->details.end(), {skip.detail, 0});
  detail->records += records;
}

bool isOtherSuitesFile(std::string_view note) { return note.starts_with("not read"); }

/// Runs the selection of `layout` over its directory, in byte order of the
/// file names; `take` gets every record it takes.
template <class Take>
void select(const KatLayout& layout, KatSuiteRun& suite, SelectionSummary& summary, SelectionScan& scan,
            SuiteDiagnostics* diagnostics, Take take) {
  std::function<bool(std::string_view)> reads;
  if (!layout.ownedPrefix.empty())
    reads = [prefix = layout.ownedPrefix](std::string_view name) { return ownsFileName(prefix, name); };
  const KatFileViews files = loadKATFileViews(layout.directory, layout.recordStartKey, reads);
  scan.directory = getDataFileName(layout.directory);
  scan.entries = files.paths.size();
  if (diagnostics != nullptr) {
    diagnostics->directory = scan.directory;
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

  std::uint32_t ordinal = 0;
  for (const std::shared_ptr<const KatFileView>& file : files.files) {
    FileDiagnostics* report = beginFileReport(diagnostics, *file);
    FileChoice choice = layout.chooseFile ? layout.chooseFile(*file, diagnostics != nullptr) : FileChoice{0, {}};
    if (!choice.kind) {
      if (!isOtherSuitesFile(choice.note)) {
        scan.filesOfNoKind.push_back(std::string(fileNameOf(file->path())) + ": " + choice.note);
        if (file->recordCount() > 0) count(summary, {"file of no kind"}, file->recordCount());
      }
      if (report != nullptr) report->note = std::move(choice.note);
      continue;
    }
    ++scan.filesRead;
    scan.records += file->recordCount();
    const auto fileIndex = static_cast<std::uint32_t>(suite.files.size());
    // Fingerprinted at its first test: most files of a key size a type
    // refuses give none.
    suite.files.push_back({SourceLocation(file->path(), 0), 0});
    bool fingerprinted = false;

    std::size_t recordInFile = 0, categoryNumber = 0;
    for (const KatCategoryView& category : file->categories()) {
      ++categoryNumber;
      std::optional<std::size_t> kindIndex = choice.kind;
      if (layout.chooseCategory) kindIndex = layout.chooseCategory(*choice.kind, category, categoryNumber, report);
      if (!kindIndex) {
        recordInFile += category.records.size();
        scan.leftToOthers += category.records.size();
        continue;
      }
      if (*kindIndex >= layout.kinds.size())
        throw std::logic_error(layout.suite + ": kind " + std::to_string(*kindIndex) + " chosen for " +
                               file->path() + ", of " + std::to_string(layout.kinds.size()) + " kinds");
      const KatKind& kind = layout.kinds[*kindIndex];
      for (std::size_t index = 0; index < category.records.size(); ++index) {
        ++recordInFile;
        KatRecord record;
        KatResolver::place(record, kind, suite, fileIndex, recordInFile, file->lineOf(category.records[index]));
        std::optional<KatSkip> skip = KatResolver::resolve(record, *file, category, index, suite.family.checkField);
        if (!skip && layout.checkRecord)
          if (std::optional<std::string> reason = layout.checkRecord(record)) skip = KatSkip{std::move(*reason)};
        if (!skip && suite.family.admit != nullptr) skip = suite.family.admit(record);
        if (skip) {
          count(summary, *skip);
          if (report != nullptr) report->skipped.push_back({recordInFile, std::move(skip->note)});
          continue;
        }
        if (!fingerprinted) {
          suite.files[fileIndex].fingerprint = file->fingerprint();
          fingerprinted = true;
        }
        KatResolver::number(record, ++ordinal);
        ++summary.tests;
        if (record.rejected()) ++summary.refusals;
        take(record, Taken{fileIndex, static_cast<std::uint32_t>(file->indexOf(category.records[index])), ordinal,
                           static_cast<std::uint16_t>(*kindIndex)});
        if (report != nullptr) ++report->tests;
      }
    }
  }
}

/// `n` with a comma between groups of three digits: 12,345.
std::string withThousands(std::size_t n) {
  std::string digits = std::to_string(n);
  for (std::size_t at = digits.size(); at > 3;) {
    at -= 3;
    digits.insert(at, 1, ',');
  }
  return digits;
}

/// The report of a selection that takes no record.
std::string noVectorReport(const KatLayout& layout, const SelectionSummary& summary, const SelectionScan& scan) {
  std::string text = layout.suite + " applies no vector to this type: it made no test from " + scan.directory + "\n";
  if (scan.filesRead == 0 && scan.filesOfNoKind.empty()) {
    if (!layout.ownedPrefix.empty())
      return text + "no file matches the prefix " + std::string(layout.ownedPrefix) + " in " + scan.directory + "\n";
    return text + (scan.entries == 0 ? "the directory holds no file\n"
                                     : "no file of the directory is one this suite reads\n");
  }
  text += withThousands(scan.filesRead) + (scan.filesRead == 1 ? " file" : " files") + " read, " +
          withThousands(scan.records) + (scan.records == 1 ? " record" : " records") + "\n";
  for (const SelectionSummary::SkipReason& reason : summary.skipped) {
    text += "skipped, " + reason.reason + ": " + withThousands(reason.records) +
            (reason.records == 1 ? " record" : " records");
    for (std::size_t i = 0; i < reason.details.size(); ++i)
      text += (i == 0 ? " (" : ", ") + reason.details[i].label + " " + withThousands(reason.details[i].records);
    text += reason.details.empty() ? "\n" : ")\n";
  }
  if (scan.leftToOthers > 0)
    text += "left to other suites, in categories of no kind this suite takes: " + withThousands(scan.leftToOthers) +
            " records\n";
  constexpr std::size_t shownFiles = 5;
  for (std::size_t i = 0; i < scan.filesOfNoKind.size() && i < shownFiles; ++i)
    text += "file of no kind: " + scan.filesOfNoKind[i] + "\n";
  if (scan.filesOfNoKind.size() > shownFiles)
    text += "and " + withThousands(scan.filesOfNoKind.size() - shownFiles) + " more files of no kind\n";
  return text;
}

std::shared_ptr<KatSuiteRun> suiteRun(const KatLayout& layout, const KatFamily& family) {
  auto suite = std::make_shared<KatSuiteRun>();
  suite->suite = layout.suite;
  suite->recordStartKey = layout.recordStartKey;
  suite->naming = layout.naming;
  suite->namePrefix = layout.namePrefix;
  suite->kinds = layout.kinds;
  suite->family = family;
  return suite;
}

/// What a test holds: its suite and where its record is. Run, it reads the
/// record again and hands it to the family.
struct KatTestBody {
  std::shared_ptr<const KatSuiteRun> suite;
  Taken taken;

  void operator()() const {
    const std::shared_ptr<const KatFileView> view = suite->load(taken.file);
    const KatRecordView& found = view->records()[taken.record];
    const KatCategoryView& category = view->categoryOf(taken.record);
    KatRecord record;
    KatResolver::place(record, suite->kinds[taken.kind], *suite, taken.file, taken.record + 1, view->lineOf(found));
    KatResolver::number(record, taken.ordinal);
    const auto index = static_cast<std::size_t>(&found - category.records.data());
    if (KatResolver::resolve(record, *view, category, index, nullptr))
      throw std::logic_error(suite->suite + ": the record of " + record.origin() + " no longer resolves");
    suite->family.run(record);
  }
};

}  // namespace

std::vector<Test> makeKatTests(const KatLayout& layout, const KatFamily& family, const SourceLocation& where,
                               std::size_t reserveExtra) {
  const std::shared_ptr<KatSuiteRun> suite = suiteRun(layout, family);
  const auto summary = std::make_shared<SelectionSummary>();
  summary->title = layout.title;
  SelectionScan scan;
  std::vector<Test> tests;
  select(layout, *suite, *summary, scan, nullptr, [&](const KatRecord& record, const Taken& taken) {
    const SourceLocation& file = suite->files[taken.file].location;
    tests.push_back(withSelection(withLocation(testCase(record.testName(), KatTestBody{suite, taken}),
                                               file.atLine(static_cast<unsigned>(record.line()))),
                                  summary));
  });
  if (tests.empty()) {
    tests.push_back(withSelection(
        withLocation(testCase("NoVectorApplies",
                              [report = noVectorReport(layout, *summary, scan)] { throw AssertionFailure(report); }),
                     where),
        summary));
  }
  tests.reserve(tests.size() + reserveExtra);
  return tests;
}

SuiteDiagnostics diagnoseKat(const KatLayout& layout, const KatFamily& family) {
  SuiteDiagnostics diagnostics;
  diagnostics.suite = layout.suite;
  const std::shared_ptr<KatSuiteRun> suite = suiteRun(layout, family);
  SelectionSummary summary;
  SelectionScan scan;
  select(layout, *suite, summary, scan, &diagnostics, [](const KatRecord&, const Taken&) {});
  return diagnostics;
}

// --- the report ---------------------------------------------------------------

namespace {

void appendHex(std::string& out, quillon::ByteView bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  for (const quillon::Byte byte : bytes) {
    out += digits[byte >> 4];
    out += digits[byte & 0x0f];
  }
}

void appendOutput(std::string& out, const KatOutput& output) {
  if (output) {
    appendHex(out, *output);
  } else {
    out += "(refused: no output)";
  }
}

bool same(const KatOutput& a, const KatOutput& b) {
  if (!a || !b) return !a && !b;
  return std::equal(a->begin(), a->end(), b->begin(), b->end());
}

/// Where `expected` and `computed` part: the byte renderer's line when both
/// are bytes, else which one refused.
std::string mismatchOf(const KatOutput& expected, const KatOutput& computed, std::size_t blockBytes) {
  if (expected && computed) return describeByteMismatch(*expected, *computed, blockBytes);
  return expected ? "the operation refused where the vector expects output\n"
                  : "the operation gave output where the vector expects a refusal\n";
}

}  // namespace

void failKnownAnswer(const KatRecord& record, std::string_view expectedField, KatOutput expected,
                     std::initializer_list<KatOutput> computed, std::size_t blockBytes) {
  std::string expectedText, computedText, mismatch;
  if (computed.size() == 1) {
    appendOutput(expectedText, expected);
    appendOutput(computedText, *computed.begin());
    if (!same(expected, *computed.begin())) mismatch = mismatchOf(expected, *computed.begin(), blockBytes);
  } else {
    static constexpr std::array<std::string_view, 4> ordinals{"first", "second", "third", "fourth"};
    expectedText = computedText = "(";
    std::size_t i = 0;
    for (const KatOutput& output : computed) {
      if (i > 0) {
        expectedText += ", ";
        computedText += ", ";
      }
      appendOutput(expectedText, expected);
      appendOutput(computedText, output);
      mismatch.append(i < ordinals.size() ? ordinals[i] : "another").append(" component: ");
      if (same(expected, output)) {
        mismatch += "equal\n";
      } else {
        mismatch += "DIFFERS\n  " + mismatchOf(expected, output, blockBytes);
      }
      ++i;
    }
    expectedText += ")";
    computedText += ")";
  }
  std::string note = record.origin() + "\n";
  if (record.rejected()) {
    note += "expected = a refusal: the record carries " + record.marker();
  } else {
    note.append("expected = ").append(record.keyOf(expectedField)).append(" from the vector file");
  }
  {
    std::string familyNote = record.note();
    while (!familyNote.empty() && familyNote.back() == '\n') familyNote.pop_back();
    if (!familyNote.empty()) note += "\n" + familyNote;
  }
  throw AssertionFailure(formatAssertion(record.testName(), expectedText, computedText, mismatch, note));
}

void checkKnownAnswer(const KatRecord& record, std::string_view expectedField, KatOutput expected,
                      std::initializer_list<KatOutput> computed, std::size_t blockBytes) {
  for (const KatOutput& output : computed)
    if (!same(expected, output)) failKnownAnswer(record, expectedField, expected, computed, blockBytes);
}

}  // namespace quillon_tests::detail
