#include <array>
#include <stdexcept>

#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/hmac.hpp>
#include <quillon_tests/kat_records.hpp>

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

bool isKnownLength(const std::string& value) {
  for (std::string_view algorithm : {"SHA1", "SHA224", "SHA256", "SHA384", "SHA512"})
    if (algToLen(algorithm) == value) return true;
  return false;
}

}  // namespace

std::vector<HmacVector> loadHmacVectors(std::string_view algorithm,
                                        SuiteDiagnostics* diagnostics) {
  const std::string_view length = algToLen(algorithm);
  KatFiles files = loadKATFiles("Test/KAT_HMAC", "Count");
  const std::vector<std::string> opened = openedPaths(files, std::nullopt);
  if (diagnostics) diagnostics->directory = getDataFileName("Test/KAT_HMAC");
  const std::string namePrefix = "NistHMAC" + std::string(algorithm) + "-";
  std::vector<HmacVector> vectors;
  for (std::size_t file = 0; file < files.files.size(); ++file) {
    FileDiagnostics* fileReport = nullptr;
    if (diagnostics) {
      diagnostics->files.push_back({opened[file], files.files[file].size(), 0, 0, {}, {}});
      fileReport = &diagnostics->files.back();
    }
    std::size_t recordInFile = 0, categoryInFile = 0;
    for (KatCategory& category : files.files[file]) {
      ++categoryInFile;
      const std::string* selector = findProperty(category.header, "L");
      const bool selected = selector != nullptr && *selector == length;
      if (fileReport && !(selector && isKnownLength(*selector))) {
        if (!fileReport->note.empty()) fileReport->note += "; ";
        const std::size_t records = category.records.size();
        fileReport->note += "category " + std::to_string(categoryInFile) + " (" +
                            std::to_string(records) + (records == 1 ? " record): " : " records): ") +
                            (selector ? "\"L\" = " + quoted(*selector) + " matches no HMAC suite"
                                      : std::string("no \"L\" header"));
      }
      for (KatRecord& record : category.records) {
        ++recordInFile;
        if (fileReport) fileReport->records = recordInFile;
        if (!selected) continue;
        // Looked up in this order.
        std::string* message = findProperty(record, "Msg");
        std::string* key = findProperty(record, "Key");
        std::string* mac = findProperty(record, "Mac");
        std::string* count = findProperty(record, "Count");
        std::string* macLength = findProperty(record, "Tlen");
        if (!message || !key || !mac || !count || !macLength) {
          if (fileReport)
            fileReport->skipped.push_back(
                {recordInFile, std::string("missing \"") +
                                   (!message ? "Msg" : !key ? "Key" : !mac ? "Mac" : !count ? "Count" : "Tlen") +
                                   "\""});
          continue;
        }
        if (fileReport) ++fileReport->tests;
        HmacVector vector;
        vector.name = namePrefix + quoted(*count);
        vector.key = std::move(*key);
        vector.message = std::move(*message);
        vector.mac = std::move(*mac);
        vector.macLength = std::move(*macLength);
        vector.origin = describeOrigin(opened[file], recordInFile) +
                        "\nfirst = hmacStrict over the whole message, "
                        "second = hmac over 37-byte chunks";
        vectors.push_back(std::move(vector));
      }
    }
  }
  return vectors;
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
