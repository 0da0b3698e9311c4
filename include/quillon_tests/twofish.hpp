#pragma once
// The TwoFish known-answer suite: the vector files under "Test/KAT_TWOFISH"
// of the data directory, for any quillon::BlockCipher.
//
// makeTwoFishTests<K>() reads every file of the directory in listing order.
// A file's kind is its stem (the file name without its final extension),
// compared exactly and case-sensitively:
//
//   stem     header  record fields          test computes              name
//   CBC_D_M  -       KEY IV CT PT I         unCbc(KEY, IV, CT) = PT    CBC-D-<I>
//   CBC_E_M  -       KEY IV CT PT I         cbc(KEY, IV, PT) = CT      CBC-E-<I>
//   ECB_D_M  -       KEY CT PT I            unEcb(KEY, CT) = PT        ECB-D-<I>
//   ECB_E_M  -       KEY CT PT I            ecb(KEY, PT) = CT          ECB-E-<I>
//   ECB_TLB  -       KEY CT PT I            ecb(KEY, PT) = CT          ECB-TLB-E-<I>
//   ECB_VK   PT      KEY CT I               ecb(KEY, PT) = CT          ECB-E-VK<I>
//   ECB_VT   KEY     PT CT I                ecb(KEY, PT) = CT          ECB-E-VT-<I>
//
// Each record of each category is one work item, looked up in its category's
// header properties first and then in the record, in the order listed; a
// missing field skips it silently. For the CBC kinds the IV is read with
// IV<K>::get as soon as "IV" is found, while the list is built, and an IV
// that does not read skips the record. Every other field is decoded, the key
// built with K::buildKey and the cipher called (once) only when the test
// runs. A key that buildKey refuses ends its test with KeyRefusedError. A
// file whose stem is none of the seven names and that holds records ends the
// builder with UnknownVectorFileKindError; without records it gives nothing.
// Test names are not made unique. A failure names the vector file and
// record and the block of the first differing byte. The two block-cipher
// property groups follow. I/O errors propagate (DataFileError).
//
// diagnoseTwoFishVectors<K>() runs the same selection without building tests.

#include <deque>
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
#include <quillon_tests/detail/block_cipher_kat.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// Raised by a TwoFish known-answer test whose key K::buildKey refuses.
/// what() names fromJust and its call site "./Test/TwoFish:93:14-22", then
/// the test, the key's length and the vector file.
class KeyRefusedError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Raised by makeTwoFishTests for a vector file that holds records but whose
/// stem is no known kind. what() begins with
/// "Test/TwoFish:(40,1)-(76,64)|function buildTestFunc" and names the file.
class UnknownVectorFileKindError : public std::runtime_error {
 public:
  UnknownVectorFileKindError(std::string path, std::string_view stem);
  [[nodiscard]] const std::string& path() const noexcept { return path_; }

 private:
  std::string path_;
};

namespace detail {

enum class TwoFishFileKind { cbcDecrypt, cbcEncrypt, ecbDecrypt, ecbEncrypt, ecbTable,
                             ecbVariableKey, ecbVariableText };

/// The kind a file stem names, or nothing.
std::optional<TwoFishFileKind> twoFishFileKind(std::string_view stem);

/// A TwoFish vector as selected while the list is built; the texts still hex,
/// views into the vector file that the sink was given with startFile.
struct TwoFishVector {
  TwoFishFileKind kind;
  std::string_view index;     // the record's "I"; the test is the kind's prefix and this
  std::string_view key;       // from the record, or the category header for ECB_VT
  std::string_view input;     // PT when the kind encrypts, else CT
  std::string_view expected;  // the other one
  std::size_t record;         // position in its file, from 1
};

/// Where the selection sends its results. Before the records of a file of a
/// known kind the collector calls startFile, with an owner that keeps the
/// file's texts alive; for the CBC kinds it calls acceptIV, and add when it
/// accepted. The sink keeps the IV for that add.
class TwoFishRecordSink {
 public:
  virtual void startFile(const std::string& path, const std::shared_ptr<const void>& owner) = 0;
  virtual bool acceptIV(quillon::ByteView bytes) = 0;
  virtual void add(TwoFishVector&& vector) = 0;

