#include "aead_vectors.hpp"

#include "aead_libraries.hpp"
#include "block_libraries.hpp"
#include "gcm_counter.hpp"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <stdexcept>

namespace vector_gen {

namespace {

constexpr std::size_t blockBytes = 16;
constexpr std::size_t fullTag = 16;
constexpr std::array<std::size_t, 3> aesKeySizes{16, 24, 32};
constexpr const char* writtenBy = "# Written by tools/regenerate-vectors; do not edit by hand.\n";

std::string hex(const Bytes& bytes) { return toHex(bytes, HexCase::lower); }
std::string bitsOf(std::size_t bytes) { return std::to_string(bytes * 8); }
std::string describe(const std::optional<Bytes>& value) { return value ? hex(*value) : "(refused)"; }

int countLines(std::string_view text, std::string_view start) {
  int count = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    if (text.substr(at, end - at).starts_with(start)) ++count;
    at = end + 1;
  }
  return count;
}

// NIST's files unchanged, with the records an implementation must refuse
// counted by their marker line.
std::vector<WrittenFile> copyNistFiles(const std::string& sourceDir, const std::string& outDir,
                                       std::initializer_list<const char*> stems, const char* rejectionMarker) {
  std::vector<WrittenFile> written;
  for (const char* stem : stems) {
    for (std::size_t keyBytes : aesKeySizes) {
      const std::string name = stem + bitsOf(keyBytes) + ".rsp";
      const std::string text = readFile(sourceDir + "/" + name);
      writeFile(outDir + "/" + name, text);
      written.push_back({name, countRecords(text, "Count"), countLines(text, rejectionMarker)});
    }
  }
  return written;
}

struct AeadInput {
  Bytes key;
  Bytes nonce;
  Bytes aad;
  Bytes plaintext;
};

// OpenSSL's ciphertext and tag, after each of `checkers` sealed the same
// bytes and each library, OpenSSL included, opened them back.
Bytes checkedSeal(AeadKind kind, std::initializer_list<Library> checkers, const AeadInput& in,
                  const std::string& context) {
  const std::optional<Bytes> sealed =
      aeadSeal(Library::openssl, kind, in.key, in.nonce, in.aad, in.plaintext, fullTag);
  if (!sealed) throw std::runtime_error(context + ": OpenSSL refuses to seal it");
  std::vector<Library> libraries{Library::openssl};
  libraries.insert(libraries.end(), checkers);
  for (Library library : libraries) {
    const std::string name(libraryName(library));
    const std::optional<Bytes> other = aeadSeal(library, kind, in.key, in.nonce, in.aad, in.plaintext, fullTag);
    if (other != sealed) {
      throw std::runtime_error("disagreement at " + context + ": OpenSSL " + hex(*sealed) + ", " + name + " " +
                               describe(other));
    }
    if (aeadOpen(library, kind, in.key, in.nonce, in.aad, *sealed, fullTag) != in.plaintext) {
      throw std::runtime_error(context + ": " + name + " does not open what it sealed");
    }
  }
  return *sealed;
}

void requireRefusedOpen(AeadKind kind, std::initializer_list<Library> libraries, const AeadInput& in,
                        const Bytes& ciphertextAndTag, const std::string& context) {
  for (Library library : libraries) {
    const std::optional<Bytes> opened = aeadOpen(library, kind, in.key, in.nonce, in.aad, ciphertextAndTag, fullTag);
    if (opened) {
      throw std::runtime_error(context + ": " + std::string(libraryName(library)) +
                               " opens a record that must be refused, giving " + hex(*opened));
    }
  }
}

Bytes aesEcb(bool encrypt, const Bytes& key, const Bytes& block) {
  return aesStream(Library::openssl, StreamMode::ecb, encrypt, key, {})->next(block);
}

// A NIST-layout record: "Count = n" and the fields in order, a field with
// an empty value written "Name = " as NIST writes an empty PT.
std::string recordText(std::size_t count, std::initializer_list<std::pair<const char*, std::string>> fields) {
  std::string text = "Count = " + std::to_string(count) + "\n";
  for (const auto& [name, value] : fields) text += std::string(name) + " = " + value + "\n";
  return text;
}

// ---------------------------------------------------------------- GCM

constexpr std::array<std::size_t, 4> wrapNonceBytes{1, 8, 16, 60};
constexpr std::size_t wrapCounts = 4;  // J0's low word 2^32 - 1 - k for k = 0..3
constexpr std::size_t wrapAadBytes = 20;

std::uint32_t wrapWord(std::size_t k) { return 0xffffffffu - static_cast<std::uint32_t>(k); }

// The counter wraps to 0 at block k + 1; one block or more follows it, and
// the 8- and 60-byte nonces end in a partial block: 2 to 6 blocks.
std::size_t wrapTextBytes(std::size_t nonceBytes, std::size_t k) {
  return blockBytes * (k + 2) + (nonceBytes == 8 || nonceBytes == 60 ? 7 : 0);
}

// J0 as a library computes it: with no text and no AAD, GHASH's only block
// is the zero length block, so the tag is E_K(J0).
Bytes preCounterBlockOf(Library library, const Bytes& key, const Bytes& nonce) {
  const std::optional<Bytes> tag = aeadSeal(library, AeadKind::aesGcm, key, nonce, {}, {}, fullTag);
  if (!tag) throw std::runtime_error(std::string(libraryName(library)) + " refuses a GCM nonce of " +
                                     std::to_string(nonce.size()) + " bytes");
  return aesEcb(false, key, *tag);
}

Bytes plusOne128(Bytes block) {
  for (std::size_t i = block.size(); i-- > 0;) {
    if (++block[i] != 0) break;
  }
  return block;
}

struct WrapRecord {
  AeadInput input;
  Bytes sealed;
  Bytes preCounterBlock;
  std::size_t k = 0;
};

std::vector<WrapRecord> counterWrapRecords(std::size_t keyBytes, std::ostream& log) {
  const std::string base = "quillon-tests AES-GCM counter wrap " + bitsOf(keyBytes);
  std::vector<std::uint32_t> words;
  for (std::size_t k = 0; k < wrapCounts; ++k) words.push_back(wrapWord(k));
  const std::vector<KeyAndNonce> oneByte =
      searchOneByteNonces(ByteStream(base + " IV=1 key search").take(keyBytes), words);
  log << "  AES-" << bitsOf(keyBytes) << " 1-byte nonces: keys";
  for (const KeyAndNonce& found : oneByte) log << ' ' << found.keyIndex;
  log << " of the search\n";

  std::vector<WrapRecord> records;
  for (std::size_t nonceBytes : wrapNonceBytes) {
    for (std::size_t k = 0; k < wrapCounts; ++k) {
      const std::string label = base + " IV=" + std::to_string(nonceBytes) + " k=" + std::to_string(k);
      ByteStream stream(label);
      WrapRecord record;
      record.k = k;
      AeadInput& in = record.input;
      if (nonceBytes == 1) {
        in.key = oneByte[k].key;
        in.nonce = oneByte[k].nonce;
      } else {
        in.key = stream.take(keyBytes);
        const std::optional<Bytes> nonce =
            nonceForCounterWord(aesEcb(true, in.key, Bytes(blockBytes, 0)), stream.take(nonceBytes), words[k]);
        if (!nonce) throw std::runtime_error(label + ": no nonce reaches the counter word");
        in.nonce = *nonce;
      }
      in.aad = stream.take(wrapAadBytes);
      in.plaintext = stream.take(wrapTextBytes(nonceBytes, k));
      record.sealed = checkedSeal(AeadKind::aesGcm, {Library::nettle, Library::gcrypt, Library::botan}, in, label);

      record.preCounterBlock = preCounterBlockOf(Library::openssl, in.key, in.nonce);
      if (counterWord(record.preCounterBlock) != words[k]) {
        throw std::runtime_error(label + ": OpenSSL's J0 is " + hex(record.preCounterBlock));
      }
      for (Library other : {Library::nettle, Library::gcrypt, Library::botan}) {
        if (preCounterBlockOf(other, in.key, in.nonce) != record.preCounterBlock) {
          throw std::runtime_error(label + ": " + std::string(libraryName(other)) + " computes another J0");
        }
      }
      // An implementation that carries the counter into J0's upper 96 bits
      // must fail the record.
      const Bytes ciphertext = prefix(record.sealed, in.plaintext.size());
      if (aesCtr(Library::openssl, in.key, plusOne128(record.preCounterBlock), in.plaintext) == ciphertext) {
        throw std::runtime_error(label + ": an inc128 counter gives the same ciphertext");
      }
      records.push_back(std::move(record));
    }
  }
  return records;
}

std::string counterWrapFile(std::size_t keyBytes, const std::vector<WrapRecord>& records) {
  std::string text =
      "# quillon-tests AES-GCM counter-wrap vectors, the layout of NIST's gcmEncryptExtIV files\n"
      "# Keylen " + bitsOf(keyBytes) + ": nonces of 1, 8, 16 and 60 bytes whose pre-counter block J0 ends in\n"
      "# 2^32 - 1 - k (k = 0..3), so the 32-bit counter wraps to 0 at block k + 1 of the text.\n"
      "# Keys, AAD and texts from fixed seeds, nonces solved for J0 (1-byte nonces: keys searched);\n"
      "# computed with OpenSSL, equal to nettle, libgcrypt and Botan; every ciphertext differs from\n"
      "# what a counter carried into J0's upper 96 bits (inc128) gives.\n" +
      std::string(writtenBy);
  for (const WrapRecord& record : records) {
    const AeadInput& in = record.input;
    text += "\n[Keylen = " + bitsOf(keyBytes) + "]\n[IVlen = " + bitsOf(in.nonce.size()) + "]\n[PTlen = " +
            bitsOf(in.plaintext.size()) + "]\n[AADlen = " + bitsOf(in.aad.size()) + "]\n[Taglen = " +
            bitsOf(fullTag) + "]\n\n# J0 = " + hex(record.preCounterBlock) + ": the counter wraps at block " +
            std::to_string(record.k + 1) + "\n";
    text += recordText(0, {{"Key", hex(in.key)},
                           {"IV", hex(in.nonce)},
                           {"PT", hex(in.plaintext)},
                           {"AAD", hex(in.aad)},
                           {"CT", hex(prefix(record.sealed, in.plaintext.size()))},
                           {"Tag", hex(Bytes(record.sealed.end() - fullTag, record.sealed.end()))}});
  }
  return text;
}

// ---------------------------------------------------------------- CCM

constexpr std::size_t ccmNonceBytes = 13;  // a 2-byte length field

// CCM written out from its definition (SP 800-38C, A.2) over OpenSSL's AES,
// with `lengthField` in the first block whatever the text's length: the
// check of the refused record, whose length no library writes on purpose.
Bytes ccmByDefinition(const AeadInput& in, std::uint64_t lengthField) {
  const std::size_t q = 15 - in.nonce.size();
  // flags || nonce || value in q bytes, big-endian.
  const auto counterBlock = [&](std::uint8_t flags, std::uint64_t value) {
    Bytes block(blockBytes, 0);
    block[0] = flags;
    std::copy(in.nonce.begin(), in.nonce.end(), block.begin() + 1);
    for (std::size_t i = 0; i < q && i < 8; ++i) block[blockBytes - 1 - i] = static_cast<std::uint8_t>(value >> (8 * i));
    return block;
  };
  const auto padded = [](Bytes bytes) {
    bytes.resize((bytes.size() + blockBytes - 1) / blockBytes * blockBytes, 0);
    return bytes;
  };
  const std::uint8_t flags = static_cast<std::uint8_t>((in.aad.empty() ? 0 : 0x40) | ((fullTag - 2) / 2) << 3 | (q - 1));
  Bytes formatted = counterBlock(flags, lengthField);
  if (!in.aad.empty()) {
    const std::uint64_t a = in.aad.size();
    Bytes encoded;
    if (a < 0xff00) {
      encoded = {static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a)};
    } else {
      if (a >> 32 != 0) throw std::invalid_argument("AAD of 2^32 bytes or more");
      encoded = {0xff, 0xfe};
      for (int shift = 24; shift >= 0; shift -= 8) encoded.push_back(static_cast<std::uint8_t>(a >> shift));
    }
    formatted = concat(formatted, padded(concat(encoded, in.aad)));
  }
  formatted = concat(formatted, padded(in.plaintext));
  const Bytes chain = aesStream(Library::openssl, StreamMode::cbc, true, in.key, Bytes(blockBytes, 0))->next(formatted);
  Bytes tag(chain.end() - blockBytes, chain.end());
  const Bytes mask = aesEcb(true, in.key, counterBlock(static_cast<std::uint8_t>(q - 1), 0));
  for (std::size_t i = 0; i < tag.size(); ++i) tag[i] ^= mask[i];
  const Bytes ciphertext = aesCtr(Library::openssl, in.key, counterBlock(static_cast<std::uint8_t>(q - 1), 1), in.plaintext);
  return concat(ciphertext, tag);
}

