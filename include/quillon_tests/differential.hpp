#pragma once
// Differential suites: an implementation under test against a trusted
// reference binding of the same algorithm, on the same random inputs. This
// is how a binding of one's own is checked against OpenSSL's in one line:
//
//   registerTests("MyAES", makeBlockCipherDifferentialTests<MyAES128, quillon::openssl::AES128>());
//
// Every report gives the reference's value as "expected" and the
// implementation's as "actual", and names the case's inputs: "message",
// "HMAC key", "key" (the bytes given to both buildKeys), "IV", "chunk
// cuts". The groups and their properties are located at the builder's call.
//
// makeHashDifferentialTests<D, R>(): group "Differential tests (hash)":
//   "HashMatchesReference": hash over random chunks and hashStrict of the
//     same bytes encode as R's do.
//   "HMACMatchesReference": hmac and hmacStrict (quillon::hmac, so each
//     type's own HMAC when it has one) with keys shorter than, as long as and
//     longer than D's block, as R's.
// makeBlockCipherDifferentialTests<K, R>(): group "Differential tests (block
// cipher)":
//   "BuildKeyMatchesReference": buildKey accepts exactly the key bytes R's
//     buildKey accepts (lengths either commonly takes or just misses, and
//     any length up to 64 bytes).
//   "ECBMatchesReference", "CBCMatchesReference", "CFBMatchesReference",
//   "OFBMatchesReference", "CTRMatchesReference": every mode function,
//     strict and lazy, encryption and decryption, gives R's output and R's
//     returned IV. Keys are derived as in makeBlockCipherPropTests for K's
//     keyLength() and given to both (a case either refuses is discarded);
//     IVs and messages are the mode inputs of makeModeConsistencyTests.

#include <string>
#include <utility>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/hmac.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>
#include <quillon_tests/detail/block_cipher_cases.hpp>
#include <quillon_tests/detail/mode_inputs.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/detail/mode_runs.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

inline constexpr const char* referenceSource = "the reference";
inline constexpr const char* underTestSource = "the implementation under test";

template <class D, class R>
std::vector<Test> hashDifferentialTests() {
  using quillon::ByteString;
  using quillon::LazyByteString;
  std::vector<Test> leaves;
  leaves.push_back(testProperty("HashMatchesReference", [](const LazyByteString& x) {
    noteMessage("message", x);
    const ByteString contiguous = x.toStrict();
    return sameRun("hash over " + std::to_string(x.chunks().size()) + " chunks", referenceSource,
                   {R::hash(x).encode(), {}}, underTestSource, {D::hash(x).encode(), {}}) &&
           sameRun("hashStrict", referenceSource, {R::hashStrict(contiguous).encode(), {}},
                   underTestSource, {D::hashStrict(contiguous).encode(), {}});
  }));
  leaves.push_back(testProperty("HMACMatchesReference", [](const LazyByteString& x) {
    noteMessage("message", x);
    const ByteString key = *hmacKeyGen(blockBytesOf(D::blockLength()));
    noteBytes("HMAC key", key);
    const ByteString contiguous = x.toStrict();
    const std::string keyNote = " with a " + std::to_string(key.size()) + "-byte key";
    return sameRun("hmac" + keyNote, referenceSource, {quillon::hmac<R>(key, x).encode(), {}},
                   underTestSource, {quillon::hmac<D>(key, x).encode(), {}}) &&
           sameRun("hmacStrict" + keyNote, referenceSource,
                   {quillon::hmacStrict<R>(key, contiguous).encode(), {}}, underTestSource,
                   {quillon::hmacStrict<D>(key, contiguous).encode(), {}});
  }));
  std::vector<Test> group;
  group.push_back(testGroup("Differential tests (hash)", std::move(leaves)));
  return group;
}

/// The same key for both, derived for K's keyLength() and noted as the
/// case's "key"; discards the case when either refuses it.
template <class K, class R>
std::pair<K, R> derivedKeys(const quillon::ByteString& material) {
  const quillon::ByteString bytes = deriveKeyBytes(material, K::keyLength());
  noteBytes("key", bytes);
  std::optional<K> key = K::buildKey(bytes);
  std::optional<R> reference = R::buildKey(bytes);
  if (!key || !reference)
    RC_DISCARD("buildKey refused the key bytes derived from the key material");
  return {std::move(*key), std::move(*reference)};
}

template <class K, class R>
bool sameBlockSize() {
  if (K::blockSize() == R::blockSize()) return true;
  RC_LOG() << "the reference's blockSize() is " << R::blockSize()
           << " bits, the implementation's " << K::blockSize() << ": not the same algorithm\n";
  return false;
}

/// The IV both read from the same material, noted once.
template <class K, class R>
std::pair<quillon::IV<K>, quillon::IV<R>> derivedIVs(const quillon::ByteString& material) {
  quillon::IV<K> iv = derivedIV<K>(material);
  const auto read = quillon::IV<R>::get(material);
  const quillon::IV<R>* reference = quillon::doneValue(read);
  if (reference == nullptr) RC_DISCARD("IV::get could not read an IV from the IV material");
  return {std::move(iv), *reference};
}

template <class K, class R, class In, class OutK, class OutR>
bool sameAsReference(const std::string& name,
                     OutK (*function)(const K&, const quillon::IV<K>&, In),
                     OutR (*reference)(const R&, const quillon::IV<R>&, In),
                     const std::pair<K, R>& keys,
                     const std::pair<quillon::IV<K>, quillon::IV<R>>& ivs, const ModeInput& input) {
  const auto bytes = messageSlice<In>(input, 0, input.message.size());
  return sameRun(name, referenceSource, modeRun(reference(keys.second, ivs.second, bytes)),
                 underTestSource, modeRun(function(keys.first, ivs.first, bytes)));
}

