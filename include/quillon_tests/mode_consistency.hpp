#pragma once
// makeModeConsistencyTests: the mode bugs that known answers and round trips
// cannot see. A binding whose own CFB hands back the plaintext as the next
// IV, whose OFB never advances, or whose CTR counts little-endian or in 32
// bits round-trips and agrees with itself chunked and contiguous; it fails
// here. One group, "Block Cipher tests (mode consistency)":
//
//   "CBCContinuation", "CFBContinuation", "OFBContinuation",
//   "CTRContinuation": a message cut in two at a whole block, the second
//     call started from the IV the first returned, gives the same output and
//     the same final IV as one call over the whole message. Checked for
//     encryption, decryption and their lazy variants (each half chunked).
//   "ECBMatchesBlockFunction", "CBCMatchesBlockFunction", ...,
//   "CTRMatchesBlockFunction": each mode function, as quillon::cbc and the
//     others dispatch it (the cipher's own member when it has one), gives
//     the output and the returned IV of the generic mode run over the
//     cipher's own encryptBlock / decryptBlock; encryption, decryption, lazy.
//
// A cipher without mode members passes by construction. The group and its
// properties are located at the builder's call; a failure report names the
// case's inputs as "message", "split at", "chunk cuts", "key" and "IV". Inputs: key
// material as for makeBlockCipherPropTests, then a mode input
// (quillon_tests/detail/mode_inputs.hpp): an IV biased toward counter
// carries, a message around whole blocks (with a partial tail for CFB, OFB
// and CTR), a split at a whole block and chunk cuts that split blocks. All
// of it shrinks, so a failure is reported on a small case.

#include <string>
#include <utility>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/modes.hpp>
#include <quillon_tests/detail/block_cipher_cases.hpp>
#include <quillon_tests/detail/mode_inputs.hpp>
#include <quillon_tests/detail/mode_runs.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

/// The message through `function` in one call, and in two calls cut at
/// input.split, the second from the IV the first returned: the same.
template <class K, class In, class Out>
bool continuesInTwoCalls(const std::string& name,
                         Out (*function)(const K&, const quillon::IV<K>&, In), const K& key,
                         const quillon::IV<K>& iv, const ModeInput& input) {
  const std::size_t end = input.message.size();
  const Out whole = function(key, iv, messageSlice<In>(input, 0, end));
  const Out first = function(key, iv, messageSlice<In>(input, 0, input.split));
  const Out second = function(key, first.second, messageSlice<In>(input, input.split, end));
  ModeRun twoCalls = modeRun(second);
  std::vector<quillon::Byte> output = joined(first.first).release();
  output.insert(output.end(), twoCalls.output.begin(), twoCalls.output.end());
  twoCalls.output = quillon::ByteString(std::move(output));
  return sameRun(name + " continued from its returned IV", "one call over the whole message",
                 modeRun(whole),
                 "two calls split at byte " + std::to_string(input.split), twoCalls);
}

/// `function` and the generic `reference` on the same input: the same.
template <class K, class In, class Out>
bool matchesGeneric(const std::string& name,
                    Out (*function)(const K&, const quillon::IV<K>&, In),
                    Out (*reference)(const K&, const quillon::IV<K>&, In), const K& key,
                    const quillon::IV<K>& iv, const ModeInput& input) {
  const auto bytes = messageSlice<In>(input, 0, input.message.size());
  return sameRun(name, "the generic mode over encryptBlock/decryptBlock",
                 modeRun(reference(key, iv, bytes)), name + " as the cipher runs it",
                 modeRun(function(key, iv, bytes)));
}

template <class K>
Test continuationProperty(std::string name, IVModeFunctions<K> mode, bool partialBlocks) {
  return testProperty(std::move(name), [mode, partialBlocks](const quillon::ByteString& m) {
    const ModeInput input = *modeInputGen(blockBytesOf(K::blockSize()), partialBlocks);
    noteModeInput(input, true);
    const K key = derivedKey<K>(m);
    const quillon::IV<K> iv = derivedIV<K>(input.ivMaterial);
    const auto continues = [&](auto function, bool decrypt, bool lazy) {
      return continuesInTwoCalls(modeFunctionName(mode.name, decrypt, lazy), function, key, iv,
                                 input);
    };
    return continues(mode.encrypt, false, false) && continues(mode.decrypt, true, false) &&
           continues(mode.encryptLazy, false, true) && continues(mode.decryptLazy, true, true);
  });
}

