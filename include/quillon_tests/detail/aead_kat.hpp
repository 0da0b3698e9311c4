#pragma once
// The AEAD family of known-answer suites (see kat_selection.hpp) and the
// templates of quillon_tests/aead_kat.hpp.
//
// Kinds name their fields "key", "nonce", "aad", "ciphertext" and
// "plaintext", then either "tag" (the tag apart from the ciphertext: GCM,
// ChaCha20-Poly1305) or "tagBytes" (CCM, whose CT holds the tag), and
// optionally "aadBytes" and "textBytes" (CCM's Alen and Plen: "Adata = 00"
// stands for no AAD, so values are cut to them). A kind's code is an
// AeadKindCode: whether its records are sealed or opened, and the block
// size failure reports count in.
//
// While the list is built only the key is decoded (and built, when the
// suite selects by key, as soon as it is found); the other lengths are read
// from the hex texts and the length fields. The test decodes the record, builds the key and
// compares every path of the type (seal and, for a LazyAead, sealLazy over
// 13-byte chunks; the same for open) with the vector.

#include <array>
#include <concepts>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include <quillon/aead.hpp>
#include <quillon/byte_string.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/detail/kat_selection.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests::detail {

/// What the records of a kind ask of the AEAD.
enum class AeadKindCode {
  gcmSeal,     // seal(Key, IV, AAD, PT) = CT || Tag
  gcmOpen,     // open(Key, IV, AAD, CT || Tag) = PT
  ccmSeal,     // seal(Key, Nonce, Adata, Payload) = CT
  ccmOpen,     // open(Key, Nonce, Adata, CT) = Payload
  chachaSeal,  // as gcmSeal, over 64-byte blocks
};

/// Whether a kind's accepted records are opened rather than sealed.
bool opensRecords(const KatRecord& record) noexcept;

/// A record's lengths in bytes, as the type's accepts* members are asked.
struct AeadLengths {
  std::size_t nonce = 0, aad = 0, text = 0, tag = 0;
};

/// The lengths of `record`, read from its hex texts and length fields
/// without decoding them; a skip when a length field is no byte count.
std::variant<AeadLengths, KatSkip> aeadLengths(const KatRecord& record);

/// The skip of a record whose `what` ("nonce", "tag", "AAD", "text") length
/// the type does not accept, broken down by length.
KatSkip lengthRefused(std::string_view what, std::size_t bytes);

/// A record decoded for its test: values cut to their length fields, the
/// ciphertext followed by the tag.
struct AeadVector {
  quillon::ByteString key, nonce, aad;
  std::optional<quillon::ByteString> plaintext;  // absent in a rejected record without one
  quillon::ByteString sealed;
  std::size_t tagBytes = 0;
};

/// `record` decoded; std::invalid_argument naming the field and the record
/// when a value is shorter than its length field says (the vector is
/// wrong, not the AEAD).
AeadVector readAeadVector(const KatRecord& record);

/// Passes when every output equals what the record expects (the sealed
/// bytes, the plaintext, or a refusal); fails through failKnownAnswer
/// otherwise. `outputs` holds one to four paths, in the order the note
/// names them.
void checkAeadOutputs(const KatRecord& record, const AeadVector& vector,
                      std::span<const std::optional<quillon::ByteString>> outputs);

/// The lines a failure report adds: what the type computed, path by path.
std::string aeadNote(const KatRecord& record, bool lazy);

template <bool Lazy>
std::string aeadNoteOf(const KatRecord& record) {
  return aeadNote(record, Lazy);
}

/// The chunk size of the lazy paths: odd, so chunk edges fall inside
/// blocks and the tag.
inline constexpr std::size_t aeadChunkBytes = 13;

/// `bytes` in chunks of aeadChunkBytes, the last one shorter.
quillon::LazyByteString aeadChunks(quillon::ByteView bytes);

template <class A>
concept DeclaresAadLengths = requires(std::size_t bytes) {
  { A::acceptsAadLength(bytes) } -> std::convertible_to<bool>;
};
template <class A>
concept DeclaresTextLengths = requires(std::size_t bytes) {
  { A::acceptsTextLength(bytes, bytes) } -> std::convertible_to<bool>;
};

// The key is built as soon as it is found (the kinds look it up first), so
// the records of other key sizes cost one field each.
template <class A>
std::optional<KatSkip> checkAeadKey(const KatRecord& record, const KatField& field) {
  if (field.name != "key") return std::nullopt;
  return refusedKey<A>(record);
}

