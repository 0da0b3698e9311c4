#include <array>
#include <stdexcept>

#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/hmac.hpp>
#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"
#include "kat_origin.hpp"

namespace quillon_tests {

std::string_view algToLen(std::string_view algorithm) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> lengths{{
      {"SHA1", "20"}, {"SHA224", "28"}, {"SHA256", "32"}, {"SHA384", "48"}, {"SHA512", "64"}}};
  for (const auto& [name, length] : lengths)
    if (name == algorithm) return length;
  throw std::invalid_argument("algToLen: no HMAC length for \"" + std::string(algorithm) + "\"");
}

namespace detail {

std::string quoted(std::string_view text) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string out = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7f) {
      out += "\\x";
      out += digits[byte >> 4];
      out += digits[byte & 0x0f];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

namespace {

bool isKnownLength(std::string_view value) {
  for (std::string_view algorithm : {"SHA1", "SHA224", "SHA256", "SHA384", "SHA512"})
    if (algToLen(algorithm) == value) return true;
  return false;
}

}  // namespace

HmacVectors loadHmacVectors(std::string_view algorithm, SuiteDiagnostics* diagnostics) {
  const std::string_view length = algToLen(algorithm);
  KatFileViews files = loadKATFileViews("Test/KAT_HMAC", "Count");
  if (diagnostics) diagnostics->directory = getDataFileName("Test/KAT_HMAC");
  const std::string namePrefix = "NistHMAC" + std::string(algorithm) + "-";
  HmacVectors result;
  std::vector<HmacVector>& vectors = result.vectors;
  for (const std::shared_ptr<const KatFileView>& file : files.files) {
    FileDiagnostics* fileReport = beginFileReport(diagnostics, *file);
    std::size_t recordInFile = 0, categoryInFile = 0;
    for (const KatCategoryView& category : file->categories()) {
      ++categoryInFile;
      const std::string_view* selector = findProperty(category.header, "L");
      const bool selected = selector != nullptr && *selector == length;
      if (fileReport && !(selector && isKnownLength(*selector))) {
        if (!fileReport->note.empty()) fileReport->note += "; ";
        const std::size_t records = category.records.size();
        fileReport->note += "category " + std::to_string(categoryInFile) + " (" +
                            std::to_string(records) + (records == 1 ? " record): " : " records): ") +
                            (selector ? "\"L\" = " + quoted(*selector) + " matches no HMAC suite"
                                      : std::string("no \"L\" header"));
      }
      for (const KatRecordView& record : category.records) {
        ++recordInFile;
        if (!selected) continue;
        // Looked up in this order.
        const std::string_view* message = findProperty(record, "Msg");
        const std::string_view* key = findProperty(record, "Key");
        const std::string_view* mac = findProperty(record, "Mac");
        const std::string_view* count = findProperty(record, "Count");
        const std::string_view* macLength = findProperty(record, "Tlen");
        if (!message || !key || !mac || !count || !macLength) {
          if (fileReport)
            fileReport->skipped.push_back(
                {recordInFile, std::string("missing \"") +
                                   (!message ? "Msg" : !key ? "Key" : !mac ? "Mac" : !count ? "Count" : "Tlen") +
                                   "\""});
          continue;
        }
        if (fileReport) ++fileReport->tests;
        vectors.push_back({namePrefix + quoted(*count), *key, *message, *mac, *macLength, file->path(),
                           recordInFile});
      }
    }
    result.files.push_back(file);
  }
  return result;
}

std::string hmacOrigin(const HmacVector& vector) {
  return describeOrigin(vector.path, vector.record) +
         "\nfirst = hmacStrict over the whole message, "
         "second = hmac over 37-byte chunks";
}

DecodedHmacVector decodeHmacVector(const HmacVector& vector) {
  DecodedHmacVector decoded;
  decoded.key = hexStringToBS(vector.key);
  decoded.message = hexStringToBS(vector.message);
  decoded.mac = hexStringToBS(vector.mac);
  decoded.macLength = parseDecimalField("Tlen", vector.macLength);
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
  SuiteDiagnostics diagnostics;
  diagnostics.suite = "make" + std::string(algorithm) + "HMACTests";
  detail::loadHmacVectors(algorithm, &diagnostics);
  return diagnostics;
}

}  // namespace quillon_tests
