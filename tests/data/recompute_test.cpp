// Recomputes every record of every shipped vector file with a reference
// implementation (OpenSSL for SHA, HMAC and AES; nettle for TwoFish), reading
// the files the way the suites do, so that a wrong or unusable vector cannot
// ship. A record that lacks a field its suite needs fails too: the suite
// would skip it without a word.
#include "data/vector_files.hpp"

#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <iostream>
#include <map>
#include <set>
#include <optional>
#include <string>

#include <quillon_tests/detail/kat_selection.hpp>

namespace vector_data {
namespace {

using quillon_tests::KatProperty;
using quillon_tests::KatRecord;

std::string where(const VectorFile& file, const KatRecord& record) {
  return file.name + " at " + record.front().first + "=" + record.front().second;
}

// The values of `keys`, or nothing after a failure naming the first absent one.
std::optional<std::map<std::string, std::string, std::less<>>> requireFields(
    const std::vector<KatProperty>& properties, const std::vector<std::string_view>& keys,
    const std::string& context) {
  std::map<std::string, std::string, std::less<>> values;
  for (std::string_view key : keys) {
    std::optional<std::string> value = findField(properties, key);
    if (!value) {
      ADD_FAILURE() << context << ": no \"" << key << "\", so the suite would skip it";
      return std::nullopt;
    }
    values.emplace(key, *value);
  }
  return values;
}

Bytes prefixOf(const Bytes& bytes, std::size_t count) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(count, bytes.size())));
}

void reportCount(const char* directory, int records, std::size_t files) {
  std::cout << "[ vectors  ] " << directory << ": " << records << " records checked in " << files
            << " files\n";
  ::testing::Test::RecordProperty("records_checked", records);
  EXPECT_GT(records, 0) << directory << " holds no record";
}

bool isMonteFile(std::string_view name) { return stemOf(name).ends_with("Monte"); }

// The message files of one digest directory: every record recomputed under
// the suite that reads the file.
void checkDigestMessageFiles(const char* directory) {
  const std::vector<VectorFile> files = loadVectorFiles(directory, "Len");
  ASSERT_FALSE(files.empty());
  int checked = 0;
  std::size_t messageFiles = 0;
  for (const VectorFile& file : files) {
    if (isMonteFile(file.name)) continue;
    ++messageFiles;
    bool read = false;
    for (const DigestVariant& variant : digestVariants) {
      if (variant.directory != directory ||
          !quillon_tests::detail::ownsFileName(variant.name, file.name))
        continue;
      EXPECT_FALSE(read) << file.name << " is read by two suites";
      read = true;
      for (const auto& category : file.categories) {
        for (const KatRecord& record : category.records) {
          const std::string context = where(file, record) + " (" + std::string(variant.name) + ")";
          const auto fields = requireFields(record, {"Len", "Msg", "MD"}, context);
          if (!fields) continue;
          try {
            const unsigned long bits = std::stoul(fields->at("Len"));
            EXPECT_EQ(bits % 8, 0u) << context << ": not a whole number of bytes";
            const Bytes message = decodeHex(fields->at("Msg"));
            EXPECT_TRUE(bits == 0 || message.size() * 8 >= bits) << context << ": Msg too short";
            EXPECT_EQ(encodeHex(shaOpenSsl(variant.name, prefixOf(message, bits / 8))),
                      encodeHex(decodeHex(fields->at("MD"))))
                << context;
            ++checked;
          } catch (const std::exception& error) {
            ADD_FAILURE() << context << ": " << error.what();
          }
        }
      }
    }
    EXPECT_TRUE(read) << file.name << " is read by no SHA suite";
  }
  reportCount(directory, checked, messageFiles);
}

TEST(VectorDataRecompute, ShaDigestsMatchOpenSsl) { checkDigestMessageFiles("KAT_SHA"); }
TEST(VectorDataRecompute, Sha3DigestsMatchOpenSsl) { checkDigestMessageFiles("KAT_SHA3"); }

// The seed of a Monte Carlo file: NIST writes it before the first record.
std::optional<std::string> seedOf(const VectorFile& file) {
  for (const auto& category : quillon_tests::parseCategories("Seed", file.text))
    for (const KatRecord& record : category.records) return record.front().second;
  return std::nullopt;
}

// The checkpoint after `seed`, by the chain NIST's Monte Carlo test defines,
// with OpenSSL called directly.
Bytes monteCheckpoint(std::string_view variant, bool sha3, Bytes seed) {
  if (sha3) {
    for (int i = 0; i < 1000; ++i) seed = shaOpenSsl(variant, seed);
    return seed;
  }
  Bytes a = seed, b = seed, c = seed;
  for (int i = 3; i <= 1002; ++i) {
    Bytes message = a;
    message.insert(message.end(), b.begin(), b.end());
    message.insert(message.end(), c.begin(), c.end());
    a = std::move(b);
    b = std::move(c);
    c = shaOpenSsl(variant, message);
  }
  return c;
}

