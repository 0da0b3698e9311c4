// The AEAD vector files: every record recomputed with OpenSSL (a record
// marked FAIL or "Result = Fail" must be refused by it), and what the
// generated records promise: GCM counters that wrap inside the message and
// differ from an inc128 counter, CCM's length boundaries, all-0xff
// ChaCha20-Poly1305 inputs around 64- and 256-byte multiples.
#include "data/vector_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <string>
#include <tuple>

namespace vector_data {
namespace {

using Fields = std::map<std::string, std::string, std::less<>>;

const std::string& fieldOf(const Fields& fields, std::string_view key) {
  const auto found = fields.find(key);
  if (found == fields.end()) throw std::invalid_argument("no \"" + std::string(key) + "\"");
  return found->second;
}
std::size_t numberOf(const Fields& fields, std::string_view key) { return std::stoul(fieldOf(fields, key)); }
Bytes bytesOf(const Fields& fields, std::string_view key) { return decodeHex(fieldOf(fields, key)); }
Bytes firstBytes(const Bytes& bytes, std::size_t count) {
  if (count > bytes.size()) throw std::invalid_argument("a value shorter than its length field");
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}
Bytes joined(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}
bool allOnes(const Bytes& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xff; });
}

// check(file name, record, context) for every record of `directory`; an
// exception fails the record it came from.
template <class Check>
void forEachRecord(const char* directory, Check check) {
  for (const VectorFile& file : readVectorFiles(directory)) {
    for (const FlatRecord& record : flatRecords(file, "Count")) {
      const std::string context = file.name + " line " + std::to_string(record.line);
      try {
        check(file.name, record, context);
      } catch (const std::exception& error) {
        ADD_FAILURE() << context << ": " << error.what();
      }
    }
  }
}

struct Tally {
  int records = 0;
  int refusals = 0;
  void add(bool refused) {
    ++records;
    refusals += refused ? 1 : 0;
  }
};

void report(const char* directory, const Tally& nist, const Tally& generated) {
  std::cout << "[ vectors  ] " << directory << ": " << nist.records + generated.records << " records checked, "
            << nist.refusals + generated.refusals << " of them refused\n";
}

// Each record checked once: a refusal by OpenSSL for a rejection, else
// OpenSSL's sealed bytes equal to the record's. Returns whether it was a
// rejection.
bool checkRecord(Aead aead, const Bytes& key, const Bytes& nonce, const Bytes& aad, const Bytes& sealed,
                 std::size_t tagBytes, bool rejected, const std::optional<Bytes>& plaintext, const std::string& context) {
  if (rejected) {
    EXPECT_EQ(aeadOpenOpenSsl(aead, key, nonce, aad, sealed, tagBytes), std::nullopt) << context << ": opened";
  } else if (!plaintext) {
    ADD_FAILURE() << context << ": no plaintext in a record that is not refused";
  } else {
    EXPECT_EQ(encodeHex(aeadSealOpenSsl(aead, key, nonce, aad, *plaintext, tagBytes).value_or(Bytes{})),
              encodeHex(sealed))
        << context;
  }
  return rejected;
}