struct CcmCase {
  std::size_t aadBytes;
  std::size_t textBytes;
  const char* comment;
};
constexpr std::array ccmCases{
    CcmCase{0xfeff, 24, "0xFEFF bytes of AAD: the longest length written in 2 bytes"},
    CcmCase{0xff00, 24, "0xFF00 bytes of AAD: the shortest length written as 0xFFFE and 4 bytes"},
    CcmCase{0xff01, 24, "0xFF01 bytes of AAD, in the 6-byte form"},
    CcmCase{32, 0xffff, "65,535 bytes of text: the longest the 2-byte length field of a 13-byte nonce holds"},
    CcmCase{32, 0x10000,
            "65,536 bytes of text: its length does not fit 2 bytes, so sealing and opening must refuse it;\n"
            "#  CT is what writing the length modulo 2^16 (as 0) gives, Payload its plaintext"},
};

struct CcmRecord {
  AeadInput input;
  Bytes ciphertextAndTag;
  bool refused = false;
  const char* comment = "";
};

std::vector<CcmRecord> ccmLengthRecords(std::size_t keyBytes, std::ostream& log) {
  std::vector<CcmRecord> records;
  for (std::size_t count = 0; count < ccmCases.size(); ++count) {
    const CcmCase& shape = ccmCases[count];
    const std::string label =
        "quillon-tests AES-CCM lengths " + bitsOf(keyBytes) + " Count=" + std::to_string(count);
    ByteStream stream(label);
    CcmRecord record;
    record.comment = shape.comment;
    AeadInput& in = record.input;
    in.key = stream.take(keyBytes);
    in.nonce = stream.take(ccmNonceBytes);
    in.aad = stream.take(shape.aadBytes);
    in.plaintext = stream.take(shape.textBytes);
    record.refused = shape.textBytes >> 16 != 0;
    if (!record.refused) {
      // Botan 2 refuses AAD of 0xFF00 bytes or more.
      record.ciphertextAndTag = checkedSeal(AeadKind::aesCcm, {Library::nettle, Library::gcrypt}, in, label);
      if (ccmByDefinition(in, in.plaintext.size()) != record.ciphertextAndTag) {
        throw std::runtime_error(label + ": the CCM definition disagrees with the libraries");
      }
    } else {
      for (Library library : {Library::openssl, Library::botan}) {
        if (const std::optional<Bytes> sealed =
                aeadSeal(library, AeadKind::aesCcm, in.key, in.nonce, in.aad, in.plaintext, fullTag)) {
          throw std::runtime_error(label + ": " + std::string(libraryName(library)) + " seals it");
        }
      }
      record.ciphertextAndTag = nettleCcmWithWrappedLength(in.key, in.nonce, in.aad, in.plaintext, fullTag);
      if (ccmByDefinition(in, in.plaintext.size() & 0xffff) != record.ciphertextAndTag) {
        throw std::runtime_error(label + ": nettle's wrapped length disagrees with the CCM definition");
      }
      requireRefusedOpen(AeadKind::aesCcm, {Library::openssl, Library::botan}, in, record.ciphertextAndTag, label);
      const std::optional<Bytes> gcrypt =
          aeadSeal(Library::gcrypt, AeadKind::aesCcm, in.key, in.nonce, in.aad, in.plaintext, fullTag);
      log << "  AES-" << bitsOf(keyBytes) << " 65,536-byte message: OpenSSL and Botan refuse it; libgcrypt "
          << (!gcrypt                                 ? "refuses it too"
              : *gcrypt == record.ciphertextAndTag ? "seals it, writing the length modulo 2^16"
                                                      : "seals it to other bytes")
          << "\n";
    }
    records.push_back(std::move(record));
  }
  return records;
}

