#include <array>
#include <stdexcept>

#include <quillon_tests/hex.hpp>
#include <quillon_tests/hmac.hpp>
#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"

namespace quillon_tests {

std::string_view algToLen(std::string_view algorithm) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> lengths{{
      {"SHA1", "20"}, {"SHA224", "28"}, {"SHA256", "32"}, {"SHA384", "48"}, {"SHA512", "64"}}};
  for (const auto& [name, length] : lengths)
    if (name == algorithm) return length;
  throw std::invalid_argument("algToLen: no HMAC length for \"" + std::string(algorithm) + "\"");
}

namespace detail {

namespace {

// Looked up in this order.
constexpr std::array<KatKind, 1> hmacKinds{{
    {"HMAC", {recordField("Msg", FieldRole::input), recordField("Key", FieldRole::key),
              recordField("Mac", FieldRole::expected), recordField("Count", FieldRole::name),
              recordField("Tlen")}, 5,
     "first = hmacStrict over the whole message, second = hmac over 37-byte chunks", "Mac", {}, 0},
}};
constexpr std::size_t macLengthField = 4;

bool isKnownLength(std::string_view value) {
  for (std::string_view algorithm : {"SHA1", "SHA224", "SHA256", "SHA384", "SHA512"})
    if (algToLen(algorithm) == value) return true;
  return false;
}

FileChoice everyFile(const KatLayout&, const KatFileView&, bool) { return {0, {}}; }

/// The categories whose "L" is the suite's; a note for those of no suite.
std::optional<std::size_t> chooseByLength(const KatLayout& layout, std::size_t fileKind,
                                          const KatCategoryView& category, std::size_t categoryNumber,
                                          FileDiagnostics* report) {
  const std::string_view* selector = findProperty(category.header, "L");
  if (report != nullptr && !(selector != nullptr && isKnownLength(*selector))) {
    if (!report->note.empty()) report->note += "; ";
    const std::size_t records = category.records.size();
    report->note += "category " + std::to_string(categoryNumber) + " (" + std::to_string(records) +
                    (records == 1 ? " record): " : " records): ") +
                    (selector ? "\"L\" = " + quoted(*selector) + " matches no HMAC suite"
                              : std::string("no \"L\" header"));
  }
  if (selector != nullptr && *selector == layout.parameter) return fileKind;
  return std::nullopt;
}

}  // namespace

KatLayout hmacLayout(std::string_view algorithm) {
  KatLayout layout;
  layout.suite = "make" + std::string(algorithm) + "HMACTests";
  layout.directory = "Test/KAT_HMAC";
  layout.recordStartKey = "Count";
  layout.kinds = hmacKinds;
  layout.chooseFile = &everyFile;
  layout.chooseCategory = &chooseByLength;
  layout.parameter = algToLen(algorithm);
  layout.naming = NameScheme::layoutPrefixQuoted;
  layout.namePrefix = "NistHMAC" + std::string(algorithm) + "-";
  return layout;
}

DecodedHmacVector decodeHmacVector(const SelectedRecord& record) {
  DecodedHmacVector decoded;
  decoded.key = hexStringToBS(record.value(FieldRole::key));
  decoded.message = hexStringToBS(record.value(FieldRole::input));
  decoded.mac = hexStringToBS(record.value(FieldRole::expected));
  decoded.macLength = parseDecimalField("Tlen", record.values[macLengthField]);
  return decoded;
}

quillon::ByteString truncateMac(const quillon::ByteString& mac, long long length) {
  if (length <= 0) return {};
  return mac.take(static_cast<unsigned long long>(length) >= mac.size()
                      ? mac.size()
                      : static_cast<std::size_t>(length));
}

}  // namespace detail

SuiteDiagnostics diagnoseHMACVectors(std::string_view algorithm) {
  return detail::diagnoseKat(detail::hmacLayout(algorithm));
}

}  // namespace quillon_tests