TEST(VectorDataAead, GcmRecordsMatchOpenSslAndTheWrapRecordsWrapTheCounter) {
  Tally nist, generated;
  std::set<std::size_t> ivBits, tagBits;
  std::set<std::tuple<std::size_t, std::size_t, std::uint32_t>> wraps;  // key bits, nonce bytes, J0 low word
  forEachRecord("KAT_AES_GCM", [&](const std::string& fileName, const FlatRecord& record, const std::string& context) {
    const bool wrapFile = fileName.starts_with("gcmEncryptExtIVWrap");
    const Fields& f = record.fields;
    const Bytes key = bytesOf(f, "Key"), iv = bytesOf(f, "IV"), aad = bytesOf(f, "AAD"), ct = bytesOf(f, "CT"),
                tag = bytesOf(f, "Tag");
    const bool rejected = f.contains("FAIL");
    EXPECT_EQ(numberOf(f, "Count"), record.indexInSection) << context << ": Count restarts in each section";
    EXPECT_EQ(std::make_tuple(key.size(), iv.size(), ct.size(), aad.size(), tag.size()),
              std::make_tuple(numberOf(f, "Keylen") / 8, numberOf(f, "IVlen") / 8, numberOf(f, "PTlen") / 8,
                              numberOf(f, "AADlen") / 8, numberOf(f, "Taglen") / 8))
        << context << ": a length differs from its section header";
    const std::optional<Bytes> pt = f.contains("PT") ? std::optional(bytesOf(f, "PT")) : std::nullopt;
    (wrapFile ? generated : nist)
        .add(checkRecord(Aead::aesGcm, key, iv, aad, joined(ct, tag), tag.size(), rejected, pt, context));
    if (!wrapFile) {
      ivBits.insert(iv.size() * 8);
      tagBits.insert(tag.size() * 8);
      return;
    }
    // With no text and no AAD the tag is E_K(J0): J0 from OpenSSL alone.
    const Bytes j0 = aesOpenSsl("ECB", false, key, {}, aeadSealOpenSsl(Aead::aesGcm, key, iv, {}, {}, 16).value());
    const std::uint32_t low = static_cast<std::uint32_t>(j0[12] << 24 | j0[13] << 16 | j0[14] << 8 | j0[15]);
    EXPECT_LT(0xffffffffu - low, (ct.size() + 15) / 16) << context << ": the counter does not wrap inside the text";
    Bytes inc128 = j0;  // the counter of the first block, carried over all 128 bits
    for (std::size_t i = 16; i-- > 0 && ++inc128[i] == 0;) {}
    EXPECT_NE(encodeHex(aesOpenSsl("CTR", true, key, inc128, pt.value_or(Bytes{}))), encodeHex(ct))
        << context << ": an inc128 counter gives the same ciphertext";
    wraps.insert({key.size() * 8, iv.size(), low});
  });
  // NIST's six files, as the package ships them.
  EXPECT_EQ(nist.records, 47250);
  EXPECT_EQ(nist.refusals, 11908);
  EXPECT_EQ(ivBits, (std::set<std::size_t>{8, 96, 1024}));
  EXPECT_EQ(tagBits, (std::set<std::size_t>{32, 64, 96, 104, 112, 120, 128}));
  for (std::size_t keyBits : {128, 192, 256})
    for (std::size_t nonceBytes : {1, 8, 16, 60})
      for (std::uint32_t k = 0; k < 4; ++k)
        EXPECT_TRUE(wraps.contains({keyBits, nonceBytes, 0xffffffffu - k}))
            << "no AES-" << keyBits << " wrap record with a " << nonceBytes << "-byte nonce and J0 ending in 2^32-1-" << k;
  report("KAT_AES_GCM", nist, generated);
}

