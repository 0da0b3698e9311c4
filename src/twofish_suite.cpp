#include <quillon_tests/twofish.hpp>

#include <algorithm>
#include <array>

#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"

namespace quillon_tests {

UnknownVectorFileKindError::UnknownVectorFileKindError(std::string path, std::string_view stem)
    : std::runtime_error("makeTwoFishTests: the vector file " + path + " holds records, but its stem \"" +
                         std::string(stem) +
                         "\" is none of the TwoFish file kinds CBC_D_M, CBC_E_M, ECB_D_M, "
                         "ECB_E_M, ECB_TLB, ECB_VK and ECB_VT (compared case-sensitively)"),
      path_(std::move(path)) {}

namespace detail {

namespace {

constexpr KatField key = recordField("KEY").as("key");
constexpr KatField iv = recordField("IV").as("iv");
constexpr KatField number = recordField("I").names();
constexpr KatField ctIn = recordField("CT").as("input");
constexpr KatField ctOut = recordField("CT").as("expected");
constexpr KatField ptIn = recordField("PT").as("input");
constexpr KatField ptOut = recordField("PT").as("expected");

using quillon::Mode;
constexpr quillon::Direction encrypt = quillon::Direction::encrypt;
constexpr quillon::Direction decrypt = quillon::Direction::decrypt;

constexpr KatKind row(std::string_view label, std::array<KatField, 5> fields, std::string_view operation,
                      std::string_view namePrefix, ModeCall call) {
  KatKind kind{.label = label, .operation = operation, .namePrefix = namePrefix, .code = call.code()};
  std::copy(fields.begin(), fields.end(), kind.fields.begin());
  return kind;
}

// In the order the stem is compared with them. The fields in the order they
// are looked up, header fields first.
constexpr std::array<KatKind, 7> twoFishKinds{{
    row("CBC_D_M", {key, iv, ctIn, ptOut, number}, "unCbc(KEY, IV, CT)", "CBC-D-", {Mode::cbc, decrypt}),
    row("CBC_E_M", {key, iv, ctOut, ptIn, number}, "cbc(KEY, IV, PT)", "CBC-E-", {Mode::cbc, encrypt}),
    row("ECB_D_M", {key, ctIn, ptOut, number}, "unEcb(KEY, CT)", "ECB-D-", {Mode::ecb, decrypt}),
    row("ECB_E_M", {key, ctOut, ptIn, number}, "ecb(KEY, PT)", "ECB-E-", {Mode::ecb, encrypt}),
    row("ECB_TLB", {key, ctOut, ptIn, number}, "ecb(KEY, PT)", "ECB-TLB-E-", {Mode::ecb, encrypt}),
    // No "-" before the index in this one name.
    row("ECB_VK", {headerField("PT").as("input"), key, ctOut, number}, "ecb(KEY, PT of the category header)",
        "ECB-E-VK", {Mode::ecb, encrypt}),
    row("ECB_VT", {headerField("KEY").as("key"), ptIn, ctOut, number}, "ecb(KEY of the category header, PT)",
        "ECB-E-VT-", {Mode::ecb, encrypt}),
}};
static_assert(wellFormed(twoFishKinds));

FileChoice chooseTwoFishFile(const KatFileView& file, bool diagnosing) {
  const std::string_view stem = fileStemOf(file.path());
  for (std::size_t kind = 0; kind < twoFishKinds.size(); ++kind)
    if (twoFishKinds[kind].label == stem) return {kind, {}};
  if (file.recordCount() == 0)
    return {std::nullopt, "unknown file kind \"" + std::string(stem) + "\", but no records: nothing"};
  if (!diagnosing) throw UnknownVectorFileKindError(file.path(), stem);
  return {std::nullopt, "unknown file kind \"" + std::string(stem) +
                            "\" in a file with records: makeTwoFishTests fails here"};
}

}  // namespace

const KatLayout& twoFishLayout() {
  static const KatLayout layout{.suite = "makeTwoFishTests", .title = "TwoFish known answers",
                                .directory = "Test/KAT_TWOFISH", .recordStartKey = "I", .kinds = twoFishKinds,
                                .chooseFile = &chooseTwoFishFile, .naming = NameScheme::kindPrefix};
  return layout;
}

}  // namespace detail

}  // namespace quillon_tests
