#include <array>
#include <optional>
#include <stdexcept>

#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/monte.hpp>

#include "kat_files_view.hpp"
#include "kat_origin.hpp"
#include "suite_files.hpp"

namespace quillon_tests::detail {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The value of the first "Seed = ..." line. NIST writes the seed before the
// first record, where the record parser drops it, so it is read from the text.
std::optional<std::string_view> findSeed(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
    if (!line.starts_with("Seed")) continue;
    line.remove_prefix(4);
    while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
    if (!line.starts_with('=')) continue;
    line.remove_prefix(1);
    while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
    return line;
  }
  return std::nullopt;
}

}  // namespace

MonteVectors loadMonteVectors(const MonteSuite& suite, SuiteDiagnostics* diagnostics) {
  const std::string prefix = std::string(suite.variant) + "Monte";
  KatFileViews files = loadKATFileViews(suite.directory, "COUNT", prefix);
  if (diagnostics) diagnostics->directory = getDataFileName(suite.directory);
  noteFilesNotRead(diagnostics, files.paths, prefix);
  MonteVectors result;
  const std::string namePrefix = "Monte" + std::string(suite.variant) + "-";
  for (const std::shared_ptr<const KatFileView>& file : files.files) {
    if (!belongsToSuite(fileNameOf(file->path()), prefix)) continue;
    FileDiagnostics* fileReport = beginFileReport(diagnostics, *file);
    // Where the next record's chain starts: the file's seed, then each MD.
    std::optional<std::string_view> start = findSeed(file->text());
    const char* noStart = "the file has no \"Seed\"";
    bool firstInFile = true;
    std::size_t recordInFile = 0;
    for (const KatCategoryView& category : file->categories()) {
      for (const KatRecordView& record : category.records) {
        ++recordInFile;
        const std::string_view* count = findProperty(record, "COUNT");
        const std::string_view* digest = findProperty(record, "MD");
        const std::optional<std::string_view> seed = start;
        start = digest ? std::optional(*digest) : std::nullopt;
        const char* skipped = !digest ? "missing \"MD\"" : !seed ? noStart : nullptr;
        noStart = "the record before has no \"MD\" to start from";
        if (skipped) {
          if (fileReport) fileReport->skipped.push_back({recordInFile, skipped});
          continue;
        }
        if (fileReport) ++fileReport->tests;
        result.vectors.push_back({namePrefix + std::string(*count), *seed, *digest, file->path(),
                                  recordInFile, firstInFile});
        firstInFile = false;
      }
    }
    result.files.push_back(file);
  }
  return result;
}

DecodedMonteVector decodeMonteVector(const MonteVector& vector) {
  return {hexStringToBS(vector.seed), hexStringToBS(vector.digest)};
}

std::string monteOrigin(const MonteSuite& suite, const MonteVector& vector) {
  std::string origin = describeOrigin(vector.path, vector.record) + "\nchain: " +
                       std::to_string(monteIterations) + " digests from the seed " +
                       std::string(vector.seed) +
                       (suite.chain == MonteChain::threeDigests
                            ? ", each over the last three digests"
                            : ", each over the last digest");
  if (vector.alsoChunked)
    origin += "\nfirst = every digest by hashStrict, second = every digest by hash over " +
              std::to_string(monteChunkBytes) + "-byte chunks";
  return origin;
}

}  // namespace quillon_tests::detail

namespace quillon_tests {

SuiteDiagnostics diagnoseMonteVectors(std::string_view variant) {
  using namespace detail;
  static constexpr std::array suites{sha1Monte,       sha224Monte,     sha256Monte,
                                     sha384Monte,     sha512Monte,     sha512_224Monte,
                                     sha512_256Monte, sha3_224Monte,   sha3_256Monte,
                                     sha3_384Monte,   sha3_512Monte};
  for (const MonteSuite& suite : suites) {
    if (suite.variant != variant) continue;
    SuiteDiagnostics diagnostics;
    diagnostics.suite = "make" + std::string(variant) + "MonteTests";
    loadMonteVectors(suite, &diagnostics);
    return diagnostics;
  }
  throw std::invalid_argument("no Monte Carlo suite for \"" + std::string(variant) + "\"");
}

}  // namespace quillon_tests
