#pragma once
// What every block-cipher property shares: the key and IV derived from
// generated material (noted for the report by their roles), the failure
// note, and the modes' names.

#include <rapidcheck.h>

#include <optional>
#include <string>
#include <utility>

#include <quillon/byte_string.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_names.hpp>
#include <quillon/serialisation.hpp>
#include <quillon_tests/property.hpp>

namespace quillon_tests::detail {

/// The key bytes for a cipher of `keyLengthBits`: `material` followed by one
/// zero byte, repeated without end and cut to keyLengthBits / 8 bytes
/// (rounded down; none when that is not positive).
quillon::ByteString deriveKeyBytes(quillon::ByteView material, int keyLengthBits);

/// The key derived from `material`, its bytes noted as the case's "key";
/// discards the case when buildKey refuses.
template <class K>
K derivedKey(const quillon::ByteString& material) {
  const quillon::ByteString bytes = deriveKeyBytes(material, K::keyLength());
  noteBytes("key", bytes);
  std::optional<K> key = K::buildKey(bytes);
  if (!key) RC_DISCARD("buildKey refused the key bytes derived from the key material");
  return std::move(*key);
}

/// The IV read from `material`, noted as the case's "IV"; discards the
/// case when it does not read.
template <class K>
quillon::IV<K> derivedIV(const quillon::ByteString& material) {
  const auto read = quillon::IV<K>::get(material);
  const quillon::IV<K>* iv = quillon::doneValue(read);
  if (iv == nullptr) RC_DISCARD("IV::get could not read an IV from the IV material");
  noteBytes("IV", iv->bytes());
  return *iv;
}

/// Says which comparison failed in the engine's report of the case.
inline bool holds(bool condition, const char* failure) {
  if (!condition) RC_LOG(failure);
  return condition;
}

inline quillon::ByteView bytesOf(const quillon::ByteString& value) { return value; }
inline quillon::ByteString bytesOf(const quillon::LazyByteString& value) { return value.toStrict(); }
template <class K>
quillon::ByteView bytesOf(const quillon::IV<K>& iv) { return iv.bytes(); }

/// holds(a == b, failure), and on a difference both values in the report.
template <class A, class B>
bool holdsSame(const char* failure, const char* aName, const A& a, const char* bName, const B& b) {
  if (a == b) return true;
  RC_LOG() << failure << '\n' << describeDifference(aName, bytesOf(a), bName, bytesOf(b));
  return false;
}

/// A mode's name as the properties' names spell it: "ECB", "CBC", ...
inline std::string modeLabel(quillon::Mode mode) {
  std::string label(quillon::modeName(mode));
  for (char& c : label) c = static_cast<char>(c - 'a' + 'A');
  return label;
}

}  // namespace quillon_tests::detail
