#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/sha.hpp>

#include "kat_files_view.hpp"
#include "kat_origin.hpp"
#include "suite_files.hpp"

namespace quillon_tests::detail {

std::string_view shaDirectory(std::string_view prefix) noexcept {
  return prefix.starts_with("SHA3_") ? "Test/KAT_SHA3" : "Test/KAT_SHA";
}

ShaVectors loadShaVectors(std::string_view prefix, SuiteDiagnostics* diagnostics) {
  const std::string_view directory = shaDirectory(prefix);
  KatFileViews files = loadKATFileViews(directory, "Len", prefix);
  if (diagnostics) diagnostics->directory = getDataFileName(directory);
  noteFilesNotRead(diagnostics, files.paths, prefix);
  ShaVectors result;
  std::vector<ShaVector>& vectors = result.vectors;
  const std::string namePrefix = "Nist" + std::string(prefix) + "-";
  for (const std::shared_ptr<const KatFileView>& file : files.files) {
    if (!belongsToSuite(fileNameOf(file->path()), prefix)) continue;
    FileDiagnostics* fileReport = beginFileReport(diagnostics, *file);
    std::size_t recordInFile = 0;
    for (const KatCategoryView& category : file->categories()) {
      for (const KatRecordView& record : category.records) {
        ++recordInFile;
        // Looked up in this order; "Len" opens every record.
        const std::string_view* message = findProperty(record, "Msg");
        const std::string_view* digest = findProperty(record, "MD");
        const std::string_view* length = findProperty(record, "Len");
        if (fileReport) {
          if (!message || !digest || !length) {
            fileReport->skipped.push_back(
                {recordInFile, std::string("missing \"") + (!message ? "Msg" : !digest ? "MD" : "Len") + "\""});
          } else {
            ++fileReport->tests;
          }
        }
        if (!message || !digest || !length) continue;
        vectors.push_back({namePrefix + std::to_string(vectors.size() + 1), *length, *message, *digest,
                           file->path(), recordInFile});
      }
    }
    result.files.push_back(file);
  }
  return result;
}

std::string shaOrigin(const ShaVector& vector) {
  return describeOrigin(vector.path, vector.record) +
         "\nfirst = hashStrict over the whole message, "
         "second = hash over 37-byte chunks";
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
