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
    {.label = "HMAC",
     .fields = {recordField("Msg"), recordField("Key"), recordField("Mac"), recordField("Count").names(),
                recordField("Tlen")},
     .operation = "first = hmacStrict over the whole message, second = hmac over 37-byte chunks"},
}};
static_assert(wellFormed(hmacKinds));

bool isKnownLength(std::string_view value) {
  for (std::string_view algorithm : {"SHA1", "SHA224", "SHA256", "SHA384", "SHA512"})
    if (algToLen(algorithm) == value) return true;
  return false;
}

}  // namespace

KatLayout hmacLayout(std::string_view algorithm) {
  // The categories whose "L" is the suite's; a note for those of no suite.
  auto chooseByLength = [length = algToLen(algorithm)](std::size_t fileKind, const KatCategoryView& category,
                                                       std::size_t categoryNumber,
                                                       FileDiagnostics* report) -> std::optional<std::size_t> {
    const std::string_view* selector = findProperty(category.header, "L");
    if (report != nullptr && !(selector != nullptr && isKnownLength(*selector))) {
      if (!report->note.empty()) report->note += "; ";
      const std::size_t records = category.records.size();
      report->note += "category " + std::to_string(categoryNumber) + " (" + std::to_string(records) +
                      (records == 1 ? " record): " : " records): ") +
                      (selector ? "\"L\" = " + quoted(*selector) + " matches no HMAC suite"
                                : std::string("no \"L\" header"));
    }
    if (selector != nullptr && *selector == length) return fileKind;
    return std::nullopt;
  };
  return {.suite = "make" + std::string(algorithm) + "HMACTests",
          .title = "HMAC-" + digestTitle(algorithm) + " known answers",
          .directory = "Test/KAT_HMAC",
          .recordStartKey = "Count",
          .kinds = hmacKinds,
          .chooseCategory = chooseByLength,
          .naming = NameScheme::layoutPrefixQuoted,
          .namePrefix = "NistHMAC" + std::string(algorithm) + "-"};
}

DecodedHmacVector decodeHmacVector(const KatRecord& record) {
  DecodedHmacVector decoded;
  decoded.key = record.bytes("Key");
  decoded.message = record.bytes("Msg");
  decoded.mac = record.bytes("Mac");
  decoded.macLength = record.number("Tlen");
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