TEST(VectorDataRecompute, MonteCarloCheckpointsMatchOpenSsl) {
  int checked = 0;
  std::size_t files = 0;
  for (const DigestVariant& variant : digestVariants) {
    const std::string name = std::string(variant.name) + "Monte.rsp";
    std::vector<VectorFile> all = loadVectorFiles(variant.directory, "COUNT");
    const auto file = std::find_if(all.begin(), all.end(),
                                   [&](const VectorFile& f) { return f.name == name; });
    if (file == all.end()) {
      ADD_FAILURE() << name << " is missing from " << variant.directory;
      continue;
    }
    ++files;
    const std::optional<std::string> seed = seedOf(*file);
    ASSERT_TRUE(seed) << name << ": no Seed";
    ASSERT_EQ(file->categories.size(), 1u) << name;
    const auto digestBits = findField(file->categories.front().header, "L");
    Bytes start = decodeHex(*seed);
    // SHA-1/SHA-2 files give L in bytes, SHA-3 files in bits.
    EXPECT_EQ(digestBits.value_or(""), std::to_string(start.size() * (variant.sha3 ? 8 : 1)))
        << name << ": L and the seed length disagree";
    int expectedCount = 0;
    for (const KatRecord& record : file->categories.front().records) {
      const std::string context = where(*file, record);
      const auto fields = requireFields(record, {"COUNT", "MD"}, context);
      if (!fields) break;  // every later record starts from this one's MD
      EXPECT_EQ(fields->at("COUNT"), std::to_string(expectedCount++)) << context;
      const Bytes expected = decodeHex(fields->at("MD"));
      EXPECT_EQ(encodeHex(monteCheckpoint(variant.name, variant.sha3, start)), encodeHex(expected))
          << context;
      start = expected;
      ++checked;
    }
    EXPECT_EQ(expectedCount, 100) << name;
  }
  reportCount("Monte Carlo", checked, files);
}

TEST(VectorDataRecompute, HmacValuesMatchOpenSsl) {
  const std::vector<VectorFile> files = loadVectorFiles("KAT_HMAC", "Count");
  ASSERT_FALSE(files.empty());
  const std::set<std::string, std::less<>> digestLengths{"20", "28", "32", "48", "64"};
  int checked = 0;
  for (const VectorFile& file : files) {
    for (const auto& category : file.categories) {
      const std::optional<std::string> length = findField(category.header, "L");
      if (!length || !digestLengths.contains(*length)) {
        ADD_FAILURE() << file.name << ": a category with L=" << length.value_or("(none)")
                      << " is selected by no HMAC suite";
        continue;
      }
      const std::size_t digestBytes = std::stoul(*length);
      for (const KatRecord& record : category.records) {
        const std::string context = where(file, record) + " (L=" + *length + ")";
        const auto fields =
            requireFields(record, {"Count", "Klen", "Tlen", "Key", "Msg", "Mac"}, context);
        if (!fields) continue;
        try {
          const Bytes key = decodeHex(fields->at("Key"));
          const Bytes mac = decodeHex(fields->at("Mac"));
          const std::size_t tagBytes = std::stoul(fields->at("Tlen"));
          EXPECT_EQ(key.size(), std::stoul(fields->at("Klen"))) << context << ": Klen";
          // The suites compare the first Tlen digest bytes with the whole Mac.
          EXPECT_EQ(mac.size(), tagBytes) << context << ": Tlen differs from the Mac length";
          EXPECT_TRUE(tagBytes > 0 && tagBytes <= digestBytes) << context << ": Tlen";
          const Bytes full = hmacOpenSsl(digestBytes, key, decodeHex(fields->at("Msg")));
          EXPECT_EQ(encodeHex(prefixOf(full, tagBytes)), encodeHex(mac)) << context;
          ++checked;
        } catch (const std::exception& error) {
          ADD_FAILURE() << context << ": " << error.what();
        }
      }
    }
  }
  reportCount("KAT_HMAC", checked, files.size());
}

