// The layouts of the AES-GCM, AES-CCM and ChaCha20-Poly1305 known-answer
// suites and the non-template half of the AEAD family.
#include <quillon_tests/aead_kat.hpp>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include <quillon_tests/kat_records.hpp>

#include "kat_files_view.hpp"

namespace quillon_tests::detail {

namespace {

constexpr int code(AeadKindCode kind) { return static_cast<int>(kind); }

/// What the records of a kind compute, for failure reports.
struct AeadShape {
  std::string_view seal;    // the call of an accepted sealing record, or of a rejected one's plaintext
  std::string_view sealed;  // what it gives
  std::string_view open;
  std::string_view opened;
  std::size_t blockBytes;   // where the report counts blocks
  bool counted;             // lengths in Alen, Plen, Tlen (CCM); else the tag apart in Tag
};

constexpr AeadShape separateTag{"seal(Key, IV, AAD, PT) with a tag as long as Tag", "CT followed by Tag",
                                "open(Key, IV, AAD, CT followed by Tag) with a tag as long as Tag", "PT", 16, false};
constexpr AeadShape ccmShape{"seal(Key, Nonce, Adata, Payload) with a Tlen-byte tag", "CT",
                             "open(Key, Nonce, Adata, CT) with a Tlen-byte tag", "Payload", 16, true};
constexpr AeadShape chachaShape{separateTag.seal, separateTag.sealed, separateTag.open, separateTag.opened, 64,
                                false};

const AeadShape& shapeOf(const KatRecord& record) noexcept {
  switch (static_cast<AeadKindCode>(record.code())) {
    case AeadKindCode::gcmSeal:
    case AeadKindCode::gcmOpen: return separateTag;
    case AeadKindCode::ccmSeal:
    case AeadKindCode::ccmOpen: return ccmShape;
    case AeadKindCode::chachaSeal: return chachaShape;
  }
  return separateTag;
}

// NIST's GCM layout: five section headers, Count restarting in each. The
// decryption files end a record with PT or a bare FAIL line. Every kind looks
// its key up first.
constexpr KatKind gcmKind(std::string_view label, AeadKindCode kindCode, bool withFail,
                          std::string_view operation) {
  KatKind kind{.label = label,
               .fields = {recordField("Key").as("key"), headerField("IVlen").names(), headerField("PTlen").names(),
                          headerField("AADlen").names(), headerField("Taglen").names(), recordField("Count").names(),
                          recordField("IV").as("nonce"), recordField("AAD").as("aad"),
                          recordField("CT").as("ciphertext"), recordField("Tag").as("tag"),
                          recordField("PT").as("plaintext")},
               .operation = operation,
               .code = code(kindCode)};
  if (withFail) {
    KatField& plaintext = kind.fields[kind.indexOf("plaintext")];
    plaintext = plaintext.whenAccepted();
    kind.fields[kind.fieldCount()] = rejectedWhen("FAIL");
  }
  return kind;
}

constexpr std::array<KatKind, 2> gcmKinds{{
    gcmKind("gcmEncrypt", AeadKindCode::gcmSeal, false, "seal(Key, IV, AAD, PT) = CT || Tag"),
    gcmKind("gcmDecrypt", AeadKindCode::gcmOpen, true, "open(Key, IV, AAD, CT || Tag) = PT"),
}};

// NIST's CCM layouts: lengths in the section header or on lines before it,
// Key (and in most files Nonce) between the header and the first record.
constexpr KatKind ccmKind(std::string_view label, AeadKindCode kindCode, bool withResult,
                          std::string_view operation) {
  KatKind kind{.label = label,
               .fields = {recordField("Key").orIn(FieldSource::preamble, "Key").as("key"),
                          recordField("Count").names(),
                          recordField("Nonce").orIn(FieldSource::preamble, "Nonce").as("nonce"),
                          headerField("Alen").orIn(FieldSource::preamble, "Alen").as("aadBytes"),
                          headerField("Plen").orIn(FieldSource::preamble, "Plen").as("textBytes"),
                          headerField("Tlen").orIn(FieldSource::preamble, "Tlen").as("tagBytes"),
                          recordField("Adata").as("aad"), recordField("CT").as("ciphertext"),
                          recordField("Payload").as("plaintext")},
               .operation = operation,
               .code = code(kindCode)};
  if (withResult) {
    KatField& plaintext = kind.fields[kind.indexOf("plaintext")];
    plaintext = plaintext.whenAccepted();
    kind.fields[kind.fieldCount()] = rejectedWhen("Result", "Fail");
  }
  return kind;
}

constexpr std::array<KatKind, 2> ccmKinds{{
    ccmKind("CCM encryption", AeadKindCode::ccmSeal, false, "seal(Key, Nonce, Adata, Payload) = CT"),
    ccmKind("CCM-DVPT", AeadKindCode::ccmOpen, true, "open(Key, Nonce, Adata, CT) = Payload"),
}};

// The GCM encryption layout without section headers, and FAIL records.
constexpr std::array<KatKind, 1> chachaKinds{{
    {.label = "ChaCha20-Poly1305",
     .fields = {recordField("Key").as("key"), recordField("Count").names(), recordField("IV").as("nonce"),
                recordField("AAD").as("aad"), recordField("CT").as("ciphertext"), recordField("Tag").as("tag"),
                recordField("PT").as("plaintext").whenAccepted(), rejectedWhen("FAIL")},
     .operation = "seal(Key, IV, AAD, PT) = CT || Tag",
     .code = code(AeadKindCode::chachaSeal)},
}};
static_assert(wellFormed(gcmKinds) && wellFormed(ccmKinds) && wellFormed(chachaKinds));

/// The kind of a file from the start of its name; others are not read.
using KindPrefix = std::pair<std::string_view, std::size_t>;

template <std::size_t N>
FileChoice chooseByPrefix(const KatFileView& file, const std::array<KindPrefix, N>& prefixes,
                          std::string_view expected) {
  const std::string_view name = fileNameOf(file.path());
  for (const auto& [prefix, kind] : prefixes)
    if (name.starts_with(prefix)) return {kind, {}};
  return {std::nullopt, "not read: name begins with none of " + std::string(expected)};
}

FileChoice chooseGcmFile(const KatFileView& file, bool /*diagnosing*/) {
  static constexpr std::array<KindPrefix, 2> prefixes{
      {{"gcmEncrypt", 0}, {"gcmDecrypt", 1}}};
  return chooseByPrefix(file, prefixes, "gcmEncrypt, gcmDecrypt");
}

FileChoice chooseCcmFile(const KatFileView& file, bool /*diagnosing*/) {
  static constexpr std::array<KindPrefix, 5> prefixes{
      {{"VADT", 0}, {"VNT", 0}, {"VPT", 0}, {"VTT", 0}, {"DVPT", 1}}};
  return chooseByPrefix(file, prefixes, "VADT, VNT, VPT, VTT, DVPT");
}

std::optional<std::size_t> byteCount(const KatRecord& record, std::string_view field) {
  try {
    const long long value = record.number(field);
    if (value >= 0) return static_cast<std::size_t>(value);
  } catch (const std::invalid_argument&) {
  }
  return std::nullopt;
}

/// `field` decoded and cut to `length` bytes, the count in `lengthField`.
quillon::ByteString cutTo(const KatRecord& record, std::string_view field, std::string_view lengthField,
                          std::size_t length) {
  quillon::ByteString value = record.bytes(field);
  if (value.size() < length)
    throw std::invalid_argument(record.suite() + ": " + std::string(record.keyOf(field)) + " holds " +
                                std::to_string(value.size()) + " bytes, " + std::string(record.keyOf(lengthField)) +
                                " says " + std::to_string(length) + " (" + record.origin() + ")");
  return value.size() == length ? value : value.take(length);
}

constexpr std::array<std::string_view, 3> lengthFields{"aadBytes", "textBytes", "tagBytes"};

}  // namespace

bool opensRecords(const KatRecord& record) noexcept {
  const auto kind = static_cast<AeadKindCode>(record.code());
  return kind == AeadKindCode::gcmOpen || kind == AeadKindCode::ccmOpen;
}

std::variant<AeadLengths, KatSkip> aeadLengths(const KatRecord& record) {
  auto hexBytes = [&](std::string_view field) { return record.text(field).size() / 2; };
  AeadLengths lengths{.nonce = hexBytes("nonce")};
  if (!shapeOf(record).counted) {
    lengths.aad = hexBytes("aad");
    lengths.tag = hexBytes("tag");
    lengths.text = hexBytes(record.has("plaintext") ? "plaintext" : "ciphertext");
    return lengths;
  }
  std::size_t* const counts[] = {&lengths.aad, &lengths.text, &lengths.tag};
  for (std::size_t i = 0; i < lengthFields.size(); ++i) {
    const std::optional<std::size_t> count = byteCount(record, lengthFields[i]);
    if (!count) {
      std::string note = "\"";
      note.append(record.keyOf(lengthFields[i])).append("\" is not a decimal byte count");
      return KatSkip{std::move(note), "length field not a byte count"};
    }
    *counts[i] = *count;
  }
  return lengths;
}

quillon::LazyByteString aeadChunks(quillon::ByteView bytes) {
  // LazyByteString::chunked, with the list allocated once: a test makes
  // three of them.
  std::vector<quillon::ByteString> chunks;
  chunks.reserve((bytes.size() + aeadChunkBytes - 1) / aeadChunkBytes);
  for (std::size_t at = 0; at < bytes.size(); at += aeadChunkBytes)
    chunks.emplace_back(bytes.subspan(at, std::min(aeadChunkBytes, bytes.size() - at)));
  return quillon::LazyByteString(std::move(chunks));
}

KatSkip lengthRefused(std::string_view what, std::size_t bytes) {
  const std::string count = std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  return {std::string(what) + " length of " + count + " not accepted by the type",
          std::string(what) + " length refused", count};
}

AeadVector readAeadVector(const KatRecord& record) {
  AeadVector vector;
  vector.key = record.bytes("key");
  vector.nonce = record.bytes("nonce");
  const bool hasPlaintext = record.has("plaintext");
  if (!shapeOf(record).counted) {
    vector.aad = record.bytes("aad");
    if (hasPlaintext) vector.plaintext = record.bytes("plaintext");
    const quillon::ByteString ciphertext = record.bytes("ciphertext"), tag = record.bytes("tag");
    vector.tagBytes = tag.size();
    vector.sealed = quillon::concat({ciphertext, tag});
    return vector;
  }
  // Adata and Payload cut to Alen and Plen bytes; CT holds the ciphertext
  // and the tag. The counts were read while the list was built.
  const std::size_t aadBytes = *byteCount(record, "aadBytes"), textBytes = *byteCount(record, "textBytes");
  vector.tagBytes = *byteCount(record, "tagBytes");
  vector.aad = cutTo(record, "aad", "aadBytes", aadBytes);
  if (hasPlaintext) vector.plaintext = cutTo(record, "plaintext", "textBytes", textBytes);
  vector.sealed = record.bytes("ciphertext");
  if (vector.sealed.size() != textBytes + vector.tagBytes)
    throw std::invalid_argument(record.suite() + ": " + std::string(record.keyOf("ciphertext")) + " holds " +
                                std::to_string(vector.sealed.size()) + " bytes, " +
                                std::string(record.keyOf("textBytes")) + " + " +
                                std::string(record.keyOf("tagBytes")) + " say " +
                                std::to_string(textBytes + vector.tagBytes) + " (" + record.origin() + ")");
  return vector;
}

void checkAeadOutputs(const KatRecord& record, const AeadVector& vector,
                      std::span<const std::optional<quillon::ByteString>> outputs) {
  const bool opens = opensRecords(record);
  KatOutput expected;
  if (!record.rejected()) expected = opens ? vector.plaintext->view() : vector.sealed.view();
  const std::string_view field = opens ? "plaintext" : "ciphertext";
  std::array<KatOutput, 4> got;
  for (std::size_t i = 0; i < outputs.size() && i < got.size(); ++i)
    if (outputs[i]) got[i] = outputs[i]->view();
  const std::size_t block = shapeOf(record).blockBytes;
  switch (outputs.size()) {
    case 1: return checkKnownAnswer(record, field, expected, {got[0]}, block);
    case 2: return checkKnownAnswer(record, field, expected, {got[0], got[1]}, block);
    case 3: return checkKnownAnswer(record, field, expected, {got[0], got[1], got[2]}, block);
    case 4: return checkKnownAnswer(record, field, expected, {got[0], got[1], got[2], got[3]}, block);
    default: throw std::logic_error(record.suite() + ": " + std::to_string(outputs.size()) + " outputs to compare");
  }
}

std::string aeadNote(const KatRecord& record, bool lazy) {
  const AeadShape& shape = shapeOf(record);
  const bool opens = opensRecords(record);
  const bool seals = record.rejected() ? record.has("plaintext") : !opens;
  std::vector<std::string> paths;
  const std::string chunks = ", the same over " + std::to_string(aeadChunkBytes) + "-byte chunks of ";
  if (seals) {
    paths.emplace_back(shape.seal);
    if (lazy) paths.push_back("sealLazy" + chunks + "the AAD and the plaintext");
  }
  if (record.rejected() || opens) {
    paths.emplace_back(shape.open);
    if (lazy) paths.push_back("openLazy" + chunks + "the AAD and the sealed text");
  }
  std::string note = "got = ";
  if (paths.size() == 1) {
    note += paths[0] + ", computed by the AEAD";
  } else {
    note += "computed by the AEAD, in order: ";
    for (std::size_t i = 0; i < paths.size(); ++i) note += (i == 0 ? "" : "; ") + paths[i];
  }
  if (record.rejected()) return note + "\neach must give nothing";
  const bool cut = record.kind().has("aadBytes");
  return note + "\nthe vector's value is " + std::string(opens ? shape.opened : shape.sealed) +
         (cut ? "; Adata and Payload cut to Alen and Plen bytes" : "");
}

const KatLayout& gcmLayout() {
  static const KatLayout layout{.suite = "makeGCMTests", .title = "AES-GCM known answers",
                                .directory = "Test/KAT_AES_GCM", .recordStartKey = "Count", .kinds = gcmKinds,
                                .chooseFile = &chooseGcmFile, .naming = NameScheme::fileStem};
  return layout;
}

const KatLayout& ccmLayout() {
  static const KatLayout layout{.suite = "makeCCMTests", .title = "AES-CCM known answers",
                                .directory = "Test/KAT_AES_CCM", .recordStartKey = "Count", .kinds = ccmKinds,
                                .chooseFile = &chooseCcmFile, .naming = NameScheme::fileStem};
  return layout;
}

const KatLayout& chaCha20Poly1305Layout() {
  static const KatLayout layout{.suite = "makeChaCha20Poly1305Tests", .title = "ChaCha20-Poly1305 known answers",
                                .directory = "Test/KAT_CHACHA20_POLY1305", .recordStartKey = "Count",
                                .kinds = chachaKinds, .naming = NameScheme::fileStem};
  return layout;
}

}  // namespace quillon_tests::detail
