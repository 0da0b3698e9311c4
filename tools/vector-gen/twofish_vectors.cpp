#include "twofish_vectors.hpp"

#include <botan/block_cipher.h>
#include <botan/cipher_mode.h>
#include <nettle/cbc.h>
#include <nettle/twofish.h>

#include <array>
#include <sstream>
#include <stdexcept>

namespace vector_gen {

namespace {

void requireShape(const Bytes& key, const Bytes& input) {
  if (key.size() != 16 && key.size() != 24 && key.size() != 32) {
    throw std::invalid_argument("TwoFish key of " + std::to_string(key.size()) + " bytes");
  }
  if (input.size() % twofishBlockBytes != 0) {
    throw std::invalid_argument("TwoFish input of " + std::to_string(input.size()) +
                                " bytes is not whole blocks");
  }
}

twofish_ctx nettleKey(const Bytes& key) {
  twofish_ctx context;
  twofish_set_key(&context, key.size(), key.data());
  return context;
}

// nettle's mode helpers take a generic cipher function; wrappers avoid
// casting between function pointer types.
void nettleEncryptBlocks(const void* context, std::size_t length, std::uint8_t* out,
                         const std::uint8_t* in) {
  twofish_encrypt(static_cast<const twofish_ctx*>(context), length, out, in);
}

void nettleDecryptBlocks(const void* context, std::size_t length, std::uint8_t* out,
                         const std::uint8_t* in) {
  twofish_decrypt(static_cast<const twofish_ctx*>(context), length, out, in);
}

std::unique_ptr<Botan::BlockCipher> botanKey(const Bytes& key) {
  std::unique_ptr<Botan::BlockCipher> cipher = Botan::BlockCipher::create_or_throw("Twofish");
  cipher->set_key(key.data(), key.size());
  return cipher;
}

Bytes botanCbc(const Bytes& key, const Bytes& iv, const Bytes& input, Botan::Cipher_Dir direction) {
  requireShape(key, input);
  std::unique_ptr<Botan::Cipher_Mode> mode =
      Botan::Cipher_Mode::create_or_throw("Twofish/CBC/NoPadding", direction);
  mode->set_key(key.data(), key.size());
  mode->start(iv.data(), iv.size());
  Botan::secure_vector<std::uint8_t> buffer(input.begin(), input.end());
  mode->finish(buffer);
  return Bytes(buffer.begin(), buffer.end());
}

}  // namespace

Bytes twofishEcbEncryptNettle(const Bytes& key, const Bytes& input) {
  requireShape(key, input);
  const twofish_ctx context = nettleKey(key);
  Bytes output(input.size());
  twofish_encrypt(&context, input.size(), output.data(), input.data());
  return output;
}

Bytes twofishEcbDecryptNettle(const Bytes& key, const Bytes& input) {
  requireShape(key, input);
  const twofish_ctx context = nettleKey(key);
  Bytes output(input.size());
  twofish_decrypt(&context, input.size(), output.data(), input.data());
  return output;
}

Bytes twofishCbcEncryptNettle(const Bytes& key, const Bytes& iv, const Bytes& input) {
  requireShape(key, input);
  const twofish_ctx context = nettleKey(key);
  Bytes chain = iv;  // nettle advances the IV in place
  Bytes output(input.size());
  cbc_encrypt(&context, nettleEncryptBlocks, twofishBlockBytes, chain.data(), input.size(),
              output.data(), input.data());
  return output;
}

Bytes twofishCbcDecryptNettle(const Bytes& key, const Bytes& iv, const Bytes& input) {
  requireShape(key, input);
  const twofish_ctx context = nettleKey(key);
  Bytes chain = iv;
  Bytes output(input.size());
  cbc_decrypt(&context, nettleDecryptBlocks, twofishBlockBytes, chain.data(), input.size(),
              output.data(), input.data());
  return output;
}

Bytes twofishEcbEncryptBotan(const Bytes& key, const Bytes& input) {
  requireShape(key, input);
  Bytes output(input.size());
  botanKey(key)->encrypt_n(input.data(), output.data(), input.size() / twofishBlockBytes);
  return output;
}

Bytes twofishEcbDecryptBotan(const Bytes& key, const Bytes& input) {
  requireShape(key, input);
  Bytes output(input.size());
  botanKey(key)->decrypt_n(input.data(), output.data(), input.size() / twofishBlockBytes);
  return output;
}

Bytes twofishCbcEncryptBotan(const Bytes& key, const Bytes& iv, const Bytes& input) {
  return botanCbc(key, iv, input, Botan::ENCRYPTION);
}

Bytes twofishCbcDecryptBotan(const Bytes& key, const Bytes& iv, const Bytes& input) {
  return botanCbc(key, iv, input, Botan::DECRYPTION);
}

namespace {

std::string hex(const Bytes& bytes) { return toHex(bytes, HexCase::upper); }

// nettle's ciphertext, after Botan encrypted to the same bytes and decrypted
// them back to the plaintext.
Bytes checkedEcb(const Bytes& key, const Bytes& plaintext, const std::string& context) {
  const Bytes ciphertext = twofishEcbEncryptNettle(key, plaintext);
  const Bytes botan = twofishEcbEncryptBotan(key, plaintext);
  if (botan != ciphertext || twofishEcbDecryptBotan(key, ciphertext) != plaintext) {
    throw std::runtime_error("TwoFish ECB disagreement at " + context + ": nettle " +
                             hex(ciphertext) + ", Botan " + hex(botan));
  }
  return ciphertext;
}

Bytes checkedCbc(const Bytes& key, const Bytes& iv, const Bytes& plaintext,
                 const std::string& context) {
  const Bytes ciphertext = twofishCbcEncryptNettle(key, iv, plaintext);
  const Bytes botan = twofishCbcEncryptBotan(key, iv, plaintext);
  if (botan != ciphertext || twofishCbcDecryptBotan(key, iv, ciphertext) != plaintext) {
    throw std::runtime_error("TwoFish CBC disagreement at " + context + ": nettle " +
                             hex(ciphertext) + ", Botan " + hex(botan));
  }
  return ciphertext;
}

constexpr std::array<std::size_t, 3> keySizes{16, 24, 32};
constexpr int tableSteps = 49;
constexpr int messageRecords = 10;  // record I holds I blocks

struct PublishedValue {
  std::size_t keyBytes;
  int step;
  const char* ciphertext;
};

// Values published by the TwoFish authors for the table chain.
constexpr std::array publishedTableValues{
    PublishedValue{16, 1, "9F589F5CF6122C32B6BFEC2F2AE8C35A"},
    PublishedValue{16, 49, "5D9D4EEFFA9151575524F115815A12E0"},
    PublishedValue{24, 49, "E75449212BEEF9F4A390BD860A640941"},
    PublishedValue{32, 49, "37FE26FF1CF66175F5DDF4C33B97A205"},
};

std::string keySizeHeader(std::size_t keyBytes) {
  return "[KEYSIZE=" + std::to_string(keyBytes * 8) + "]\n";
}

std::string fileHeader(const std::string& kind, const std::string& description) {
  return "# quillon-tests TwoFish known-answer vectors: " + kind + "\n# " + description +
         "\n# Computed with nettle and checked with Botan by tools/regenerate-vectors; do not "
         "edit by hand.\n\n";
}

// Bit `index` (0 = most significant bit of the first byte) set, all others 0.
Bytes singleBit(std::size_t bytes, std::size_t index) {
  Bytes value(bytes, 0);
  value[index / 8] = static_cast<std::uint8_t>(0x80u >> (index % 8));
  return value;
}

struct FileText {
  std::string text;
  int records = 0;
};

FileText tableFile() {
  FileText file{fileHeader("ECB_TLB", "Table chain: each step's plaintext is the previous "
                                      "ciphertext, its key made of earlier ciphertexts"),
                0};
  for (std::size_t keyBytes : keySizes) {
    file.text += keySizeHeader(keyBytes) + "\n";
    const std::vector<TableStep> chain = twofishTableChain(keyBytes, tableSteps);
    for (std::size_t i = 0; i < chain.size(); ++i) {
      file.text += "I=" + std::to_string(i + 1) + "\nKEY=" + hex(chain[i].key) + "\nPT=" +
                   hex(chain[i].plaintext) + "\nCT=" + hex(chain[i].ciphertext) + "\n\n";
      ++file.records;
    }
  }
  return file;
}

FileText variableKeyFile() {
  FileText file{fileHeader("ECB_VK", "Variable key: the zero plaintext under keys with one bit "
                                     "set"),
                0};
  const Bytes plaintext(twofishBlockBytes, 0);
  for (std::size_t keyBytes : keySizes) {
    file.text += keySizeHeader(keyBytes) + "[PT=" + hex(plaintext) + "]\n\n";
    for (std::size_t bit = 0; bit < keyBytes * 8; ++bit) {
      const Bytes key = singleBit(keyBytes, bit);
      const std::string index = std::to_string(bit + 1);
      file.text += "I=" + index + "\nKEY=" + hex(key) + "\nCT=" +
                   hex(checkedEcb(key, plaintext, "ECB_VK I=" + index)) + "\n\n";
      ++file.records;
    }
  }
  return file;
}

FileText variableTextFile() {
  FileText file{fileHeader("ECB_VT", "Variable text: plaintexts with one bit set under the zero "
                                     "key"),
                0};
  for (std::size_t keyBytes : keySizes) {
    const Bytes key(keyBytes, 0);
    file.text += keySizeHeader(keyBytes) + "[KEY=" + hex(key) + "]\n\n";
    for (std::size_t bit = 0; bit < twofishBlockBytes * 8; ++bit) {
      const Bytes plaintext = singleBit(twofishBlockBytes, bit);
      const std::string index = std::to_string(bit + 1);
      file.text += "I=" + index + "\nPT=" + hex(plaintext) + "\nCT=" +
                   hex(checkedEcb(key, plaintext, "ECB_VT I=" + index)) + "\n\n";
      ++file.records;
    }
  }
  return file;
}

// Multi-block messages: record I holds I blocks under its own key (and IV),
// so one cipher call per record checks it; nothing is chained between records.
FileText messageFile(const std::string& kind, bool cbc, bool decrypt) {
  FileText file{fileHeader(kind, std::string(cbc ? "CBC" : "ECB") +
                                     (decrypt ? " decryption" : " encryption") +
                                     " of multi-block messages from fixed seeds, one cipher "
                                     "call per record"),
                0};
  for (std::size_t keyBytes : keySizes) {
    file.text += keySizeHeader(keyBytes) + "\n";
    for (int i = 1; i <= messageRecords; ++i) {
      const std::string label = "quillon-tests TWOFISH " + kind +
                                " KEYSIZE=" + std::to_string(keyBytes * 8) +
                                " I=" + std::to_string(i);
      const Bytes key = ByteStream(label + " key").take(keyBytes);
      const Bytes iv = cbc ? ByteStream(label + " iv").take(twofishBlockBytes) : Bytes{};
      const Bytes plaintext =
          ByteStream(label + " pt").take(twofishBlockBytes * static_cast<std::size_t>(i));
      const Bytes ciphertext =
          cbc ? checkedCbc(key, iv, plaintext, label) : checkedEcb(key, plaintext, label);
      file.text += "I=" + std::to_string(i) + "\nKEY=" + hex(key) + "\n";
      if (cbc) file.text += "IV=" + hex(iv) + "\n";
      // Input first, as the TwoFish authors' files do.
      if (decrypt) {
        file.text += "CT=" + hex(ciphertext) + "\nPT=" + hex(plaintext) + "\n\n";
      } else {
        file.text += "PT=" + hex(plaintext) + "\nCT=" + hex(ciphertext) + "\n\n";
      }
      ++file.records;
    }
  }
  return file;
}

}  // namespace

std::vector<TableStep> twofishTableChain(std::size_t keyBytes, int steps) {
  std::vector<TableStep> chain;
  Bytes key(keyBytes, 0);
  Bytes plaintext(twofishBlockBytes, 0);
  for (int step = 1; step <= steps; ++step) {
    const Bytes ciphertext = checkedEcb(key, plaintext,
                                        "ECB_TLB KEYSIZE=" + std::to_string(keyBytes * 8) +
                                            " I=" + std::to_string(step));
    chain.push_back({key, plaintext, ciphertext});
    Bytes nextKey = plaintext;
    nextKey.insert(nextKey.end(), key.begin(),
                   key.begin() + static_cast<std::ptrdiff_t>(keyBytes - twofishBlockBytes));
    key = std::move(nextKey);
    plaintext = ciphertext;
  }
  return chain;
}

std::vector<WrittenFile> writeTwofishFiles(const std::string& outDir, std::ostream& log) {
  for (const PublishedValue& published : publishedTableValues) {
    const std::vector<TableStep> chain = twofishTableChain(published.keyBytes, published.step);
    const std::string computed = hex(chain.back().ciphertext);
    if (computed != published.ciphertext) {
      throw std::runtime_error("TwoFish table chain, key size " +
                               std::to_string(published.keyBytes * 8) + ", step " +
                               std::to_string(published.step) + ": computed " + computed +
                               ", published " + published.ciphertext);
    }
    log << "  ECB_TLB KEYSIZE=" << published.keyBytes * 8 << " I=" << published.step
        << ": CT equals the published " << published.ciphertext << '\n';
  }

  const std::vector<std::pair<std::string, FileText>> files{
      {"ECB_TLB", tableFile()},
      {"ECB_VK", variableKeyFile()},
      {"ECB_VT", variableTextFile()},
      {"ECB_E_M", messageFile("ECB_E_M", false, false)},
      {"ECB_D_M", messageFile("ECB_D_M", false, true)},
      {"CBC_E_M", messageFile("CBC_E_M", true, false)},
      {"CBC_D_M", messageFile("CBC_D_M", true, true)},
  };
  std::vector<WrittenFile> written;
  for (const auto& [kind, file] : files) {
    const std::string name = kind + ".TXT";
    writeFile(outDir + "/" + name, file.text);
    written.push_back({name, file.records});
    log << "  " << name << ": " << file.records
        << " records; nettle and Botan agree on every ciphertext, Botan decrypts each back\n";
  }
  return written;
}

}  // namespace vector_gen
