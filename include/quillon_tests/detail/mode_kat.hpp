#pragma once
// The definitions of quillon_tests/mode_kat.hpp: what one test of the CTR,
// AES Monte Carlo and CMAC known-answer suites computes from its record
// (templates over the cipher), and the CMAC property. Their layouts, the
// files and fields they read, are in src/mode_kat_suites.cpp; the CTR suite
// needs nothing here, each of its tests being one ctr or unCtr call.

#include <algorithm>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/cmac.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_table.hpp>
#include <quillon_tests/detail/block_cipher_kat.hpp>
#include <quillon_tests/detail/checked_types.hpp>
#include <quillon_tests/detail/kat_layouts.hpp>
#include <quillon_tests/detail/kat_selection.hpp>
#include <quillon_tests/detail/mode_inputs.hpp>
#include <quillon_tests/mode_kat.hpp>
#include <quillon_tests/property.hpp>

namespace quillon_tests {

namespace detail {

inline constexpr int monteCarloIterations = 1000;

/// The output of one Monte Carlo record: 1000 operations from its own key,
/// IV (null for ECB) and input. ECB (`call` is encryptBlock or decryptBlock)
/// feeds each output back in. The other modes call the binding's mode
/// function of `call` once per block, each call starting from the IV the
/// previous call returned, as a stream split into 1000 calls would; the
/// second input is the record's IV, each later input the output two blocks
/// back. The result is the last output.
template <class K>
quillon::ByteString monteCarloOutput(const K& key, ModeCall call, const quillon::IV<K>* iv,
                                     quillon::ByteView input) {
  const auto blockBytes = static_cast<std::size_t>(K::blockSize() / 8);
  if (input.size() != blockBytes)
    throw std::invalid_argument("Monte Carlo input of " + std::to_string(input.size()) +
                                " bytes; one block is " + std::to_string(blockBytes));
  if (call.blockFunction) {
    quillon::ByteString block(input);
    for (int j = 0; j < monteCarloIterations; ++j) block = runModeCall<K>(call, key, nullptr, block);
    return block;
  }
  if (iv == nullptr) throw std::invalid_argument("Monte Carlo record without an IV");
  const auto step = quillon::modeTable<K>.ivMode(call.mode, call.direction).strict;
  quillon::IV<K> chain = *iv;
  quillon::ByteString in(input);
  quillon::ByteString last;
  for (int j = 0; j < monteCarloIterations; ++j) {
    auto [out, next] = step(key, chain, in);
    chain = std::move(next);
    in = j == 0 ? quillon::ByteString(iv->bytes()) : std::move(last);
    last = std::move(out);
  }
  return last;
}

/// The Monte Carlo suite's operation: the kind's code is the ModeCall that
/// is chained.
template <class K>
quillon::ByteString monteCarloOperation(const CipherCall<K>& call) {
  return monteCarloOutput(call.key, ModeCall::of(call.kind()), call.iv, call.input);
}

/// The CMAC tag of `message` cut to `tagBytes`; a tag length beyond the
/// block is an error of the vector, not of the cipher.
template <class K>
quillon::ByteString truncatedCmac(const K& key, quillon::ByteView message, std::size_t tagBytes) {
  const quillon::ByteString tag = quillon::cmac(key, message);
  if (tagBytes > tag.size())
    throw std::invalid_argument("Tlen of " + std::to_string(tagBytes) + " bytes, longer than the " +
                                std::to_string(tag.size()) + "-byte tag");
  return quillon::ByteString(tag.view().first(tagBytes));
}

/// A CMAC record's Mlen and Tlen, in bytes.
struct CmacLengths {
  std::size_t message;
  std::size_t tag;
};

/// The lengths of a record the CMAC selection took (its Mlen and Tlen were
/// checked while listing). Throws std::invalid_argument when Msg holds fewer
/// than Mlen bytes or Mac other than Tlen: the vector is wrong, not the
/// cipher.
CmacLengths cmacLengths(const KatRecord& record, std::size_t messageBytes);

/// The CMAC suites' operation: the first Tlen bytes of the tag of the first
/// Mlen bytes of Msg (an empty message is written "Msg = 00").
template <class K>
quillon::ByteString cmacOperation(const CipherCall<K>& call) {
  const CmacLengths lengths = cmacLengths(call.record, call.input.size());
  return truncatedCmac(call.key, call.input.first(lengths.message), lengths.tag);
}

template <class K>
Test cmacPropTests(const SourceLocation& where) {
  return withLocation(testGroup("CMAC property", {testProperty("CMACMatchesGenericConstruction", [] {
    const auto blockBytes = K::blockSize() / 8;
    const quillon::ByteString keyBytes(*rc::gen::container<std::vector<quillon::Byte>>(
        static_cast<std::size_t>(K::keyLength() / 8), rc::gen::arbitrary<quillon::Byte>()));
    const int length = std::max(0, *rc::gen::inRange(0, 6) * blockBytes + *rc::gen::inRange(-1, 2));
    const quillon::ByteString message = *shorteningBytesGen(static_cast<std::size_t>(length));
    noteMessage("message", message);
    noteBytes("key", keyBytes);
    const std::optional<K> key = K::buildKey(keyBytes);
    RC_PRE(key.has_value());
    const quillon::ByteString expected = quillon::generic::cmac(*key, message);
    const quillon::ByteString actual = quillon::cmac(*key, message);
    if (actual == expected) return true;
    RC_LOG() << "cmac differs from the generic construction over encryptBlock\n"
             << describeDifference("cmac", actual, "generic", expected);
    return false;
  })}), where);
}

}  // namespace detail

template <class K>
std::vector<Test> makeAESCTRTests(const SourceLocation& where) {
  using C = detail::CheckedCipher<K>;
  return detail::makeCipherKatTests<C, &detail::modeOperation<C>>(detail::aesCtrLayout(), where);
}
template <class K>
std::vector<Test> makeAESCTRTests(const K& /*witness*/, const SourceLocation& where) {
  return makeAESCTRTests<detail::CheckedCipher<K>>(where);
}

template <class K>
std::vector<Test> makeAESMonteTests(const SourceLocation& where) {
  using C = detail::CheckedCipher<K>;
  return detail::makeCipherKatTests<C, &detail::monteCarloOperation<C>>(detail::aesMonteLayout(), where);
}
template <class K>
std::vector<Test> makeAESMonteTests(const K& /*witness*/, const SourceLocation& where) {
  return makeAESMonteTests<detail::CheckedCipher<K>>(where);
}

template <class K>
std::vector<Test> makeCMACTests(const SourceLocation& where) {
  using C = detail::CheckedCipher<K>;
  return detail::makeCipherKatTests<C, &detail::cmacOperation<C>>(detail::cmacLayout(), where);
}
template <class K>
std::vector<Test> makeCMACTests(const K& /*witness*/, const SourceLocation& where) {
  return makeCMACTests<detail::CheckedCipher<K>>(where);
}

template <class K>
std::vector<Test> makeTwoFishCMACTests(const SourceLocation& where) {
  using C = detail::CheckedCipher<K>;
  return detail::makeCipherKatTests<C, &detail::cmacOperation<C>>(detail::twoFishCmacLayout(), where);
}
template <class K>
std::vector<Test> makeTwoFishCMACTests(const K& /*witness*/, const SourceLocation& where) {
  return makeTwoFishCMACTests<detail::CheckedCipher<K>>(where);
}

template <class K>
Test makeCMACPropTests(const SourceLocation& where) {
  using C = detail::CheckedCipher<K>;
  // Without a member of its own, quillon::cmac is the generic construction,
  // and the property would compare it with itself: it could never fail.
  static_assert(quillon::HasOwnCmac<C> || std::is_same_v<C, detail::StandInCipher>,
                "makeCMACPropTests: the key type has no member `quillon::ByteString cmac(quillon::ByteView) const`, "
                "so quillon::cmac is the generic construction itself; makeCMACTests checks it against known answers");
  return detail::cmacPropTests<C>(where);
}
template <class K>
Test makeCMACPropTests(const K& /*witness*/, const SourceLocation& where) {
  return makeCMACPropTests<detail::CheckedCipher<K>>(where);
}

template <class K>
SuiteDiagnostics diagnoseAESCTRVectors() {
  return detail::diagnoseCipherKat<detail::CheckedCipher<K>>(detail::aesCtrLayout());
}
template <class K>
SuiteDiagnostics diagnoseAESMonteVectors() {
  return detail::diagnoseCipherKat<detail::CheckedCipher<K>>(detail::aesMonteLayout());
}
template <class K>
SuiteDiagnostics diagnoseCMACVectors() {
  return detail::diagnoseCipherKat<detail::CheckedCipher<K>>(detail::cmacLayout());
}
template <class K>
SuiteDiagnostics diagnoseTwoFishCMACVectors() {
  return detail::diagnoseCipherKat<detail::CheckedCipher<K>>(detail::twoFishCmacLayout());
}

}  // namespace quillon_tests
