#pragma once
// The five modes of operation, for any BlockCipher.
//
// Each function calls the key type's own member of the same name when it has
// one, with the same arguments less the key (`key.cbc(iv, bytes)`,
// `key.cbcLazy(iv, lazy)`, `key.ecb(bytes)`, ...; bytes as ByteView, chunked
// input as const LazyByteString&), and otherwise the generic implementation
// over encryptBlock / decryptBlock. Both must behave as described here.
//
// The IV returned is the one that continues the stream: encrypting a message
// in two calls, handing the first call's IV to the second, gives what one
// call gives.
//   CBC, CFB: the last ciphertext block;   OFB: the last keystream block;
//   CTR: the counter after the last block used. The counter is the whole IV
//   block read as a big-endian integer, plus one per block, wrapping to zero.
// With empty input the IV comes back unchanged.
//
// Input that is not a whole number of blocks:
//   ECB, CBC: std::invalid_argument naming the function and the length,
//     before anything is encrypted; never a truncated or padded result.
//   CFB, OFB, CTR: stream modes. The final partial block is encrypted with
//     the leading bytes of its keystream block, so the output has the length
//     of the input. The IV returned is the one a whole block would leave had
//     the plaintext been completed with zero bytes: CFB the partial
//     ciphertext followed by the unused keystream bytes, OFB that keystream
//     block, CTR the counter after it. A stream can be continued only from
//     whole blocks: after a partial block the returned IV restarts at the
//     next block boundary.
// The lazy variants treat their chunks as one stream (a block may begin in
// one chunk and end in another), return the same IV as the contiguous
// functions on the concatenated input, and give their output in chunks of
// the input's chunk lengths. A cipher whose blockSize() is under 8 bits
// cannot run any mode: std::invalid_argument.
//
// CFB is full-block feedback (CFB128 for 128-bit blocks).
//
// The generic implementations have public names of their own: quillon::
// generic::ecb, generic::unEcb, ..., generic::unCtrLazy take the same
// arguments as the functions here and run the generic mode over
// encryptBlock / decryptBlock whatever members K has. They are what a
// binding's own modes are checked against, and what a binding calls for a
// mode its library lacks. (quillon::detail holds plumbing only: nothing
// outside this library should name it.)
//
// Modes and directions as values (Mode::cbc, Direction::decrypt), the
// function names and the partial-block rule are in quillon/mode_names.hpp;
// quillon/mode_table.hpp gives every function of this header, and of
// quillon::generic, as a table indexed by them.

#include <utility>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/detail/generic_modes.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_names.hpp>

namespace quillon {

/// The pair a mode hands back: its output and the IV that continues it.
template <class K>
using ModeResult = std::pair<ByteString, IV<K>>;
template <class K>
using LazyModeResult = std::pair<LazyByteString, IV<K>>;

/// The generic modes, never K's own members.
namespace generic {
// clang-format off
template <BlockCipher K> ByteString ecb(const K& key, ByteView bytes) { return detail::ecbMode(key, bytes, Direction::encrypt); }
template <BlockCipher K> ByteString unEcb(const K& key, ByteView bytes) { return detail::ecbMode(key, bytes, Direction::decrypt); }
template <BlockCipher K> LazyByteString ecbLazy(const K& key, const LazyByteString& bytes) { return detail::ecbModeLazy(key, bytes, Direction::encrypt); }
template <BlockCipher K> LazyByteString unEcbLazy(const K& key, const LazyByteString& bytes) { return detail::ecbModeLazy(key, bytes, Direction::decrypt); }

template <BlockCipher K> ModeResult<K> cbc(const K& key, const IV<K>& iv, ByteView bytes) { return detail::directedMode<detail::CbcEngine>(Mode::cbc, key, iv, bytes, Direction::encrypt); }
template <BlockCipher K> ModeResult<K> unCbc(const K& key, const IV<K>& iv, ByteView bytes) { return detail::directedMode<detail::CbcEngine>(Mode::cbc, key, iv, bytes, Direction::decrypt); }
template <BlockCipher K> LazyModeResult<K> cbcLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) { return detail::directedModeLazy<detail::CbcEngine>(Mode::cbc, key, iv, bytes, Direction::encrypt); }
template <BlockCipher K> LazyModeResult<K> unCbcLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) { return detail::directedModeLazy<detail::CbcEngine>(Mode::cbc, key, iv, bytes, Direction::decrypt); }

