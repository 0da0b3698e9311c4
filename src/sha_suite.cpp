#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/sha.hpp>

#include "kat_origin.hpp"

namespace quillon_tests::detail {

std::vector<ShaVector> loadShaVectors(std::string_view prefix, SuiteDiagnostics* diagnostics) {
  KatFiles files = loadKATFiles("Test/KAT_SHA", "Len", prefix);
  const std::vector<std::string> opened = openedPaths(files, prefix);
  if (diagnostics) {
    diagnostics->directory = getDataFileName("Test/KAT_SHA");
    for (const std::string& path : files.paths)
      if (!fileNameOf(path).starts_with(prefix))
        diagnostics->files.push_back(
            {path, 0, 0, 0, "not read: the name does not begin with \"" + std::string(prefix) + "\"", {}});
  }
  std::vector<ShaVector> vectors;
  const std::string namePrefix = "Nist" + std::string(prefix) + "-";
  for (std::size_t file = 0; file < files.files.size(); ++file) {
    FileDiagnostics* fileReport = nullptr;
    if (diagnostics) {
      diagnostics->files.push_back({opened[file], files.files[file].size(), 0, 0, {}, {}});
      fileReport = &diagnostics->files.back();
    }
    std::size_t recordInFile = 0;
    for (KatCategory& category : files.files[file]) {
      for (KatRecord& record : category.records) {
        ++recordInFile;
        // Looked up in this order; "Len" opens every record.
        std::string* message = findProperty(record, "Msg");
        std::string* digest = findProperty(record, "MD");
        std::string* length = findProperty(record, "Len");
        if (fileReport) {
          fileReport->records = recordInFile;
          if (!message || !digest || !length) {
            fileReport->skipped.push_back(
                {recordInFile, std::string("missing \"") + (!message ? "Msg" : !digest ? "MD" : "Len") + "\""});
          } else {
            ++fileReport->tests;
          }
        }
        if (!message || !digest || !length) continue;
        ShaVector vector;
        vector.name = namePrefix + std::to_string(vectors.size() + 1);
        vector.length = std::move(*length);
        vector.message = std::move(*message);
        vector.digest = std::move(*digest);
        vector.origin = describeOrigin(opened[file], recordInFile) +
                        "\nfirst = hashStrict over the whole message, "
                        "second = hash over 37-byte chunks";
        vectors.push_back(std::move(vector));
      }
    }
  }
  return vectors;
}

DecodedShaVector decodeShaVector(const ShaVector& vector) {
  quillon::ByteString message = hexStringToBS(vector.message);
  const long long bits = parseDecimalField("Len", vector.length);
  // floor(bits / 8); a partial last byte is left out.
  const long long bytes = bits >= 0 ? bits / 8 : -((-bits + 7) / 8);
  if (bytes <= 0) {
    message = {};
  } else if (static_cast<unsigned long long>(bytes) < message.size()) {
    message = message.take(static_cast<std::size_t>(bytes));
  }
  return {std::move(message), hexStringToBS(vector.digest)};
}

}  // namespace quillon_tests::detail

namespace quillon_tests {

SuiteDiagnostics diagnoseSHAVectors(std::string_view prefix) {
  SuiteDiagnostics diagnostics;
  diagnostics.suite = "make" + std::string(prefix) + "Tests";
  detail::loadShaVectors(prefix, &diagnostics);
  return diagnostics;
}

}  // namespace quillon_tests
