#pragma once
// The definitions of quillon_tests/mode_consistency.hpp.

#include <string>
#include <utility>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_names.hpp>
#include <quillon/mode_table.hpp>
#include <quillon_tests/detail/block_cipher_cases.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/detail/mode_inputs.hpp>
#include <quillon_tests/detail/mode_runs.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/mode_consistency.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

inline constexpr const char* genericModeSource = "the generic mode over encryptBlock/decryptBlock";

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

template <class K>
Test continuationProperty(quillon::Mode mode) {
  return testProperty(modeLabel(mode) + "Continuation", [mode](const quillon::ByteString& m) {
    const ModeCase<K> c = drawModeCase<K>(mode, m, true);
    return everyModeFunction([&](quillon::Direction direction, auto lazy) {
      return continuesInTwoCalls(quillon::modeFunctionName(mode, direction, lazy),
                                 pick(quillon::modeTable<K>.ivMode(mode, direction), lazy), c.key, c.iv, c.input);
    });
  });
}

/// Each function of `mode` as quillon dispatches it against the generic
/// one, on the same input: the same.
template <class K>
Test matchesBlockFunctionProperty(quillon::Mode mode) {
  return testProperty(modeLabel(mode) + "MatchesBlockFunction", [mode](const quillon::ByteString& m) {
    const ModeCase<K> c = drawModeCase<K>(mode, m, false);
    return everyModeFunction([&](quillon::Direction direction, auto lazy) {
      const std::string name = quillon::modeFunctionName(mode, direction, lazy);
      const auto generic = pick(quillon::genericModeTable<K>.ivMode(mode, direction), lazy);
      const auto dispatched = pick(quillon::modeTable<K>.ivMode(mode, direction), lazy);
      return sameRun(name, genericModeSource, wholeRun(generic, c.key, c.iv, c.input),
                     name + " as the cipher runs it", wholeRun(dispatched, c.key, c.iv, c.input));
    });
  });
}

template <class K>
Test ecbMatchesBlockFunctionProperty() {
  return testProperty("ECBMatchesBlockFunction", [](const quillon::ByteString& m) {
    const ModeInput input = *modeInputGen(blockBytesOf(K::blockSize()), false);
    noteModeInput(input, false);
    const K key = derivedKey<K>(m);
    return everyModeFunction([&](quillon::Direction direction, auto lazy) {
      const std::string name = quillon::modeFunctionName(quillon::Mode::ecb, direction, lazy);
      return sameRun(name, genericModeSource,
                     wholeRun(pick(quillon::genericModeTable<K>.ecb(direction), lazy), key, input),
                     name + " as the cipher runs it",
                     wholeRun(pick(quillon::modeTable<K>.ecb(direction), lazy), key, input));
    });
  });
}

template <class K>
std::vector<Test> modeConsistencyTests() {
  std::vector<Test> leaves;
  for (quillon::Mode mode : quillon::ivModes) leaves.push_back(continuationProperty<K>(mode));
  leaves.push_back(ecbMatchesBlockFunctionProperty<K>());
  for (quillon::Mode mode : quillon::ivModes) leaves.push_back(matchesBlockFunctionProperty<K>(mode));
  std::vector<Test> group;
  group.push_back(testGroup("Block Cipher tests (mode consistency)", std::move(leaves)));
  return group;
}

}  // namespace detail

template <class K>
std::vector<Test> makeModeConsistencyTests(const SourceLocation& where) {
  return detail::locatedAt(detail::modeConsistencyTests<detail::CheckedCipher<K>>(), where);
}

template <class K>
std::vector<Test> makeModeConsistencyTests(const K& /*witness*/, const SourceLocation& where) {
  return detail::locatedAt(detail::modeConsistencyTests<detail::CheckedCipher<K>>(), where);
}

}  // namespace quillon_tests
