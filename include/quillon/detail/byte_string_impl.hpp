#pragma once
// Out-of-line bodies of quillon/byte_string.hpp; the primitive layer is
// header-only, so they are inline here.

#include <cstring>
#include <ostream>

namespace quillon {

inline ByteString concat(std::initializer_list<ByteView> parts) {
  std::size_t total = 0;
  for (ByteView part : parts) total += part.size();
  std::vector<Byte> out;
  out.reserve(total);
  for (ByteView part : parts) out.insert(out.end(), part.begin(), part.end());
  return ByteString(std::move(out));
}

inline LazyByteString::LazyByteString(std::vector<ByteString> chunks) {
  std::erase_if(chunks, [](const ByteString& chunk) { return chunk.empty(); });
  chunks_ = std::move(chunks);
  for (const ByteString& chunk : chunks_) size_ += chunk.size();
}

inline LazyByteString::LazyByteString(ByteString bytes) {
  if (!bytes.empty()) {
    size_ = bytes.size();
    chunks_.push_back(std::move(bytes));
  }
}

inline ByteString LazyByteString::toStrict() const {
  if (chunks_.size() == 1) return chunks_.front();
  std::vector<Byte> out;
  out.reserve(size_);
  for (const ByteString& chunk : chunks_) out.insert(out.end(), chunk.begin(), chunk.end());
  return ByteString(std::move(out));
}

inline LazyByteString LazyByteString::chunked(ByteView bytes, std::size_t chunkSize) {
  std::vector<ByteString> chunks;
  if (chunkSize == 0) chunkSize = bytes.size();
  for (std::size_t at = 0; at < bytes.size(); at += chunkSize)
    chunks.emplace_back(bytes.subspan(at, std::min(chunkSize, bytes.size() - at)));
  return LazyByteString(std::move(chunks));
}

namespace detail {
// Compares the concatenation of `chunks` with `flat` without building it.
inline bool chunksEqual(const std::vector<ByteString>& chunks, ByteView flat) noexcept {
  std::size_t at = 0;
  for (const ByteString& chunk : chunks) {
    if (flat.size() - at < chunk.size()) return false;
    if (std::memcmp(chunk.data(), flat.data() + at, chunk.size()) != 0) return false;
    at += chunk.size();
  }
  return at == flat.size();
}
}  // namespace detail

inline bool operator==(const LazyByteString& a, const ByteString& b) noexcept {
  return a.size_ == b.size() && detail::chunksEqual(a.chunks_, b);
}

inline bool operator==(const LazyByteString& a, const LazyByteString& b) noexcept {
  if (a.size_ != b.size_) return false;
  if (a.chunks_.size() == 1) return b == a.chunks_.front();
  if (b.chunks_.size() == 1) return a == b.chunks_.front();
  return a.toStrict() == b.toStrict();
}

inline std::ostream& operator<<(std::ostream& os, const ByteString& bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string text(bytes.size() * 2, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[2 * i] = digits[bytes[i] >> 4];
    text[2 * i + 1] = digits[bytes[i] & 0x0f];
  }
  return os << text;
}

inline std::ostream& operator<<(std::ostream& os, const LazyByteString& lazy) {
  os << '[';
  const char* separator = "";
  for (const ByteString& chunk : lazy.chunks()) {
    os << separator << chunk;
    separator = ", ";
  }
  return os << ']';
}

}  // namespace quillon