TEST(VectorDataAead, CcmRecordsMatchOpenSslAndCrossTheLengthBoundaries) {
  Tally nist, generated;
  std::set<std::string> boundaries;
  forEachRecord("KAT_AES_CCM", [&](const std::string& fileName, const FlatRecord& record, const std::string& context) {
    const bool lengthFile = fileName.starts_with("DVPTLengths");
    const Fields& f = record.fields;
    // NIST writes an empty Adata or Payload as "00": values are cut to
    // their length fields.
    const Bytes key = bytesOf(f, "Key"), nonce = bytesOf(f, "Nonce"), ct = bytesOf(f, "CT");
    const Bytes aad = firstBytes(bytesOf(f, "Adata"), numberOf(f, "Alen"));
    const std::size_t textBytes = numberOf(f, "Plen"), tagBytes = numberOf(f, "Tlen");
    const bool rejected = f.contains("Result") && fieldOf(f, "Result").starts_with("Fail");
    EXPECT_EQ(nonce.size(), numberOf(f, "Nlen")) << context;
    EXPECT_EQ(ct.size(), textBytes + tagBytes) << context;
    const std::optional<Bytes> payload =
        f.contains("Payload") ? std::optional(firstBytes(bytesOf(f, "Payload"), textBytes)) : std::nullopt;
    (lengthFile ? generated : nist)
        .add(checkRecord(Aead::aesCcm, key, nonce, aad, ct, tagBytes, rejected, payload, context));
    if (!lengthFile) return;
    const bool tooLong = nonce.size() >= 8 && textBytes >> (8 * (15 - nonce.size())) != 0;
    EXPECT_EQ(rejected, tooLong) << context << ": only a text its length field cannot hold is refused";
    if (tooLong) {
      EXPECT_EQ(aeadSealOpenSsl(Aead::aesCcm, key, nonce, aad, payload.value(), tagBytes), std::nullopt) << context;
      EXPECT_EQ(encodeHex(ccmWrappedLengthNettle(key, nonce, aad, *payload, tagBytes)), encodeHex(ct))
          << context << ": CT is not what a wrapped length gives";
    }
    boundaries.insert((rejected ? "Fail" : "Pass") + std::string(" A") + std::to_string(aad.size()) + " P" +
                      std::to_string(textBytes) + " N" + std::to_string(nonce.size()));
  });
  EXPECT_EQ(nist.records, 2880);
  EXPECT_EQ(nist.refusals, 480);
  EXPECT_EQ(boundaries, (std::set<std::string>{"Pass A65279 P24 N13", "Pass A65280 P24 N13", "Pass A65281 P24 N13",
                                               "Pass A32 P65535 N13", "Fail A32 P65536 N13"}));
  report("KAT_AES_CCM", nist, generated);
}

TEST(VectorDataAead, ChaCha20Poly1305RecordsMatchOpenSslAndCoverPoly1305Carries) {
  Tally all;
  std::set<std::string> seen;  // RFC anchors and all-0xff shapes
  forEachRecord("KAT_CHACHA20_POLY1305", [&](const std::string&, const FlatRecord& record, const std::string& context) {
    const Fields& f = record.fields;
    const Bytes key = bytesOf(f, "Key"), iv = bytesOf(f, "IV"), aad = bytesOf(f, "AAD"), ct = bytesOf(f, "CT"),
                tag = bytesOf(f, "Tag");
    const std::optional<Bytes> pt = f.contains("PT") ? std::optional(bytesOf(f, "PT")) : std::nullopt;
    EXPECT_EQ(numberOf(f, "Count"), record.indexInSection) << context << ": Count runs from 0 in each file";
    EXPECT_EQ(std::make_tuple(key.size(), iv.size(), tag.size()), std::make_tuple(32u, 12u, 16u)) << context;
    EXPECT_NE(pt.has_value(), f.contains("FAIL")) << context << ": a refused record has no PT, others have one";
    all.add(checkRecord(Aead::chacha20Poly1305, key, iv, aad, joined(ct, tag), 16, f.contains("FAIL"), pt, context));
    if (encodeHex(tag) == "1ae10b594f09e26a7e902ecbd0600691") seen.insert("RFC 8439 section 2.8.2");
    if (encodeHex(tag) == "eead9d67890cbb22392336fea1851f38") seen.insert("RFC 8439 appendix A.5");
    for (const auto& [name, value] : {std::pair{"AAD", aad}, std::pair{"PT", pt.value_or(Bytes{})},
                                      std::pair{"CT", ct}})
      if (value.size() > 1 && allOnes(value)) seen.insert(std::string(name) + std::to_string(value.size()));
  });
  std::set<std::string> expected{"RFC 8439 section 2.8.2", "RFC 8439 appendix A.5"};
  for (std::size_t multiple : {64u, 128u, 256u, 512u})
    for (std::size_t length : {multiple - 1, multiple, multiple + 1})
      for (const char* name : {"AAD", "PT", "CT"}) expected.insert(name + std::to_string(length));
  EXPECT_TRUE(std::includes(seen.begin(), seen.end(), expected.begin(), expected.end()))
      << "missing RFC vectors or all-0xff lengths";
  EXPECT_EQ(all.refusals, 1);
  report("KAT_CHACHA20_POLY1305", all, {});
}

}  // namespace
}  // namespace vector_data