std::string ccmLengthFile(std::size_t keyBytes, const std::vector<CcmRecord>& records) {
  std::string text =
      "#  quillon-tests AES-CCM length-boundary vectors, the layout of NIST's CCM-DVPT files\n"
      "#  AES Keylen: " + bitsOf(keyBytes) + "\n"
      "#  AAD around the switch of its length encoding, and texts at the limit of a 13-byte nonce.\n"
      "#  Keys, nonces, AAD and texts from fixed seeds; computed with OpenSSL, equal to nettle and\n"
      "#  libgcrypt and to the CCM definition. A Result = Fail record also carries its Payload.\n" +
      std::string(writtenBy);
  for (std::size_t count = 0; count < records.size(); ++count) {
    const CcmRecord& record = records[count];
    const AeadInput& in = record.input;
    text += "\n[Alen = " + std::to_string(in.aad.size()) + ", Plen = " + std::to_string(in.plaintext.size()) +
            ", Nlen = " + std::to_string(in.nonce.size()) + ", Tlen = " + std::to_string(fullTag) + "]\n\nKey = " +
            hex(in.key) + "\n\n#  " + record.comment + "\n";
    text += recordText(count, {{"Nonce", hex(in.nonce)},
                               {"Adata", hex(in.aad)},
                               {"CT", hex(record.ciphertextAndTag)},
                               {"Result", record.refused ? "Fail" : "Pass"},
                               {"Payload", hex(in.plaintext)}});
  }
  return text;
}

