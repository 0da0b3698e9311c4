#pragma once
// Drives a mode over contiguous or chunked input, for implementations of the
// modes: the generic ones, and a binding whose library takes whole blocks
// only (the nettle binding), so that a block begun in one chunk and finished
// in the next is handled in one place. A mode "engine" holds the mode's
// running state (chaining block, counter, ...) and offers
//   void blocks(const Byte* in, Byte* out, std::size_t length);
//     length a positive multiple of the block size;
//   void tail(const Byte* in, Byte* out, std::size_t length);
//     0 < length < block size: the final partial block (stream modes only).
// The partial-block rule itself is quillon::requireWholeBlocks
// (quillon/mode_names.hpp), checked before an engine is driven.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <quillon/byte_string.hpp>

namespace quillon {

namespace detail {

template <class Engine>
void runTail(Engine& engine, const Byte* in, Byte* out, std::size_t length) {
  if constexpr (requires { engine.tail(in, out, length); }) {
    engine.tail(in, out, length);
  } else {
    // Block modes reject partial input before they start.
    throw std::logic_error("quillon: a block mode was handed a partial block");
  }
}

}  // namespace detail

/// Runs `engine` over `input` in one pass, the whole blocks and then the
/// rest, into `out` (input.size() bytes).
template <class Engine>
void runModeInto(Engine& engine, std::size_t blockBytes, ByteView input, Byte* out) {
  const std::size_t whole = input.size() - input.size() % blockBytes;
  if (whole > 0) engine.blocks(input.data(), out, whole);
  if (whole < input.size()) detail::runTail(engine, input.data() + whole, out + whole, input.size() - whole);
}

template <class Engine>
ByteString runMode(Engine& engine, std::size_t blockBytes, ByteView input) {
  std::vector<Byte> out(input.size());
  runModeInto(engine, blockBytes, input, out.data());
  return ByteString(std::move(out));
}

/// `flat` cut into chunks of the lengths of `shape`'s chunks.
inline LazyByteString splitLike(std::vector<Byte> flat, const LazyByteString& shape) {
  if (shape.chunks().size() == 1) return LazyByteString(ByteString(std::move(flat)));
  std::vector<ByteString> chunks;
  chunks.reserve(shape.chunks().size());
  auto at = flat.cbegin();
  for (const ByteString& chunk : shape.chunks()) {
    const auto length = static_cast<std::ptrdiff_t>(chunk.size());
    chunks.emplace_back(at, at + length);
    at += length;
  }
  return LazyByteString(std::move(chunks));
}

/// Runs `engine` over the chunks of `input` in order, as one stream, into
/// `out` (input.size() bytes): whole blocks go straight from each chunk to
/// the engine, and a block that straddles chunks is gathered first.
template <class Engine>
void runModeChunkedInto(Engine& engine, std::size_t blockBytes, const LazyByteString& input,
                        Byte* out) {
  std::vector<Byte> pending;  // the start of a block that an earlier chunk began
  pending.reserve(blockBytes);
  std::size_t written = 0;
  for (const ByteString& chunk : input.chunks()) {
    const Byte* in = chunk.data();
    std::size_t left = chunk.size();
    if (!pending.empty()) {
      const std::size_t take = std::min(left, blockBytes - pending.size());
      pending.insert(pending.end(), in, in + take);
      in += take;
      left -= take;
      if (pending.size() < blockBytes) continue;
      engine.blocks(pending.data(), out + written, blockBytes);
      written += blockBytes;
      pending.clear();
    }
    const std::size_t whole = left - left % blockBytes;
    if (whole > 0) {
      engine.blocks(in, out + written, whole);
      written += whole;
      in += whole;
      left -= whole;
    }
    pending.assign(in, in + left);
  }
  if (!pending.empty()) detail::runTail(engine, pending.data(), out + written, pending.size());
}

/// The same, with the output in chunks of `input`'s chunk lengths.
template <class Engine>
LazyByteString runModeChunked(Engine& engine, std::size_t blockBytes, const LazyByteString& input) {
  std::vector<Byte> out(input.size());
  runModeChunkedInto(engine, blockBytes, input, out.data());
  return splitLike(std::move(out), input);
}

}  // namespace quillon
