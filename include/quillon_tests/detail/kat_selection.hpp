#pragma once
// The record selection every known-answer suite runs over its vector
// directory, and the tests it leads to.
//
// A suite is described by a KatLayout: its directory, the key that opens a
// record, the kinds of file it knows (each a row of a KatKind table: which
// fields a test needs, where to look them up, what the test computes) and a
// few hooks (which file is of which kind, which category a suite takes).
// selectKatRecords walks the files once for building tests and once for
// `quillon-check vectors`, so what the diagnostics report is what the
// builder does. The families on top of it (block_cipher_kat.hpp for
// ciphers, digest_kat.hpp for digests) add the implementation under test.
//
// Adding a suite:
//   1. In src/, a table of KatKind rows, one per file kind: the fields in
//      the order they are looked up (a missing one skips the record), each
//      with its role (name, key, iv, input, expected, or plain for a field
//      the suite's function reads by index), the text of the operation and
//      of the expected field for failure notes.
//   2. A function returning the KatLayout (declared in kat_layouts.hpp): directory, record-start key,
//      the table, how tests are named, and chooseFile (the kind a file name
//      or its content gives; a note for a file of no kind). Optional:
//      chooseCategory (e.g. a direction or length in the category header),
//      checkRecord (a record whose fields the suite cannot read, e.g. a
//      length that is no number, is skipped with the reason it gives),
//      ownsFile (which file names belong to the suite at all) and
//      keyWhileListing (buildKey while the list is built: refused keys skip
//      their record, so a binding runs only the key sizes it accepts).
//   3. In the public header, one function template over the implementation:
//      for a cipher, `ByteString f(const CipherCall<K>&)` (or modeOperation
//      when each kind is one call such as cbc or ctr, its code a
//      CipherMode), given to makeCipherSuite / diagnoseCipherSuite; for a
//      digest, `DigestComparison f(const SelectedRecord&)`, given to
//      makeDigestKatTests, and diagnoseKat for the diagnostics.
//      Add the diagnostics to `quillon-check vectors`.
// Example: a CTR suite over NIST files whose [ENCRYPT] / [DECRYPT] category
// headers give the direction is two rows (fields COUNT as name, KEY as key,
// IV as iv, PLAINTEXT and CIPHERTEXT as input and expected; codes
// CipherMode::ctr and unCtr), a chooseFile giving row 0 for every file, a
// chooseCategory giving row 0 or 1 from findProperty(category.header,
// "ENCRYPT" / "DECRYPT"), NameScheme::fileStem, keyWhileListing, and
// makeCipherSuite<K, &modeOperation<K>>(layout).
// The machinery names the tests, keeps the vector files' texts alive as
// long as a test holds them, decodes IVs and keys while listing and gives
// every failure the note naming its vector file and record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests::detail {

class KatFileView;
struct KatCategoryView;

/// Where a field of a record is looked up.
enum class FieldSource : std::uint8_t {
  record,          // the record itself
  header,          // the header of the record's category
  previousRecord,  // the record before it in its category (absent for the first; when
                   // that record lacks the key, the field is missing: later lookups
                   // serve the first record only)
  preamble,        // a "key = value" line outside any record before the category's
                   // first record (the last such line; e.g. a Monte Carlo "Seed")
};

/// What the machinery does with a field besides handing it to the suite.
enum class FieldRole : std::uint8_t {
  plain,     // read by the suite's function through its index
  name,      // the index in the test's name
  key,       // the key bytes (hex)
  iv,        // an IV (hex), read with IV<K>::get while the list is built
  input,     // what the operation is given (hex)
  expected,  // what the vector says the operation gives (hex)
};

struct FieldLookup {
  FieldSource source = FieldSource::record;
  std::string_view key;
};

/// One field of a kind: looked up in `lookups` in order until one is found.
struct KatField {
  std::array<FieldLookup, 3> lookups{};
  std::uint8_t lookupCount = 1;
  FieldRole role = FieldRole::plain;
};

/// A field looked up in the record only.
constexpr KatField recordField(std::string_view key, FieldRole role = FieldRole::plain) {
  return {{{{FieldSource::record, key}}}, 1, role};
}
/// A field looked up in the category header only.
constexpr KatField headerField(std::string_view key, FieldRole role = FieldRole::plain) {
  return {{{{FieldSource::header, key}}}, 1, role};
}

inline constexpr std::size_t maxKatFields = 8;

