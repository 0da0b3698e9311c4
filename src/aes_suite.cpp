#include <quillon_tests/aes.hpp>

#include <array>

#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"
#include "kat_suites.hpp"

namespace quillon_tests::detail {

namespace {

using quillon::Direction;
using quillon::Mode;

// The ECB kinds test the block functions themselves.
constexpr std::array<KatKind, 8> aesKinds{{
    aesvsKind("ECBe", {Mode::ecb, Direction::encrypt, true}, "encryptBlock(KEY, PLAINTEXT)"),
    aesvsKind("ECBd", {Mode::ecb, Direction::decrypt, true}, "decryptBlock(KEY, CIPHERTEXT)"),
    aesvsKind("CBCe", {Mode::cbc, Direction::encrypt}, "cbc(KEY, IV, PLAINTEXT)"),
    aesvsKind("CBCd", {Mode::cbc, Direction::decrypt}, "unCbc(KEY, IV, CIPHERTEXT)"),
    aesvsKind("CFBe", {Mode::cfb, Direction::encrypt}, "cfb(KEY, IV, PLAINTEXT)"),
    aesvsKind("CFBd", {Mode::cfb, Direction::decrypt}, "unCfb(KEY, IV, CIPHERTEXT)"),
    aesvsKind("OFBe", {Mode::ofb, Direction::encrypt}, "ofb(KEY, IV, PLAINTEXT)"),
    aesvsKind("OFBd", {Mode::ofb, Direction::decrypt}, "unOfb(KEY, IV, CIPHERTEXT)"),
}};
static_assert(wellFormed(aesKinds));

/// The row of the AES table whose label is `keyText`.
std::optional<std::size_t> aesRowOf(std::string_view keyText) {
  for (std::size_t i = 0; i < aesKinds.size(); ++i)
    if (aesKinds[i].label == keyText) return i;
  return std::nullopt;
}

/// Whether a file of that key text is read: only full-block feedback is
/// supported, so CFB1 and CFB8 files are left out.
bool supportedName(std::string_view fileName, std::string_view keyText) {
  return keyText.find("CFB") == std::string::npos || fileName.find("CFB128") != std::string_view::npos;
}

/// The row a file name selects.
std::optional<std::size_t> aesRowOfFile(std::string_view fileName) {
  const std::optional<std::string> keyText = aesKeyText(fileName);
  if (!keyText || !supportedName(fileName, *keyText)) return std::nullopt;
  return aesRowOf(*keyText);
}

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
  const std::optional<std::size_t> row = aesRowOfFile(fileName);
  if (!row) return {std::nullopt, unsupportedNote(fileName)};
  return {row, {}};
}

}  // namespace

std::optional<std::string> aesKeyText(std::string_view fileName) {
  const std::string_view stem = fileStemOf(fileName);
  if (stem.empty()) return std::nullopt;
  std::string keyText(fileName.substr(0, 3));
  keyText += stem.back();
  return keyText;
}

std::optional<ModeCall> aesFileKind(std::string_view fileName) {
  const std::optional<std::size_t> row = aesRowOfFile(fileName);
  if (!row) return std::nullopt;
  return ModeCall::of(aesKinds[*row].code);
}

const KatLayout& aesLayout() {
  static const KatLayout layout{.suite = "makeAESTests", .title = "AES known answers", .directory = "Test/KAT_AES",
                                .recordStartKey = "COUNT", .kinds = aesKinds, .chooseFile = &chooseAesFile,
                                .naming = NameScheme::fileName};
  return layout;
}

}  // namespace quillon_tests::detail
