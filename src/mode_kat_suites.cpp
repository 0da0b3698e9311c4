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

using quillon::Direction;
using quillon::Mode;

constexpr std::array<KatKind, 2> ctrKinds{{
    aesvsKind("CTRe", {Mode::ctr, Direction::encrypt}, "ctr(KEY, IV, PLAINTEXT)"),
    aesvsKind("CTRd", {Mode::ctr, Direction::decrypt}, "unCtr(KEY, IV, CIPHERTEXT)"),
}};

/// The call a Monte Carlo kind chains: ECB chains the block functions.
constexpr ModeCall monteCall(Mode mode, Direction direction) { return {mode, direction, mode == Mode::ecb}; }

// Encrypting and decrypting row of each chaining, in the order of quillon::Mode.
constexpr std::array<KatKind, 8> monteKinds{{
    aesvsKind("ECBMCTe", monteCall(Mode::ecb, Direction::encrypt),
              "encryptBlock(KEY, ...) chained 1000 times from PLAINTEXT, one block per call"),
    aesvsKind("ECBMCTd", monteCall(Mode::ecb, Direction::decrypt),
              "decryptBlock(KEY, ...) chained 1000 times from CIPHERTEXT, one block per call"),
    aesvsKind("CBCMCTe", monteCall(Mode::cbc, Direction::encrypt),
              "cbc(KEY, IV, ...) chained 1000 times from PLAINTEXT, one block per call"),
    aesvsKind("CBCMCTd", monteCall(Mode::cbc, Direction::decrypt),
              "unCbc(KEY, IV, ...) chained 1000 times from CIPHERTEXT, one block per call"),
    aesvsKind("CFB128MCTe", monteCall(Mode::cfb, Direction::encrypt),
              "cfb(KEY, IV, ...) chained 1000 times from PLAINTEXT, one block per call"),
    aesvsKind("CFB128MCTd", monteCall(Mode::cfb, Direction::decrypt),
              "unCfb(KEY, IV, ...) chained 1000 times from CIPHERTEXT, one block per call"),
    aesvsKind("OFBMCTe", monteCall(Mode::ofb, Direction::encrypt),
              "ofb(KEY, IV, ...) chained 1000 times from PLAINTEXT, one block per call"),
    aesvsKind("OFBMCTd", monteCall(Mode::ofb, Direction::decrypt),
              "unOfb(KEY, IV, ...) chained 1000 times from CIPHERTEXT, one block per call"),
}};
static_assert(wellFormed(ctrKinds) && wellFormed(monteKinds));
// chooseMonteCarloFile gives a file the encrypting row of its mode.
static_assert([] {
  for (std::size_t row = 0; row < monteKinds.size(); ++row) {
    const ModeCall call = ModeCall::of(monteKinds[row].code);
    if (quillon::modeFunctionIndex(call.mode, call.direction) != row) return false;
  }
  return true;
}());

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
  Mode mode;
};
// CFB counts only as full-block feedback, like the AES suite's files.
constexpr MonteCarloPrefix monteCarloPrefixes[] = {
    {"ECBMCT", Mode::ecb}, {"CBCMCT", Mode::cbc}, {"CFB128MCT", Mode::cfb}, {"OFBMCT", Mode::ofb}};

FileChoice chooseMonteCarloFile(const KatFileView& file, bool /*diagnosing*/) {
  const std::string_view fileName = fileNameOf(file.path());
  for (const MonteCarloPrefix& entry : monteCarloPrefixes)
    if (fileName.starts_with(entry.prefix))
      return {quillon::modeFunctionIndex(entry.mode, Direction::encrypt), {}};
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
