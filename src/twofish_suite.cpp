#include <quillon_tests/twofish.hpp>

#include <array>

#include <quillon_tests/data_files.hpp>
#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"
#include "kat_origin.hpp"

namespace quillon_tests {

UnknownVectorFileKindError::UnknownVectorFileKindError(std::string path, std::string_view stem)
    : std::runtime_error("Test/TwoFish:(40,1)-(76,64)|function buildTestFunc: non-exhaustive "
                         "patterns: the vector file " + path + " holds records, but its stem \"" +
                         std::string(stem) +
                         "\" is none of the TwoFish file kinds CBC_D_M, CBC_E_M, ECB_D_M, "
                         "ECB_E_M, ECB_TLB, ECB_VK and ECB_VT (compared case-sensitively)"),
      path_(std::move(path)) {}

namespace detail {

namespace {

enum class Source { header, record };

struct Field {
  Source source;
  std::string_view key;
};

struct TwoFishKindEntry {
  std::string_view stem;
  TwoFishFileKind kind;
  /// Looked up in this order; a missing one skips the work item.
  std::array<Field, 5> fields;
  std::size_t fieldCount;
  std::string_view namePrefix;
  bool encrypts;
  std::string_view operation;
  std::string_view expectedField;
};

// In the order the stem is compared with them; indexed by TwoFishFileKind.
constexpr std::array<TwoFishKindEntry, 7> twoFishKinds{{
    {"CBC_D_M", TwoFishFileKind::cbcDecrypt,
     {{{Source::record, "KEY"}, {Source::record, "IV"}, {Source::record, "CT"},
       {Source::record, "PT"}, {Source::record, "I"}}},
     5, "CBC-D-", false, "unCbc(KEY, IV, CT)", "PT"},
    {"CBC_E_M", TwoFishFileKind::cbcEncrypt,
     {{{Source::record, "KEY"}, {Source::record, "IV"}, {Source::record, "CT"},
       {Source::record, "PT"}, {Source::record, "I"}}},
     5, "CBC-E-", true, "cbc(KEY, IV, PT)", "CT"},
    {"ECB_D_M", TwoFishFileKind::ecbDecrypt,
     {{{Source::record, "KEY"}, {Source::record, "CT"}, {Source::record, "PT"},
       {Source::record, "I"}}},
     4, "ECB-D-", false, "unEcb(KEY, CT)", "PT"},
    {"ECB_E_M", TwoFishFileKind::ecbEncrypt,
     {{{Source::record, "KEY"}, {Source::record, "CT"}, {Source::record, "PT"},
       {Source::record, "I"}}},
     4, "ECB-E-", true, "ecb(KEY, PT)", "CT"},
    {"ECB_TLB", TwoFishFileKind::ecbTable,
     {{{Source::record, "KEY"}, {Source::record, "CT"}, {Source::record, "PT"},
       {Source::record, "I"}}},
     4, "ECB-TLB-E-", true, "ecb(KEY, PT)", "CT"},
    // No "-" before the index in this one name.
    {"ECB_VK", TwoFishFileKind::ecbVariableKey,
     {{{Source::header, "PT"}, {Source::record, "KEY"}, {Source::record, "CT"},
       {Source::record, "I"}}},
     4, "ECB-E-VK", true, "ecb(KEY, PT of the category header)", "CT"},
    {"ECB_VT", TwoFishFileKind::ecbVariableText,
     {{{Source::header, "KEY"}, {Source::record, "PT"}, {Source::record, "CT"},
       {Source::record, "I"}}},
     4, "ECB-E-VT-", true, "ecb(KEY of the category header, PT)", "CT"},
}};

const TwoFishKindEntry& entryOf(TwoFishFileKind kind) noexcept {
  return twoFishKinds[static_cast<std::size_t>(kind)];
}

bool holdsRecords(std::span<const KatCategoryView> categories) noexcept {
  for (const KatCategoryView& category : categories)
    if (!category.records.empty()) return true;
  return false;
}

}  // namespace

std::optional<TwoFishFileKind> twoFishFileKind(std::string_view stem) {
  for (const TwoFishKindEntry& entry : twoFishKinds)
    if (entry.stem == stem) return entry.kind;
  return std::nullopt;
}

std::string_view twoFishNamePrefix(TwoFishFileKind kind) noexcept {
  return entryOf(kind).namePrefix;
}
std::string_view twoFishOperationText(TwoFishFileKind kind) noexcept {
  return entryOf(kind).operation;
}
std::string_view twoFishExpectedField(TwoFishFileKind kind) noexcept {
  return entryOf(kind).expectedField;
}

void throwKeyRefused(const TwoFishVector& vector, std::string_view path, std::size_t keyBytes) {
  // The fromJust wording and call site are the error text this suite has
  // always given for a refused key; drivers match on them.
  throw KeyRefusedError("Maybe.fromJust: Nothing, fromJust called at ./Test/TwoFish:93:14-22: "
                        "buildKey refused the " + std::to_string(keyBytes) + "-byte key of " +
                        std::string(twoFishNamePrefix(vector.kind)) + std::string(vector.index) + " (" +
                        describeOrigin(path, vector.record) + ")");
}

void collectTwoFishVectors(TwoFishRecordSink& sink, SuiteDiagnostics* diagnostics,
                           UnknownKind unknownKind) {
  const KatFileViews files = loadKATFileViews("Test/KAT_TWOFISH", "I");
  if (diagnostics != nullptr) diagnostics->directory = getDataFileName("Test/KAT_TWOFISH");
  for (const std::shared_ptr<const KatFileView>& file : files.files) {
    const std::string& path = file->path();
    const std::span<const KatCategoryView> categories = file->categories();
    const std::string_view stem = fileStemOf(path);

    FileDiagnostics* report = beginFileReport(diagnostics, *file);

    const std::optional<TwoFishFileKind> kind = twoFishFileKind(stem);
    if (!kind) {
      if (!holdsRecords(categories)) {
        if (report != nullptr)
          report->note = "unknown file kind \"" + std::string(stem) + "\", but no records: nothing";
        continue;
      }
      if (unknownKind == UnknownKind::fail) throw UnknownVectorFileKindError(path, stem);
      if (report != nullptr)
        report->note = "unknown file kind \"" + std::string(stem) +
                       "\" in a file with records: makeTwoFishTests fails here";
      continue;
    }

    const TwoFishKindEntry& entry = entryOf(*kind);
    sink.startFile(path, file);
    std::size_t recordInFile = 0;
    for (const KatCategoryView& category : categories) {
      for (const KatRecordView& record : category.records) {
        ++recordInFile;
        // Header fields come first in every row, so one pass in row order
        // looks them up before the record's.
        std::array<const std::string_view*, 5> values{};
        bool complete = true;
        for (std::size_t i = 0; i < entry.fieldCount && complete; ++i) {
          const Field& field = entry.fields[i];
          values[i] = findProperty(field.source == Source::header ? category.header : record,
                                   field.key);
          if (values[i] == nullptr) {
            complete = false;
            if (report != nullptr)
              report->skipped.push_back(
                  {recordInFile, missingField(field.key) +
                                      (field.source == Source::header ? " in the category header"
                                                                      : "")});
          } else if (field.key == "IV" &&
                     !sink.acceptIV(decodeFieldWhileBuilding(*values[i], "IV", path, recordInFile))) {
            complete = false;
            if (report != nullptr) report->skipped.push_back({recordInFile, "IV does not deserialise"});
          }
        }
        if (!complete) continue;

        auto take = [&](std::string_view key) -> std::string_view {
          for (std::size_t i = 0; i < entry.fieldCount; ++i)
            if (entry.fields[i].key == key) return *values[i];
          return {};
        };
        TwoFishVector vector;
        vector.kind = *kind;
        vector.index = take("I");
        vector.key = take("KEY");
        const std::string_view plaintext = take("PT"), ciphertext = take("CT");
        vector.input = entry.encrypts ? plaintext : ciphertext;
        vector.expected = entry.encrypts ? ciphertext : plaintext;
        vector.record = recordInFile;
        sink.add(std::move(vector));
        if (report != nullptr) ++report->tests;
      }
    }
  }
}

}  // namespace detail

}  // namespace quillon_tests
