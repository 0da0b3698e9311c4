#include <memory>
#include <optional>
#include <quillon_tests/aead_differential.hpp>
#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/property.hpp>
#include <string>
#include <utility>
#include <vector>

#include "aead_checks.hpp"

namespace quillon_tests::detail {

namespace {

using quillon::ByteString;
using quillon::ByteView;
using quillon::LazyByteString;

struct Suite {
  AeadUnderTest aead;
  AeadUnderTest reference;
  rc::Gen<AeadCase> cases;
};
using SharedSuite = std::shared_ptr<const Suite>;

/// A drawn case, noted (with its chunking when the implementation is
/// lazy), and the keys of both types for it.
struct Drawn {
  AeadCase value;
  std::optional<AeadChunking> chunking;
  KeyUnderTest key;
  KeyUnderTest reference;

  LazyByteString chunked(ByteView bytes) const { return chunkedAt(bytes, cutsOf(*chunking, bytes.size())); }
};

Drawn draw(const Suite& suite) {
  // The chunking first: the engine shrinks what was drawn in order, and
  // the cuts follow the case's lengths, not the other way round.
  std::optional<AeadChunking> chunking;
  if (suite.aead.lazy) chunking = *aeadChunkingGen();
  Drawn drawn{*suite.cases, std::move(chunking), nullptr, nullptr};
  const AeadCase& v = drawn.value;
  noteAeadCase(v, drawn.chunking ? &*drawn.chunking : nullptr, v.plaintext.size() + v.tagBytes);
  drawn.reference = keyFor(suite.reference, v);
  drawn.key = keyFor(suite.aead, v);
  return drawn;
}

/// Whether the implementation's result is the reference's; otherwise logs
/// both, the reference's as expected.
bool matchesReference(const std::string& what, const std::optional<ByteString>& expected,
                      const std::optional<ByteString>& actual) {
  if (expected == actual) return true;
  RC_LOG() << what << ": " << (expected && actual ? "the output differs" : "only one of them gave nothing")
           << "\n  expected (the reference): " << resultText(expected)
           << "\n  actual (the implementation under test): " << resultText(actual) << '\n';
  if (expected && actual) RC_LOG() << "  " << describeByteMismatch(*expected, *actual);
  return false;
}

Test sealMatchesReference(const SharedSuite& suite) {
  return testProperty("SealMatchesReference", [suite] {
    const Drawn d = draw(*suite);
    const AeadCase& v = d.value;
    const std::optional<ByteString> expected = d.reference->seal(v.nonce, v.aad, v.plaintext, v.tagBytes);
    if (!matchesReference("seal", expected, d.key->seal(v.nonce, v.aad, v.plaintext, v.tagBytes)))
      return false;
    return !d.chunking ||
           matchesReference("sealLazy over the chunks", expected,
                            d.key->sealLazy(v.nonce, d.chunked(v.aad), d.chunked(v.plaintext), v.tagBytes));
  });
}

/// An input for open: the reference's sealed message, or a forgery of it.
struct OpenInput {
  std::string what;
  ByteString nonce;
  ByteString aad;
  ByteString sealed;
};

std::vector<OpenInput> openInputs(const AeadCase& v, const ByteString& sealed) {
  const unsigned bit = v.flippedBit;
  std::vector<OpenInput> inputs;
  inputs.push_back({"open of the sealed message", v.nonce, v.aad, sealed});
  inputs.push_back({"open of the sealed message with a bit of its last tag byte flipped", v.nonce, v.aad,
                    flipped(sealed, sealed.size() - 1, bit)});
  if (!v.plaintext.empty()) {
    inputs.push_back({"open of the sealed message with a bit of its first byte flipped", v.nonce, v.aad,
                      flipped(sealed, 0, bit)});
  } else if (!v.aad.empty()) {
    inputs.push_back({"open of the sealed message under the AAD with a bit of its first byte flipped",
                      v.nonce, flipped(v.aad, 0, bit), sealed});
  }
  inputs.push_back({"open of the sealed message without its last byte", v.nonce, v.aad,
                    ByteString(sealed.view().first(sealed.size() - 1))});
  inputs.push_back({"open of the sealed message under the nonce with a bit of its first byte flipped",
                    flipped(v.nonce, 0, bit), v.aad, sealed});
  return inputs;
}

Test openMatchesReference(const SharedSuite& suite) {
  return testProperty("OpenMatchesReference", [suite] {
    const Drawn d = draw(*suite);
    const AeadCase& v = d.value;
    const std::optional<ByteString> sealed = sealCase(*d.reference, v);
    if (!sealed) RC_DISCARD("the reference's seal gave nothing");
    for (const OpenInput& input : openInputs(v, *sealed)) {
      const std::optional<ByteString> expected =
          d.reference->open(input.nonce, input.aad, input.sealed, v.tagBytes);
      if (!matchesReference(input.what, expected,
                            d.key->open(input.nonce, input.aad, input.sealed, v.tagBytes)))
        return false;
      if (d.chunking && !matchesReference("openLazy of the chunks, " + input.what, expected,
                                          d.key->openLazy(input.nonce, d.chunked(input.aad),
                                                          d.chunked(input.sealed), v.tagBytes)))
        return false;
    }
    return true;
  });
}

const std::vector<const char*> leafNames = {"SealMatchesReference", "OpenMatchesReference"};

/// Why the two types cannot be compared, or nothing.
std::string unusableBecause(const AeadUnderTest& aead, const AeadUnderTest& reference,
                            const AeadLengths& lengths) {
  if (aead.keyLength != reference.keyLength) {
    return "the reference's keyLength() is " + std::to_string(reference.keyLength) +
           " bits, the implementation's " + std::to_string(aead.keyLength) + ": not the same algorithm";
  }
  if (lengths.nonces.empty())
    return "the implementation and the reference accept no nonce length in common from 1 to 256 bytes";
  if (lengths.tags.empty())
    return "the implementation and the reference accept no tag length in common from 1 to 32 bytes";
  return {};
}

}  // namespace

std::vector<Test> aeadDifferentialTests(AeadUnderTest aead, AeadUnderTest reference) {
  AeadLengths lengths = probeAeadLengths(
      [&](std::size_t bytes) {
        return aead.acceptsNonceLength(bytes) && reference.acceptsNonceLength(bytes);
      },
      [&](std::size_t bytes) { return aead.acceptsTagLength(bytes) && reference.acceptsTagLength(bytes); });
  std::vector<Test> leaves;
  const std::string unusable = unusableBecause(aead, reference, lengths);
  if (!unusable.empty()) {
    leaves = failingLeaves(leafNames, unusable);
  } else {
    rc::Gen<AeadCase> cases = aeadCaseGen(lengths, keyBytesOf(aead));
    const auto suite = std::make_shared<const Suite>(Suite{aead, reference, std::move(cases)});
    leaves.push_back(sealMatchesReference(suite));
    leaves.push_back(openMatchesReference(suite));
  }
  std::vector<Test> group;
  group.push_back(testGroup("Differential tests (AEAD)", std::move(leaves)));
  return group;
}

}  // namespace quillon_tests::detail
