#include <quillon_tests/aes.hpp>

#include <array>

#include <quillon_tests/data_files.hpp>
#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"

namespace quillon_tests::detail {

namespace {

struct AesKindEntry {
  std::string_view keyText;
  AesFileKind kind;
  std::string_view operation;
  std::string_view expectedField;
};

// Indexed by AesFileKind.
constexpr std::array<AesKindEntry, 8> aesKinds{{
    {"ECBe", AesFileKind::ecbEncrypt, "encryptBlock(KEY, PLAINTEXT)", "CIPHERTEXT"},
    {"ECBd", AesFileKind::ecbDecrypt, "decryptBlock(KEY, CIPHERTEXT)", "PLAINTEXT"},
    {"CBCe", AesFileKind::cbcEncrypt, "cbc(KEY, IV, PLAINTEXT)", "CIPHERTEXT"},
    {"CBCd", AesFileKind::cbcDecrypt, "unCbc(KEY, IV, CIPHERTEXT)", "PLAINTEXT"},
    {"CFBe", AesFileKind::cfbEncrypt, "cfb(KEY, IV, PLAINTEXT)", "CIPHERTEXT"},
    {"CFBd", AesFileKind::cfbDecrypt, "unCfb(KEY, IV, CIPHERTEXT)", "PLAINTEXT"},
    {"OFBe", AesFileKind::ofbEncrypt, "ofb(KEY, IV, PLAINTEXT)", "CIPHERTEXT"},
    {"OFBd", AesFileKind::ofbDecrypt, "unOfb(KEY, IV, CIPHERTEXT)", "PLAINTEXT"},
}};

const AesKindEntry& entryOf(AesFileKind kind) noexcept {
  return aesKinds[static_cast<std::size_t>(kind)];
}

bool encrypts(AesFileKind kind) noexcept { return entryOf(kind).keyText.back() == 'e'; }

/// Why a file name selects no kind, for diagnostics.
std::string unsupportedNote(std::string_view fileName) {
  const std::optional<std::string> keyText = aesKeyText(fileName);
  if (!keyText) return "no file kind: the name's stem is empty";
  std::string note = "unsupported file kind \"" + *keyText + "\"";
  if (keyText->find("CFB") != std::string::npos)
    note += ": CFB files count only with \"CFB128\" in the name";
  return note;
}

}  // namespace

std::optional<std::string> aesKeyText(std::string_view fileName) {
  const std::string_view stem = fileStemOf(fileName);
  if (stem.empty()) return std::nullopt;
  std::string keyText(fileName.substr(0, 3));
  keyText += stem.back();
  return keyText;
}

std::optional<AesFileKind> aesFileKind(std::string_view fileName) {
  const std::optional<std::string> keyText = aesKeyText(fileName);
  if (!keyText) return std::nullopt;
  // Only full-block feedback is supported; CFB1 and CFB8 files are left out.
  if (keyText->find("CFB") != std::string::npos &&
      fileName.find("CFB128") == std::string_view::npos)
    return std::nullopt;
  for (const AesKindEntry& entry : aesKinds)
    if (entry.keyText == *keyText) return entry.kind;
  return std::nullopt;
}

std::string_view aesOperationText(AesFileKind kind) noexcept { return entryOf(kind).operation; }
std::string_view aesExpectedField(AesFileKind kind) noexcept { return entryOf(kind).expectedField; }

void collectAesVectors(AesRecordSink& sink, SuiteDiagnostics* diagnostics) {
  const KatFileViews files = loadKATFileViews("Test/KAT_AES", "COUNT");
  if (diagnostics != nullptr) diagnostics->directory = getDataFileName("Test/KAT_AES");
  for (const std::shared_ptr<const KatFileView>& file : files.files) {
    const std::string& path = file->path();
    const std::span<const KatCategoryView> categories = file->categories();
    const std::string_view fileName = fileNameOf(path);

    FileDiagnostics* report = beginFileReport(diagnostics, *file);

    // Every category of the file goes with the file's own name and kind, so
    // a file with no category or with several cannot shift the names and
    // kinds of the files after it.
    const std::optional<AesFileKind> kind = aesFileKind(fileName);
    if (!kind) {
      if (report != nullptr) report->note = unsupportedNote(fileName);
      continue;
    }
    const bool needsIV = aesKindNeedsIV(*kind);
    const bool encryption = encrypts(*kind);
    sink.startFile(path, file);
    std::size_t recordInFile = 0;

    // Reasons are only spelled out when someone asked for them.
    auto skip = [&](std::string_view reason) {
      if (report != nullptr) report->skipped.push_back({recordInFile, std::string(reason)});
    };
    auto skipMissing = [&](std::string_view key) {
      if (report != nullptr) report->skipped.push_back({recordInFile, missingField(key)});
    };

    for (const KatCategoryView& category : categories) {
      for (const KatRecordView& record : category.records) {
        ++recordInFile;
        if (needsIV) {
          const std::string_view* iv = findProperty(record, "IV");
          if (iv == nullptr) {
            skipMissing("IV");
            continue;
          }
          if (!sink.acceptIV(decodeFieldWhileBuilding(*iv, "IV", path, recordInFile))) {
            skip("IV does not deserialise");
            continue;
          }
        }
        const std::string_view* count = findProperty(record, "COUNT");
        const std::string_view* ciphertext = count ? findProperty(record, "CIPHERTEXT") : nullptr;
        const std::string_view* plaintext = ciphertext ? findProperty(record, "PLAINTEXT") : nullptr;
        const std::string_view* key = plaintext ? findProperty(record, "KEY") : nullptr;
        if (key == nullptr) {
          skipMissing(!count ? "COUNT" : !ciphertext ? "CIPHERTEXT" : !plaintext ? "PLAINTEXT" : "KEY");
          continue;
        }
        if (!sink.acceptKey(decodeFieldWhileBuilding(*key, "KEY", path, recordInFile))) {
          skip("key refused by buildKey");
          continue;
        }
        sink.add({*kind, *count, encryption ? *plaintext : *ciphertext,
                  encryption ? *ciphertext : *plaintext, recordInFile});
        if (report != nullptr) ++report->tests;
      }
    }
  }
}

}  // namespace quillon_tests::detail
