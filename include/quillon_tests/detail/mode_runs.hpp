#pragma once
// What the mode-consistency and differential properties share: the four
// functions of a mode taken in turn from quillon::ModeTable (the dispatching
// quillon::modeTable, or quillon::genericModeTable for the generic modes
// over a cipher's own encryptBlock / decryptBlock), and their runs over a
// mode input's message, whole or sliced, contiguous or chunked at its cuts.

#include <cstddef>
#include <type_traits>
#include <utility>

#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_names.hpp>
#include <quillon/mode_table.hpp>
#include <quillon_tests/detail/block_cipher_cases.hpp>
#include <quillon_tests/detail/mode_inputs.hpp>

namespace quillon_tests::detail {

/// What a property over one IV mode runs on: a mode input drawn for K's
/// blocks (partial blocks for the stream modes), the key derived from the
/// case's key material and the IV read from the input, each noted for the
/// report in that order (the input's split too, with `withSplit`).
template <class K>
struct ModeCase {
  ModeInput input;
  K key;
  quillon::IV<K> iv;
};

template <class K>
ModeCase<K> drawModeCase(quillon::Mode mode, const quillon::ByteString& keyMaterial, bool withSplit) {
  ModeInput input = *modeInputGen(blockBytesOf(K::blockSize()), quillon::takesPartialBlocks(mode));
  noteModeInput(input, withSplit);
  K key = derivedKey<K>(keyMaterial);
  quillon::IV<K> iv = derivedIV<K>(input.ivMaterial);
  return {std::move(input), std::move(key), std::move(iv)};
}

/// Calls check(direction, lazy) for the four functions of a mode in the
/// order the properties try them (encryption, decryption, then their lazy
/// variants) until one returns false. `lazy` is std::true_type or
/// std::false_type, so that pick() gives the function of the right type.
template <class Check>
bool everyModeFunction(const Check& check) {
  return check(quillon::Direction::encrypt, std::false_type{}) &&
         check(quillon::Direction::decrypt, std::false_type{}) &&
         check(quillon::Direction::encrypt, std::true_type{}) &&
         check(quillon::Direction::decrypt, std::true_type{});
}

/// The contiguous or the chunked function of a mode table's entry.
template <class Functions, bool Lazy>
auto pick(const Functions& functions, std::bool_constant<Lazy> /*lazy*/) {
  if constexpr (Lazy)
    return functions.lazy;
  else
    return functions.strict;
}

/// input.message[begin, end) as a mode function of input type In takes it.
template <class In>
auto messageSlice(const ModeInput& input, std::size_t begin, std::size_t end) {
  if constexpr (std::is_same_v<In, quillon::ByteView>)
    return input.message.view().subspan(begin, end - begin);
  else
    return chunkedSlice(input, begin, end);
}

inline quillon::ByteString joined(quillon::ByteString bytes) { return bytes; }
inline quillon::ByteString joined(const quillon::LazyByteString& bytes) { return bytes.toStrict(); }

template <class Output, class K>
ModeRun modeRun(const std::pair<Output, quillon::IV<K>>& result) {
  return {joined(result.first), quillon::ByteString(result.second.bytes())};
}

/// One call of an IV mode's function over the whole message.
template <class K, class Out, class In>
ModeRun wholeRun(Out (*function)(const K&, const quillon::IV<K>&, In), const K& key, const quillon::IV<K>& iv,
                 const ModeInput& input) {
  return modeRun(function(key, iv, messageSlice<In>(input, 0, input.message.size())));
}

/// One call of an ECB function over the whole message; no IV.
template <class K, class Out, class In>
ModeRun wholeRun(Out (*function)(const K&, In), const K& key, const ModeInput& input) {
  return {joined(function(key, messageSlice<In>(input, 0, input.message.size()))), {}};
}

}  // namespace quillon_tests::detail