// ---------------------------------------------------------------- ChaCha20-Poly1305

struct ChaChaRecord {
  AeadInput input;
  Bytes ciphertext;
  Bytes tag;
  bool rejected = false;
  std::string comment;
};

std::string chachaRecordText(std::size_t count, const ChaChaRecord& record) {
  const AeadInput& in = record.input;
  std::string text = "\n";
  if (!record.comment.empty()) text += "# " + record.comment + "\n";
  text += "Count = " + std::to_string(count) + "\nKey = " + hex(in.key) + "\nIV = " + hex(in.nonce) + "\n";
  if (!record.rejected) text += "PT = " + hex(in.plaintext) + "\n";
  text += "AAD = " + hex(in.aad) + "\nCT = " + hex(record.ciphertext) + "\nTag = " + hex(record.tag) + "\n";
  if (record.rejected) text += "FAIL\n";
  return text;
}

std::string chachaFile(const std::string& description, const std::vector<ChaChaRecord>& records) {
  std::string text =
      "# quillon-tests ChaCha20-Poly1305 known-answer vectors, the layout of NIST's GCM files\n# " + description +
      "\n# Key 32 bytes, IV (the nonce) 12 bytes, Tag 16 bytes; CT is the ciphertext without the tag.\n"
      "# A record with a FAIL line must be refused; it has no PT.\n" +
      std::string(writtenBy);
  for (std::size_t count = 0; count < records.size(); ++count) text += chachaRecordText(count, records[count]);
  return text;
}

