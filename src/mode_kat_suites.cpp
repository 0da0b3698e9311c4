// The layouts of the CTR, AES Monte Carlo and CMAC known-answer suites.
#include <quillon_tests/mode_kat.hpp>

#include <array>
#include <charconv>
#include <optional>
#include <stdexcept>
#include <string>

#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"

namespace quillon_tests::detail {

namespace {

constexpr int code(CipherMode mode) { return static_cast<int>(mode); }

constexpr std::array<KatKind, 2> ctrKinds{{
    aesvsKind("CTRe", true, true, "ctr(KEY, IV, PLAINTEXT)", code(CipherMode::ctr)),
    aesvsKind("CTRd", false, true, "unCtr(KEY, IV, CIPHERTEXT)", code(CipherMode::unCtr)),
}};

constexpr KatKind monteRow(std::string_view label, MonteCarloMode mode, bool encrypts,
                           std::string_view operation) {
  return aesvsKind(label, encrypts, mode != MonteCarloMode::ecb, operation, monteCarloCode(mode, encrypts));
}

// Encrypting and decrypting row of each chaining, in MonteCarloMode order.
constexpr std::array<KatKind, 8> monteKinds{{
    monteRow("ECBMCTe", MonteCarloMode::ecb, true,
             "encryptBlock(KEY, ...) chained 1000 times from PLAINTEXT, one block per call"),
    monteRow("ECBMCTd", MonteCarloMode::ecb, false,
             "decryptBlock(KEY, ...) chained 1000 times from CIPHERTEXT, one block per call"),
    monteRow("CBCMCTe", MonteCarloMode::cbc, true,
             "cbc(KEY, IV, ...) chained 1000 times from PLAINTEXT, one block per call"),
    monteRow("CBCMCTd", MonteCarloMode::cbc, false,
             "unCbc(KEY, IV, ...) chained 1000 times from CIPHERTEXT, one block per call"),
    monteRow("CFB128MCTe", MonteCarloMode::cfb, true,
             "cfb(KEY, IV, ...) chained 1000 times from PLAINTEXT, one block per call"),
    monteRow("CFB128MCTd", MonteCarloMode::cfb, false,
             "unCfb(KEY, IV, ...) chained 1000 times from CIPHERTEXT, one block per call"),
    monteRow("OFBMCTe", MonteCarloMode::ofb, true,
             "ofb(KEY, IV, ...) chained 1000 times from PLAINTEXT, one block per call"),
    monteRow("OFBMCTd", MonteCarloMode::ofb, false,
             "unOfb(KEY, IV, ...) chained 1000 times from CIPHERTEXT, one block per call"),
}};
static_assert(wellFormed(ctrKinds) && wellFormed(monteKinds));

// NIST's CMACGen layout; Mlen and Tlen read by cmacLengths.
constexpr std::array<KatKind, 1> cmacKinds{{
    {.label = "CMACGen",
     .fields = {recordField("Count").names(), recordField("Mlen"), recordField("Tlen"), recordField("Key").as("key"),
                recordField("Msg").as("input"), recordField("Mac").as("expected")},
     .operation = "the first Tlen bytes of cmac(Key, the first Mlen bytes of Msg)"},
}};
static_assert(wellFormed(cmacKinds));

/// The file's row for an [ENCRYPT] category, the next one for [DECRYPT];
/// a category naming neither (or both) is skipped, with a note.
std::optional<std::size_t> chooseDirection(std::size_t fileKind,
                                           const KatCategoryView& category, std::size_t categoryNumber,
                                           FileDiagnostics* report) {
  const bool encrypt = findProperty(category.header, "ENCRYPT") != nullptr;
  const bool decrypt = findProperty(category.header, "DECRYPT") != nullptr;
  if (encrypt != decrypt) return fileKind + (encrypt ? 0 : 1);
  if (report != nullptr) {
    if (!report->note.empty()) report->note += "; ";
    const std::size_t records = category.records.size();
    report->note += "category " + std::to_string(categoryNumber) + " (" + std::to_string(records) +
                    (records == 1 ? " record)" : " records)") +
                    (encrypt ? " names both [ENCRYPT] and [DECRYPT]" : " names neither [ENCRYPT] nor [DECRYPT]");
  }
  return std::nullopt;
}

struct MonteCarloPrefix {
  std::string_view prefix;
  MonteCarloMode mode;
};
// CFB counts only as full-block feedback, like the AES suite's files.
constexpr MonteCarloPrefix monteCarloPrefixes[] = {{"ECBMCT", MonteCarloMode::ecb},
                                                   {"CBCMCT", MonteCarloMode::cbc},
                                                   {"CFB128MCT", MonteCarloMode::cfb},
                                                   {"OFBMCT", MonteCarloMode::ofb}};

FileChoice chooseMonteCarloFile(const KatFileView& file, bool /*diagnosing*/) {
  const std::string_view fileName = fileNameOf(file.path());
  for (const MonteCarloPrefix& entry : monteCarloPrefixes)
    if (fileName.starts_with(entry.prefix)) return {static_cast<std::size_t>(entry.mode) * 2, {}};
  return {std::nullopt, "not read: name begins with none of ECBMCT, CBCMCT, CFB128MCT, OFBMCT"};
}

std::optional<std::size_t> parseByteCount(std::string_view text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::string> checkCmacRecord(const KatRecord& record) {
  if (parseByteCount(record.text("Mlen")) && parseByteCount(record.text("Tlen"))) return std::nullopt;
  return "Mlen or Tlen is not a decimal byte count";
}

/// The CMACGen files whose name begins with `filePrefix`.
KatLayout cmacLayoutFor(std::string suite, std::string title, std::string_view filePrefix) {
  auto chooseFile = [filePrefix](const KatFileView& file, bool /*diagnosing*/) -> FileChoice {
    if (fileNameOf(file.path()).starts_with(filePrefix)) return {0, {}};
    return {std::nullopt, "not read: name does not begin with " + std::string(filePrefix)};
  };
  return {.suite = std::move(suite), .title = std::move(title), .directory = "Test/KAT_CMAC",
          .recordStartKey = "Count", .kinds = cmacKinds, .chooseFile = chooseFile, .checkRecord = &checkCmacRecord,
          .naming = NameScheme::fileStem};
}

}  // namespace

CmacLengths cmacLengths(const KatRecord& record, std::size_t messageBytes) {
  const std::optional<std::size_t> mlen = parseByteCount(record.text("Mlen"));
  const std::optional<std::size_t> tlen = parseByteCount(record.text("Tlen"));
  if (!mlen || !tlen) throw std::invalid_argument("Mlen or Tlen is not a decimal byte count");
  if (messageBytes < *mlen)
    throw std::invalid_argument("Msg holds " + std::to_string(messageBytes) + " bytes, Mlen says " +
                                std::to_string(*mlen));
  const std::size_t macBytes = record.bytes("expected").size();
  if (macBytes != *tlen)
    throw std::invalid_argument("Mac holds " + std::to_string(macBytes) + " bytes, Tlen says " +
                                std::to_string(*tlen));
  return {*mlen, *tlen};
}

// Keys are built while listing in every one of these suites: a binding runs
// the key sizes it accepts.

const KatLayout& aesCtrLayout() {
  static const KatLayout layout{.suite = "makeAESCTRTests", .title = "AES CTR known answers",
                                .directory = "Test/KAT_AES_CTR", .recordStartKey = "COUNT", .kinds = ctrKinds,
                                .chooseCategory = &chooseDirection, .naming = NameScheme::fileStem};
  return layout;
}

const KatLayout& aesMonteLayout() {
  static const KatLayout layout{.suite = "makeAESMonteTests", .title = "AES Monte Carlo",
                                .directory = "Test/KAT_AES_MCT", .recordStartKey = "COUNT", .kinds = monteKinds,
                                .chooseFile = &chooseMonteCarloFile, .chooseCategory = &chooseDirection,
                                .naming = NameScheme::fileStem};
  return layout;
}

const KatLayout& cmacLayout() {
  static const KatLayout layout = cmacLayoutFor("makeCMACTests", "AES CMAC known answers", "CMACGenAES");
  return layout;
}

const KatLayout& twoFishCmacLayout() {
  static const KatLayout layout =
      cmacLayoutFor("makeTwoFishCMACTests", "TwoFish CMAC known answers", "CMACGenTwofish");
  return layout;
}

}  // namespace quillon_tests::detail
