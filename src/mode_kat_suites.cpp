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

// NIST's CMACGen layout; Mlen and Tlen read by cmacLengths.
constexpr std::size_t mlenField = 1, tlenField = 2;
constexpr std::array<KatKind, 1> cmacKinds{{
    {"CMACGen",
     {recordField("Count", FieldRole::name), recordField("Mlen"), recordField("Tlen"),
      recordField("Key", FieldRole::key), recordField("Msg", FieldRole::input),
      recordField("Mac", FieldRole::expected)},
     6, "the first Tlen bytes of cmac(Key, the first Mlen bytes of Msg)", "Mac", {}, 0},
}};

FileChoice everyFile(const KatLayout&, const KatFileView&, bool) { return {0, {}}; }

/// The file's row for an [ENCRYPT] category, the next one for [DECRYPT];
/// a category naming neither (or both) is skipped, with a note.
std::optional<std::size_t> chooseDirection(const KatLayout& /*layout*/, std::size_t fileKind,
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

FileChoice chooseMonteCarloFile(const KatLayout& /*layout*/, const KatFileView& file, bool /*diagnosing*/) {
  const std::string_view fileName = fileNameOf(file.path());
  for (const MonteCarloPrefix& entry : monteCarloPrefixes)
    if (fileName.starts_with(entry.prefix)) return {static_cast<std::size_t>(entry.mode) * 2, {}};
  return {std::nullopt, "not read: name begins with none of ECBMCT, CBCMCT, CFB128MCT, OFBMCT"};
}

/// The files whose name begins with the layout's parameter.
FileChoice chooseCmacFile(const KatLayout& layout, const KatFileView& file, bool /*diagnosing*/) {
  if (fileNameOf(file.path()).starts_with(layout.parameter)) return {0, {}};
  return {std::nullopt, "not read: name does not begin with " + std::string(layout.parameter)};
}

std::optional<std::size_t> parseByteCount(std::string_view text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::string> checkCmacRecord(const KatLayout& /*layout*/, const SelectedRecord& record) {
  if (parseByteCount(record.values[mlenField]) && parseByteCount(record.values[tlenField])) return std::nullopt;
  return "Mlen or Tlen is not a decimal byte count";
}

KatLayout cmacLayoutFor(std::string suite, std::string_view filePrefix) {
  return {.suite = std::move(suite), .directory = "Test/KAT_CMAC", .recordStartKey = "Count",
          .kinds = cmacKinds, .chooseFile = &chooseCmacFile, .checkRecord = &checkCmacRecord,
          .parameter = filePrefix, .naming = NameScheme::fileStem, .keyWhileListing = true};
}

}  // namespace

CmacLengths cmacLengths(const SelectedRecord& record, std::size_t messageBytes) {
  const std::optional<std::size_t> mlen = parseByteCount(record.values[mlenField]);
  const std::optional<std::size_t> tlen = parseByteCount(record.values[tlenField]);
  if (!mlen || !tlen) throw std::invalid_argument("Mlen or Tlen is not a decimal byte count");
  if (messageBytes < *mlen)
    throw std::invalid_argument("Msg holds " + std::to_string(messageBytes) + " bytes, Mlen says " +
                                std::to_string(*mlen));
  const std::size_t macBytes = hexStringToBS(record.value(FieldRole::expected)).size();
  if (macBytes != *tlen)
    throw std::invalid_argument("Mac holds " + std::to_string(macBytes) + " bytes, Tlen says " +
                                std::to_string(*tlen));
  return {*mlen, *tlen};
}

// Keys are built while listing in every one of these suites: a binding runs
// the key sizes it accepts.

const KatLayout& aesCtrLayout() {
  static const KatLayout layout{.suite = "makeAESCTRTests", .directory = "Test/KAT_AES_CTR",
                                .recordStartKey = "COUNT", .kinds = ctrKinds, .chooseFile = &everyFile,
                                .chooseCategory = &chooseDirection, .naming = NameScheme::fileStem,
                                .keyWhileListing = true};
  return layout;
}

const KatLayout& aesMonteLayout() {
  static const KatLayout layout{.suite = "makeAESMonteTests", .directory = "Test/KAT_AES_MCT",
                                .recordStartKey = "COUNT", .kinds = monteKinds,
                                .chooseFile = &chooseMonteCarloFile, .chooseCategory = &chooseDirection,
                                .naming = NameScheme::fileStem, .keyWhileListing = true};
  return layout;
}

const KatLayout& cmacLayout() {
  static const KatLayout layout = cmacLayoutFor("makeCMACTests", "CMACGenAES");
  return layout;
}

const KatLayout& twoFishCmacLayout() {
  static const KatLayout layout = cmacLayoutFor("makeTwoFishCMACTests", "CMACGenTwofish");
  return layout;
}

}  // namespace quillon_tests::detail