template <BlockCipher K> ModeResult<K> cfb(const K& key, const IV<K>& iv, ByteView bytes) { return detail::directedMode<detail::CfbEngine>(Mode::cfb, key, iv, bytes, Direction::encrypt); }
template <BlockCipher K> ModeResult<K> unCfb(const K& key, const IV<K>& iv, ByteView bytes) { return detail::directedMode<detail::CfbEngine>(Mode::cfb, key, iv, bytes, Direction::decrypt); }
template <BlockCipher K> LazyModeResult<K> cfbLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) { return detail::directedModeLazy<detail::CfbEngine>(Mode::cfb, key, iv, bytes, Direction::encrypt); }
template <BlockCipher K> LazyModeResult<K> unCfbLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) { return detail::directedModeLazy<detail::CfbEngine>(Mode::cfb, key, iv, bytes, Direction::decrypt); }

template <BlockCipher K> ModeResult<K> ofb(const K& key, const IV<K>& iv, ByteView bytes) { return detail::streamMode<detail::OfbEngine>(Mode::ofb, key, iv, bytes); }
template <BlockCipher K> ModeResult<K> unOfb(const K& key, const IV<K>& iv, ByteView bytes) { return detail::streamMode<detail::OfbEngine>(Mode::ofb, key, iv, bytes); }
template <BlockCipher K> LazyModeResult<K> ofbLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) { return detail::streamModeLazy<detail::OfbEngine>(Mode::ofb, key, iv, bytes); }
template <BlockCipher K> LazyModeResult<K> unOfbLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) { return detail::streamModeLazy<detail::OfbEngine>(Mode::ofb, key, iv, bytes); }

template <BlockCipher K> ModeResult<K> ctr(const K& key, const IV<K>& iv, ByteView bytes) { return detail::streamMode<detail::CtrEngine>(Mode::ctr, key, iv, bytes); }
template <BlockCipher K> ModeResult<K> unCtr(const K& key, const IV<K>& iv, ByteView bytes) { return detail::streamMode<detail::CtrEngine>(Mode::ctr, key, iv, bytes); }
template <BlockCipher K> LazyModeResult<K> ctrLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) { return detail::streamModeLazy<detail::CtrEngine>(Mode::ctr, key, iv, bytes); }
template <BlockCipher K> LazyModeResult<K> unCtrLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) { return detail::streamModeLazy<detail::CtrEngine>(Mode::ctr, key, iv, bytes); }
// clang-format on
}  // namespace generic

// ECB

template <BlockCipher K>
ByteString ecb(const K& key, ByteView bytes) {
  if constexpr (requires { key.ecb(bytes); })
    return detail::ownModeResult<ByteString>(key.ecb(bytes));
  else
    return generic::ecb(key, bytes);
}

template <BlockCipher K>
ByteString unEcb(const K& key, ByteView bytes) {
  if constexpr (requires { key.unEcb(bytes); })
    return detail::ownModeResult<ByteString>(key.unEcb(bytes));
  else
    return generic::unEcb(key, bytes);
}

template <BlockCipher K>
LazyByteString ecbLazy(const K& key, const LazyByteString& bytes) {
  if constexpr (requires { key.ecbLazy(bytes); })
    return detail::ownModeResult<LazyByteString>(key.ecbLazy(bytes));
  else
    return generic::ecbLazy(key, bytes);
}

template <BlockCipher K>
LazyByteString unEcbLazy(const K& key, const LazyByteString& bytes) {
  if constexpr (requires { key.unEcbLazy(bytes); })
    return detail::ownModeResult<LazyByteString>(key.unEcbLazy(bytes));
  else
    return generic::unEcbLazy(key, bytes);
}

// CBC

template <BlockCipher K>
ModeResult<K> cbc(const K& key, const IV<K>& iv, ByteView bytes) {
  if constexpr (requires { key.cbc(iv, bytes); })
    return detail::ownModeResult<ModeResult<K>>(key.cbc(iv, bytes));
  else
    return generic::cbc(key, iv, bytes);
}

template <BlockCipher K>
ModeResult<K> unCbc(const K& key, const IV<K>& iv, ByteView bytes) {
  if constexpr (requires { key.unCbc(iv, bytes); })
    return detail::ownModeResult<ModeResult<K>>(key.unCbc(iv, bytes));
  else
    return generic::unCbc(key, iv, bytes);
}

template <BlockCipher K>
LazyModeResult<K> cbcLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) {
  if constexpr (requires { key.cbcLazy(iv, bytes); })
    return detail::ownModeResult<LazyModeResult<K>>(key.cbcLazy(iv, bytes));
  else
    return generic::cbcLazy(key, iv, bytes);
}

