#pragma once
// The block-cipher family of known-answer suites (see kat_selection.hpp):
// kinds whose fields are named "key", "iv" (optional to the family: kinds
// without one get a null IV), "input" and "expected"; the key built with
// K::buildKey and the IV read with IV<K>::get.
//
// A suite gives its KatLayout and one function template
//   quillon::ByteString operation(const CipherCall<K>& call)
// computing the kind's operation (call.kind() is the kind's code) on
// call.input with call.key and, for kinds with an IV field, *call.iv. A
// suite whose kinds are single calls of the API (ecb, cbc, ..., ctr) takes
// modeOperation, with CipherMode values as the kinds' codes.
// makeCipherKatTests<K, &operation<K>>(layout, where) builds its tests and
// diagnoseCipherKat<K>(layout) lists its selection.
//
// While the list is built the IV is read as soon as it is found (an IV that
// does not deserialise skips the record) and, with KeyCheck::whileListing,
// the key is built once the record is otherwise complete (a refused key
// skips it, so a binding runs only the key sizes it accepts); neither is
// kept. The test builds both again, decodes the input and the expected
// value, and compares.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/detail/kat_selection.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

/// What a test gives the suite's operation.
template <class K>
struct CipherCall {
  const K& key;
  const quillon::IV<K>* iv;  // null for a kind without an IV field
  quillon::ByteView input;
  const KatRecord& record;

  [[nodiscard]] int kind() const noexcept { return record.code(); }
};

template <class K>
using CipherOperation = quillon::ByteString (*)(const CipherCall<K>&);

/// The one-call operations of the block-cipher API, as kind codes for
/// modeOperation.
enum class CipherMode { encryptBlock, decryptBlock, ecb, unEcb, cbc, unCbc, cfb, unCfb, ofb, unOfb,
                        ctr, unCtr };

/// The operation for suites whose kinds are each one call of the API (the
/// kind's code a CipherMode): the output of that call on the input, from
/// the record's own IV.
template <class K>
quillon::ByteString modeOperation(const CipherCall<K>& call) {
  const K& key = call.key;
  switch (static_cast<CipherMode>(call.kind())) {
    case CipherMode::encryptBlock: return key.encryptBlock(call.input);
    case CipherMode::decryptBlock: return key.decryptBlock(call.input);
    case CipherMode::ecb: return quillon::ecb(key, call.input);
    case CipherMode::unEcb: return quillon::unEcb(key, call.input);
    case CipherMode::cbc: return quillon::cbc(key, *call.iv, call.input).first;
    case CipherMode::unCbc: return quillon::unCbc(key, *call.iv, call.input).first;
    case CipherMode::cfb: return quillon::cfb(key, *call.iv, call.input).first;
    case CipherMode::unCfb: return quillon::unCfb(key, *call.iv, call.input).first;
    case CipherMode::ofb: return quillon::ofb(key, *call.iv, call.input).first;
    case CipherMode::unOfb: return quillon::unOfb(key, *call.iv, call.input).first;
    case CipherMode::ctr: return quillon::ctr(key, *call.iv, call.input).first;
    case CipherMode::unCtr: return quillon::unCtr(key, *call.iv, call.input).first;
  }
  return {};
}

/// A kind of NIST's AESVS record layout (COUNT, KEY, IV, PLAINTEXT,
/// CIPHERTEXT): looked up IV first when the kind has one, then COUNT,
/// CIPHERTEXT, PLAINTEXT and KEY. Encrypting kinds take PLAINTEXT as input
/// and CIPHERTEXT as expected, decrypting kinds the other way round. Named
/// by COUNT.
constexpr KatKind aesvsKind(std::string_view label, bool encrypts, bool hasIV, std::string_view operation,
                            int code) {
  KatKind kind{.label = label, .operation = operation, .code = code};
  std::size_t at = 0;
  if (hasIV) kind.fields[at++] = recordField("IV").as("iv");
  kind.fields[at++] = recordField("COUNT").names();
  kind.fields[at++] = recordField("CIPHERTEXT").as(encrypts ? "expected" : "input");
  kind.fields[at++] = recordField("PLAINTEXT").as(encrypts ? "input" : "expected");
  kind.fields[at++] = recordField("KEY").as("key");
  return kind;
}

