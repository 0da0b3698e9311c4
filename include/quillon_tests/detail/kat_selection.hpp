#pragma once
// The extension point of the known-answer suites: which records of a vector
// directory become tests, what those tests hold, and the one report of their
// failures.
//
// A suite is three things.
//  - A table of kinds (KatKind), one row per kind of file or category. A row
//    names its fields: where each is looked up (the record, the category
//    header, the record before, the lines before the category's first
//    record), whether it is required, optional, required unless the record
//    is a rejection, or a rejection marker, and whether it is part of the
//    test's name. Code reads a field by its name, never by its position.
//  - A KatLayout: the vector directory, the key that opens a record, the
//    table, how tests are named, and optional hooks (the kind of a file or
//    of a category, a check of a record's fields).
//  - A family (KatFamily) giving the test of one record: a run function
//    that computes what the record describes and hands both values to
//    failKnownAnswer when they differ, a note function (the lines a failure
//    report adds about what was computed) and optional checks while the
//    list is built (an IV that must deserialise, a key that buildKey must
//    accept). The digest family is detail/digest_kat.hpp, the block-cipher
//    family detail/block_cipher_kat.hpp.
// makeKatTests runs the selection and makes one test per record it takes;
// diagnoseKat runs the very same selection for `quillon-check vectors`.
//
// A record carrying a rejection marker of its kind (NIST's GCM decrypt
// files write a bare "FAIL" line instead of "PT = ..."; its CCM files
// "Result = Fail") is not skipped: its test expects the operation to refuse,
// and record.rejected() tells the run function so. Fields declared
// whenAccepted (the PT of a GCM decrypt record) are required of the other
// records only. Optional fields are reported present or absent by has().
//
// What a test holds is only what identifies its vector: the shared suite,
// the record's file and position, and its name and line. The vector file is
// read again when a test needs it (a suite keeps the last file it read, for
// the tests after it), so a list of tens of thousands of tests costs little
// and a filtered run decodes only the records it runs; a file that changed
// since the list was made ends the tests that read it with an error. While
// the list is built only the fields that decide the selection are decoded
// (a family's key and IV), and nothing of them is kept.
//
// Adding a suite whose vectors are shaped like NIST's, for instance one over
// files such as
//     [Keylen = 128]
//     [IVlen = 96]
//     Count = 0
//     Key = ...
//     IV = ...
//     PT = ...
//     CT = ...
// in "Test/KAT_TOY" (the Count restarting in every section, so the name
// carries the section's IVlen):
//  1. The table and the layout, in src/toy_suite.cpp:
//       constexpr std::array<KatKind, 1> toyKinds{{
//           {.label = "toy",
//            .fields = {headerField("IVlen").names(), recordField("Count").names(),
//                       recordField("Key").as("key"), recordField("IV").as("iv"),
//                       recordField("PT").as("input"), recordField("CT").as("expected")},
//            .operation = "toy(Key, IV, PT)"},
//       }};
//       static_assert(wellFormed(toyKinds));
//       const KatLayout& toyLayout() {
//         static const KatLayout layout{.suite = "makeToyTests", .title = "Toy known answers",
//                                       .directory = "Test/KAT_TOY", .recordStartKey = "Count",
//                                       .kinds = toyKinds, .naming = NameScheme::fileStem};
//         return layout;
//       }
//     Tests are named "<file stem>-<IVlen>-<Count>". A record lacking a
//     required field is skipped and counted with the reason.
//  2. One function, the run function of the family (here the block-cipher
//     family's operation, which gets the built key, the IV and the input):
//       template <class K>
//       quillon::ByteString toyOperation(const CipherCall<K>& call) {
//         return toy(call.key, *call.iv, call.input);
//       }
//     A family of its own writes `void run(const KatRecord&)` reading
//     record.bytes("input") and the like, and calls failKnownAnswer (or
//     checkKnownAnswer) with the vector's value and its own.
//  3. One declaration, in the public header quillon_tests/toy.hpp beside
//     the suite's contract comment:
//       template <class K>
//       std::vector<Test> makeToyTests(const SourceLocation& where = SourceLocation::current());
//     and its definition in quillon_tests/detail/toy.hpp, which the public
//     header includes at its end; it names the checked type first (see
//     detail/checked_types.hpp), so that a type missing a member gets the
//     kit's one-line message as the compiler's first error:
//       template <class K>
//       std::vector<Test> makeToyTests(const SourceLocation& where) {
//         using C = detail::CheckedCipher<K>;
//         return detail::makeCipherKatTests<C, &detail::toyOperation<C>>(detail::toyLayout(), where);
//       }
//     and `diagnoseCipherKat<C>(toyLayout())` for `quillon-check vectors`;
//     a row for the builder in tests/compile_errors/builders.cmake.
// Files of other shapes say so in the table: GCM's decrypt kind adds
// rejectedWhen("FAIL") and declares its PT recordField("PT").whenAccepted(),
// and its run function expects a refusal (an empty KatOutput) when
// record.rejected(); CCM's settings are headerField("Tlen").orIn(
// FieldSource::preamble, "Tlen") (a "[Alen = 0, Tlen = 4]" header or a
// "Tlen = 16" line before the first section), its Key preambleField("Key"),
// its "Result = Fail" records rejectedWhen("Result", "Fail"). A seal that
// must refuse (a message too long for the nonce) is a record of a sealing
// kind carrying such a marker.
// The machinery names the tests, locates each at its record's line, counts
// what it skipped by reason in the suite's SelectionSummary, turns an empty
// selection into one failing test "NoVectorApplies" saying why, and makes
// every failure report name the vector file, record and line, the field the
// expected value came from and the first differing byte and block.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/errors.hpp>  // KeyRefusedError
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests::detail {

class KatFileView;
struct KatCategoryView;

/// Where a field is looked up.
enum class FieldSource : std::uint8_t {
  record,          // the record itself
  header,          // its category's header (a "[A = 1, B = 2]" line gives both A and B)
  previousRecord,  // the record before it in its category (absent for the first; when
                   // that record lacks the key, the field is missing: later lookups
                   // serve the first record only)
  preamble,        // a "key = value" line outside any record before the category's
                   // first record, the last one (NIST's "Seed", CCM's "Key" and "Plen")
};

/// What a record without the field, or with it, means.
enum class FieldUse : std::uint8_t {
  required,      // a record without it is skipped
  optional,      // the run function is told whether it is there
  whenAccepted,  // required unless the record carries a rejection marker
  rejection,     // a marker: a record carrying it expects the operation to refuse
};

struct FieldLookup {
  FieldSource source = FieldSource::record;
  std::string_view key{};
};

/// One field of a kind: looked up where `lookups` say, in order, until one
/// is found.
struct KatField {
  /// How code reads it (record.text(name)); by default its key.
  std::string_view name{};
  std::array<FieldLookup, 3> lookups{};
  std::uint8_t lookupCount = 0;
  FieldUse use = FieldUse::required;
  /// For a rejection marker: what its value starts with ("Fail"); empty
  /// when the key's presence alone marks the record (a bare "FAIL" line).
  std::string_view marker{};
  /// Whether its value is part of the test's name (in the kind's order).
  bool naming = false;

  /// The key of the first lookup: the field as the vector file names it.
  [[nodiscard]] constexpr std::string_view key() const noexcept { return lookups[0].key; }

  [[nodiscard]] constexpr KatField as(std::string_view newName) const noexcept {
    KatField field = *this;
    field.name = newName;
    return field;
  }
  /// Also looked up in `source` under `otherKey` when not found before.
  [[nodiscard]] constexpr KatField orIn(FieldSource source, std::string_view otherKey) const noexcept {
    KatField field = *this;
    field.lookups[field.lookupCount++] = {source, otherKey};
    return field;
  }
  [[nodiscard]] constexpr KatField optional() const noexcept { return withUse(FieldUse::optional); }
  [[nodiscard]] constexpr KatField whenAccepted() const noexcept { return withUse(FieldUse::whenAccepted); }
  [[nodiscard]] constexpr KatField names() const noexcept {
    KatField field = *this;
    field.naming = true;
    return field;
  }

 private:
  [[nodiscard]] constexpr KatField withUse(FieldUse newUse) const noexcept {
    KatField field = *this;
    field.use = newUse;
    return field;
  }
};

/// A required field looked up in `source` only, read by its key.
constexpr KatField lookedUp(FieldSource source, std::string_view key) noexcept {
  KatField field;
  field.name = key;
  field.lookups[0] = {source, key};
  field.lookupCount = 1;
  return field;
}
constexpr KatField recordField(std::string_view key) noexcept { return lookedUp(FieldSource::record, key); }
constexpr KatField headerField(std::string_view key) noexcept { return lookedUp(FieldSource::header, key); }
constexpr KatField preambleField(std::string_view key) noexcept { return lookedUp(FieldSource::preamble, key); }
/// A rejection marker of the record: `key` present ("FAIL") or, with a
/// `marker`, present with a value starting with it ("Result", "Fail").
constexpr KatField rejectedWhen(std::string_view key, std::string_view marker = {}) noexcept {
  KatField field = recordField(key);
  field.use = FieldUse::rejection;
  field.marker = marker;
  return field;
}

inline constexpr std::size_t maxKatFields = 14;

/// One kind of vector file (or of category) and what its tests do.
struct KatKind {
  /// The kind's name in diagnostics, e.g. "CBCe" or "ECB_VK".
  std::string_view label{};
  /// In lookup order (the first missing required field is the one a skipped
  /// record's diagnostics name); unused entries stay empty at the end.
  std::array<KatField, maxKatFields> fields{};
  /// What a test computes, for failure reports: e.g. "cbc(KEY, IV, PLAINTEXT)".
  std::string_view operation{};
  /// For NameScheme::kindPrefix: the text before the name fields.
  std::string_view namePrefix{};
  /// The suite's own code for the kind (e.g. an enum value).
  int code = 0;

  [[nodiscard]] constexpr std::size_t fieldCount() const noexcept {
    std::size_t count = 0;
    while (count < fields.size() && !fields[count].name.empty()) ++count;
    return count;
  }
  /// The position of the field named `name`, or fieldCount().
  [[nodiscard]] constexpr std::size_t indexOf(std::string_view name) const noexcept {
    const std::size_t count = fieldCount();
    for (std::size_t i = 0; i < count; ++i)
      if (fields[i].name == name) return i;
    return count;
  }
  [[nodiscard]] constexpr bool has(std::string_view name) const noexcept { return indexOf(name) < fieldCount(); }
};

/// Whether every kind of a table is sound: fields packed at the front, each
/// with a name and a lookup, no name twice, a marker only on a rejection
/// field, whenAccepted only beside a rejection marker. For a static_assert
/// next to the table.
constexpr bool wellFormed(std::span<const KatKind> kinds) noexcept {
  for (const KatKind& kind : kinds) {
    const std::size_t count = kind.fieldCount();
    bool rejection = false, whenAccepted = false;
    for (std::size_t i = 0; i < kind.fields.size(); ++i) {
      const KatField& field = kind.fields[i];
      if (i >= count) {
        if (field.lookupCount != 0) return false;
        continue;
      }
      if (field.lookupCount == 0 || kind.indexOf(field.name) != i) return false;
      if (!field.marker.empty() && field.use != FieldUse::rejection) return false;
      rejection = rejection || field.use == FieldUse::rejection;
      whenAccepted = whenAccepted || field.use == FieldUse::whenAccepted;
    }
    if (whenAccepted && !rejection) return false;
  }
  return true;
}

/// How a selected record's test is named; the name fields (KatField::names,
/// in the kind's order) are joined by "-".
enum class NameScheme : std::uint8_t {
  fileName,            // "<file name>-<name fields>"
  fileStem,            // "<file stem>-<name fields>"
  kindPrefix,          // "<kind's namePrefix><name fields>"
  layoutPrefixQuoted,  // "<layout's namePrefix>" and each name field between quotes
  layoutPrefixOrdinal, // "<layout's namePrefix><n>", n counting the suite's tests from 1
};

/// What a file gives: a kind (index into the layout's kinds), or nothing
/// with the reason for the diagnostics; a file of no kind gives no tests. A
/// reason starting with "not read" marks a file of another suite.
struct FileChoice {
  std::optional<std::size_t> kind;
  std::string note;
};

class KatRecord;

struct KatLayout {
  /// The builder's name, for diagnostics and errors: "makeAESTests".
  std::string suite{};
  /// What its tests are, for the selection summary: "AES known answers".
  std::string title{};
  /// Under the data directory: "Test/KAT_AES".
  std::string_view directory{};
  std::string_view recordStartKey{};
  std::span<const KatKind> kinds{};
  /// The kind of a file from its name, its content or both; null gives
  /// kinds[0] to every file. `diagnosing` is true when no tests are built;
  /// it may throw to end the builder.
  std::function<FileChoice(const KatFileView& file, bool diagnosing)> chooseFile{};
  /// The kind of a category (counted from 1) of a file of kind `fileKind`,
  /// or nothing to leave its records to other suites. It may add to the
  /// file's note through `report` (null when not diagnosing). Null: every
  /// category has the file's kind.
  std::function<std::optional<std::size_t>(std::size_t fileKind, const KatCategoryView& category,
                                           std::size_t categoryNumber, FileDiagnostics* report)>
      chooseCategory{};
  /// Why a record whose fields were all found cannot be read (e.g. a length
  /// that is no number), or nothing to take it. The reason is the record's
  /// note in the diagnostics and its reason in the summary.
  std::function<std::optional<std::string>(const KatRecord& record)> checkRecord{};
  /// When set, only files whose name is this prefix followed by nothing or
  /// by a character that is neither a digit nor "_" are read: "SHA512" owns
  /// "SHA512ShortMsg.rsp" but neither "SHA512_224ShortMsg.rsp" nor
  /// "SHA5120.rsp".
  std::string_view ownedPrefix{};
  NameScheme naming = NameScheme::fileName;
  /// For the layoutPrefix schemes.
  std::string namePrefix{};
};

/// Whether `fileName` belongs to the suite of prefix `prefix` (see ownedPrefix).
bool ownsFileName(std::string_view prefix, std::string_view fileName) noexcept;

/// `text` between double quotes, a double quote or backslash escaped by a
/// backslash and other non-printable bytes written as \xHH.
std::string quoted(std::string_view text);

struct KatSuiteRun;

/// A record as the selection resolved it, for the family's functions: while
/// the list is built (the fields found so far) and when its test runs.
/// Only views: valid during the call that receives it.
class KatRecord {
 public:
  [[nodiscard]] const KatKind& kind() const noexcept { return *kind_; }
  [[nodiscard]] int code() const noexcept { return kind_->code; }
  /// Whether the field is there: false for an absent optional field, for a
  /// whenAccepted field of a rejected record, and for a name the kind lacks.
  [[nodiscard]] bool has(std::string_view field) const noexcept;
  /// The field's text; empty when absent. std::logic_error for a name the
  /// kind lacks (a fault of the suite, not of the vector).
  [[nodiscard]] std::string_view text(std::string_view field) const;
  /// The field decoded from hex; HexDecodeError naming the field, the
  /// vector file, the record and its line.
  [[nodiscard]] quillon::ByteString bytes(std::string_view field) const;
  /// The field as a decimal integer (parseDecimalField); std::invalid_argument
  /// naming the field and the record.
  [[nodiscard]] long long number(std::string_view field) const;
  /// The key under which the field was found: "MD", or "Seed" for the first
  /// record of a Monte Carlo chain.
  [[nodiscard]] std::string_view keyOf(std::string_view field) const;
  /// Whether the record carries a rejection marker: its test expects the
  /// operation to refuse.
  [[nodiscard]] bool rejected() const noexcept { return rejected_; }
  /// The marker it carries ("FAIL", "Result = Fail"); empty when accepted.
  [[nodiscard]] std::string marker() const;

  /// The builder that made the test ("makeAESTests").
  [[nodiscard]] const std::string& suite() const noexcept;
  [[nodiscard]] const std::string& path() const noexcept;
  /// The record's position in its file, from 1 across categories.
  [[nodiscard]] std::size_t record() const noexcept { return record_; }
  /// The line where the record starts (its record-start key), from 1.
  [[nodiscard]] std::size_t line() const noexcept { return line_; }
  /// "vector file: <path>, record <n> (line <l>)".
  [[nodiscard]] std::string origin() const;
  /// The name of the record's test.
  [[nodiscard]] std::string testName() const;
  /// The note of the record's family for a failure report; empty without one.
  [[nodiscard]] std::string note() const;

 private:
  friend struct KatResolver;

  [[nodiscard]] std::size_t found(std::string_view field) const;  // its index; logic_error if the kind lacks it

  const KatKind* kind_ = nullptr;
  const KatSuiteRun* suite_ = nullptr;
  std::array<std::string_view, maxKatFields> values_{};
  std::array<std::uint8_t, maxKatFields> lookupUsed_{};  // which lookup found each field
  std::array<bool, maxKatFields> present_{};
  bool rejected_ = false;
  std::uint32_t file_ = 0;  // in the suite's files
  std::size_t record_ = 0;
  std::size_t line_ = 0;
  std::size_t ordinal_ = 0;  // among the suite's tests, from 1
};

/// Why the selection leaves a record out.
struct KatSkip {
  /// The record's note in the diagnostics: "key refused by buildKey".
  std::string note;
  /// Its reason in the selection summary, counted: "key refused"; empty for
  /// the note itself.
  std::string reason = {};
  /// The breakdown of that reason it falls in: "192-bit"; may be empty.
  std::string detail = {};
};

/// When a suite builds the key of a record: the choice of a suite whose
/// files hold keys of several sizes, for a type that takes one of them.
enum class KeyCheck {
  whileListing,  // a record whose key buildKey refuses is skipped (keyRefused)
  whenRunning,   // every record is a test; a refused key is its error (throwKeyRefused)
};

/// The skip of a record whose key buildKey refuses: counted as "key
/// refused", broken down by the key's size ("192-bit").
KatSkip keyRefused(std::size_t keyBytes);

/// Throws KeyRefusedError for the test of `record`, whose "key" field held
/// `keyBytes` bytes.
[[noreturn]] void throwKeyRefused(const KatRecord& record, std::size_t keyBytes);

/// Nothing when T::buildKey takes the record's "key" field, else the skip
/// of keyRefused: how a suite that selects by key leaves a record out.
template <class T>
std::optional<KatSkip> refusedKey(const KatRecord& record) {
  const quillon::ByteString key = record.bytes("key");
  if (T::buildKey(key)) return std::nullopt;
  return keyRefused(key.size());
}

/// T::buildKey(keyBytes), the key of `record`'s test; KeyRefusedError when
/// it refuses.
template <class T>
T recordKey(const KatRecord& record, quillon::ByteView keyBytes) {
  std::optional<T> key = T::buildKey(keyBytes);
  if (!key) throwKeyRefused(record, keyBytes.size());
  return std::move(*key);
}

/// The test of one record, and what a family checks while the list is built.
struct KatFamily {
  /// Called for every field as soon as it is found, while the list is built
  /// (e.g. an IV that must deserialise); a skip leaves the record out. Null:
  /// nothing is checked.
  std::optional<KatSkip> (*checkField)(const KatRecord& record, const KatField& field) = nullptr;
  /// Called once the record's fields are all found and the layout's
  /// checkRecord took it (e.g. a key that buildKey must accept). Null: every
  /// record is taken.
  std::optional<KatSkip> (*admit)(const KatRecord& record) = nullptr;
  /// The test: returns when it passes, throws AssertionFailure (through
  /// failKnownAnswer) when it fails and anything else for an error.
  void (*run)(const KatRecord& record) = nullptr;
  /// The lines a failure report adds after the vector's origin and the
  /// expected value's field: what the test computed, and how.
  std::string (*note)(const KatRecord& record) = nullptr;
};

/// The known-answer tests of `layout` for `family`: one per record the
/// selection takes, in order, named by the layout's scheme, located at the
/// record's line and sharing one SelectionSummary titled layout.title.
/// When it takes none, one failing test "NoVectorApplies", located at
/// `where`, whose report says what was skipped and why. I/O errors
/// propagate (DataFileError); a malformed field the family decodes while
/// listing ends the builder (HexDecodeError naming field, file and record).
std::vector<Test> makeKatTests(const KatLayout& layout, const KatFamily& family, const SourceLocation& where,
                               std::size_t reserveExtra = 0);

/// What makeKatTests would take from each vector file, and why it skips
/// what it skips. Builds no tests.
SuiteDiagnostics diagnoseKat(const KatLayout& layout, const KatFamily& family = {});

/// What a known-answer test gave: its bytes, or nothing when the operation
/// refused.
using KatOutput = std::optional<quillon::ByteView>;

/// The one failure report of every known-answer family: the test's name;
/// the vector's value as expected (a refusal for a rejected record) and what
/// each path of the test computed as got (several paths, e.g. contiguous and
/// chunked input, as components); the first differing byte, and its block
/// when `blockBytes` is not 0; the vector file, record and line; the field
/// the expected value came from (by name); and the family's note.
[[noreturn]] void failKnownAnswer(const KatRecord& record, std::string_view expectedField, KatOutput expected,
                                  std::initializer_list<KatOutput> computed, std::size_t blockBytes = 0);

/// Passes when every computed value equals the expected one (a refusal
/// equals a refusal); fails through failKnownAnswer otherwise.
void checkKnownAnswer(const KatRecord& record, std::string_view expectedField, KatOutput expected,
                      std::initializer_list<KatOutput> computed, std::size_t blockBytes = 0);

}  // namespace quillon_tests::detail