// A value of Debian's files: "quoted ASCII" or hex.
Bytes textOrHex(const std::string& value, const std::string& context) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    const std::string inner = value.substr(1, value.size() - 2);
    if (inner.find_first_of("\"\\") != std::string::npos) throw std::runtime_error(context + ": an escape in " + value);
    return Bytes(inner.begin(), inner.end());
  }
  return fromHex(value);
}

// Debian's files spell the fields two ways (openssl.txt: Key, IV, AAD,
// Plaintext, Ciphertext, Tag, Result; boringssl.txt: KEY, NONCE, AD, IN,
// CT, TAG), upper-cased by the reader.
std::vector<ChaChaRecord> convertChaChaFile(const std::string& path) {
  std::vector<ChaChaRecord> records;
  for (const KeyValueRecord& values : readKeyValueRecords(path)) {
    const std::string context = path + " COUNT " + recordField(values, "COUNT", path);
    ChaChaRecord record;
    for (const auto& [name, value] : values) {
      if (name == "COUNT") continue;
      if (name == "RESULT") {
        if (value != "CIPHERFINAL_ERROR") throw std::runtime_error(context + ": Result " + value);
        record.rejected = true;
        continue;
      }
      const Bytes bytes = textOrHex(value, context);
      if (name == "KEY") record.input.key = bytes;
      else if (name == "IV" || name == "NONCE") record.input.nonce = bytes;
      else if (name == "AAD" || name == "AD") record.input.aad = bytes;
      else if (name == "PLAINTEXT" || name == "IN") record.input.plaintext = bytes;
      else if (name == "CIPHERTEXT" || name == "CT") record.ciphertext = bytes;
      else if (name == "TAG") record.tag = bytes;
      else throw std::runtime_error(context + ": unknown field " + name);
    }
    const AeadInput& in = record.input;
    if (in.key.size() != 32 || in.nonce.size() != 12 || record.tag.size() != fullTag) {
      throw std::runtime_error(context + ": a key, nonce or tag of unexpected length");
    }
    const Bytes published = concat(record.ciphertext, record.tag);
    if (record.rejected) {
      requireRefusedOpen(AeadKind::chacha20Poly1305, {Library::openssl, Library::nettle, Library::gcrypt, Library::botan},
                         in, published, context);
    } else if (checkedSeal(AeadKind::chacha20Poly1305, {Library::nettle, Library::gcrypt, Library::botan}, in,
                           context) != published) {
      throw std::runtime_error(context + ": the published values differ from all four libraries");
    }
    records.push_back(std::move(record));
  }
  return records;
}