template <class K>
Test matchesBlockFunctionProperty(std::string name, IVModeFunctions<K> mode,
                                  IVModeFunctions<K> generic, bool partialBlocks) {
  return testProperty(std::move(name), [mode, generic,
                                         partialBlocks](const quillon::ByteString& m) {
    const ModeInput input = *modeInputGen(blockBytesOf(K::blockSize()), partialBlocks);
    noteModeInput(input, false);
    const K key = derivedKey<K>(m);
    const quillon::IV<K> iv = derivedIV<K>(input.ivMaterial);
    const auto matches = [&](auto function, auto reference, bool decrypt, bool lazy) {
      return matchesGeneric(modeFunctionName(mode.name, decrypt, lazy), function, reference, key,
                            iv, input);
    };
    return matches(mode.encrypt, generic.encrypt, false, false) &&
           matches(mode.decrypt, generic.decrypt, true, false) &&
           matches(mode.encryptLazy, generic.encryptLazy, false, true) &&
           matches(mode.decryptLazy, generic.decryptLazy, true, true);
  });
}

template <class K>
Test ecbMatchesBlockFunctionProperty() {
  return testProperty("ECBMatchesBlockFunction", [](const quillon::ByteString& m) {
    const ModeInput input = *modeInputGen(blockBytesOf(K::blockSize()), false);
    noteModeInput(input, false);
    const K key = derivedKey<K>(m);
    const quillon::ByteString& bytes = input.message;
    const quillon::LazyByteString chunks = chunkedSlice(input, 0, bytes.size());
    const char* generic = "the generic mode over encryptBlock/decryptBlock";
    return sameRun("ecb", generic, {genericEcbOf(key, bytes, Direction::encrypt), {}},
                   "ecb as the cipher runs it", {quillon::ecb(key, bytes), {}}) &&
           sameRun("unEcb", generic, {genericEcbOf(key, bytes, Direction::decrypt), {}},
                   "unEcb as the cipher runs it", {quillon::unEcb(key, bytes), {}}) &&
           sameRun("ecbLazy", generic,
                   {genericEcbLazyOf(key, chunks, Direction::encrypt).toStrict(), {}},
                   "ecbLazy as the cipher runs it",
                   {quillon::ecbLazy(key, chunks).toStrict(), {}}) &&
           sameRun("unEcbLazy", generic,
                   {genericEcbLazyOf(key, chunks, Direction::decrypt).toStrict(), {}},
                   "unEcbLazy as the cipher runs it",
                   {quillon::unEcbLazy(key, chunks).toStrict(), {}});
  });
}

template <class K>
std::vector<Test> modeConsistencyTests() {
  std::vector<Test> leaves;
  leaves.push_back(continuationProperty<K>("CBCContinuation", cbcFunctions<K>, false));
  leaves.push_back(continuationProperty<K>("CFBContinuation", cfbFunctions<K>, true));
  leaves.push_back(continuationProperty<K>("OFBContinuation", ofbFunctions<K>, true));
  leaves.push_back(continuationProperty<K>("CTRContinuation", ctrFunctions<K>, true));
  leaves.push_back(ecbMatchesBlockFunctionProperty<K>());
  leaves.push_back(matchesBlockFunctionProperty<K>("CBCMatchesBlockFunction", cbcFunctions<K>,
                                                   genericCbcFunctions<K>, false));
  leaves.push_back(matchesBlockFunctionProperty<K>("CFBMatchesBlockFunction", cfbFunctions<K>,
                                                   genericCfbFunctions<K>, true));
  leaves.push_back(matchesBlockFunctionProperty<K>("OFBMatchesBlockFunction", ofbFunctions<K>,
                                                   genericOfbFunctions<K>, true));
  leaves.push_back(matchesBlockFunctionProperty<K>("CTRMatchesBlockFunction", ctrFunctions<K>,
                                                   genericCtrFunctions<K>, true));
  std::vector<Test> group;
  group.push_back(testGroup("Block Cipher tests (mode consistency)", std::move(leaves)));
  return group;
}

}  // namespace detail

/// The group, located (with its properties) at the builder's call.
template <class K>
std::vector<Test> makeModeConsistencyTests(const SourceLocation& where = SourceLocation::current()) {
  static_assert(quillon::diagnoseBlockCipher<K>());
  if constexpr (quillon::BlockCipher<K>) {
    return detail::locatedAt(detail::modeConsistencyTests<K>(), where);
  } else {
    return {};
  }
}

/// The same; `witness` only selects the cipher.
template <class K>
std::vector<Test> makeModeConsistencyTests(const K& /*witness*/,
                                           const SourceLocation& where = SourceLocation::current()) {
  return makeModeConsistencyTests<K>(where);
}

}  // namespace quillon_tests
