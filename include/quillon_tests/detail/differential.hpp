#pragma once
// The definitions of quillon_tests/differential.hpp.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/hmac.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_names.hpp>
#include <quillon/mode_table.hpp>
#include <quillon_tests/detail/block_cipher_cases.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/detail/mode_inputs.hpp>
#include <quillon_tests/detail/mode_runs.hpp>
#include <quillon_tests/differential.hpp>
#include <quillon_tests/generators.hpp>
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

/// Each function of `mode`, K's against R's, on the same input: the same.
template <class K, class R>
Test modeDifferentialProperty(quillon::Mode mode) {
  return testProperty(modeLabel(mode) + "MatchesReference", [mode](const quillon::ByteString& m) {
    if (!sameBlockSize<K, R>()) return false;
    const ModeInput input = *modeInputGen(blockBytesOf(K::blockSize()), quillon::takesPartialBlocks(mode));
    noteModeInput(input, false);
    const std::pair<K, R> keys = derivedKeys<K, R>(m);
    const auto ivs = derivedIVs<K, R>(input.ivMaterial);
    return everyModeFunction([&](quillon::Direction direction, auto lazy) {
      const auto function = pick(quillon::modeTable<K>.ivMode(mode, direction), lazy);
      const auto referenceFunction = pick(quillon::modeTable<R>.ivMode(mode, direction), lazy);
      return sameRun(quillon::modeFunctionName(mode, direction, lazy), referenceSource,
                     wholeRun(referenceFunction, keys.second, ivs.second, input), underTestSource,
                     wholeRun(function, keys.first, ivs.first, input));
    });
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
    const std::pair<K, R> keys = derivedKeys<K, R>(m);
    return everyModeFunction([&](quillon::Direction direction, auto lazy) {
      return sameRun(quillon::modeFunctionName(quillon::Mode::ecb, direction, lazy), referenceSource,
                     wholeRun(pick(quillon::modeTable<R>.ecb(direction), lazy), keys.second, input),
                     underTestSource, wholeRun(pick(quillon::modeTable<K>.ecb(direction), lazy), keys.first, input));
    });
  }));
  for (quillon::Mode mode : quillon::ivModes) leaves.push_back(modeDifferentialProperty<K, R>(mode));
  std::vector<Test> group;
  group.push_back(testGroup("Differential tests (block cipher)", std::move(leaves)));
  return group;
}

}  // namespace detail

template <class D, class R>
std::vector<Test> makeHashDifferentialTests(const SourceLocation& where) {
  return detail::locatedAt(detail::hashDifferentialTests<detail::CheckedDigest<D>, detail::CheckedDigest<R>>(),
                           where);
}

template <class D, class R>
std::vector<Test> makeHashDifferentialTests(const D& /*witness*/, const R& /*reference*/,
                                            const SourceLocation& where) {
  return detail::locatedAt(detail::hashDifferentialTests<detail::CheckedDigest<D>, detail::CheckedDigest<R>>(),
                           where);
}

template <class K, class R>
std::vector<Test> makeBlockCipherDifferentialTests(const SourceLocation& where) {
  return detail::locatedAt(
      detail::blockCipherDifferentialTests<detail::CheckedCipher<K>, detail::CheckedCipher<R>>(), where);
}

template <class K, class R>
std::vector<Test> makeBlockCipherDifferentialTests(const K& /*witness*/, const R& /*reference*/,
                                                   const SourceLocation& where) {
  return detail::locatedAt(
      detail::blockCipherDifferentialTests<detail::CheckedCipher<K>, detail::CheckedCipher<R>>(), where);
}

}  // namespace quillon_tests