// RFC 8439's AEAD vectors, which Debian's files hold: the first record of
// each must be the RFC's (key, nonce, AAD and tag as the RFC prints them).
struct RfcAnchor {
  const char* where;
  const char* key;
  const char* nonce;
  const char* aad;
  const char* tag;
};
constexpr RfcAnchor rfc8439Section282{"RFC 8439 section 2.8.2",
                                      "808182838485868788898a8b8c8d8e8f909192939495969798999a9b9c9d9e9f",
                                      "070000004041424344454647", "50515253c0c1c2c3c4c5c6c7",
                                      "1ae10b594f09e26a7e902ecbd0600691"};
constexpr RfcAnchor rfc8439AppendixA5{"RFC 8439 appendix A.5",
                                      "1c9240a5eb55d38af333888604f6b5f0473917c1402b80099dca5cbc207075c0",
                                      "000000000102030405060708", "f33388860000000000004e91",
                                      "eead9d67890cbb22392336fea1851f38"};

void requireAnchor(const std::vector<ChaChaRecord>& records, const RfcAnchor& anchor) {
  const ChaChaRecord& first = records.at(0);
  if (hex(first.input.key) != anchor.key || hex(first.input.nonce) != anchor.nonce ||
      hex(first.input.aad) != anchor.aad || hex(first.tag) != anchor.tag || first.rejected) {
    throw std::runtime_error(std::string("the first record is not ") + anchor.where);
  }
}

