// Record selection of the CTR, AES Monte Carlo and CMAC known-answer suites.
#include <quillon_tests/detail/mode_kat.hpp>

#include <algorithm>
#include <charconv>

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/detail/block_cipher_kat.hpp>
#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"
#include "kat_origin.hpp"

namespace quillon_tests::detail {

namespace {

struct SuiteEntry {
  std::string_view builder;
  std::string_view directory;
  std::string_view recordStartKey;
  std::string_view filePrefix;  // the files the suite reads; empty: all
};

// Indexed by ModeKatSuite.
constexpr SuiteEntry suites[] = {
    {"makeAESCTRTests", "Test/KAT_AES_CTR", "COUNT", ""},
    {"makeAESMonteTests", "Test/KAT_AES_MCT", "COUNT", ""},
    {"makeCMACTests", "Test/KAT_CMAC", "Count", "CMACGenAES"},
    {"makeTwoFishCMACTests", "Test/KAT_CMAC", "Count", "CMACGenTwofish"},
};

const SuiteEntry& entryOf(ModeKatSuite suite) { return suites[static_cast<std::size_t>(suite)]; }

struct MonteCarloPrefix {
  std::string_view prefix;
  MonteCarloMode mode;
};
// CFB counts only as full-block feedback, like the AES suite's files.
constexpr MonteCarloPrefix monteCarloPrefixes[] = {{"ECBMCT", MonteCarloMode::ecb},
                                                   {"CBCMCT", MonteCarloMode::cbc},
                                                   {"CFB128MCT", MonteCarloMode::cfb},
                                                   {"OFBMCT", MonteCarloMode::ofb}};

std::optional<MonteCarloMode> monteCarloMode(std::string_view fileName) {
  for (const MonteCarloPrefix& entry : monteCarloPrefixes)
    if (fileName.starts_with(entry.prefix)) return entry.mode;
  return std::nullopt;
}

/// The direction a category header names: [ENCRYPT] or [DECRYPT].
std::optional<bool> directionOf(std::span<const KatPropertyView> header) {
  const bool encrypt = findProperty(header, "ENCRYPT") != nullptr;
  const bool decrypt = findProperty(header, "DECRYPT") != nullptr;
  if (encrypt == decrypt) return std::nullopt;
  return encrypt;
}

std::optional<std::size_t> parseLength(std::string_view text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

/// The first differing offset of two byte strings (the shorter length when
/// one is a prefix of the other).
std::size_t firstDifference(quillon::ByteView a, quillon::ByteView b) {
  const std::size_t common = std::min(a.size(), b.size());
  std::size_t i = 0;
  while (i < common && a[i] == b[i]) ++i;
  return i;
}

/// Selection of one file's records; `skip` records a reason when diagnosing.
class FileSelection {
 public:
  FileSelection(ModeKatSuite suite, ModeKatSink& sink, const KatFileView& file, FileDiagnostics* report)
      : suite_(suite), sink_(sink), file_(file), report_(report) {}

  void run(std::optional<MonteCarloMode> mode) {
    std::size_t recordInFile = 0;
    for (const KatCategoryView& category : file_.categories()) {
      const std::optional<bool> encrypt =
          suite_ == ModeKatSuite::cmacAes || suite_ == ModeKatSuite::cmacTwoFish
              ? std::optional<bool>(true)
              : directionOf(category.header);
      for (const KatRecordView& record : category.records) {
        ++recordInFile;
        if (!encrypt) {
          skip(recordInFile, "its category names neither [ENCRYPT] nor [DECRYPT]");
          continue;
        }
        if (suite_ == ModeKatSuite::cmacAes || suite_ == ModeKatSuite::cmacTwoFish)
          selectCmac(record, recordInFile);
        else
          selectCipher(record, recordInFile, *encrypt, mode.value_or(MonteCarloMode::ecb));
      }
    }
  }

 private:
  void skip(std::size_t record, std::string reason) {
    if (report_ != nullptr) report_->skipped.push_back({record, std::move(reason)});
  }
  void added() {
    if (report_ != nullptr) ++report_->tests;
  }
  bool acceptKey(const std::string_view* key, std::size_t record) {
    if (sink_.acceptKey(decodeFieldWhileBuilding(*key, "KEY", file_.path(), record))) return true;
    skip(record, "key refused by buildKey");
    return false;
  }

  void selectCipher(const KatRecordView& record, std::size_t recordInFile, bool encrypt,
                    MonteCarloMode mode) {
    const bool needsIV = suite_ == ModeKatSuite::aesCtr || mode != MonteCarloMode::ecb;
    if (needsIV) {
      const std::string_view* iv = findProperty(record, "IV");
      if (iv == nullptr) return skip(recordInFile, missingField("IV"));
      if (!sink_.acceptIV(decodeFieldWhileBuilding(*iv, "IV", file_.path(), recordInFile)))
        return skip(recordInFile, "IV does not deserialise");
    }
    for (std::string_view field : {"COUNT", "KEY", "PLAINTEXT", "CIPHERTEXT"})
      if (findProperty(record, field) == nullptr) return skip(recordInFile, missingField(field));
    if (!acceptKey(findProperty(record, "KEY"), recordInFile)) return;
    const std::string_view plaintext = *findProperty(record, "PLAINTEXT");
    const std::string_view ciphertext = *findProperty(record, "CIPHERTEXT");
    ModeKatRecord selected;
    selected.name = *findProperty(record, "COUNT");
    selected.input = encrypt ? plaintext : ciphertext;
    selected.expected = encrypt ? ciphertext : plaintext;
    selected.record = recordInFile;
    selected.encrypt = encrypt;
    selected.mode = mode;
    sink_.add(std::move(selected));
    added();
  }

  void selectCmac(const KatRecordView& record, std::size_t recordInFile) {
    for (std::string_view field : {"Count", "Mlen", "Tlen", "Key", "Msg", "Mac"})
      if (findProperty(record, field) == nullptr) return skip(recordInFile, missingField(field));
    const std::optional<std::size_t> messageBytes = parseLength(*findProperty(record, "Mlen"));
    const std::optional<std::size_t> tagBytes = parseLength(*findProperty(record, "Tlen"));
    if (!messageBytes || !tagBytes)
      return skip(recordInFile, "Mlen or Tlen is not a decimal byte count");
    if (!acceptKey(findProperty(record, "Key"), recordInFile)) return;
    ModeKatRecord selected;
    selected.name = *findProperty(record, "Count");
    selected.input = *findProperty(record, "Msg");
    selected.expected = *findProperty(record, "Mac");
    selected.record = recordInFile;
    selected.messageBytes = *messageBytes;
    selected.tagBytes = *tagBytes;
    sink_.add(std::move(selected));
    added();
  }

  ModeKatSuite suite_;
  ModeKatSink& sink_;
  const KatFileView& file_;
  FileDiagnostics* report_;
};

}  // namespace

std::string_view modeKatSuiteName(ModeKatSuite suite) noexcept { return entryOf(suite).builder; }

std::string modeKatOperation(ModeKatSuite suite, const ModeKatRecord& record) {
  const char* input = record.encrypt ? "PLAINTEXT" : "CIPHERTEXT";
  switch (suite) {
    case ModeKatSuite::aesCtr:
      return std::string(record.encrypt ? "ctr" : "unCtr") + "(KEY, IV, " + input + ")";
    case ModeKatSuite::aesMonte: {
      static constexpr const char* encryptNames[] = {"encryptBlock", "cbc", "cfb", "ofb"};
      static constexpr const char* decryptNames[] = {"decryptBlock", "unCbc", "unCfb", "unOfb"};
      const auto mode = static_cast<std::size_t>(record.mode);
      return std::string((record.encrypt ? encryptNames : decryptNames)[mode]) +
             (record.mode == MonteCarloMode::ecb ? "(KEY, ...)" : "(KEY, IV, ...)") +
             " chained 1000 times from " + input + ", one block per call";
    }
    case ModeKatSuite::cmacAes:
    case ModeKatSuite::cmacTwoFish:
      return "the first Tlen bytes of cmac(Key, the first Mlen bytes of Msg)";
  }
  return {};
}

void checkModeKnownAnswer(const quillon::ByteString& vectorValue, const quillon::ByteString& computed,
                          std::string_view testName, std::string_view path, std::size_t record,
                          std::string_view operation, int blockSizeBits) {
  if (vectorValue == computed) return;
  std::string note = describeOrigin(path, record);
  note.append("\nexpected = the vector file's value, but got = ").append(operation);
  note.append(" computed by the implementation\n");
  const std::size_t offset = firstDifference(vectorValue, computed);
  const bool differ = offset < std::min(vectorValue.size(), computed.size());
  note.append(differ ? "first difference at byte " : "one value ends at byte ");
  note.append(std::to_string(offset));
  if (blockSizeBits >= 8) {
    const auto blockBytes = static_cast<std::size_t>(blockSizeBits / 8);
    note.append(", in block ").append(std::to_string(offset / blockBytes));
    note.append(" (").append(std::to_string(blockBytes)).append("-byte blocks, counted from 0)");
  }
  assertEqual(testName, vectorValue, computed, note);
}

void collectModeKatVectors(ModeKatSuite suite, ModeKatSink& sink, SuiteDiagnostics* diagnostics) {
  const SuiteEntry& entry = entryOf(suite);
  const KatFileViews files = loadKATFileViews(entry.directory, entry.recordStartKey);
  if (diagnostics != nullptr) diagnostics->directory = getDataFileName(entry.directory);
  for (const std::shared_ptr<const KatFileView>& file : files.files) {
    const std::string_view fileName = fileNameOf(file->path());
    FileDiagnostics* report = beginFileReport(diagnostics, *file);
    if (!fileName.starts_with(entry.filePrefix)) {
      if (report != nullptr) report->note = "not read: name does not begin with " + std::string(entry.filePrefix);
      continue;
    }
    std::optional<MonteCarloMode> mode;
    if (suite == ModeKatSuite::aesMonte) {
      mode = monteCarloMode(fileName);
      if (!mode) {
        if (report != nullptr)
          report->note = "not read: name begins with none of ECBMCT, CBCMCT, CFB128MCT, OFBMCT";
        continue;
      }
    }
    sink.startFile(file->path(), file);
    FileSelection(suite, sink, *file, report).run(mode);
  }
}

}  // namespace quillon_tests::detail
