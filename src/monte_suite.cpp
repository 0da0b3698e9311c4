#include <array>
#include <stdexcept>
#include <string>

#include <quillon_tests/monte.hpp>

namespace quillon_tests::detail {

namespace {

// Where a checkpoint's chain starts: the MD of the record before it, or for
// the first record of a category its Seed (NIST writes it before the
// records; a category header may carry it too).
constexpr KatField chainStart{{{{FieldSource::previousRecord, "MD"},
                                {FieldSource::header, "Seed"},
                                {FieldSource::preamble, "Seed"}}},
                              3,
                              FieldRole::input};

constexpr KatKind monteKind(std::string_view file, std::string_view namePrefix, MonteChain chain) {
  return {file,
          {recordField("MD", FieldRole::expected), chainStart, recordField("COUNT", FieldRole::name)},
          3,
          chain == MonteChain::threeDigests
              ? "1000 digests after the seed, each over the last three digests"
              : "1000 digests after the seed, each over the last digest",
          "MD",
          namePrefix,
          static_cast<int>(chain)};
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

std::size_t kindOf(std::string_view file) {
  for (std::size_t i = 0; i < monteKinds.size(); ++i)
    if (monteKinds[i].label == file) return i;
  return monteKinds.size();
}

// The layout owns only its own file, so every file it reads is of its kind.
FileChoice ownKind(const KatLayout& layout, const KatFileView&, bool) {
  return {kindOf(layout.parameter), {}};
}

}  // namespace

KatLayout monteLayout(std::string_view variant) {
  const std::size_t kind = kindOf(std::string(variant) + "Monte");
  if (kind == monteKinds.size())
    throw std::invalid_argument("no Monte Carlo suite for \"" + std::string(variant) + "\"");
  const std::string_view file = monteKinds[kind].label;
  KatLayout layout;
  layout.suite = "make" + std::string(variant) + "MonteTests";
  layout.directory = file.starts_with("SHA3_") ? "Test/KAT_SHA3" : "Test/KAT_SHA";
  layout.recordStartKey = "COUNT";
  layout.kinds = monteKinds;
  layout.chooseFile = &ownKind;
  layout.ownedPrefix = file;
  layout.parameter = file;
  layout.naming = NameScheme::kindPrefix;
  return layout;
}

std::string monteNote(const KatCase<NoListingState>& test, bool alsoChunked) {
  std::string note = katOrigin(test.file->path, test.record);
  note.append("\nchain: ")
      .append(test.record.kind->operation)
      .append(", from the seed ")
      .append(test.record.value(FieldRole::input));
  if (alsoChunked)
    note.append("\nfirst = every digest by hashStrict, second = every digest by hash over ")
        .append(std::to_string(monteChunkBytes))
        .append("-byte chunks");
  return note;
}

}  // namespace quillon_tests::detail

namespace quillon_tests {

SuiteDiagnostics diagnoseMonteVectors(std::string_view variant) {
  return detail::diagnoseKat(detail::monteLayout(variant));
}

}  // namespace quillon_tests
