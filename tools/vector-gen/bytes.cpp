#include "bytes.hpp"

#include <openssl/evp.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace vector_gen {

std::string toHex(const Bytes& bytes, HexCase letterCase) {
  const char* digits = letterCase == HexCase::upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t byte : bytes) {
    text += digits[byte >> 4];
    text += digits[byte & 0x0f];
  }
  return text;
}

namespace {

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Bytes fromHex(std::string_view text) {
  if (text.size() % 2 != 0) {
    throw std::runtime_error("hex text of odd length: \"" + std::string(text) + "\"");
  }
  Bytes bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = hexDigitValue(text[i]);
    const int low = hexDigitValue(text[i + 1]);
    if (high < 0 || low < 0) {
      throw std::runtime_error("not hex: \"" + std::string(text) + "\"");
    }
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

Bytes concat(const Bytes& first, const Bytes& second) {
  Bytes joined = first;
  joined.insert(joined.end(), second.begin(), second.end());
  return joined;
}

Bytes prefix(const Bytes& bytes, std::size_t count) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(count, bytes.size())));
}

ByteStream::ByteStream(std::string label) : label_(std::move(label)) {}

Bytes ByteStream::take(std::size_t count) {
  while (buffered_.size() < count) {
    Bytes input(label_.begin(), label_.end());
    input.push_back(0x00);
    for (int shift = 56; shift >= 0; shift -= 8) {
      input.push_back(static_cast<std::uint8_t>(nextBlock_ >> shift));
    }
    ++nextBlock_;
    unsigned char block[EVP_MAX_MD_SIZE];
    unsigned int blockLength = 0;
    if (EVP_Digest(input.data(), input.size(), block, &blockLength, EVP_sha256(), nullptr) != 1) {
      throw std::runtime_error("OpenSSL SHA-256 failed in ByteStream \"" + label_ + "\"");
    }
    buffered_.insert(buffered_.end(), block, block + blockLength);
  }
  Bytes out(buffered_.begin(), buffered_.begin() + static_cast<std::ptrdiff_t>(count));
  buffered_.erase(buffered_.begin(), buffered_.begin() + static_cast<std::ptrdiff_t>(count));
  return out;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad()) throw std::runtime_error("cannot read " + path);
  return contents.str();
}

void writeFile(const std::string& path, std::string_view contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot create " + path);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace vector_gen