template <class K, class R>
Test modeDifferentialProperty(std::string name, IVModeFunctions<K> mode,
                              IVModeFunctions<R> reference, bool partialBlocks) {
  return testProperty(std::move(name), [mode, reference,
                                         partialBlocks](const quillon::ByteString& m) {
    if (!sameBlockSize<K, R>()) return false;
    const ModeInput input = *modeInputGen(blockBytesOf(K::blockSize()), partialBlocks);
    noteModeInput(input, false);
    const std::pair<K, R> keys = derivedKeys<K, R>(m);
    const auto ivs = derivedIVs<K, R>(input.ivMaterial);
    const auto matches = [&](auto function, auto referenceFunction, bool decrypt, bool lazy) {
      return sameAsReference(modeFunctionName(mode.name, decrypt, lazy), function,
                             referenceFunction, keys, ivs, input);
    };
    return matches(mode.encrypt, reference.encrypt, false, false) &&
           matches(mode.decrypt, reference.decrypt, true, false) &&
           matches(mode.encryptLazy, reference.encryptLazy, false, true) &&
           matches(mode.decryptLazy, reference.decryptLazy, true, true);
  });
}

template <class K, class R>
std::vector<Test> blockCipherDifferentialTests() {
  using quillon::ByteString;
  std::vector<Test> leaves;
  leaves.push_back(testProperty("BuildKeyMatchesReference", [] {
    const auto likely = std::vector<std::size_t>{static_cast<std::size_t>(K::keyLength() / 8),
                                                 static_cast<std::size_t>(R::keyLength() / 8)};
    const ByteString bytes = *cipherKeyBytesGen(likely);
    noteBytes("key", bytes);
    const bool expected = R::buildKey(bytes).has_value();
    const bool actual = K::buildKey(bytes).has_value();
    if (expected == actual) return true;
    RC_LOG() << "buildKey of " << bytes.size() << " bytes: expected (" << referenceSource << ") "
             << (expected ? "accepts" : "refuses") << " them, actual (" << underTestSource << ") "
             << (actual ? "accepts" : "refuses") << " them\n";
    return false;
  }));
  leaves.push_back(testProperty("ECBMatchesReference", [](const ByteString& m) {
    if (!sameBlockSize<K, R>()) return false;
    const ModeInput input = *modeInputGen(blockBytesOf(K::blockSize()), false);
    noteModeInput(input, false);
    const auto [key, reference] = derivedKeys<K, R>(m);
    const ByteString& bytes = input.message;
    const quillon::LazyByteString chunks = chunkedSlice(input, 0, bytes.size());
    return sameRun("ecb", referenceSource, {quillon::ecb(reference, bytes), {}}, underTestSource,
                   {quillon::ecb(key, bytes), {}}) &&
           sameRun("unEcb", referenceSource, {quillon::unEcb(reference, bytes), {}},
                   underTestSource, {quillon::unEcb(key, bytes), {}}) &&
           sameRun("ecbLazy", referenceSource, {quillon::ecbLazy(reference, chunks).toStrict(), {}},
                   underTestSource, {quillon::ecbLazy(key, chunks).toStrict(), {}}) &&
           sameRun("unEcbLazy", referenceSource,
                   {quillon::unEcbLazy(reference, chunks).toStrict(), {}}, underTestSource,
                   {quillon::unEcbLazy(key, chunks).toStrict(), {}});
  }));
  leaves.push_back(modeDifferentialProperty<K, R>("CBCMatchesReference", cbcFunctions<K>,
                                                  cbcFunctions<R>, false));
  leaves.push_back(modeDifferentialProperty<K, R>("CFBMatchesReference", cfbFunctions<K>,
                                                  cfbFunctions<R>, true));
  leaves.push_back(modeDifferentialProperty<K, R>("OFBMatchesReference", ofbFunctions<K>,
                                                  ofbFunctions<R>, true));
  leaves.push_back(modeDifferentialProperty<K, R>("CTRMatchesReference", ctrFunctions<K>,
                                                  ctrFunctions<R>, true));
  std::vector<Test> group;
  group.push_back(testGroup("Differential tests (block cipher)", std::move(leaves)));
  return group;
}

}  // namespace detail

/// The group, located (with its properties) at the builder's call.
template <class D, class R>
std::vector<Test> makeHashDifferentialTests(const SourceLocation& where = SourceLocation::current()) {
  static_assert(quillon::diagnoseHash<D>());
  static_assert(quillon::diagnoseHash<R>());
  if constexpr (quillon::Hash<D> && quillon::Hash<R>) {
    return detail::locatedAt(detail::hashDifferentialTests<D, R>(), where);
  } else {
    return {};
  }
}

/// The same; the witnesses only select the types.
template <class D, class R>
std::vector<Test> makeHashDifferentialTests(const D& /*witness*/, const R& /*reference*/,
                                            const SourceLocation& where = SourceLocation::current()) {
  return makeHashDifferentialTests<D, R>(where);
}

/// The group, located (with its properties) at the builder's call.
template <class K, class R>
std::vector<Test> makeBlockCipherDifferentialTests(
    const SourceLocation& where = SourceLocation::current()) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  static_assert(quillon::diagnoseBlockCipher<R>());
  if constexpr (quillon::BlockCipher<K> && quillon::BlockCipher<R>) {
    return detail::locatedAt(detail::blockCipherDifferentialTests<K, R>(), where);
  } else {
    return {};
  }
}

/// The same; the witnesses only select the types.
template <class K, class R>
std::vector<Test> makeBlockCipherDifferentialTests(
    const K& /*witness*/, const R& /*reference*/,
    const SourceLocation& where = SourceLocation::current()) {
  return makeBlockCipherDifferentialTests<K, R>(where);
}

}  // namespace quillon_tests
