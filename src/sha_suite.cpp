#include <array>

#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/sha.hpp>

namespace quillon_tests::detail {

namespace {

// Looked up in this order; "Len" opens every record.
constexpr std::array<KatKind, 1> shaKinds{{
    {"message", {recordField("Msg", FieldRole::input), recordField("MD", FieldRole::expected),
                 recordField("Len")}, 3,
     "first = hashStrict over the whole message, second = hash over 37-byte chunks", "MD", {}, 0},
}};
constexpr std::size_t lengthField = 2;

FileChoice everyFile(const KatLayout&, const KatFileView&, bool) { return {0, {}}; }

}  // namespace

KatLayout shaLayout(std::string_view prefix, std::string_view directory) {
  KatLayout layout;
  layout.suite = "make" + std::string(prefix) + "Tests";
  layout.directory = directory;
  layout.recordStartKey = "Len";
  layout.kinds = shaKinds;
  layout.chooseFile = &everyFile;
  layout.ownedPrefix = prefix;
  layout.naming = NameScheme::layoutPrefixOrdinal;
  layout.namePrefix = "Nist" + std::string(prefix) + "-";
  return layout;
}

DecodedShaVector decodeShaVector(const SelectedRecord& record) {
  quillon::ByteString message = hexStringToBS(record.value(FieldRole::input));
  const long long bits = parseDecimalField("Len", record.values[lengthField]);
  // floor(bits / 8); a partial last byte is left out.
  const long long bytes = bits >= 0 ? bits / 8 : -((-bits + 7) / 8);
  if (bytes <= 0) {
    message = {};
  } else if (static_cast<unsigned long long>(bytes) < message.size()) {
    message = message.take(static_cast<std::size_t>(bytes));
  }
  return {std::move(message), hexStringToBS(record.value(FieldRole::expected))};
}

}  // namespace quillon_tests::detail

namespace quillon_tests {

SuiteDiagnostics diagnoseSHAVectors(std::string_view prefix) {
  return detail::diagnoseKat(detail::shaLayout(prefix));
}

}  // namespace quillon_tests
