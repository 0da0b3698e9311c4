#pragma once
// Known-answer suites for block-cipher modes and MACs, for any
// quillon::BlockCipher:
//
//   makeAESCTRTests<K>()    "Test/KAT_AES_CTR": every file; the direction of
//       each category from its header, [ENCRYPT] (ctr(KEY, IV, PLAINTEXT) =
//       CIPHERTEXT) or [DECRYPT] (unCtr(KEY, IV, CIPHERTEXT) = PLAINTEXT).
//       The IV is the initial counter block.
//   makeAESMonteTests<K>()  "Test/KAT_AES_MCT": files named ECBMCT*, CBCMCT*,
//       CFB128MCT*, OFBMCT*, direction from the category header. Each record
//       gives one test: 1000 chained operations from the record's own KEY,
//       IV and input must end in its output (see monteCarloOutput). The
//       chain runs through encryptBlock/decryptBlock for ECB and through the
//       mode function one block per call, carrying the returned IV, for the
//       others: an IV handed back wrongly after many calls shows here.
//   makeCMACTests<K>()      "Test/KAT_CMAC", files named CMACGenAES*
//   makeTwoFishCMACTests<K>()  the same directory, files named CMACGenTwofish*
//       Records Count, Mlen, Tlen, Key, Msg, Mac (NIST's CMACGen layout): the
//       first Tlen bytes of quillon::cmac(Key, first Mlen bytes of Msg) must
//       be the first Tlen bytes of Mac (NIST writes an empty message as
//       "Msg = 00").
//
// Records are selected as in the AES suite: a record lacking a field, whose
// IV does not deserialise or whose key K::buildKey refuses is skipped, so a
// binding runs the key sizes it accepts. Tests are named
// "<file stem>-<COUNT>" ("<file stem>-<Count>" for CMAC). A failure shows the
// vector's value as expected and the implementation's output as got, and
// names the vector file and record. diagnoseAESCTRVectors<K>() and the
// others run the same selection and report, per file, what it gave and why.
//
// makeCMACPropTests<K>(): a group with one property,
// "CMACMatchesGenericConstruction": quillon::cmac (K's own member when it has one) equals the generic
// construction over K's encryptBlock, on random keys and messages of every
// length around whole blocks.

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/cmac.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>
#include <quillon_tests/detail/mode_kat.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

/// The vectors one builder selected, with K's keys and IVs; shared by all
/// its tests.
template <class K>
struct ModeKatData {
  struct File {
    std::string path;
    std::string namePrefix;             // "<file stem>-"
    std::shared_ptr<const void> owner;  // the vector file the texts point into
  };
  struct Case {
    K key;
    std::optional<quillon::IV<K>> iv;
    ModeKatRecord record;
    const File* file;
  };
  ModeKatSuite suite;
  std::deque<File> files;  // a deque: cases point into it while it grows
  std::vector<Case> cases;
};

template <class K>
void runModeKatTest(ModeKatSuite suite, const typename ModeKatData<K>::Case& test,
                    const std::string& testName) {
  const ModeKatRecord& record = test.record;
  const quillon::ByteString input = hexStringToBS(record.input);
  quillon::ByteString expected = hexStringToBS(record.expected);
  quillon::ByteString computed;
  switch (suite) {
    case ModeKatSuite::aesCtr:
      computed = (record.encrypt ? quillon::ctr(test.key, *test.iv, input)
                                 : quillon::unCtr(test.key, *test.iv, input)).first;
      break;
    case ModeKatSuite::aesMonte:
      computed = monteCarloOutput(test.key, record.mode, record.encrypt, test.iv, input);
      break;
    case ModeKatSuite::cmacAes:
    case ModeKatSuite::cmacTwoFish:
      if (input.size() < record.messageBytes)
        throw std::invalid_argument("Msg holds " + std::to_string(input.size()) + " bytes, Mlen says " +
                                    std::to_string(record.messageBytes));
      computed = truncatedCmac(test.key, input.view().first(record.messageBytes), record.tagBytes);
      expected = expected.take(record.tagBytes);
      break;
  }
  checkModeKnownAnswer(expected, computed, testName, test.file->path, record.record,
                       modeKatOperation(suite, record), K::blockSize());
}

template <class K, bool Build>
class ModeKatSelection final : public ModeKatSink {
 public:
  explicit ModeKatSelection(ModeKatSuite suite) {
    if constexpr (Build) data_->suite = suite;
  }
  void startFile(const std::string& path, const std::shared_ptr<const void>& owner) override {
    if constexpr (Build) {
      std::string namePrefix(fileStemOf(path));
      namePrefix += '-';
      data_->files.push_back({path, std::move(namePrefix), owner});
    }
  }
  bool acceptIV(quillon::ByteView bytes) override {
    auto read = quillon::IV<K>::get(bytes);
    auto* done = std::get_if<quillon::Done<quillon::IV<K>>>(&read);
    if (done == nullptr) return false;
    if constexpr (Build) iv_.emplace(std::move(done->value));
    return true;
  }
  bool acceptKey(quillon::ByteView bytes) override {
    key_ = K::buildKey(bytes);
    return key_.has_value();
  }
  void add(ModeKatRecord&& record) override {
    if constexpr (Build) data_->cases.push_back({std::move(*key_), std::move(iv_), record, &data_->files.back()});
    key_.reset();
    iv_.reset();
  }