template <BlockCipher K>
LazyModeResult<K> unCbcLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) {
  if constexpr (requires { key.unCbcLazy(iv, bytes); })
    return detail::ownModeResult<LazyModeResult<K>>(key.unCbcLazy(iv, bytes));
  else
    return generic::unCbcLazy(key, iv, bytes);
}

// CFB (full-block feedback)

template <BlockCipher K>
ModeResult<K> cfb(const K& key, const IV<K>& iv, ByteView bytes) {
  if constexpr (requires { key.cfb(iv, bytes); })
    return detail::ownModeResult<ModeResult<K>>(key.cfb(iv, bytes));
  else
    return generic::cfb(key, iv, bytes);
}

template <BlockCipher K>
ModeResult<K> unCfb(const K& key, const IV<K>& iv, ByteView bytes) {
  if constexpr (requires { key.unCfb(iv, bytes); })
    return detail::ownModeResult<ModeResult<K>>(key.unCfb(iv, bytes));
  else
    return generic::unCfb(key, iv, bytes);
}

template <BlockCipher K>
LazyModeResult<K> cfbLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) {
  if constexpr (requires { key.cfbLazy(iv, bytes); })
    return detail::ownModeResult<LazyModeResult<K>>(key.cfbLazy(iv, bytes));
  else
    return generic::cfbLazy(key, iv, bytes);
}

template <BlockCipher K>
LazyModeResult<K> unCfbLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) {
  if constexpr (requires { key.unCfbLazy(iv, bytes); })
    return detail::ownModeResult<LazyModeResult<K>>(key.unCfbLazy(iv, bytes));
  else
    return generic::unCfbLazy(key, iv, bytes);
}

// OFB (encryption and decryption are the same operation)

template <BlockCipher K>
ModeResult<K> ofb(const K& key, const IV<K>& iv, ByteView bytes) {
  if constexpr (requires { key.ofb(iv, bytes); })
    return detail::ownModeResult<ModeResult<K>>(key.ofb(iv, bytes));
  else
    return generic::ofb(key, iv, bytes);
}

template <BlockCipher K>
ModeResult<K> unOfb(const K& key, const IV<K>& iv, ByteView bytes) {
  if constexpr (requires { key.unOfb(iv, bytes); })
    return detail::ownModeResult<ModeResult<K>>(key.unOfb(iv, bytes));
  else
    return generic::unOfb(key, iv, bytes);
}

template <BlockCipher K>
LazyModeResult<K> ofbLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) {
  if constexpr (requires { key.ofbLazy(iv, bytes); })
    return detail::ownModeResult<LazyModeResult<K>>(key.ofbLazy(iv, bytes));
  else
    return generic::ofbLazy(key, iv, bytes);
}

template <BlockCipher K>
LazyModeResult<K> unOfbLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) {
  if constexpr (requires { key.unOfbLazy(iv, bytes); })
    return detail::ownModeResult<LazyModeResult<K>>(key.unOfbLazy(iv, bytes));
  else
    return generic::unOfbLazy(key, iv, bytes);
}

// CTR (encryption and decryption are the same operation)

template <BlockCipher K>
ModeResult<K> ctr(const K& key, const IV<K>& iv, ByteView bytes) {
  if constexpr (requires { key.ctr(iv, bytes); })
    return detail::ownModeResult<ModeResult<K>>(key.ctr(iv, bytes));
  else
    return generic::ctr(key, iv, bytes);
}

template <BlockCipher K>
ModeResult<K> unCtr(const K& key, const IV<K>& iv, ByteView bytes) {
  if constexpr (requires { key.unCtr(iv, bytes); })
    return detail::ownModeResult<ModeResult<K>>(key.unCtr(iv, bytes));
  else
    return generic::unCtr(key, iv, bytes);
}

template <BlockCipher K>
LazyModeResult<K> ctrLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) {
  if constexpr (requires { key.ctrLazy(iv, bytes); })
    return detail::ownModeResult<LazyModeResult<K>>(key.ctrLazy(iv, bytes));
  else
    return generic::ctrLazy(key, iv, bytes);
}

template <BlockCipher K>
LazyModeResult<K> unCtrLazy(const K& key, const IV<K>& iv, const LazyByteString& bytes) {
  if constexpr (requires { key.unCtrLazy(iv, bytes); })
    return detail::ownModeResult<LazyModeResult<K>>(key.unCtrLazy(iv, bytes));
  else
    return generic::unCtrLazy(key, iv, bytes);
}

}  // namespace quillon
