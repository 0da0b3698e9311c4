#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include <quillon_tests/detail/kat_layouts.hpp>
#include <quillon_tests/monte.hpp>

namespace quillon_tests::detail {

namespace {

// Where a checkpoint's chain starts: the MD of the record before it, or for
// the first record of a category its Seed (NIST writes it before the
// records; a category header may carry it too).
constexpr KatField chainStart = lookedUp(FieldSource::previousRecord, "MD")
                                    .as("seed")
                                    .orIn(FieldSource::header, "Seed")
                                    .orIn(FieldSource::preamble, "Seed");

constexpr KatKind monteKind(std::string_view file, std::string_view namePrefix, MonteChain chain) {
  return {.label = file,
          .fields = {recordField("MD"), chainStart, recordField("COUNT").names()},
          .operation = chain == MonteChain::threeDigests
                           ? "1000 digests after the seed, each over the last three digests"
                           : "1000 digests after the seed, each over the last digest",
          .namePrefix = namePrefix,
          .code = static_cast<int>(chain)};
}

// One row per suite, so that each names its tests; the label is the file
// name's prefix.
constexpr std::array monteKinds{
    monteKind("SHA1Monte", "MonteSHA1-", MonteChain::threeDigests),
    monteKind("SHA224Monte", "MonteSHA224-", MonteChain::threeDigests),
    monteKind("SHA256Monte", "MonteSHA256-", MonteChain::threeDigests),
    monteKind("SHA384Monte", "MonteSHA384-", MonteChain::threeDigests),
    monteKind("SHA512Monte", "MonteSHA512-", MonteChain::threeDigests),
    monteKind("SHA512_224Monte", "MonteSHA512_224-", MonteChain::threeDigests),
    monteKind("SHA512_256Monte", "MonteSHA512_256-", MonteChain::threeDigests),
    monteKind("SHA3_224Monte", "MonteSHA3_224-", MonteChain::lastDigest),
    monteKind("SHA3_256Monte", "MonteSHA3_256-", MonteChain::lastDigest),
    monteKind("SHA3_384Monte", "MonteSHA3_384-", MonteChain::lastDigest),
    monteKind("SHA3_512Monte", "MonteSHA3_512-", MonteChain::lastDigest),
};
static_assert(wellFormed(monteKinds));

}  // namespace

KatLayout monteLayout(std::string_view variant) {
  const std::string file = std::string(variant) + "Monte";
  const auto kind = std::find_if(monteKinds.begin(), monteKinds.end(),
                                 [&](const KatKind& known) { return known.label == file; });
  if (kind == monteKinds.end())
    throw std::invalid_argument("no Monte Carlo suite for \"" + std::string(variant) + "\"");
  // The layout owns only its own file, and knows only its own kind.
  return {.suite = "make" + std::string(variant) + "MonteTests",
          .title = digestTitle(variant) + " Monte Carlo",
          .directory = variant.starts_with("SHA3_") ? "Test/KAT_SHA3" : "Test/KAT_SHA",
          .recordStartKey = "COUNT",
          .kinds = std::span<const KatKind>(&*kind, 1),
          .ownedPrefix = kind->label,
          .naming = NameScheme::kindPrefix};
}

std::string monteNote(const KatRecord& record) {
  std::string note = "chain: " + std::string(record.kind().operation) + ", from the seed " +
                     std::string(record.text("seed"));
  if (record.record() == 1)
    note += "\nfirst = every digest by hashStrict, second = every digest by hash over " +
            std::to_string(monteChunkBytes) + "-byte chunks";
  return note;
}

}  // namespace quillon_tests::detail

namespace quillon_tests {

SuiteDiagnostics diagnoseMonteVectors(std::string_view variant) {
  return detail::diagnoseKat(detail::monteLayout(variant));
}

}  // namespace quillon_tests
