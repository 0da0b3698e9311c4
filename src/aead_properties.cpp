#include <algorithm>
#include <memory>
#include <optional>
#include <quillon_tests/aead_properties.hpp>
#include <quillon_tests/property.hpp>
#include <string>
#include <utility>
#include <vector>

#include "aead_checks.hpp"

namespace quillon_tests::detail {

namespace {

using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;

/// What the leaves of one group share: the type, what it accepts, and the
/// generator of its cases.
struct Suite {
  AeadUnderTest aead;
  AeadLengths lengths;
  rc::Gen<AeadCase> cases;
};
using SharedSuite = std::shared_ptr<const Suite>;

/// A drawn case: its inputs noted for the report, its key and what seal
/// gave for it.
struct Sealed {
  AeadCase value;
  KeyUnderTest key;
  ByteString sealed;
  std::size_t ciphertextBytes() const { return sealed.size() - value.tagBytes; }
  std::optional<ByteString> open(ByteView nonce, ByteView aad, ByteView input) const {
    return key->open(nonce, aad, input, value.tagBytes);
  }
};

/// A property over a drawn and sealed case: body(const Sealed&) -> bool.
template <class Body>
Test sealedProperty(std::string name, const SharedSuite& suite, Body body) {
  return testProperty(std::move(name), [suite, body] {
    AeadCase value = *suite->cases;
    noteAeadCase(value);
    KeyUnderTest key = keyFor(suite->aead, value);
    std::optional<ByteString> sealed = sealCase(*key, value);
    if (!sealed) return false;
    return body(Sealed{std::move(value), std::move(key), std::move(*sealed)});
  });
}

std::string bitText(unsigned bit) {
  static constexpr const char* masks[] = {"01", "02", "04", "08", "10", "20", "40", "80"};
  return std::string("bit 0x") + masks[bit];
}

/// The bytes of an input of `length` where a flip is tried: the first, the
/// last, and both sides of the block edges at 16, 32, 48, 64, 128 and 256
/// bytes and of the input's last 16- and 64-byte edges.
std::vector<std::size_t> edgeBytes(std::size_t length) {
  if (length == 0) return {};
  std::vector<std::size_t> edges = {16, 32, 48, 64, 128, 256, (length - 1) / 16 * 16, (length - 1) / 64 * 64};
  std::vector<std::size_t> at = {0, length - 1};
  for (std::size_t edge : edges) {
    if (edge == 0 || edge >= length) continue;
    at.push_back(edge - 1);
    at.push_back(edge);
  }
  std::sort(at.begin(), at.end());
  at.erase(std::unique(at.begin(), at.end()), at.end());
  return at;
}

bool roundTrips(const Sealed& c) {
  const std::optional<ByteString> opened = c.open(c.value.nonce, c.value.aad, c.sealed);
  if (!opened) {
    RC_LOG() << "open refused what seal gave: " << shortHex(c.sealed) << '\n';
    return false;
  }
  if (*opened == c.value.plaintext) return true;
  RC_LOG() << "open gave other bytes than were sealed\n"
           << describeDifference("opened", *opened, "plaintext", c.value.plaintext);
  return false;
}

bool hasSealLength(const Sealed& c) {
  const std::size_t expected = c.value.plaintext.size() + c.value.tagBytes;
  if (c.sealed.size() == expected) return true;
  RC_LOG() << "seal gave " << c.sealed.size() << " bytes, not the plaintext's " << c.value.plaintext.size()
           << " and the tag's " << c.value.tagBytes << ": " << shortHex(c.sealed) << '\n';
  return false;
}

bool refusesTagBitFlips(const Sealed& c) {
  const std::size_t tagStart = c.ciphertextBytes();
  for (std::size_t bit = 0; bit < 8 * c.value.tagBytes; ++bit) {
    const ByteString forged = flipped(c.sealed, tagStart + bit / 8, static_cast<unsigned>(bit % 8));
    if (!givesNothing(c.open(c.value.nonce, c.value.aad, forged), "open of the sealed message with " +
                                                                      bitText(bit % 8) + " of tag byte " +
                                                                      std::to_string(bit / 8) + " flipped"))
      return false;
  }
  return true;
}

bool refusesCiphertextAndAADFlips(const Sealed& c) {
  const std::string bit = bitText(c.value.flippedBit);
  for (std::size_t at : edgeBytes(c.ciphertextBytes())) {
    if (!givesNothing(c.open(c.value.nonce, c.value.aad, flipped(c.sealed, at, c.value.flippedBit)),
                      "open of the sealed message with " + bit + " of ciphertext byte " + std::to_string(at) +
                          " flipped"))
      return false;
  }
  for (std::size_t at : edgeBytes(c.value.aad.size())) {
    if (!givesNothing(c.open(c.value.nonce, flipped(c.value.aad, at, c.value.flippedBit), c.sealed),
                      "open of the sealed message under the AAD with " + bit + " of byte " +
                          std::to_string(at) + " flipped"))
      return false;
  }
  return true;
}

bool refusesOtherNonces(const AeadUnderTest& aead, const Sealed& c) {
  const ByteView nonce = c.value.nonce;
  for (std::size_t at = 0; at < nonce.size(); ++at) {
    if (!givesNothing(c.open(flipped(nonce, at, c.value.flippedBit), c.value.aad, c.sealed),
                      "open of the sealed message under the nonce with " + bitText(c.value.flippedBit) +
                          " of byte " + std::to_string(at) + " flipped"))
      return false;
  }
  // Another length, where the type takes it: a nonce padded or cut to a
  // fixed length would open.
  const auto accepts = [&](std::size_t bytes) {
    return bytes > 0 && aead.acceptsNonceLength(bytes) &&
           aead.acceptsTextLength(bytes, c.value.plaintext.size());
  };
  const Byte zero[] = {0};
  if (accepts(nonce.size() + 1) &&
      !givesNothing(c.open(joined(nonce, zero), c.value.aad, c.sealed),
                    "open of the sealed message under the nonce with a zero byte appended"))
    return false;
  return !accepts(nonce.size() - 1) ||
         givesNothing(c.open(nonce.first(nonce.size() - 1), c.value.aad, c.sealed),
                      "open of the sealed message under the nonce without its last byte");
}

bool refusesTruncatedAndExtended(const Sealed& c) {
  const ByteView sealed = c.sealed;
  const ByteView tag = sealed.last(c.value.tagBytes);
  const ByteView ciphertext = sealed.first(c.ciphertextBytes());
  const Byte zero[] = {0};
  const auto opens = [&](ByteView aad, ByteView input) { return c.open(c.value.nonce, aad, input); };
  return givesNothing(opens(c.value.aad, sealed.first(sealed.size() - 1)),
                      "open of the sealed message without its last byte (the tag cut short)") &&
         givesNothing(opens(c.value.aad, tag.first(tag.size() - 1)),
                      "open of the tag without its last byte (an input shorter than the tag)") &&
         givesNothing(opens(c.value.aad, {}), "open of an empty input") &&
         givesNothing(opens(c.value.aad, joined(sealed, zero)),
                      "open of the sealed message with a zero byte appended") &&
         givesNothing(opens(c.value.aad, joined(joined(ciphertext, zero), tag)),
                      "open of the sealed message with a zero byte between the ciphertext and the tag") &&
         givesNothing(opens(joined(c.value.aad, zero), sealed),
                      "open of the sealed message under the AAD with a zero byte appended");
}

/// `bytes` cut, or completed with zero bytes, to `length`.
ByteString resized(ByteView bytes, std::size_t length) {
  std::vector<Byte> out(bytes.begin(),
                        bytes.begin() + static_cast<std::ptrdiff_t>(std::min(length, bytes.size())));
  out.resize(length, 0);
  return ByteString(std::move(out));
}

bool refusesOtherLengths(const AeadLengths& lengths, const Sealed& c) {
  const AeadCase& v = c.value;
  for (std::size_t bytes : lengths.refusedNonces) {
    const ByteString nonce = resized(v.nonce, bytes);
    const std::string which = "a " + std::to_string(bytes) + "-byte nonce, a length the type does not accept";
    if (!givesNothing(c.key->seal(nonce, v.aad, v.plaintext, v.tagBytes), "seal under " + which) ||
        !givesNothing(c.open(nonce, v.aad, c.sealed), "open of the sealed message under " + which))
      return false;
  }
  // The longest tag, cut or padded: a type that compares the tag at the
  // length the caller passes would open its prefixes.
  const std::size_t longest = *std::max_element(lengths.tags.begin(), lengths.tags.end());
  const std::optional<ByteString> full = c.key->seal(v.nonce, v.aad, v.plaintext, longest);
  if (!full || full->size() < longest) {
    RC_LOG() << "seal with a " << longest << "-byte tag gave " << resultText(full) << '\n';
    return false;
  }
  const ByteView ciphertext = full->view().first(full->size() - longest);
  for (std::size_t bytes : lengths.refusedTags) {
    const std::string which = "a " + std::to_string(bytes) + "-byte tag, a length the type does not accept";
    const ByteString input = joined(ciphertext, resized(full->view().last(longest), bytes));
    const std::string made = bytes < longest ? "cut" : "padded with zero bytes";
    if (!givesNothing(c.key->seal(v.nonce, v.aad, v.plaintext, bytes), "seal with " + which) ||
        !givesNothing(c.key->open(v.nonce, v.aad, input, bytes),
                      "open with " + which + " (the ciphertext and its " + std::to_string(longest) +
                          "-byte tag " + made + " to " + std::to_string(bytes) + " bytes)"))
      return false;
  }
  return true;
}

/// Whether the lazy member gave what the contiguous one did; otherwise logs
/// both, named `strictName` and `lazyName`.
bool sameResult(const std::string& what, const std::string& strictName,
                const std::optional<ByteString>& strict, const std::string& lazyName,
                const std::optional<ByteString>& lazy) {
  if (strict == lazy) return true;
  RC_LOG() << what << '\n';
  if (strict && lazy) {
    RC_LOG() << describeDifference(lazyName, *lazy, strictName, *strict);
  } else {
    RC_LOG() << "  " << strictName << " gave " << resultText(strict) << "\n  " << lazyName << " gave "
             << resultText(lazy) << '\n';
  }
  return false;
}

Test lazyStrictEqual(const SharedSuite& suite) {
  return testProperty("LazyStrictEqual", [suite] {
    // The chunking first: the engine shrinks what was drawn in order, and
    // the cuts follow the case's lengths, not the other way round.
    const AeadChunking chunking = *aeadChunkingGen();
    const AeadCase v = *suite->cases;
    noteAeadCase(v, &chunking, v.plaintext.size() + v.tagBytes);
    const KeyUnderTest key = keyFor(suite->aead, v);
    const std::optional<ByteString> sealed = sealCase(*key, v);
    if (!sealed) return false;
    const auto chunked = [&](ByteView bytes) { return chunkedAt(bytes, cutsOf(chunking, bytes.size())); };
    const quillon::LazyByteString aad = chunked(v.aad);
    if (!sameResult("sealLazy over the chunks differs from seal", "seal", sealed, "sealLazy",
                    key->sealLazy(v.nonce, aad, chunked(v.plaintext), v.tagBytes)))
      return false;
    const ByteString forged = flipped(*sealed, sealed->size() - 1, v.flippedBit);
    return sameResult("openLazy of the sealed message in chunks differs from open", "open",
                      key->open(v.nonce, v.aad, *sealed, v.tagBytes), "openLazy",
                      key->openLazy(v.nonce, aad, chunked(*sealed), v.tagBytes)) &&
           sameResult("openLazy of the sealed message with a tag bit flipped, in chunks, differs from open",
                      "open", key->open(v.nonce, v.aad, forged, v.tagBytes), "openLazy",
                      key->openLazy(v.nonce, aad, chunked(forged), v.tagBytes));
  });
}

const std::vector<const char*> leafNames = {"RoundTrip",        "SealLength",
                                            "TagBitFlips",      "CiphertextAndAADFlips",
                                            "NonceSensitivity", "TruncatedAndExtendedInput",
                                            "RefusedLengths",   "LazyStrictEqual"};

}  // namespace

std::vector<Test> aeadPropertyTests(AeadUnderTest aead) {
  AeadLengths lengths = probeAeadLengths(aead.acceptsNonceLength, aead.acceptsTagLength);
  std::vector<const char*> names(leafNames.begin(), leafNames.end() - (aead.lazy ? 0 : 1));
  std::vector<Test> leaves;
  if (lengths.nonces.empty() || lengths.tags.empty()) {
    leaves = failingLeaves(names, std::string("the type accepts no ") +
                                      (lengths.nonces.empty() ? "nonce length from 1 to 256 bytes" : "") +
                                      (lengths.nonces.empty() && lengths.tags.empty() ? " and no " : "") +
                                      (lengths.tags.empty() ? "tag length from 1 to 32 bytes" : "") +
                                      " (acceptsNonceLength, acceptsTagLength): there is nothing to test");
  } else {
    rc::Gen<AeadCase> cases = aeadCaseGen(lengths, keyBytesOf(aead));
    const auto suite = std::make_shared<const Suite>(Suite{aead, std::move(lengths), std::move(cases)});
    leaves.push_back(sealedProperty(names[0], suite, roundTrips));
    leaves.push_back(sealedProperty(names[1], suite, hasSealLength));
    leaves.push_back(sealedProperty(names[2], suite, refusesTagBitFlips));
    leaves.push_back(sealedProperty(names[3], suite, refusesCiphertextAndAADFlips));
    leaves.push_back(sealedProperty(names[4], suite,
                                    [suite](const Sealed& c) { return refusesOtherNonces(suite->aead, c); }));
    leaves.push_back(sealedProperty(names[5], suite, refusesTruncatedAndExtended));
    leaves.push_back(sealedProperty(
        names[6], suite, [suite](const Sealed& c) { return refusesOtherLengths(suite->lengths, c); }));
    if (aead.lazy) leaves.push_back(lazyStrictEqual(suite));
  }
  std::vector<Test> group;
  group.push_back(testGroup("AEAD properties", std::move(leaves)));
  return group;
}

}  // namespace quillon_tests::detail