// Poly1305 sees AAD and ciphertext; all-0xff blocks make its additions
// carry furthest. Lengths on both sides of 64- and 256-byte multiples.
constexpr std::array<std::size_t, 12> carryLengths{63, 64, 65, 127, 128, 129, 255, 256, 257, 511, 512, 513};

std::vector<ChaChaRecord> carryRecords() {
  std::vector<ChaChaRecord> records;
  for (std::size_t length : carryLengths) {
    const Bytes ones(length, 0xff);
    const std::string size = std::to_string(length) + " bytes";
    struct Shape {
      bool aad;
      bool text;
      bool ciphertextOnes;  // else the plaintext is all ones
      std::string comment;
    };
    const std::array shapes{Shape{true, false, false, size + " of 0xff AAD, no text"},
                            Shape{false, true, false, size + " of 0xff plaintext, no AAD"},
                            Shape{false, true, true, size + " of 0xff ciphertext, no AAD"},
                            Shape{true, true, true, size + " of 0xff AAD and " + size + " of 0xff ciphertext"}};
    for (const Shape& shape : shapes) {
      const std::string label = "quillon-tests ChaCha20-Poly1305 carry Count=" + std::to_string(records.size());
      ByteStream stream(label);
      ChaChaRecord record;
      record.comment = shape.comment;
      AeadInput& in = record.input;
      in.key = stream.take(32);
      in.nonce = stream.take(12);
      if (shape.aad) in.aad = ones;
      if (shape.text) in.plaintext = ones;
      if (shape.ciphertextOnes) {
        // The keystream xor 0xff: sealing 0xff gives exactly that.
        const Bytes sealed = checkedSeal(AeadKind::chacha20Poly1305, {Library::nettle, Library::gcrypt, Library::botan},
                                         AeadInput{in.key, in.nonce, {}, ones}, label);
        in.plaintext = prefix(sealed, length);
      }
      const Bytes sealed = checkedSeal(AeadKind::chacha20Poly1305, {Library::nettle, Library::gcrypt, Library::botan},
                                       in, label);
      record.ciphertext = prefix(sealed, in.plaintext.size());
      record.tag = Bytes(sealed.end() - fullTag, sealed.end());
      if (shape.ciphertextOnes && record.ciphertext != ones) {
        throw std::logic_error(label + ": the ciphertext is not all 0xff");
      }
      records.push_back(std::move(record));
    }
  }
  return records;
}

int rejectionsIn(const std::vector<ChaChaRecord>& records) {
  int rejections = 0;
  for (const ChaChaRecord& record : records) rejections += record.rejected ? 1 : 0;
  return rejections;
}

}  // namespace

std::vector<WrittenFile> writeAesGcmFiles(const std::string& vectorsDir, const std::string& outDir,
                                          std::ostream& log) {
  std::vector<WrittenFile> written =
      copyNistFiles(vectorsDir + "/ciphers/AES/GCM", outDir, {"gcmEncryptExtIV", "gcmDecrypt"}, "FAIL");
  for (std::size_t keyBytes : aesKeySizes) {
    const std::vector<WrapRecord> records = counterWrapRecords(keyBytes, log);
    const std::string name = "gcmEncryptExtIVWrap" + bitsOf(keyBytes) + ".rsp";
    writeFile(outDir + "/" + name, counterWrapFile(keyBytes, records));
    written.push_back({name, static_cast<int>(records.size()), 0});
    log << "  AES-" << bitsOf(keyBytes) << " counter-wrap records: " << records.size()
        << ", OpenSSL, nettle, libgcrypt and Botan agree on them and on J0; none matches inc128\n";
  }
  return written;
}

