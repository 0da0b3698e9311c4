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
// suite whose kinds are single calls of the API (encryptBlock, ecb, unCbc,
// ..., ctr) takes modeOperation, with ModeCall codes as the kinds' codes.
// makeCipherKatTests<K, &operation<K>>(layout, where) builds its tests and
// diagnoseCipherKat<K>(layout) lists its selection; K is the checked type
// of the public builder (detail/checked_types.hpp).
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
#include <quillon/mode_names.hpp>
#include <quillon/mode_table.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/detail/kat_selection.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/errors.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests::detail {

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

/// One call of the block-cipher API, as the code of a kind whose tests
/// each make one: the mode function of `mode` in `direction` (ecb, unCbc,
/// ctr, ...) or, with `blockFunction`, encryptBlock / decryptBlock
/// themselves.
struct ModeCall {
  quillon::Mode mode = quillon::Mode::ecb;
  quillon::Direction direction = quillon::Direction::encrypt;
  bool blockFunction = false;

  [[nodiscard]] constexpr int code() const noexcept {
    return static_cast<int>(quillon::modeFunctionIndex(mode, direction) * 2) + (blockFunction ? 1 : 0);
  }
  [[nodiscard]] static constexpr ModeCall of(int code) noexcept {
    const auto function = static_cast<std::size_t>(code / 2);
    return {static_cast<quillon::Mode>(function / 2), static_cast<quillon::Direction>(function % 2), code % 2 == 1};
  }
  friend constexpr bool operator==(const ModeCall&, const ModeCall&) = default;
};

/// The output of `call` on `input`, from *iv for a mode that takes an IV
/// (the IV it returns is dropped).
template <class K>
quillon::ByteString runModeCall(ModeCall call, const K& key, const quillon::IV<K>* iv, quillon::ByteView input) {
  if (call.blockFunction)
    return call.direction == quillon::Direction::encrypt ? key.encryptBlock(input) : key.decryptBlock(input);
  if (!quillon::takesIV(call.mode)) return quillon::modeTable<K>.ecb(call.direction).strict(key, input);
  return quillon::modeTable<K>.ivMode(call.mode, call.direction).strict(key, *iv, input).first;
}

/// The operation for suites whose kinds are each one call of the API (the
/// kind's code a ModeCall's): the output of that call on the input, from
/// the record's own IV.
template <class K>
quillon::ByteString modeOperation(const CipherCall<K>& call) {
  return runModeCall(ModeCall::of(call.kind()), call.key, call.iv, call.input);
}

/// A kind of NIST's AESVS record layout (COUNT, KEY, IV, PLAINTEXT,
/// CIPHERTEXT) whose code is `call`: looked up IV first when the call takes
/// one, then COUNT, CIPHERTEXT, PLAINTEXT and KEY. Encrypting kinds take
/// PLAINTEXT as input and CIPHERTEXT as expected, decrypting kinds the other
/// way round. Named by COUNT.
constexpr KatKind aesvsKind(std::string_view label, ModeCall call, std::string_view operation) {
  const bool encrypts = call.direction == quillon::Direction::encrypt;
  const bool hasIV = !call.blockFunction && quillon::takesIV(call.mode);
  KatKind kind{.label = label, .operation = operation, .code = call.code()};
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

template <class K, CipherOperation<K> Operation>
void runCipherTest(const KatRecord& record) {
  const K key = recordKey<K>(record, record.bytes("key"));
  std::optional<quillon::IV<K>> iv;
  if (record.has("iv") && !(iv = readIV<K>(record.bytes("iv"))))
    throw std::logic_error(record.suite() + ": IV<K>::get refused the IV of " + record.origin() +
                           " it read while the list was built");
  const quillon::ByteString input = record.bytes("input");
  const quillon::ByteString expected = record.bytes("expected");
  const quillon::ByteString computed = Operation(CipherCall<K>{key, iv ? &*iv : nullptr, input, record});
  if (computed != expected)
    failKnownAnswer(record, "expected", expected.view(), {computed.view()},
                    static_cast<std::size_t>(K::blockSize() / 8));
}

template <class K, CipherOperation<K> Operation>
constexpr KatFamily cipherFamily(KeyCheck keys) {
  return {&checkCipherField<K>, keys == KeyCheck::whileListing ? &refusedKey<K> : nullptr,
          &runCipherTest<K, Operation>, &cipherNote};
}

/// The known-answer tests of `layout` for K, in the order of the selection.
template <class K, CipherOperation<K> Operation>
std::vector<Test> makeCipherKatTests(const KatLayout& layout, const SourceLocation& where,
                                     KeyCheck keys = KeyCheck::whileListing, std::size_t reserveExtra = 0) {
  return makeKatTests(layout, cipherFamily<K, Operation>(keys), where, reserveExtra);
}

/// What makeCipherKatTests would take from each vector file, and why it
/// skips what it skips. Builds no tests.
template <class K>
SuiteDiagnostics diagnoseCipherKat(const KatLayout& layout, KeyCheck keys = KeyCheck::whileListing) {
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

}  // namespace quillon_tests::detail
