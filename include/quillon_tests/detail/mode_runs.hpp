#pragma once
// What the mode-consistency, differential and CMAC properties share: the
// generic modes over a cipher's own encryptBlock / decryptBlock (every call
// into them from the suites is here), and mode runs over a mode input's
// message, whole or sliced, contiguous or chunked at its cuts.

#include <type_traits>
#include <utility>

#include <quillon/byte_string.hpp>
#include <quillon/cmac.hpp>
#include <quillon/detail/generic_modes.hpp>
#include <quillon/iv.hpp>
#include <quillon_tests/detail/block_cipher_cases.hpp>
#include <quillon_tests/detail/mode_inputs.hpp>

namespace quillon_tests::detail {

using quillon::detail::Direction;

/// The generic ECB over K's encryptBlock / decryptBlock.
template <class K>
quillon::ByteString genericEcbOf(const K& key, quillon::ByteView bytes, Direction direction) {
  return quillon::detail::genericEcb(key, bytes, direction);
}
template <class K>
quillon::LazyByteString genericEcbLazyOf(const K& key, const quillon::LazyByteString& bytes,
                                         Direction direction) {
  return quillon::detail::genericEcbLazy(key, bytes, direction);
}

/// The generic CMAC over K's encryptBlock.
template <class K>
quillon::ByteString genericCmacOf(const K& key, quillon::ByteView message) {
  return quillon::detail::genericCmac(key, message);
}

/// The generic modes over K's encryptBlock / decryptBlock, as mode values.
template <class K>
constexpr IVModeFunctions<K> genericCbcFunctions{
    [](const K& k, const quillon::IV<K>& v, quillon::ByteView b) {
      return quillon::detail::genericCbc(k, v, b, Direction::encrypt);
    },
    [](const K& k, const quillon::IV<K>& v, quillon::ByteView b) {
      return quillon::detail::genericCbc(k, v, b, Direction::decrypt);
    },
    [](const K& k, const quillon::IV<K>& v, const quillon::LazyByteString& b) {
      return quillon::detail::genericCbcLazy(k, v, b, Direction::encrypt);
    },
    [](const K& k, const quillon::IV<K>& v, const quillon::LazyByteString& b) {
      return quillon::detail::genericCbcLazy(k, v, b, Direction::decrypt);
    },
    "cbc"};
template <class K>
constexpr IVModeFunctions<K> genericCfbFunctions{
    [](const K& k, const quillon::IV<K>& v, quillon::ByteView b) {
      return quillon::detail::genericCfb(k, v, b, Direction::encrypt);
    },
    [](const K& k, const quillon::IV<K>& v, quillon::ByteView b) {
      return quillon::detail::genericCfb(k, v, b, Direction::decrypt);
    },
    [](const K& k, const quillon::IV<K>& v, const quillon::LazyByteString& b) {
      return quillon::detail::genericCfbLazy(k, v, b, Direction::encrypt);
    },
    [](const K& k, const quillon::IV<K>& v, const quillon::LazyByteString& b) {
      return quillon::detail::genericCfbLazy(k, v, b, Direction::decrypt);
    },
    "cfb"};
// OFB and CTR are the same operation both ways.
template <class K>
constexpr IVModeFunctions<K> genericOfbFunctions{
    &quillon::detail::genericOfb<K>, &quillon::detail::genericOfb<K>,
    &quillon::detail::genericOfbLazy<K>, &quillon::detail::genericOfbLazy<K>, "ofb"};
template <class K>
constexpr IVModeFunctions<K> genericCtrFunctions{
    &quillon::detail::genericCtr<K>, &quillon::detail::genericCtr<K>,
    &quillon::detail::genericCtrLazy<K>, &quillon::detail::genericCtrLazy<K>, "ctr"};

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

}  // namespace quillon_tests::detail
