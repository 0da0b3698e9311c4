#include <quillon_tests/aes.hpp>

#include <array>

#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"
#include "kat_suites.hpp"

namespace quillon_tests::detail {

namespace {

/// A row of the AES table: an ECB kind has no IV; the label's last letter
/// gives the direction.
constexpr KatKind aesRow(std::string_view label, CipherMode mode, std::string_view operation) {
  return aesvsKind(label, label.back() == 'e', !label.starts_with("ECB"), operation, static_cast<int>(mode));
}

// Indexed by AesFileKind.
constexpr std::array<KatKind, 8> aesKinds{{
    aesRow("ECBe", CipherMode::encryptBlock, "encryptBlock(KEY, PLAINTEXT)"),
    aesRow("ECBd", CipherMode::decryptBlock, "decryptBlock(KEY, CIPHERTEXT)"),
    aesRow("CBCe", CipherMode::cbc, "cbc(KEY, IV, PLAINTEXT)"),
    aesRow("CBCd", CipherMode::unCbc, "unCbc(KEY, IV, CIPHERTEXT)"),
    aesRow("CFBe", CipherMode::cfb, "cfb(KEY, IV, PLAINTEXT)"),
    aesRow("CFBd", CipherMode::unCfb, "unCfb(KEY, IV, CIPHERTEXT)"),
    aesRow("OFBe", CipherMode::ofb, "ofb(KEY, IV, PLAINTEXT)"),
    aesRow("OFBd", CipherMode::unOfb, "unOfb(KEY, IV, CIPHERTEXT)"),
}};
static_assert(wellFormed(aesKinds));

/// Why a file name selects no kind, for diagnostics.
std::string unsupportedNote(std::string_view fileName) {
  const std::optional<std::string> keyText = aesKeyText(fileName);
  if (!keyText) return "no file kind: the name's stem is empty";
  std::string note = "unsupported file kind \"" + *keyText + "\"";
  if (keyText->find("CFB") != std::string::npos)
    note += ": CFB files count only with \"CFB128\" in the name";
  return note;
}

FileChoice chooseAesFile(const KatFileView& file, bool /*diagnosing*/) {
  // Every category of the file goes with the file's own name and kind, so
  // a file with no category or with several cannot shift the names and
  // kinds of the files after it.
  const std::string_view fileName = fileNameOf(file.path());
  const std::optional<AesFileKind> kind = aesFileKind(fileName);
  if (!kind) return {std::nullopt, unsupportedNote(fileName)};
  return {static_cast<std::size_t>(*kind), {}};
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
  for (std::size_t i = 0; i < aesKinds.size(); ++i)
    if (aesKinds[i].label == *keyText) return static_cast<AesFileKind>(i);
  return std::nullopt;
}

const KatKind& aesKind(AesFileKind kind) noexcept { return aesKinds[static_cast<std::size_t>(kind)]; }

const KatLayout& aesLayout() {
  static const KatLayout layout{.suite = "makeAESTests", .title = "AES known answers", .directory = "Test/KAT_AES",
                                .recordStartKey = "COUNT", .kinds = aesKinds, .chooseFile = &chooseAesFile,
                                .naming = NameScheme::fileName};
  return layout;
}

}  // namespace quillon_tests::detail