TEST(VectorDataRecompute, AesResultsMatchOpenSsl) {
  const std::vector<VectorFile> files = loadVectorFiles("KAT_AES", "COUNT");
  ASSERT_FALSE(files.empty());
  int checked = 0;
  for (const VectorFile& file : files) {
    // The suite's kind: first three characters of the name, last of the stem.
    const std::string mode = file.name.substr(0, 3);
    const char direction = stemOf(file.name).back();
    const bool supported = (mode == "ECB" || mode == "CBC" || mode == "OFB" ||
                            (mode == "CFB" && file.name.find("CFB128") != std::string::npos)) &&
                           (direction == 'e' || direction == 'd');
    if (!supported) {
      ADD_FAILURE() << file.name << " is of no kind the AES suite runs";
      continue;
    }
    // The suite pairs file names with categories by position.
    EXPECT_EQ(file.categories.size(), 1u) << file.name;
    const bool encrypt = direction == 'e';
    for (const auto& category : file.categories) {
      for (const KatRecord& record : category.records) {
        const std::string context = where(file, record);
        const auto fields =
            mode == "ECB"
                ? requireFields(record, {"COUNT", "KEY", "PLAINTEXT", "CIPHERTEXT"}, context)
                : requireFields(record, {"COUNT", "KEY", "IV", "PLAINTEXT", "CIPHERTEXT"},
                                context);
        if (!fields) continue;
        try {
          const Bytes key = decodeHex(fields->at("KEY"));
          const Bytes iv = mode == "ECB" ? Bytes{} : decodeHex(fields->at("IV"));
          const Bytes plaintext = decodeHex(fields->at("PLAINTEXT"));
          const Bytes ciphertext = decodeHex(fields->at("CIPHERTEXT"));
          EXPECT_EQ(encodeHex(aesOpenSsl(mode, encrypt, key, iv, encrypt ? plaintext : ciphertext)),
                    encodeHex(encrypt ? ciphertext : plaintext))
              << context;
          ++checked;
        } catch (const std::exception& error) {
          ADD_FAILURE() << context << ": " << error.what();
        }
      }
    }
  }
  reportCount("KAT_AES", checked, files.size());
}

// Per file kind (the stem): mode, direction and which field comes from the
// category header instead of the record.
struct TwofishKind {
  std::string_view stem;
  bool cbc;
  bool encrypt;
  std::string_view headerField;
};

constexpr std::array<TwofishKind, 7> twofishKinds{{
    {"ECB_TLB", false, true, ""},
    {"ECB_VK", false, true, "PT"},
    {"ECB_VT", false, true, "KEY"},
    {"ECB_E_M", false, true, ""},
    {"ECB_D_M", false, false, ""},
    {"CBC_E_M", true, true, ""},
    {"CBC_D_M", true, false, ""},
}};

TEST(VectorDataRecompute, TwofishResultsMatchNettle) {
  const std::vector<VectorFile> files = loadVectorFiles("KAT_TWOFISH", "I");
  ASSERT_FALSE(files.empty());
  int checked = 0;
  for (const VectorFile& file : files) {
    const std::string stem = stemOf(file.name);
    const auto kind = std::find_if(twofishKinds.begin(), twofishKinds.end(),
                                   [&stem](const TwofishKind& k) { return k.stem == stem; });
    if (kind == twofishKinds.end()) {
      ADD_FAILURE() << file.name << " is of no kind the TwoFish suite knows";
      continue;
    }
    for (const auto& category : file.categories) {
      std::optional<std::string> headerValue;
      if (!kind->headerField.empty()) {
        headerValue = findField(category.header, kind->headerField);
        if (!headerValue) {
          ADD_FAILURE() << file.name << ": a category without header " << kind->headerField;
          continue;
        }
      }
      for (const KatRecord& record : category.records) {
        const std::string context = where(file, record);
        std::vector<std::string_view> keys{"I", "CT"};
        if (kind->headerField != "KEY") keys.push_back("KEY");
        if (kind->headerField != "PT") keys.push_back("PT");
        if (kind->cbc) keys.push_back("IV");
        auto fields = requireFields(record, keys, context);
        if (!fields) continue;
        if (headerValue) fields->emplace(kind->headerField, *headerValue);
        try {
          const Bytes key = decodeHex(fields->at("KEY"));
          const Bytes plaintext = decodeHex(fields->at("PT"));
          const Bytes ciphertext = decodeHex(fields->at("CT"));
          const Bytes& input = kind->encrypt ? plaintext : ciphertext;
          const Bytes computed =
              kind->cbc ? twofishCbcNettle(kind->encrypt, key, decodeHex(fields->at("IV")), input)
                        : twofishEcbNettle(kind->encrypt, key, input);
          EXPECT_EQ(encodeHex(computed), encodeHex(kind->encrypt ? ciphertext : plaintext))
              << context;
          ++checked;
        } catch (const std::exception& error) {
          ADD_FAILURE() << context << ": " << error.what();
        }
      }
    }
  }
  reportCount("KAT_TWOFISH", checked, files.size());
}

}  // namespace
}  // namespace vector_data
