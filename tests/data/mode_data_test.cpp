// The AES-CTR, AES Monte Carlo and CMAC vector files: every record
// recomputed (OpenSSL; nettle for TwoFish), the published values they must
// carry, and the coverage the suites rely on (counter carries of every
// width, every tag length, message lengths around whole blocks, unbroken
// Monte Carlo chains).
#include "data/vector_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <set>
#include <string>

namespace vector_data {
namespace {

using quillon_tests::KatRecord;

std::string fieldOf(const KatRecord& record, std::string_view key) {
  const std::optional<std::string> value = findField(record, key);
  if (!value) throw std::invalid_argument("no \"" + std::string(key) + "\"");
  return *value;
}

std::string context(const VectorFile& file, const KatRecord& record) {
  return file.name + " at " + record.front().first + "=" + record.front().second;
}

void reportCount(const char* directory, int records) {
  std::cout << "[ vectors  ] " << directory << ": " << records << " records checked\n";
  EXPECT_GT(records, 0) << directory;
}

/// The direction of a file's only category; fails on anything else.
std::optional<bool> singleDirection(const VectorFile& file) {
  if (file.categories.size() != 1) {
    ADD_FAILURE() << file.name << ": " << file.categories.size() << " categories, expected one";
    return std::nullopt;
  }
  const auto& header = file.categories.front().header;
  const bool encrypt = findField(header, "ENCRYPT").has_value();
  const bool decrypt = findField(header, "DECRYPT").has_value();
  if (encrypt == decrypt) {
    ADD_FAILURE() << file.name << ": the category is neither [ENCRYPT] nor [DECRYPT]";
    return std::nullopt;
  }
  // The stem's last letter says the same, so that test names stay distinct.
  EXPECT_EQ(stemOf(file.name).back(), encrypt ? 'e' : 'd') << file.name;
  return encrypt;
}

TEST(VectorDataModes, CtrRecordsMatchOpenSslAndThePublishedAnchor) {
  int checked = 0;
  bool anchorSeen = false;
  for (const VectorFile& file : loadVectorFiles("KAT_AES_CTR", "COUNT")) {
    const std::optional<bool> encrypt = singleDirection(file);
    if (!encrypt) continue;
    for (const KatRecord& record : file.categories.front().records) {
      try {
        const Bytes key = decodeHex(fieldOf(record, "KEY"));
        const Bytes iv = decodeHex(fieldOf(record, "IV"));
        const Bytes plaintext = decodeHex(fieldOf(record, "PLAINTEXT"));
        const Bytes ciphertext = decodeHex(fieldOf(record, "CIPHERTEXT"));
        EXPECT_EQ(encodeHex(aesOpenSsl("CTR", *encrypt, key, iv, *encrypt ? plaintext : ciphertext)),
                  encodeHex(*encrypt ? ciphertext : plaintext))
            << context(file, record);
        if (file.name == "CTRSP800_38Ae.rsp" && fieldOf(record, "COUNT") == "0") {
          // SP 800-38A F.5.1, CTR-AES128.Encrypt, as printed.
          anchorSeen = true;
          EXPECT_EQ(encodeHex(key), "2b7e151628aed2a6abf7158809cf4f3c");
          EXPECT_EQ(encodeHex(iv), "f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff");
          EXPECT_EQ(encodeHex(ciphertext),
                    "874d6191b620e3261bef6864990db6ce9806f66b7970fdff8617187bb9fffdff"
                    "5ae4df3edbd5d35e5b4f09020db03eab1e031dda2fbe03d1792170a0f3009cee");
        }
        ++checked;
      } catch (const std::exception& error) {
        ADD_FAILURE() << context(file, record) << ": " << error.what();
      }
    }
  }
  EXPECT_TRUE(anchorSeen) << "CTRSP800_38Ae.rsp COUNT 0 is missing";
  reportCount("KAT_AES_CTR", checked);
}

TEST(VectorDataModes, CtrCountersCarryOutOfEveryWidthForEveryKeySizeAndDirection) {
  // (key bits, direction, width) for which some record's counter carries out
  // of its low `width` bits, and only those, within the message.
  std::set<std::tuple<std::size_t, bool, int>> carried;
  for (const VectorFile& file : loadVectorFiles("KAT_AES_CTR", "COUNT")) {
    const std::optional<bool> encrypt = singleDirection(file);
    if (!encrypt) continue;
    for (const KatRecord& record : file.categories.front().records) {
      const Bytes iv = decodeHex(fieldOf(record, "IV"));
      const std::size_t blocks = (decodeHex(fieldOf(record, "PLAINTEXT")).size() + 15) / 16;
      ASSERT_EQ(iv.size(), 16u) << context(file, record);
      for (int width : {8, 16, 32, 64, 128}) {
        // Carries out of the low `width` bits but not out of the next byte
        // up (messages are far shorter than 256 blocks).
        const std::size_t low = static_cast<std::size_t>(width / 8);
        const std::size_t distance = 0xffu - iv[15];  // blocks before the last byte wraps
        const bool lowAllOnesAboveLastByte =
            std::all_of(iv.end() - static_cast<std::ptrdiff_t>(low), iv.end() - 1, [](auto b) { return b == 0xff; });
        const bool stopsAbove = low == 16 || iv[15 - low] != 0xff;
        if (lowAllOnesAboveLastByte && stopsAbove && distance + 1 < blocks)
          carried.insert({decodeHex(fieldOf(record, "KEY")).size() * 8, *encrypt, width});
      }
    }
  }
  for (std::size_t bits : {128u, 192u, 256u})
    for (bool encrypt : {true, false})
      for (int width : {8, 16, 32, 64, 128})
        EXPECT_TRUE(carried.contains({bits, encrypt, width}))
            << "AES-" << bits << (encrypt ? " encryption" : " decryption")
            << ": no counter carries out of its low " << width << " bits";
}

TEST(VectorDataModes, MonteCarloRecordsMatchOpenSslAndNistsPublishedValues) {
  const std::map<std::pair<std::string, std::string>, std::string> published{
      {{"ECBMCT128e.rsp", "0"}, "d7c3ffac9031238650901e157364c386"},
      {{"ECBMCT128e.rsp", "99"}, "fb2649694783b551eacd9d5db6126d47"},
      {{"ECBMCT128d.rsp", "99"}, "d1d2bfdc58ffcad2341b095bce55221e"},
      {{"CBCMCT128e.rsp", "99"}, "7bed7671c8913aa1330f193761523e67"},
  };
  const std::map<std::string, std::string> publishedStarts{
      {"ECBMCT128e.rsp", "139a35422f1d61de3c91787fe0507afd b9145a768b7dc489a096b546f43b231f"},
      {"ECBMCT128d.rsp", "0c60e7bf20ada9baa9e1ddf0d1540726 b08a29b11a500ea3aca42c36675b9785"},
      {"CBCMCT128e.rsp", "8809e7dd3a959ee5d8dbb13f501f2274 1fd4ee65603e6130cfc2a82ab3d56c24"},
  };
  std::size_t anchorsSeen = 0;
  std::set<std::string> names;
  int checked = 0;
  for (const VectorFile& file : loadVectorFiles("KAT_AES_MCT", "COUNT")) {
    names.insert(file.name);
    const std::optional<bool> encrypt = singleDirection(file);
    if (!encrypt) continue;
    const std::string mode = file.name.starts_with("CFB128") ? "CFB" : file.name.substr(0, 3);
    const auto& records = file.categories.front().records;
    EXPECT_EQ(records.size(), 100u) << file.name;
    Bytes previousOutput;
    for (std::size_t i = 0; i < records.size(); ++i) {
      const KatRecord& record = records[i];
      try {
        EXPECT_EQ(fieldOf(record, "COUNT"), std::to_string(i)) << context(file, record);
        const Bytes key = decodeHex(fieldOf(record, "KEY"));
        const Bytes iv = mode == "ECB" ? Bytes{} : decodeHex(fieldOf(record, "IV"));
        const Bytes input = decodeHex(fieldOf(record, *encrypt ? "PLAINTEXT" : "CIPHERTEXT"));
        const Bytes output = decodeHex(fieldOf(record, *encrypt ? "CIPHERTEXT" : "PLAINTEXT"));
        EXPECT_EQ(encodeHex(aesMonteCarloOpenSsl(mode, *encrypt, key, iv, input)), encodeHex(output))
            << context(file, record);
        // The chain is unbroken: ECB starts from the previous output, the
        // other modes take it as their IV.
        if (i > 0) {
          EXPECT_EQ(encodeHex(mode == "ECB" ? input : iv), encodeHex(previousOutput)) << context(file, record);
        }
        if (i == 0 && publishedStarts.contains(file.name)) {
          EXPECT_EQ(encodeHex(key) + " " + encodeHex(input), publishedStarts.at(file.name)) << file.name;
        }
        if (const auto anchor = published.find({file.name, fieldOf(record, "COUNT")}); anchor != published.end()) {
          ++anchorsSeen;
          EXPECT_EQ(encodeHex(output), anchor->second) << context(file, record) << ": NIST's published value";
        }
        previousOutput = output;
        ++checked;
      } catch (const std::exception& error) {
        ADD_FAILURE() << context(file, record) << ": " << error.what();
      }
    }
  }
  EXPECT_EQ(anchorsSeen, published.size());
  std::set<std::string> expectedNames;
  for (const char* mode : {"ECB", "CBC", "CFB128", "OFB"})
    for (const char* bits : {"128", "192", "256"})
      for (const char* direction : {"e", "d"})
        expectedNames.insert(std::string(mode) + "MCT" + bits + direction + ".rsp");
  EXPECT_EQ(names, expectedNames);
  reportCount("KAT_AES_MCT", checked);
}

TEST(VectorDataModes, CmacRecordsMatchTheReferencesAndCoverLengthsAndTagSizes) {
  std::map<std::string, std::set<std::size_t>> messageLengths, tagLengths;
  int checked = 0;
  std::size_t publishedSeen = 0;
  for (const VectorFile& file : loadVectorFiles("KAT_CMAC", "Count")) {
    const bool aes = file.name.starts_with("CMACGenAES");
    EXPECT_TRUE(aes || file.name.starts_with("CMACGenTwofish")) << file.name << " is read by no CMAC suite";
    std::set<std::string> counts;
    for (const auto& category : file.categories) {
      for (const KatRecord& record : category.records) {
        try {
          EXPECT_TRUE(counts.insert(fieldOf(record, "Count")).second) << context(file, record) << ": Count repeated";
          const Bytes key = decodeHex(fieldOf(record, "Key"));
          const Bytes msg = decodeHex(fieldOf(record, "Msg"));
          const Bytes mac = decodeHex(fieldOf(record, "Mac"));
          const std::size_t mlen = std::stoul(fieldOf(record, "Mlen"));
          const std::size_t tlen = std::stoul(fieldOf(record, "Tlen"));
          EXPECT_EQ(std::stoul(fieldOf(record, "Klen")), key.size()) << context(file, record);
          // NIST's convention: the empty message is written as one zero byte.
          EXPECT_EQ(msg.size(), mlen == 0 ? 1 : mlen) << context(file, record);
          EXPECT_EQ(mac.size(), tlen) << context(file, record);
          const Bytes message(msg.begin(), msg.begin() + static_cast<std::ptrdiff_t>(mlen));
          const Bytes tag = aes ? aesCmacOpenSsl(key, message) : twofishCmacNettle(key, message);
          EXPECT_EQ(encodeHex(Bytes(tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(tlen))), encodeHex(mac))
              << context(file, record);
          messageLengths[file.name].insert(mlen);
          tagLengths[file.name].insert(tlen);
          // SP 800-38B's AES-128 example 2 (one whole block).
          if (encodeHex(key) == "2b7e151628aed2a6abf7158809cf4f3c" && encodeHex(message) == "6bc1bee22e409f96e93d7e117393172a") {
            ++publishedSeen;
            EXPECT_EQ(encodeHex(mac), "070a16b46b4d4144f79bdd9dd04a287c");
          }
          ++checked;
        } catch (const std::exception& error) {
          ADD_FAILURE() << context(file, record) << ": " << error.what();
        }
      }
    }
  }
  EXPECT_EQ(publishedSeen, 1u);
  for (const char* cipher : {"AES", "Twofish"}) {
    for (const char* bits : {"128", "192", "256"}) {
      const std::string name = std::string("CMACGen") + cipher + bits + ".rsp";
      for (std::size_t length : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 33u, 64u})
        EXPECT_TRUE(messageLengths[name].contains(length)) << name << ": no message of " << length << " bytes";
      EXPECT_TRUE(std::any_of(messageLengths[name].begin(), messageLengths[name].end(),
                              [](std::size_t n) { return n >= 1024; }))
          << name << ": no long message";
      for (std::size_t tag = 4; tag <= 16; ++tag)
        EXPECT_TRUE(tagLengths[name].contains(tag)) << name << ": no tag of " << tag << " bytes";
    }
  }
  reportCount("KAT_CMAC", checked);
}

}  // namespace
}  // namespace vector_data