/// One kind of vector file (or of category) and what its tests do.
struct KatKind {
  /// The kind's name in diagnostics, e.g. "CBCe" or "ECB_VK".
  std::string_view label;
  /// In lookup order; the first missing one skips the record.
  std::array<KatField, maxKatFields> fields{};
  std::uint8_t fieldCount = 0;
  /// What a test computes and what it compares with, for failure notes:
  /// e.g. "cbc(KEY, IV, PLAINTEXT)" and "CIPHERTEXT".
  std::string_view operation;
  std::string_view expectedField;
  /// For NameScheme::kindPrefix: the text before the name field.
  std::string_view namePrefix;
  /// The suite's own code for the kind (e.g. an enum value).
  int code = 0;

  /// The index of the first field with `role`, or fieldCount.
  [[nodiscard]] constexpr std::size_t indexOf(FieldRole role) const noexcept {
    for (std::size_t i = 0; i < fieldCount; ++i)
      if (fields[i].role == role) return i;
    return fieldCount;
  }
  [[nodiscard]] constexpr bool has(FieldRole role) const noexcept { return indexOf(role) < fieldCount; }
};

/// How a selected record's test is named.
enum class NameScheme : std::uint8_t {
  fileName,           // "<file name>-<name field>"
  fileStem,           // "<file stem>-<name field>"
  kindPrefix,         // "<kind's namePrefix><name field>"
  layoutPrefixQuoted, // "<layout's namePrefix>" and the name field between quotes
  layoutPrefixOrdinal,// "<layout's namePrefix><n>", n counting the suite's tests from 1
};

/// What a file gives: a kind (index into the layout's kinds), or nothing
/// with the reason for the diagnostics; a file of no kind gives no tests.
struct FileChoice {
  std::optional<std::size_t> kind;
  std::string note;
};

struct KatLayout;
struct SelectedRecord;

/// The kind of a file: from its name, its content or both. `diagnosing` is
/// true when no tests are built; a hook may throw to end the builder.
using ChooseFile = FileChoice (*)(const KatLayout& layout, const KatFileView& file, bool diagnosing);
/// The kind of a category of a file of kind `fileKind`, or nothing to skip
/// its records silently. `category` counts from 1. A hook may add to the
/// file's note through `report` (null when not diagnosing).
using ChooseCategory = std::optional<std::size_t> (*)(const KatLayout& layout, std::size_t fileKind,
                                                      const KatCategoryView& category,
                                                      std::size_t categoryNumber,
                                                      FileDiagnostics* report);
/// Why a record whose every field was found cannot be read (e.g. a length
/// field that is no number), or nothing to take it. The reason is the
/// record's skip note in the diagnostics.
using CheckRecord = std::optional<std::string> (*)(const KatLayout& layout, const SelectedRecord& record);

struct KatLayout {
  /// The builder's name, for diagnostics: "makeAESTests".
  std::string suite{};
  /// Under the data directory: "Test/KAT_AES".
  std::string_view directory{};
  std::string_view recordStartKey{};
  std::span<const KatKind> kinds{};
  ChooseFile chooseFile = nullptr;
  ChooseCategory chooseCategory = nullptr;  // null: every category has the file's kind
  CheckRecord checkRecord = nullptr;        // null: every complete record is taken
  /// When set, only files whose name is this prefix followed by nothing or
  /// by a character that is neither a digit nor "_" are read: "SHA512" owns
  /// "SHA512ShortMsg.rsp" but neither "SHA512_224ShortMsg.rsp" nor
  /// "SHA5120.rsp".
  std::string_view ownedPrefix{};
  /// A value the hooks read, e.g. the header "L" an HMAC suite selects.
  std::string_view parameter{};
  NameScheme naming = NameScheme::fileName;
  /// For the layoutPrefix schemes.
  std::string namePrefix{};
  /// buildKey while the list is built, skipping records whose key it
  /// refuses; otherwise the key is built when the test runs and a refused
  /// one ends the test with KeyRefusedError.
  bool keyWhileListing = false;
};

/// Whether `fileName` belongs to the suite of prefix `prefix` (see ownedPrefix).
bool ownsFileName(std::string_view prefix, std::string_view fileName) noexcept;

/// A record the selection took: its fields' texts, views into the vector
/// file, in the order of its kind's fields.
struct SelectedRecord {
  const KatKind* kind = nullptr;
  std::array<std::string_view, maxKatFields> values{};
  /// Position of the record in its file, counting from 1 across categories.
  std::size_t record = 0;
  /// The line of the file where the record starts (its record-start key), from 1.
  std::size_t line = 0;
  /// Position among all the records the suite took, from 1.
  std::size_t ordinal = 0;

  [[nodiscard]] std::string_view value(FieldRole role) const noexcept {
    const std::size_t i = kind->indexOf(role);
    return i < kind->fieldCount ? values[i] : std::string_view{};
  }
};

