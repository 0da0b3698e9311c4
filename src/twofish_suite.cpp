#include <quillon_tests/twofish.hpp>

#include <array>

#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"
#include "kat_suites.hpp"

namespace quillon_tests {

UnknownVectorFileKindError::UnknownVectorFileKindError(std::string path, std::string_view stem)
    : std::runtime_error("makeTwoFishTests: the vector file " + path + " holds records, but its stem \"" +
                         std::string(stem) +
                         "\" is none of the TwoFish file kinds CBC_D_M, CBC_E_M, ECB_D_M, "
                         "ECB_E_M, ECB_TLB, ECB_VK and ECB_VT (compared case-sensitively)"),
      path_(std::move(path)) {}

namespace detail {

namespace {

constexpr KatField key = recordField("KEY", FieldRole::key);
constexpr KatField iv = recordField("IV", FieldRole::iv);
constexpr KatField number = recordField("I", FieldRole::name);
constexpr KatField ctIn = recordField("CT", FieldRole::input);
constexpr KatField ctOut = recordField("CT", FieldRole::expected);
constexpr KatField ptIn = recordField("PT", FieldRole::input);
constexpr KatField ptOut = recordField("PT", FieldRole::expected);

constexpr int code(CipherMode mode) { return static_cast<int>(mode); }

// Indexed by TwoFishFileKind, and in the order the stem is compared with
// them. The fields in the order they are looked up, header fields first.
constexpr std::array<KatKind, 7> twoFishKinds{{
    {"CBC_D_M", {key, iv, ctIn, ptOut, number}, 5, "unCbc(KEY, IV, CT)", "PT", "CBC-D-",
     code(CipherMode::unCbc)},
    {"CBC_E_M", {key, iv, ctOut, ptIn, number}, 5, "cbc(KEY, IV, PT)", "CT", "CBC-E-",
     code(CipherMode::cbc)},
    {"ECB_D_M", {key, ctIn, ptOut, number}, 4, "unEcb(KEY, CT)", "PT", "ECB-D-",
     code(CipherMode::unEcb)},
    {"ECB_E_M", {key, ctOut, ptIn, number}, 4, "ecb(KEY, PT)", "CT", "ECB-E-",
     code(CipherMode::ecb)},
    {"ECB_TLB", {key, ctOut, ptIn, number}, 4, "ecb(KEY, PT)", "CT", "ECB-TLB-E-",
     code(CipherMode::ecb)},
    // No "-" before the index in this one name.
    {"ECB_VK", {headerField("PT", FieldRole::input), key, ctOut, number}, 4,
     "ecb(KEY, PT of the category header)", "CT", "ECB-E-VK", code(CipherMode::ecb)},
    {"ECB_VT", {headerField("KEY", FieldRole::key), ptIn, ctOut, number}, 4,
     "ecb(KEY of the category header, PT)", "CT", "ECB-E-VT-", code(CipherMode::ecb)},
}};

FileChoice chooseTwoFishFile(const KatLayout& /*layout*/, const KatFileView& file, bool diagnosing) {
  const std::string_view stem = fileStemOf(file.path());
  if (const std::optional<TwoFishFileKind> kind = twoFishFileKind(stem))
    return {static_cast<std::size_t>(*kind), {}};
  if (file.recordCount() == 0)
    return {std::nullopt, "unknown file kind \"" + std::string(stem) + "\", but no records: nothing"};
  if (!diagnosing) throw UnknownVectorFileKindError(file.path(), stem);
  return {std::nullopt, "unknown file kind \"" + std::string(stem) +
                            "\" in a file with records: makeTwoFishTests fails here"};
}

}  // namespace

std::optional<TwoFishFileKind> twoFishFileKind(std::string_view stem) {
  for (const KatKind& kind : twoFishKinds)
    if (kind.label == stem) return static_cast<TwoFishFileKind>(&kind - twoFishKinds.data());
  return std::nullopt;
}

const KatLayout& twoFishLayout() {
  // Keys are built as the tests run: a refused key is that test's error.
  static const KatLayout layout{.suite = "makeTwoFishTests", .directory = "Test/KAT_TWOFISH",
                                .recordStartKey = "I", .kinds = twoFishKinds,
                                .chooseFile = &chooseTwoFishFile, .naming = NameScheme::kindPrefix};
  return layout;
}

}  // namespace detail

}  // namespace quillon_tests
