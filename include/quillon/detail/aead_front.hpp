#pragma once
// What every AEAD key type of the kit shares (the generic constructions and
// the library bindings): the public seal / open members, which check the
// lengths before anything reaches the algorithm, the view of chunked input as
// a list of byte views, and the cutting of that list into pieces of whole
// blocks.

#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include <quillon/byte_string.hpp>

namespace quillon::detail {

/// The AAD or the text of one message, in order; views may be empty.
using AeadChunks = std::span<const ByteView>;

inline std::size_t totalSize(AeadChunks chunks) noexcept {
  std::size_t total = 0;
  for (ByteView chunk : chunks) total += chunk.size();
  return total;
}

/// The whole of `chunks` in one buffer.
inline std::vector<Byte> joinChunks(AeadChunks chunks) {
  std::vector<Byte> joined;
  joined.reserve(totalSize(chunks));
  for (ByteView chunk : chunks) joined.insert(joined.end(), chunk.begin(), chunk.end());
  return joined;
}

/// Views of the bytes [from, to) of `lazy`, one per chunk they touch.
inline std::vector<ByteView> chunkViews(const LazyByteString& lazy, std::size_t from, std::size_t to) {
  std::vector<ByteView> views;
  std::size_t start = 0;
  for (const ByteString& chunk : lazy.chunks()) {
    const std::size_t end = start + chunk.size();
    if (end > from && start < to) {
      const std::size_t first = std::max(from, start) - start;
      const std::size_t last = std::min(to, end) - start;
      views.push_back(chunk.view().subspan(first, last - first));
    }
    start = end;
  }
  return views;
}

/// Hands `chunks`, as one stream, to `piece(ByteView)` in pieces that are
/// whole multiples of `granularity` bytes, except the last, which may be
/// shorter: whole blocks straight from each chunk, a block that straddles
/// chunks gathered first. Nothing for empty input. A piece is valid only
/// during its call.
template <class Piece>
void forEachWholePiece(AeadChunks chunks, std::size_t granularity, Piece&& piece) {
  std::vector<Byte> pending;  // the start of a block an earlier chunk began
  pending.reserve(granularity);
  for (ByteView chunk : chunks) {
    if (!pending.empty()) {
      const std::size_t take = std::min(chunk.size(), granularity - pending.size());
      pending.insert(pending.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(take));
      chunk = chunk.subspan(take);
      if (pending.size() < granularity) continue;
      piece(ByteView(pending));
      pending.clear();
    }
    const std::size_t whole = chunk.size() - chunk.size() % granularity;
    if (whole > 0) piece(chunk.first(whole));
    pending.assign(chunk.begin() + static_cast<std::ptrdiff_t>(whole), chunk.end());
  }
  if (!pending.empty()) piece(ByteView(pending));
}

/// Equality whose time depends on the length only, not on where the first
/// difference lies: for comparing tags.
inline bool equalInConstantTime(ByteView a, ByteView b) noexcept {
  if (a.size() != b.size()) return false;
  unsigned difference = 0;
  for (std::size_t i = 0; i < a.size(); ++i) difference |= static_cast<unsigned>(a[i] ^ b[i]);
  return difference == 0;
}

/// The members of the Aead concept over what Derived provides:
///   static bool acceptsNonceLength(std::size_t), acceptsTagLength(std::size_t),
///     acceptsAadLength(std::size_t),
///     acceptsTextLength(std::size_t nonceBytes, std::size_t textBytes);
///   std::optional<ByteString> sealAccepted(ByteView nonce, AeadChunks aad,
///     AeadChunks text, std::size_t tagBytes) const;
///   std::optional<ByteString> openAccepted(ByteView nonce, AeadChunks aad,
///     AeadChunks text, ByteView tag) const;
/// The *Accepted members see only lengths the four rules accept, and a tag
/// of an accepted length. sealLazy and openLazy exist when TakesChunks.
template <class Derived, bool TakesChunks>
class AeadFront {
 public:
  [[nodiscard]] std::optional<ByteString> seal(ByteView nonce, ByteView aad, ByteView plaintext,
                                               std::size_t tagBytes) const {
    const ByteView aadChunks[] = {aad};
    const ByteView textChunks[] = {plaintext};
    return sealChunks(nonce, aadChunks, textChunks, tagBytes);
  }

  [[nodiscard]] std::optional<ByteString> open(ByteView nonce, ByteView aad, ByteView ciphertextAndTag,
                                               std::size_t tagBytes) const {
    if (ciphertextAndTag.size() < tagBytes) return std::nullopt;
    const std::size_t textBytes = ciphertextAndTag.size() - tagBytes;
    const ByteView aadChunks[] = {aad};
    const ByteView textChunks[] = {ciphertextAndTag.first(textBytes)};
    return openChunks(nonce, aadChunks, textChunks, ciphertextAndTag.subspan(textBytes));
  }

  [[nodiscard]] std::optional<ByteString> sealLazy(ByteView nonce, const LazyByteString& aad,
                                                   const LazyByteString& plaintext,
                                                   std::size_t tagBytes) const
    requires TakesChunks
  {
    const std::vector<ByteView> aadChunks = chunkViews(aad, 0, aad.size());
    const std::vector<ByteView> textChunks = chunkViews(plaintext, 0, plaintext.size());
    return sealChunks(nonce, aadChunks, textChunks, tagBytes);
  }

  [[nodiscard]] std::optional<ByteString> openLazy(ByteView nonce, const LazyByteString& aad,
                                                   const LazyByteString& ciphertextAndTag,
                                                   std::size_t tagBytes) const
    requires TakesChunks
  {
    if (ciphertextAndTag.size() < tagBytes) return std::nullopt;
    const std::size_t textBytes = ciphertextAndTag.size() - tagBytes;
    const std::vector<ByteView> aadChunks = chunkViews(aad, 0, aad.size());
    const std::vector<ByteView> textChunks = chunkViews(ciphertextAndTag, 0, textBytes);
    const std::vector<Byte> tag = joinChunks(chunkViews(ciphertextAndTag, textBytes, ciphertextAndTag.size()));
    return openChunks(nonce, aadChunks, textChunks, ByteView(tag));
  }

 private:
  static bool accepts(std::size_t nonceBytes, std::size_t tagBytes, AeadChunks aad, AeadChunks text) {
    return Derived::acceptsNonceLength(nonceBytes) && Derived::acceptsTagLength(tagBytes) &&
           Derived::acceptsAadLength(totalSize(aad)) && Derived::acceptsTextLength(nonceBytes, totalSize(text));
  }

  std::optional<ByteString> sealChunks(ByteView nonce, AeadChunks aad, AeadChunks text,
                                       std::size_t tagBytes) const {
    if (!accepts(nonce.size(), tagBytes, aad, text)) return std::nullopt;
    return static_cast<const Derived&>(*this).sealAccepted(nonce, aad, text, tagBytes);
  }

  std::optional<ByteString> openChunks(ByteView nonce, AeadChunks aad, AeadChunks text, ByteView tag) const {
    if (!accepts(nonce.size(), tag.size(), aad, text)) return std::nullopt;
    return static_cast<const Derived&>(*this).openAccepted(nonce, aad, text, tag);
  }
};

}  // namespace quillon::detail