 protected:
  ~TwoFishRecordSink() = default;
};

/// What to do with a file of unknown kind that holds records.
enum class UnknownKind { fail, note };

/// Loads "Test/KAT_TWOFISH" and runs the selection over every file. With
/// `diagnostics` it also records, per file, what it held, gave and skipped.
/// A file of unknown kind with records throws UnknownVectorFileKindError, or,
/// with UnknownKind::note, is only noted in the diagnostics.
void collectTwoFishVectors(TwoFishRecordSink& sink, SuiteDiagnostics* diagnostics,
                           UnknownKind unknownKind);

/// The test name's prefix of `kind` (e.g. "ECB-E-VK"), what its test computes
/// and what it compares with, for names and failure notes.
std::string_view twoFishNamePrefix(TwoFishFileKind kind) noexcept;
std::string_view twoFishOperationText(TwoFishFileKind kind) noexcept;
std::string_view twoFishExpectedField(TwoFishFileKind kind) noexcept;

/// Throws KeyRefusedError for the test of `vector`.
[[noreturn]] void throwKeyRefused(const TwoFishVector& vector, std::string_view path,
                                  std::size_t keyBytes);

/// The selected vectors of one builder call, shared by all its tests.
template <class K>
struct TwoFishSuiteData {
  struct Case {
    std::optional<quillon::IV<K>> iv;
    TwoFishVector vector;
    const std::string* path;
  };
  std::deque<std::string> paths;  // a deque: cases point into it while it grows
  std::vector<std::shared_ptr<const void>> files;  // what the cases' texts point into
  std::vector<Case> cases;
};

template <class K>
quillon::ByteString computeTwoFish(const typename TwoFishSuiteData<K>::Case& test, const K& key,
                                   quillon::ByteView input) {
  switch (test.vector.kind) {
    case TwoFishFileKind::cbcDecrypt: return quillon::unCbc(key, *test.iv, input).first;
    case TwoFishFileKind::cbcEncrypt: return quillon::cbc(key, *test.iv, input).first;
    case TwoFishFileKind::ecbDecrypt: return quillon::unEcb(key, input);
    case TwoFishFileKind::ecbEncrypt:
    case TwoFishFileKind::ecbTable:
    case TwoFishFileKind::ecbVariableKey:
    case TwoFishFileKind::ecbVariableText: return quillon::ecb(key, input);
  }
  return {};
}

template <class K>
void runTwoFishTest(const typename TwoFishSuiteData<K>::Case& test) {
  const TwoFishVector& vector = test.vector;
  const quillon::ByteString keyBytes = hexStringToBS(vector.key);
  const std::optional<K> key = K::buildKey(keyBytes);
  if (!key) throwKeyRefused(vector, *test.path, keyBytes.size());
  const quillon::ByteString input = hexStringToBS(vector.input);
  const quillon::ByteString expected = hexStringToBS(vector.expected);
  checkCipherOutput(computeTwoFish<K>(test, *key, input), expected,
                    {twoFishNamePrefix(vector.kind), vector.index, *test.path, vector.record,
                     twoFishOperationText(vector.kind), twoFishExpectedField(vector.kind),
                     K::blockSize()});
}

template <class K, bool Build>
class TwoFishSelection final : public TwoFishRecordSink {
 public:
  void startFile(const std::string& path, const std::shared_ptr<const void>& owner) override {
    if constexpr (Build) {
      data_->paths.push_back(path);
      data_->files.push_back(owner);
    }
  }
  bool acceptIV(quillon::ByteView bytes) override {
    auto read = quillon::IV<K>::get(bytes);
    auto* done = std::get_if<quillon::Done<quillon::IV<K>>>(&read);
    if (done == nullptr) return false;
    if constexpr (Build) iv_.emplace(std::move(done->value));
    return true;
  }
  void add(TwoFishVector&& vector) override {
    if constexpr (Build)
      data_->cases.push_back({std::exchange(iv_, std::nullopt), std::move(vector), &data_->paths.back()});
    iv_.reset();
  }

  /// One test per selected vector, in order; each keeps the shared data alive.
  std::vector<Test> tests() && {
    std::vector<Test> tests;
    tests.reserve(data_->cases.size() + 2);
    for (const auto& test : data_->cases) {
      const std::string_view prefix = twoFishNamePrefix(test.vector.kind);
      std::string name;
      name.reserve(prefix.size() + test.vector.index.size());
      name.append(prefix).append(test.vector.index);
      // Aliasing pointer: owns the whole data, points at this case.
      std::shared_ptr<const typename TwoFishSuiteData<K>::Case> shared(data_, &test);
      tests.push_back(testCase(std::move(name), [shared] { runTwoFishTest<K>(*shared); }));
    }
    return tests;
  }

 private:
  std::shared_ptr<TwoFishSuiteData<K>> data_ = Build ? std::make_shared<TwoFishSuiteData<K>>() : nullptr;
  std::optional<quillon::IV<K>> iv_;
};

}  // namespace detail

/// The TwoFish known-answer tests for K, then makeBlockCipherPropTests<K>().
template <class K>
std::vector<Test> makeTwoFishTests() {
  static_assert(quillon::diagnoseBlockCipher<K>());
  detail::TwoFishSelection<K, true> selection;
  detail::collectTwoFishVectors(selection, nullptr, detail::UnknownKind::fail);
  std::vector<Test> tests = std::move(selection).tests();
  for (Test& group : makeBlockCipherPropTests<K>()) tests.push_back(std::move(group));
  return tests;
}

/// The same; `witness` only selects the cipher.
template <class K>
std::vector<Test> makeTwoFishTests(const K& /*witness*/) {
  return makeTwoFishTests<K>();
}

/// What makeTwoFishTests<K>() would take from each vector file, and why it
/// skips what it skips. Builds no tests; a file of unknown kind that holds
/// records (which makes the builder fail) is noted and the rest still read.
template <class K>
SuiteDiagnostics diagnoseTwoFishVectors() {
  static_assert(quillon::diagnoseBlockCipher<K>());
  SuiteDiagnostics diagnostics;
  diagnostics.suite = "makeTwoFishTests";
  detail::TwoFishSelection<K, false> selection;
  detail::collectTwoFishVectors(selection, &diagnostics, detail::UnknownKind::note);
  return diagnostics;
}

}  // namespace quillon_tests