  std::vector<Test> tests() && {
    std::vector<Test> tests;
    tests.reserve(data_->cases.size());
    for (const auto& test : data_->cases) {
      std::string name = test.file->namePrefix;
      name.append(test.record.name);
      std::shared_ptr<const typename ModeKatData<K>::Case> shared(data_, &test);
      const ModeKatSuite suite = data_->suite;
      tests.push_back(testCase(name, [shared, suite, name] { runModeKatTest<K>(suite, *shared, name); }));
    }
    return tests;
  }

 private:
  std::shared_ptr<ModeKatData<K>> data_ = Build ? std::make_shared<ModeKatData<K>>() : nullptr;
  std::optional<K> key_;
  std::optional<quillon::IV<K>> iv_;
};

template <class K>
std::vector<Test> makeModeKatTests(ModeKatSuite suite) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  ModeKatSelection<K, true> selection(suite);
  collectModeKatVectors(suite, selection, nullptr);
  return std::move(selection).tests();
}

template <class K>
SuiteDiagnostics diagnoseModeKat(ModeKatSuite suite) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  SuiteDiagnostics diagnostics;
  diagnostics.suite = modeKatSuiteName(suite);
  ModeKatSelection<K, false> selection(suite);
  collectModeKatVectors(suite, selection, &diagnostics);
  return diagnostics;
}

}  // namespace detail

/// The CTR known-answer tests for K.
template <class K>
std::vector<Test> makeAESCTRTests() {
  return detail::makeModeKatTests<K>(detail::ModeKatSuite::aesCtr);
}
template <class K>
std::vector<Test> makeAESCTRTests(const K& /*witness*/) {
  return makeAESCTRTests<K>();
}

/// The AES Monte Carlo tests for K.
template <class K>
std::vector<Test> makeAESMonteTests() {
  return detail::makeModeKatTests<K>(detail::ModeKatSuite::aesMonte);
}
template <class K>
std::vector<Test> makeAESMonteTests(const K& /*witness*/) {
  return makeAESMonteTests<K>();
}

/// The AES-CMAC known-answer tests for K.
template <class K>
std::vector<Test> makeCMACTests() {
  return detail::makeModeKatTests<K>(detail::ModeKatSuite::cmacAes);
}
template <class K>
std::vector<Test> makeCMACTests(const K& /*witness*/) {
  return makeCMACTests<K>();
}

/// The TwoFish-CMAC known-answer tests for K.
template <class K>
std::vector<Test> makeTwoFishCMACTests() {
  return detail::makeModeKatTests<K>(detail::ModeKatSuite::cmacTwoFish);
}
template <class K>
std::vector<Test> makeTwoFishCMACTests(const K& /*witness*/) {
  return makeTwoFishCMACTests<K>();
}

/// A group "CMAC property" with the leaf "CMACMatchesGenericConstruction":
/// quillon::cmac (K's own member when it has one) against the generic
/// construction over K's encryptBlock, on random keys and on messages of
/// 0 to 5 blocks give or take a byte.
template <class K>
Test makeCMACPropTests() {
  static_assert(quillon::diagnoseBlockCipher<K>());
  return testGroup("CMAC property", {testProperty("CMACMatchesGenericConstruction", [] {
    const auto blockBytes = K::blockSize() / 8;
    const auto keyBytes = *rc::gen::container<std::vector<quillon::Byte>>(
        static_cast<std::size_t>(K::keyLength() / 8), rc::gen::arbitrary<quillon::Byte>());
    const std::optional<K> key = K::buildKey(keyBytes);
    RC_PRE(key.has_value());
    const int length = std::max(0, *rc::gen::inRange(0, 6) * blockBytes + *rc::gen::inRange(-1, 2));
    const auto message = *rc::gen::container<std::vector<quillon::Byte>>(
        static_cast<std::size_t>(length), rc::gen::arbitrary<quillon::Byte>());
    RC_ASSERT(quillon::cmac(*key, message) == quillon::detail::genericCmac(*key, message));
  })});
}
template <class K>
Test makeCMACPropTests(const K& /*witness*/) {
  return makeCMACPropTests<K>();
}

template <class K>
SuiteDiagnostics diagnoseAESCTRVectors() {
  return detail::diagnoseModeKat<K>(detail::ModeKatSuite::aesCtr);
}
template <class K>
SuiteDiagnostics diagnoseAESMonteVectors() {
  return detail::diagnoseModeKat<K>(detail::ModeKatSuite::aesMonte);
}
template <class K>
SuiteDiagnostics diagnoseCMACVectors() {
  return detail::diagnoseModeKat<K>(detail::ModeKatSuite::cmacAes);
}
template <class K>
SuiteDiagnostics diagnoseTwoFishCMACVectors() {
  return detail::diagnoseModeKat<K>(detail::ModeKatSuite::cmacTwoFish);
}

}  // namespace quillon_tests