std::vector<WrittenFile> writeAesCcmFiles(const std::string& vectorsDir, const std::string& outDir,
                                          std::ostream& log) {
  std::vector<WrittenFile> written = copyNistFiles(vectorsDir + "/ciphers/AES/CCM", outDir,
                                                   {"VADT", "VNT", "VPT", "VTT", "DVPT"}, "Result = Fail");
  // The length encodings do not depend on the key: one key size keeps the
  // repository small (the file is still 0.9 MB of hex).
  const std::size_t keyBytes = 16;
  const std::vector<CcmRecord> records = ccmLengthRecords(keyBytes, log);
  const std::string name = "DVPTLengths" + bitsOf(keyBytes) + ".rsp";
  writeFile(outDir + "/" + name, ccmLengthFile(keyBytes, records));
  int refused = 0;
  for (const CcmRecord& record : records) refused += record.refused ? 1 : 0;
  written.push_back({name, static_cast<int>(records.size()), refused});
  log << "  AES-" << bitsOf(keyBytes) << " length records: " << records.size()
      << ", OpenSSL, nettle, libgcrypt and the CCM definition agree\n";
  return written;
}

std::vector<WrittenFile> writeChaCha20Poly1305Files(const std::string& vectorsDir, const std::string& outDir,
                                                    std::ostream& log) {
  const std::string sourceDir = vectorsDir + "/ciphers/ChaCha20Poly1305";
  std::vector<WrittenFile> written;
  const auto write = [&](const std::string& name, const std::string& description,
                         const std::vector<ChaChaRecord>& records) {
    writeFile(outDir + "/" + name, chachaFile(description, records));
    written.push_back({name, static_cast<int>(records.size()), rejectionsIn(records)});
  };
  const std::vector<ChaChaRecord> openssl = convertChaChaFile(sourceDir + "/openssl.txt");
  requireAnchor(openssl, rfc8439AppendixA5);
  write("ChaCha20Poly1305OpenSSL.rsp",
        "openssl.txt of Debian's python3-cryptography-vectors (from OpenSSL's evpciph.txt), COUNT n+1 as\n"
        "# Count n; Count 0 is RFC 8439 appendix A.5, Count 1 the same with the tag's last bit flipped",
        openssl);
  const std::vector<ChaChaRecord> boringssl = convertChaChaFile(sourceDir + "/boringssl.txt");
  requireAnchor(boringssl, rfc8439Section282);
  write("ChaCha20Poly1305BoringSSL.rsp",
        "boringssl.txt of Debian's python3-cryptography-vectors, COUNT n+1 as Count n, quoted texts as\n"
        "# hex; Count 0 is RFC 8439 section 2.8.2",
        boringssl);
  log << "  " << openssl.size() + boringssl.size()
      << " records of Debian's files (RFC 8439 section 2.8.2 and appendix A.5 among them): OpenSSL, nettle, "
         "libgcrypt and Botan agree, and all four refuse the "
      << rejectionsIn(openssl) + rejectionsIn(boringssl) << " forged one(s)\n";
  const std::vector<ChaChaRecord> carry = carryRecords();
  write("ChaCha20Poly1305Carry.rsp",
        "All-0xff AAD, plaintext or ciphertext of 63 to 513 bytes, around 64- and 256-byte multiples;\n"
        "# keys and nonces from fixed seeds, computed with OpenSSL, equal to nettle, libgcrypt and Botan",
        carry);
  log << "  " << carry.size() << " carry records: OpenSSL, nettle, libgcrypt and Botan agree\n";
  return written;
}

}  // namespace vector_gen
