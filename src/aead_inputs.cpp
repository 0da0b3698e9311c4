#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <quillon_tests/detail/aead_inputs.hpp>
#include <quillon_tests/detail/mode_inputs.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/property.hpp>
#include <sstream>

namespace quillon_tests::detail {

namespace {

using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;

rc::Shrinkable<std::size_t> towardZero(std::size_t value) {
  return rc::shrinkable::shrinkRecur(value,
                                     [](std::size_t x) { return rc::shrink::towards<std::size_t>(x, 0); });
}

/// An index into `count` items: 0 half the time, one of the first `few`
/// three times in eight, any the rest; shrinking toward 0.
rc::Gen<std::size_t> biasedIndexGen(std::size_t count, std::size_t few) {
  return rc::Gen<std::size_t>([count, few = std::min(few, count)](const rc::Random& random, int /*size*/) {
    rc::Random source(random);
    const std::uint64_t kind = source.next() % 8;
    const std::uint64_t any = source.next();
    return towardZero(kind < 4 ? 0 : kind < 7 ? any % few : any % count);
  });
}

/// The lengths where AEAD code has its edges: nothing, one byte, around
/// 16- and 64-byte blocks.
constexpr std::array<std::size_t, 13> notableLengths = {0, 1, 15, 16, 17, 31, 32, 33, 63, 64, 65, 255, 256};
constexpr std::size_t maxOtherLength = 300;
/// One input in 64 is this long: every property opens a sealed message many
/// times over, so long inputs are kept rare.
constexpr std::size_t longLength = 4096;

rc::Gen<std::size_t> aeadLengthGen() {
  return rc::Gen<std::size_t>([](const rc::Random& random, int /*size*/) {
    rc::Random source(random);
    const std::uint64_t draw = source.next();
    const std::uint64_t other = draw / 64;
    const std::size_t length = draw % 64 == 0  ? longLength
                               : draw % 2 == 0 ? notableLengths[other % notableLengths.size()]
                                               : other % (maxOtherLength + 1);
    return towardZero(length);
  });
}

/// AAD or plaintext: random bytes, or all 0xff one time in four (those do
/// not shrink but to random bytes, so that shrinking does not spin on
/// bytes that are not shown).
rc::Gen<ByteString> aeadBytesGen() {
  return rc::gen::mapcat(aeadLengthGen(), [](std::size_t length) {
    return rc::gen::mapcat(uniformIn(0, 4), [length](std::size_t kind) {
      return kind == 3 ? rc::gen::just(ByteString(length, Byte{0xff})) : zeroShrinkingBytesGen(length);
    });
  });
}

void showBytes(std::ostream& os, const char* role, const ByteString& bytes) {
  os << role << ' ' << shortHex(bytes);
}

}  // namespace

rc::Gen<AeadCase> aeadCaseGen(const AeadLengths& lengths, std::size_t keyBytes) {
  const std::vector<std::size_t> nonces = lengths.nonces;
  const std::vector<std::size_t> tags = lengths.tags;
  // Short nonces are the first 8 after the usual one.
  const auto nonceGen = rc::gen::mapcat(biasedIndexGen(nonces.size(), 9), [nonces](std::size_t index) {
    return zeroShrinkingBytesGen(nonces[index]);
  });
  const auto tagGen = rc::gen::map(biasedIndexGen(tags.size(), tags.size()),
                                   [tags](std::size_t index) { return tags[index]; });
  return rc::gen::apply(
      [](ByteString plaintext, ByteString aad, ByteString nonce, std::size_t tagBytes, ByteString key,
         std::size_t bit) {
        return AeadCase{std::move(plaintext),      std::move(aad), std::move(nonce), tagBytes, std::move(key),
                        static_cast<unsigned>(bit)};
      },
      aeadBytesGen(), aeadBytesGen(), nonceGen, tagGen, zeroShrinkingBytesGen(keyBytes), uniformIn(0, 8));
}

void showValue(const AeadCase& value, std::ostream& os) {
  showBytes(os, "plaintext", value.plaintext);
  showBytes(os << ", ", "AAD", value.aad);
  showBytes(os << ", ", "nonce", value.nonce);
  os << ", tag length " << value.tagBytes;
  showBytes(os << ", ", "key", value.key);
}

rc::Gen<AeadChunking> aeadChunkingGen() {
  const auto draws = rc::gen::mapcat(uniformIn(1, 5), [](std::size_t count) {
    return rc::gen::container<std::vector<std::size_t>>(count, uniformIn(0, std::size_t{1} << 16));
  });
  return rc::gen::apply(
      [](std::size_t kind, std::vector<std::size_t> places) {
        return AeadChunking{static_cast<AeadChunking::Kind>(kind), std::move(places)};
      },
      uniformIn(0, 4), draws);
}

void showValue(const AeadChunking& value, std::ostream& os) {
  static constexpr const char* kinds[] = {"random cuts", "1-byte pieces", "cuts near 16-byte blocks",
                                          "cuts near 64-byte blocks"};
  os << kinds[static_cast<std::size_t>(value.kind)] << " from draws " << listText(value.draws);
}

std::vector<std::size_t> cutsOf(const AeadChunking& chunking, std::size_t length) {
  std::vector<std::size_t> cuts;
  if (length < 2) return cuts;
  using Kind = AeadChunking::Kind;
  if (chunking.kind == Kind::oneBytePieces) {
    for (std::size_t at = 1; at < length; ++at) cuts.push_back(at);
    return cuts;
  }
  for (std::size_t draw : chunking.draws) {
    if (chunking.kind == Kind::random) {
      cuts.push_back(1 + draw % (length - 1));
      continue;
    }
    // 16a + b or 64a + b: a block edge (b = block), or a byte after it or
    // before it, in any block the input reaches.
    const std::size_t block = chunking.kind == Kind::nearBlocksOf16 ? 16 : 64;
    const std::size_t offsets[] = {1, block - 1, block, block + 1};
    const std::size_t cut = (draw / 4) % (length / block + 1) * block + offsets[draw % 4];
    if (cut < length) cuts.push_back(cut);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  return cuts;
}

quillon::LazyByteString chunkedAt(ByteView bytes, const std::vector<std::size_t>& cuts) {
  std::vector<ByteString> chunks;
  std::size_t at = 0;
  for (std::size_t cut : cuts) {
    chunks.emplace_back(bytes.subspan(at, cut - at));
    at = cut;
  }
  if (at < bytes.size()) chunks.emplace_back(bytes.subspan(at));
  return quillon::LazyByteString(std::move(chunks));
}

std::string listText(const std::vector<std::size_t>& values) {
  constexpr std::size_t shown = 16;
  std::string text = "[";
  for (std::size_t i = 0; i < values.size() && i < shown; ++i)
    text += (i > 0 ? ", " : "") + std::to_string(values[i]);
  if (values.size() > shown) text += ", ... (" + std::to_string(values.size()) + " in all)";
  return text + "]";
}

std::string shortHex(ByteView bytes) {
  constexpr std::size_t whole = 32;
  if (bytes.empty()) return "0 bytes";
  std::ostringstream text;
  text << ByteString(bytes.first(std::min(bytes.size(), whole)));
  if (bytes.size() > whole) text << "...";
  text << " (" << bytes.size() << (bytes.size() == 1 ? " byte)" : " bytes)");
  return text.str();
}

void noteAeadCase(const AeadCase& value, const AeadChunking* chunking, std::size_t sealedBytes) {
  if (chunking == nullptr) {
    noteMessage("plaintext", value.plaintext);
    noteMessage("AAD", value.aad);
  } else {
    noteMessage("plaintext", chunkedAt(value.plaintext, cutsOf(*chunking, value.plaintext.size())));
    noteMessage("AAD", chunkedAt(value.aad, cutsOf(*chunking, value.aad.size())));
  }
  noteBytes("nonce", value.nonce);
  noteValue("tag length", std::to_string(value.tagBytes));
  noteBytes("key", value.key);
  if (chunking != nullptr) {
    noteInput({"chunk cuts", "",
               "plaintext " + listText(cutsOf(*chunking, value.plaintext.size())) + ", AAD " +
                   listText(cutsOf(*chunking, value.aad.size())) + ", ciphertext and tag " +
                   listText(cutsOf(*chunking, sealedBytes))});
  }
}

}  // namespace quillon_tests::detail