/// The note of a cipher test's failure: "got = <operation> computed by the cipher".
std::string cipherNote(const KatRecord& record);

template <class K>
std::optional<quillon::IV<K>> readIV(quillon::ByteView bytes) {
  auto read = quillon::IV<K>::get(bytes);
  auto* done = std::get_if<quillon::Done<quillon::IV<K>>>(&read);
  if (done == nullptr) return std::nullopt;
  return std::move(done->value);
}

template <class K>
std::optional<KatSkip> checkCipherField(const KatRecord& record, const KatField& field) {
  if (field.name != "iv" || readIV<K>(record.bytes("iv"))) return std::nullopt;
  return KatSkip{"IV does not deserialise"};
}

template <class K>
std::optional<KatSkip> admitCipherKey(const KatRecord& record) {
  const quillon::ByteString key = record.bytes("key");
  if (K::buildKey(key)) return std::nullopt;
  return keyRefused(key.size());
}

template <class K, CipherOperation<K> Operation>
void runCipherTest(const KatRecord& record) {
  const quillon::ByteString keyBytes = record.bytes("key");
  const std::optional<K> key = K::buildKey(keyBytes);
  if (!key) throwKeyRefused(record, keyBytes.size());
  std::optional<quillon::IV<K>> iv;
  if (record.has("iv") && !(iv = readIV<K>(record.bytes("iv"))))
    throw std::logic_error(record.suite() + ": IV<K>::get refused the IV of " + record.origin() +
                           " it read while the list was built");
  const quillon::ByteString input = record.bytes("input");
  const quillon::ByteString expected = record.bytes("expected");
  const quillon::ByteString computed = Operation(CipherCall<K>{*key, iv ? &*iv : nullptr, input, record});
  if (computed != expected)
    failKnownAnswer(record, "expected", expected.view(), {computed.view()},
                    static_cast<std::size_t>(K::blockSize() / 8));
}

template <class K, CipherOperation<K> Operation>
constexpr KatFamily cipherFamily(KeyCheck keys) {
  return {&checkCipherField<K>, keys == KeyCheck::whileListing ? &admitCipherKey<K> : nullptr,
          &runCipherTest<K, Operation>, &cipherNote};
}

/// The known-answer tests of `layout` for K, in the order of the selection.
template <class K, CipherOperation<K> Operation>
std::vector<Test> makeCipherKatTests(const KatLayout& layout, const SourceLocation& where,
                                     KeyCheck keys = KeyCheck::whileListing, std::size_t reserveExtra = 0) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  return makeKatTests(layout, cipherFamily<K, Operation>(keys), where, reserveExtra);
}

/// What makeCipherKatTests would take from each vector file, and why it
/// skips what it skips. Builds no tests.
template <class K>
SuiteDiagnostics diagnoseCipherKat(const KatLayout& layout, KeyCheck keys = KeyCheck::whileListing) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  return diagnoseKat(layout, cipherFamily<K, &modeOperation<K>>(keys));
}

/// A block-cipher suite: its known-answer tests, then the two property groups.
template <class K, CipherOperation<K> Operation>
std::vector<Test> makeCipherSuite(const KatLayout& layout, const SourceLocation& where,
                                  KeyCheck keys = KeyCheck::whileListing) {
  std::vector<Test> tests = makeCipherKatTests<K, Operation>(layout, where, keys, 2);
  for (Test& group : makeBlockCipherPropTests<K>(where)) tests.push_back(std::move(group));
  return tests;
}

}  // namespace detail

}  // namespace quillon_tests
