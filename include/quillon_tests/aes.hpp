#pragma once
// The AES known-answer suite: NIST AESVS response files under "Test/KAT_AES"
// of the data directory, for any quillon::BlockCipher.
//
// makeAESTests<K>() reads every file of the directory in listing order. A
// file's kind comes from its name N alone: the first three characters of N
// followed by the last character of N's stem (N without its final
// extension). The eight kinds and what their tests compute:
//   "ECBe"  encryptBlock(KEY, PLAINTEXT) = CIPHERTEXT   (the whole text)
//   "ECBd"  decryptBlock(KEY, CIPHERTEXT) = PLAINTEXT
//   "CBCe"  cbc(KEY, IV, PLAINTEXT)  "CBCd" unCbc(KEY, IV, CIPHERTEXT)
//   "CFBe"  cfb(KEY, IV, PLAINTEXT)  "CFBd" unCfb(KEY, IV, CIPHERTEXT)
//   "OFBe"  ofb(KEY, IV, PLAINTEXT)  "OFBd" unOfb(KEY, IV, CIPHERTEXT)
// (of the IV modes only the output is compared; each record starts from its
// own IV). A CFB kind counts only when N contains "CFB128": CFB is
// full-block feedback. Any other name, also one whose stem is empty
// (".hidden"), gives no tests.
//
// Every record of every category of a file is taken under that file's own
// name and kind, in order. A record gives the test "<N>-<COUNT>" unless it
// is skipped, silently, by the first of these that fails:
//   1. IV kinds: "IV" present, and IV<K>::get reads an IV from its bytes;
//   2. "COUNT", "CIPHERTEXT", "PLAINTEXT" and "KEY" present;
//   3. K::buildKey accepts the bytes of "KEY".
// So a cipher sees only the vectors of the key sizes it accepts. The IV and
// key are decoded and built while the list is built (a malformed hex IV or
// key ends the builder with HexDecodeError); PLAINTEXT and CIPHERTEXT are
// decoded, and the cipher is called, only when the test runs, so a malformed
// text fails only its own test. A failure names the vector file and record
// and the block of the first differing byte. The two block-cipher property
// groups follow the known-answer tests. I/O errors propagate (DataFileError).
//
// diagnoseAESVectors<K>() runs the same selection without building tests
// and says, per file, what it gave and why records were skipped.

#include <deque>
#include <memory>
#include <optional>
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
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

enum class AesFileKind { ecbEncrypt, ecbDecrypt, cbcEncrypt, cbcDecrypt, cfbEncrypt, cfbDecrypt,
                         ofbEncrypt, ofbDecrypt };

/// The key text of a file name: its first three characters (all of it when
/// shorter) and the last character of its stem. Nothing when the stem is
/// empty.
std::optional<std::string> aesKeyText(std::string_view fileName);

/// The kind a file name selects; nothing for a name of no supported kind.
std::optional<AesFileKind> aesFileKind(std::string_view fileName);

constexpr bool aesKindNeedsIV(AesFileKind kind) noexcept {
  return kind != AesFileKind::ecbEncrypt && kind != AesFileKind::ecbDecrypt;
}

/// An AES vector as selected while the list is built; the texts still hex,
/// views into the vector file that the sink was given with startFile.
struct AesVector {
  AesFileKind kind;
  std::string_view count;     // the record's "COUNT"; the test is "<file name>-<count>"
  std::string_view input;     // PLAINTEXT when the kind encrypts, else CIPHERTEXT
  std::string_view expected;  // the other one
  std::size_t record;         // position in its file, from 1
};

/// What the selection asks of the cipher under test, and where its result
/// goes. Before the records of a file of a supported kind the collector calls
/// startFile with the file's path and an owner that keeps the file's texts
/// alive; then for each record acceptIV (IV kinds only), acceptKey, and add
/// for a record that both accepted. A sink keeps the IV and key it built for
/// the add that follows.
class AesRecordSink {
 public:
  virtual void startFile(const std::string& path, const std::shared_ptr<const void>& owner) = 0;
  virtual bool acceptIV(quillon::ByteView bytes) = 0;
  virtual bool acceptKey(quillon::ByteView bytes) = 0;
  virtual void add(AesVector&& vector) = 0;

 protected:
  ~AesRecordSink() = default;
};

/// Loads "Test/KAT_AES" and runs the record selection over every file, each
/// file's categories under the file's own name and kind. With `diagnostics`
/// it also records, per file, what it held, gave and skipped, and why.
void collectAesVectors(AesRecordSink& sink, SuiteDiagnostics* diagnostics);

/// What a test of `kind` computes and compares with, for failure notes:
/// e.g. "cbc(KEY, IV, PLAINTEXT)" and "CIPHERTEXT".
std::string_view aesOperationText(AesFileKind kind) noexcept;
std::string_view aesExpectedField(AesFileKind kind) noexcept;

