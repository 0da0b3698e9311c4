#pragma once
// The block-cipher family of known-answer suites: the record selection of
// kat_selection.hpp with the cipher's keys and IVs built while the list is
// built, and the test that runs one vector and reports a wrong output.
//
// A suite gives its KatLayout and one function template
//   quillon::ByteString operation(const CipherCall<K>& call)
// computing the kind's operation (call.kind() is the kind's code) on
// call.input with call.key and, for kinds with an IV field, *call.iv. A
// suite whose kinds are single calls of the API (ecb, cbc, ..., ctr) takes
// modeOperation, with CipherMode values as the kinds' codes.
// makeCipherSuite<K, &operation<K>>(layout) builds its tests (the property
// groups appended; makeCipherKatTests without them) and
// diagnoseCipherSuite<K>(layout) lists its selection.

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/detail/kat_selection.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// Raised by a known-answer test whose key the cipher's buildKey refuses,
/// in a suite that builds keys when the test runs. what() names the suite,
/// the test, the key's length and the vector file and record.
class KeyRefusedError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

namespace detail {

/// What a test gives the suite's operation.
template <class K>
struct CipherCall {
  const K& key;
  const quillon::IV<K>* iv;  // null for a kind without an IV field
  quillon::ByteView input;
  const SelectedRecord& record;

  [[nodiscard]] int kind() const noexcept { return record.kind->code; }
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
/// and CIPHERTEXT as expected, decrypting kinds the other way round.
constexpr KatKind aesvsKind(std::string_view label, bool encrypts, bool hasIV, std::string_view operation,
                            int code) {
  KatKind kind{label, {}, 0, operation, encrypts ? "CIPHERTEXT" : "PLAINTEXT", {}, code};
  if (hasIV) kind.fields[kind.fieldCount++] = recordField("IV", FieldRole::iv);
  kind.fields[kind.fieldCount++] = recordField("COUNT", FieldRole::name);
  kind.fields[kind.fieldCount++] = recordField("CIPHERTEXT", encrypts ? FieldRole::expected : FieldRole::input);
  kind.fields[kind.fieldCount++] = recordField("PLAINTEXT", encrypts ? FieldRole::input : FieldRole::expected);
  kind.fields[kind.fieldCount++] = recordField("KEY", FieldRole::key);
  return kind;
}

/// What a report says about a failed known-answer test besides the values.
/// Only views: the text is put together when a test fails, not before.
struct CipherCheck {
  std::string_view name;
  /// The vector file and the record's position in it (from 1, across the
  /// file's categories).
  std::string_view path;
  std::size_t record;
  std::size_t line;  // where the record starts in the file, from 1
  /// What the cipher computed and what the vector gives, e.g.
  /// "cbc(KEY, IV, PLAINTEXT)" and "CIPHERTEXT".
  std::string_view operation;
  std::string_view expectedField;
  int blockSizeBits;
};

/// Passes when `computed` equals `expected`. Otherwise fails through
/// assertEqual(test name, expected, computed, note): the vector's value is
/// the expected one and the cipher's output the one it got, as in every
/// known-answer suite. The note names the vector file and record, says what
/// each value is, and gives the first differing byte and the block it lies
/// in.
void checkCipherOutput(const quillon::ByteString& computed, const quillon::ByteString& expected,
                       const CipherCheck& check);

/// Throws KeyRefusedError for the test of `test`.
[[noreturn]] void throwKeyRefused(const KatSuiteInfo& suite, std::string_view testName,
                                  std::string_view path, std::size_t record, std::size_t keyBytes);

/// The key and IV a case holds from the listing.
template <class K>
struct CipherCaseState {
  std::optional<K> key;  // empty when keys are built as the test runs
  std::optional<quillon::IV<K>> iv;
};

template <class K, CipherOperation<K> Operation>
void runCipherTest(const KatCase<CipherCaseState<K>>& test) {
  const SelectedRecord& record = test.record;
  std::optional<K> builtNow;
  const K* key = test.extra.key ? &*test.extra.key : nullptr;
  if (key == nullptr) {
    const quillon::ByteString keyBytes = hexStringToBS(record.value(FieldRole::key));
    builtNow = K::buildKey(keyBytes);
    if (!builtNow) throwKeyRefused(*test.file->suite, test.name(), test.file->path, record.record, keyBytes.size());
    key = &*builtNow;
  }
  const quillon::ByteString input = hexStringToBS(record.value(FieldRole::input));
  const quillon::ByteString expected = hexStringToBS(record.value(FieldRole::expected));
  const quillon::IV<K>* iv = test.extra.iv ? &*test.extra.iv : nullptr;
  const quillon::ByteString computed = Operation(CipherCall<K>{*key, iv, input, record});
  if (computed == expected) return;
  const std::string name = test.name();
  checkCipherOutput(computed, expected,
                    {name, test.file->path, record.record, record.line, record.kind->operation,
                     record.kind->expectedField, K::blockSize()});
}

/// The sink of a cipher suite: reads IVs with IV<K>::get and builds keys
/// with K::buildKey; with Build false it only answers, for diagnostics.
template <class K, bool Build>
class CipherKatSelection final : public KatCollector<CipherCaseState<K>> {
 public:
  explicit CipherKatSelection(const KatLayout& layout) : KatCollector<CipherCaseState<K>>(layout) {}

  bool acceptIV(quillon::ByteView bytes) override {
    auto read = quillon::IV<K>::get(bytes);
    auto* done = std::get_if<quillon::Done<quillon::IV<K>>>(&read);
    if (done == nullptr) return false;
    if constexpr (Build) state_.iv.emplace(std::move(done->value));
    return true;
  }
  bool acceptKey(quillon::ByteView bytes) override {
    state_.key = K::buildKey(bytes);
    const bool accepted = state_.key.has_value();
    if constexpr (!Build) state_.key.reset();
    return accepted;
  }
  void add(SelectedRecord&& record) override {
    if constexpr (Build) KatCollector<CipherCaseState<K>>::add(std::move(record));
    state_ = {};
  }

 private:
  CipherCaseState<K> takeExtra() override { return std::exchange(state_, {}); }
  CipherCaseState<K> state_;
};

/// The known-answer tests of `layout` for K, in the order of the selection.
template <class K, CipherOperation<K> Operation>
std::vector<Test> makeCipherKatTests(const KatLayout& layout, std::size_t reserveExtra = 0) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  CipherKatSelection<K, true> selection(layout);
  selectKatRecords(layout, selection, nullptr);
  return katTests<&runCipherTest<K, Operation>>(selection.data(), reserveExtra);
}

/// What makeCipherKatTests would take from each vector file, and why it
/// skips what it skips. Builds no tests.
template <class K>
SuiteDiagnostics diagnoseCipherKat(const KatLayout& layout) {
  SuiteDiagnostics diagnostics;
  diagnostics.suite = layout.suite;
  CipherKatSelection<K, false> selection(layout);
  selectKatRecords(layout, selection, &diagnostics);
  return diagnostics;
}

/// A block-cipher suite: its known-answer tests, then the two property groups.
template <class K, CipherOperation<K> Operation>
std::vector<Test> makeCipherSuite(const KatLayout& layout) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  std::vector<Test> tests = makeCipherKatTests<K, Operation>(layout, 2);
  for (Test& group : makeBlockCipherPropTests<K>()) tests.push_back(std::move(group));
  return tests;
}

template <class K>
SuiteDiagnostics diagnoseCipherSuite(const KatLayout& layout) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  return diagnoseCipherKat<K>(layout);
}

}  // namespace detail

}  // namespace quillon_tests