/// Where the selection sends what it takes. Before the records of a file of
/// some kind, startFile gets the file's path and an owner that keeps its
/// texts alive. For each record, acceptIV is called as soon as an IV field
/// is found, acceptKey once every field is found (layouts with
/// keyWhileListing only); a record both accepted goes to add. A sink keeps
/// the IV and key it built for the add that follows.
class KatRecordSink {
 public:
  virtual void startFile(const std::string& path, const std::shared_ptr<const void>& owner) = 0;
  virtual bool acceptIV(quillon::ByteView bytes) = 0;
  virtual bool acceptKey(quillon::ByteView bytes) = 0;
  virtual void add(SelectedRecord&& record) = 0;

 protected:
  ~KatRecordSink() = default;
};

/// Loads the layout's directory and runs the selection over every file in
/// byte order of the file names. With `diagnostics` it also records, per
/// file, what it held, gave and skipped, and why. I/O errors propagate (DataFileError).
void selectKatRecords(const KatLayout& layout, KatRecordSink& sink, SuiteDiagnostics* diagnostics);

/// The selection alone, for a suite whose records do not depend on the
/// implementation (no IV or key read while listing).
SuiteDiagnostics diagnoseKat(const KatLayout& layout);

/// The name of a selected record's test, sized once.
std::string katTestName(NameScheme naming, std::string_view namePrefix, std::string_view path,
                        const SelectedRecord& record);

/// `text` between double quotes, a double quote or backslash escaped by a
/// backslash and other non-printable bytes written as \xHH.
std::string quoted(std::string_view text);

/// "vector file: <path>, record <n> (line <l>)": where a test's vector came from.
std::string katOrigin(std::string_view path, const SelectedRecord& record);

/// What all the tests of one builder call share.
struct KatSuiteInfo {
  std::string suite;
  NameScheme naming = NameScheme::fileName;
  std::string namePrefix;
};

/// A vector file the tests' texts point into.
struct KatFileEntry {
  std::string path;
  std::shared_ptr<const void> owner;
  const KatSuiteInfo* suite;
  /// The file as the tests' location, its name shared by all of them.
  SourceLocation location;
};

/// A selected record with what the family built for it while listing.
template <class Extra>
struct KatCase {
  SelectedRecord record;
  const KatFileEntry* file;
  Extra extra;

  [[nodiscard]] std::string name() const {
    return katTestName(file->suite->naming, file->suite->namePrefix, file->path, record);
  }
};

/// The selected records of one builder call. All its tests share it: one
/// allocation for the whole suite rather than one per test.
template <class Extra>
struct KatSuiteData {
  KatSuiteInfo info;
  std::deque<KatFileEntry> files;  // a deque: cases point into it while it grows
  std::vector<KatCase<Extra>> cases;

  explicit KatSuiteData(const KatLayout& layout) : info{layout.suite, layout.naming, layout.namePrefix} {}
};

/// The test case of one vector, located at the line where its record
/// starts. Every known-answer test is made here.
Test katTestCase(std::string name, const SourceLocation& record, TestAction action);

/// One test per case of `data`, in order; each keeps the whole data alive
/// and runs Body(case).
template <auto Body, class Extra>
std::vector<Test> katTests(const std::shared_ptr<KatSuiteData<Extra>>& data, std::size_t reserveExtra = 0) {
  std::vector<Test> tests;
  tests.reserve(data->cases.size() + reserveExtra);
  for (const KatCase<Extra>& test : data->cases) {
    // Aliasing pointer: owns the whole data, points at this case.
    std::shared_ptr<const KatCase<Extra>> shared(data, &test);
    tests.push_back(katTestCase(test.name(), test.file->location.atLine(static_cast<unsigned>(test.record.line)),
                                [shared] { Body(*shared); }));
  }
  return tests;
}

/// A sink that keeps every selected record, with the Extra that
/// takeExtra() gives for it (what the family built while listing).
template <class Extra>
class KatCollector : public KatRecordSink {
 public:
  explicit KatCollector(const KatLayout& layout) : data_(std::make_shared<KatSuiteData<Extra>>(layout)) {}

  void startFile(const std::string& path, const std::shared_ptr<const void>& owner) override {
    data_->files.push_back({path, owner, &data_->info, SourceLocation(path, 0)});
  }
  void add(SelectedRecord&& record) override {
    data_->cases.push_back({std::move(record), &data_->files.back(), takeExtra()});
  }

  [[nodiscard]] const std::shared_ptr<KatSuiteData<Extra>>& data() const noexcept { return data_; }

 protected:
  ~KatCollector() = default;
  virtual Extra takeExtra() = 0;

 private:
  std::shared_ptr<KatSuiteData<Extra>> data_;
};

}  // namespace quillon_tests::detail