/// The selected vectors of one builder call with K's keys and IVs. All tests
/// share it: one allocation for the whole suite rather than one per test.
template <class K>
struct AesSuiteData {
  struct File {
    std::string path;
    std::string namePrefix;              // "<file name>-"
    std::shared_ptr<const void> owner;  // the vector file the cases' texts point into
  };
  struct Case {
    K key;
    std::optional<quillon::IV<K>> iv;
    AesVector vector;
    const File* file;
  };
  std::deque<File> files;  // a deque: cases point into it while it grows
  std::vector<Case> cases;
};

template <class K>
quillon::ByteString computeAes(const typename AesSuiteData<K>::Case& test, quillon::ByteView input) {
  const K& key = test.key;
  switch (test.vector.kind) {
    case AesFileKind::ecbEncrypt: return key.encryptBlock(input);
    case AesFileKind::ecbDecrypt: return key.decryptBlock(input);
    case AesFileKind::cbcEncrypt: return quillon::cbc(key, *test.iv, input).first;
    case AesFileKind::cbcDecrypt: return quillon::unCbc(key, *test.iv, input).first;
    case AesFileKind::cfbEncrypt: return quillon::cfb(key, *test.iv, input).first;
    case AesFileKind::cfbDecrypt: return quillon::unCfb(key, *test.iv, input).first;
    case AesFileKind::ofbEncrypt: return quillon::ofb(key, *test.iv, input).first;
    case AesFileKind::ofbDecrypt: return quillon::unOfb(key, *test.iv, input).first;
  }
  return {};
}

template <class K>
void runAesTest(const typename AesSuiteData<K>::Case& test) {
  const quillon::ByteString input = hexStringToBS(test.vector.input);
  const quillon::ByteString expected = hexStringToBS(test.vector.expected);
  checkCipherOutput(computeAes<K>(test, input), expected,
                    {test.file->namePrefix, test.vector.count, test.file->path, test.vector.record,
                     aesOperationText(test.vector.kind), aesExpectedField(test.vector.kind),
                     K::blockSize()});
}

/// Builds K's keys and IVs for the selection; `Build` says whether tests are
/// made or only the selection is run.
template <class K, bool Build>
class AesSelection final : public AesRecordSink {
 public:
  void startFile(const std::string& path, const std::shared_ptr<const void>& owner) override {
    if constexpr (Build) {
      std::string namePrefix(fileNameOf(path));
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
  void add(AesVector&& vector) override {
    if constexpr (Build) {
      const bool needsIV = aesKindNeedsIV(vector.kind);
      data_->cases.push_back({std::move(*key_), needsIV ? std::move(iv_) : std::nullopt,
                              std::move(vector), &data_->files.back()});
    }
    key_.reset();
    iv_.reset();
  }

  /// One test per selected vector, in order; each keeps the shared data alive.
  std::vector<Test> tests() && {
    std::vector<Test> tests;
    tests.reserve(data_->cases.size() + 2);
    for (const auto& test : data_->cases) {
      // Sized once: a copied prefix would grow again for the count.
      std::string name;
      name.reserve(test.file->namePrefix.size() + test.vector.count.size());
      name.append(test.file->namePrefix).append(test.vector.count);
      // Aliasing pointer: owns the whole data, points at this case.
      std::shared_ptr<const typename AesSuiteData<K>::Case> shared(data_, &test);
      tests.push_back(testCase(std::move(name), [shared] { runAesTest<K>(*shared); }));
    }
    return tests;
  }

 private:
  std::shared_ptr<AesSuiteData<K>> data_ = Build ? std::make_shared<AesSuiteData<K>>() : nullptr;
  std::optional<K> key_;
  std::optional<quillon::IV<K>> iv_;
};

}  // namespace detail

/// The AES known-answer tests for K, then makeBlockCipherPropTests<K>().
template <class K>
std::vector<Test> makeAESTests() {
  static_assert(quillon::diagnoseBlockCipher<K>());
  detail::AesSelection<K, true> selection;
  detail::collectAesVectors(selection, nullptr);
  std::vector<Test> tests = std::move(selection).tests();
  for (Test& group : makeBlockCipherPropTests<K>()) tests.push_back(std::move(group));
  return tests;
}

/// The same; `witness` only selects the cipher.
template <class K>
std::vector<Test> makeAESTests(const K& /*witness*/) {
  return makeAESTests<K>();
}

/// What makeAESTests<K>() would take from each vector file, and why it
/// skips what it skips. Builds no tests.
template <class K>
SuiteDiagnostics diagnoseAESVectors() {
  static_assert(quillon::diagnoseBlockCipher<K>());
  SuiteDiagnostics diagnostics;
  diagnostics.suite = "makeAESTests";
  detail::AesSelection<K, false> selection;
  detail::collectAesVectors(selection, &diagnostics);
  return diagnostics;
}

}  // namespace quillon_tests
