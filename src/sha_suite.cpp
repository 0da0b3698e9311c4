#include <array>

#include <quillon_tests/sha.hpp>

namespace quillon_tests::detail {

namespace {

// Looked up in this order; "Len" opens every record.
constexpr std::array<KatKind, 1> shaKinds{{
    {.label = "message",
     .fields = {recordField("Msg"), recordField("MD"), recordField("Len")},
     .operation = "first = hashStrict over the whole message, second = hash over 37-byte chunks"},
}};
static_assert(wellFormed(shaKinds));

}  // namespace

std::string_view shaDirectory(std::string_view prefix) noexcept {
  return prefix.starts_with("SHA3_") ? "Test/KAT_SHA3" : "Test/KAT_SHA";
}

std::string digestTitle(std::string_view variant) {
  if (variant.starts_with("SHA3_")) return "SHA3-" + std::string(variant.substr(5));
  std::string title = "SHA-" + std::string(variant.substr(3));
  for (char& c : title)
    if (c == '_') c = '/';
  return title;
}

KatLayout shaLayout(std::string_view prefix, std::string_view directory) {
  return {.suite = "make" + std::string(prefix) + "Tests",
          .title = digestTitle(prefix) + " known answers",
          .directory = directory,
          .recordStartKey = "Len",
          .kinds = shaKinds,
          .ownedPrefix = prefix,
          .naming = NameScheme::layoutPrefixOrdinal,
          .namePrefix = "Nist" + std::string(prefix) + "-"};
}

DecodedShaVector decodeShaVector(const KatRecord& record) {
  quillon::ByteString message = record.bytes("Msg");
  const long long bits = record.number("Len");
  // floor(bits / 8); a partial last byte is left out.
  const long long bytes = bits >= 0 ? bits / 8 : -((-bits + 7) / 8);
  if (bytes <= 0) {
    message = {};
  } else if (static_cast<unsigned long long>(bytes) < message.size()) {
    message = message.take(static_cast<std::size_t>(bytes));
  }
  return {std::move(message), record.bytes("MD")};
}

}  // namespace quillon_tests::detail

namespace quillon_tests {

SuiteDiagnostics diagnoseSHAVectors(std::string_view prefix) {
  return detail::diagnoseKat(detail::shaLayout(prefix, detail::shaDirectory(prefix)));
}

}  // namespace quillon_tests