// A rejected record is skipped only for a nonce or tag length the type does
// not accept: there a refusal would prove nothing about its tag check. Its
// AAD and text lengths are part of what it tests (a CCM message too long
// for its nonce must be refused), so it runs whatever the type says of them.
template <class A>
std::optional<KatSkip> admitAeadRecord(const KatRecord& record) {
  const std::variant<AeadLengths, KatSkip> read = aeadLengths(record);
  if (const KatSkip* skip = std::get_if<KatSkip>(&read)) return *skip;
  const AeadLengths& lengths = std::get<AeadLengths>(read);
  if (!A::acceptsNonceLength(lengths.nonce)) return lengthRefused("nonce", lengths.nonce);
  if (!A::acceptsTagLength(lengths.tag)) return lengthRefused("tag", lengths.tag);
  if (record.rejected()) return std::nullopt;
  if constexpr (DeclaresAadLengths<A>)
    if (!A::acceptsAadLength(lengths.aad)) return lengthRefused("AAD", lengths.aad);
  if constexpr (DeclaresTextLengths<A>)
    if (!A::acceptsTextLength(lengths.nonce, lengths.text)) return lengthRefused("text", lengths.text);
  return std::nullopt;
}

// An accepted record is sealed or opened as its kind says; a rejected one is
// opened, and sealed too when it carries its plaintext: both must refuse.
template <class A>
void runAeadTest(const KatRecord& record) {
  const AeadVector v = readAeadVector(record);
  const A key = recordKey<A>(record, v.key);
  const bool seals = record.rejected() ? v.plaintext.has_value() : !opensRecords(record);
  const bool opens = record.rejected() || opensRecords(record);
  std::array<std::optional<quillon::ByteString>, 4> outputs;
  std::size_t count = 0;
  [[maybe_unused]] quillon::LazyByteString lazyAad;
  if constexpr (quillon::LazyAead<A>) lazyAad = aeadChunks(v.aad);
  if (seals) {
    outputs[count++] = key.seal(v.nonce, v.aad, *v.plaintext, v.tagBytes);
    if constexpr (quillon::LazyAead<A>)
      outputs[count++] =
          key.sealLazy(v.nonce, lazyAad, aeadChunks(*v.plaintext), v.tagBytes);
  }
  if (opens) {
    outputs[count++] = key.open(v.nonce, v.aad, v.sealed, v.tagBytes);
    if constexpr (quillon::LazyAead<A>)
      outputs[count++] =
          key.openLazy(v.nonce, lazyAad, aeadChunks(v.sealed), v.tagBytes);
  }
  checkAeadOutputs(record, v, std::span(outputs.data(), count));
}

template <class A, KeyCheck Keys>
constexpr KatFamily aeadFamily() {
  return {.checkField = Keys == KeyCheck::whileListing ? &checkAeadKey<A> : nullptr,
          .admit = &admitAeadRecord<A>,
          .run = &runAeadTest<A>,
          .note = &aeadNoteOf<quillon::LazyAead<A>>};
}

const KatLayout& gcmLayout();
const KatLayout& ccmLayout();
const KatLayout& chaCha20Poly1305Layout();

}  // namespace quillon_tests::detail

namespace quillon_tests {

// GCM and CCM files hold keys of three sizes: a binding runs its own.
// ChaCha20-Poly1305 has one key size: a refused key is the test's error.

template <class A>
std::vector<Test> makeGCMTests(const SourceLocation& where) {
  using C = detail::CheckedAead<A>;
  return detail::makeKatTests(detail::gcmLayout(), detail::aeadFamily<C, detail::KeyCheck::whileListing>(), where);
}
template <class A>
std::vector<Test> makeGCMTests(const A& /*witness*/, const SourceLocation& where) {
  return makeGCMTests<detail::CheckedAead<A>>(where);
}
template <class A>
SuiteDiagnostics diagnoseGCMVectors() {
  using C = detail::CheckedAead<A>;
  return detail::diagnoseKat(detail::gcmLayout(), detail::aeadFamily<C, detail::KeyCheck::whileListing>());
}

template <class A>
std::vector<Test> makeCCMTests(const SourceLocation& where) {
  using C = detail::CheckedAead<A>;
  return detail::makeKatTests(detail::ccmLayout(), detail::aeadFamily<C, detail::KeyCheck::whileListing>(), where);
}
template <class A>
std::vector<Test> makeCCMTests(const A& /*witness*/, const SourceLocation& where) {
  return makeCCMTests<detail::CheckedAead<A>>(where);
}
template <class A>
SuiteDiagnostics diagnoseCCMVectors() {
  using C = detail::CheckedAead<A>;
  return detail::diagnoseKat(detail::ccmLayout(), detail::aeadFamily<C, detail::KeyCheck::whileListing>());
}

template <class A>
std::vector<Test> makeChaCha20Poly1305Tests(const SourceLocation& where) {
  using C = detail::CheckedAead<A>;
  return detail::makeKatTests(detail::chaCha20Poly1305Layout(), detail::aeadFamily<C, detail::KeyCheck::whenRunning>(),
                              where);
}
template <class A>
std::vector<Test> makeChaCha20Poly1305Tests(const A& /*witness*/, const SourceLocation& where) {
  return makeChaCha20Poly1305Tests<detail::CheckedAead<A>>(where);
}
template <class A>
SuiteDiagnostics diagnoseChaCha20Poly1305Vectors() {
  using C = detail::CheckedAead<A>;
  return detail::diagnoseKat(detail::chaCha20Poly1305Layout(), detail::aeadFamily<C, detail::KeyCheck::whenRunning>());
}

}  // namespace quillon_tests
