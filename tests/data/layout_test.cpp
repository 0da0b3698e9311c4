// The shape of the shipped vector files: the file names and categories the
// suites select by, and coverage that a recompute alone would not notice
// missing (a SHA-512/224 file read as SHA-512, an AES file with two
// categories, an HMAC set without long keys, a TwoFish table that is not the
// authors' chain).
#include "data/vector_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <string>

#include <quillon_tests/detail/kat_selection.hpp>

namespace vector_data {
namespace {

using quillon_tests::KatCategory;
using quillon_tests::KatRecord;

std::set<std::string> namesOf(const std::vector<VectorFile>& files) {
  std::set<std::string> names;
  for (const VectorFile& file : files) names.insert(file.name);
  return names;
}

std::string fieldOr(const std::vector<quillon_tests::KatProperty>& properties,
                    std::string_view key) {
  return findField(properties, key).value_or("");
}

TEST(VectorDataLayout, EveryFileIsAsciiText) {
  // The suites read the files as text; anything but ASCII risks a decoding
  // error that would end a whole suite.
  for (const char* directory : {"KAT_SHA", "KAT_SHA3", "KAT_HMAC", "KAT_AES", "KAT_TWOFISH", "KAT_AES_CTR",
                                "KAT_AES_MCT", "KAT_CMAC", "KAT_AES_GCM", "KAT_AES_CCM", "KAT_CHACHA20_POLY1305"}) {
    for (const VectorFile& file : loadVectorFiles(directory, "")) {
      const auto bad = std::find_if(file.text.begin(), file.text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x7f || (byte < 0x20 && byte != '\n' && byte != '\r' && byte != '\t');
      });
      EXPECT_EQ(bad, file.text.end()) << directory << "/" << file.name << " at byte "
                                      << (bad - file.text.begin());
    }
  }
}

TEST(VectorDataLayout, EachDigestSuiteReadsExactlyItsOwnFiles) {
  // A variant's prefix owns its message files and its Monte Carlo file, and
  // nothing of a longer name: "SHA512" must not take "SHA512_224...".
  std::map<std::string, std::set<std::string>> unclaimed;
  for (const char* directory : {"KAT_SHA", "KAT_SHA3"})
    unclaimed[directory] = namesOf(loadVectorFiles(directory, "Len"));
  for (const DigestVariant& variant : digestVariants) {
    const std::string prefix(variant.name);
    std::set<std::string> read;
    for (const std::string& name : namesOf(loadVectorFiles(variant.directory, "Len")))
      if (quillon_tests::detail::ownsFileName(prefix, name)) read.insert(name);
    EXPECT_EQ(read, (std::set<std::string>{prefix + "LongMsg.rsp", prefix + "Monte.rsp",
                                           prefix + "ShortMsg.rsp"}))
        << "files the " << prefix << " suites read";
    for (const std::string& name : read) unclaimed[std::string(variant.directory)].erase(name);
  }
  for (const auto& [directory, names] : unclaimed)
    EXPECT_TRUE(names.empty()) << directory << " holds files no digest suite reads, e.g. "
                               << (names.empty() ? "" : *names.begin());
}

TEST(VectorDataLayout, AesFilesCoverEveryModeTestKeySizeAndDirection) {
  const std::vector<VectorFile> files = loadVectorFiles("KAT_AES", "COUNT");
  std::set<std::string> expected;
  for (const char* mode : {"ECB", "CBC", "CFB128", "OFB"}) {
    for (const char* test : {"GFSbox", "KeySbox", "VarKey", "VarTxt", "MMT"}) {
      for (const char* bits : {"128", "192", "256"}) {
        for (const char* direction : {"e", "d"}) {
          expected.insert(std::string(mode) + test + bits + direction + ".rsp");
        }
      }
    }
  }
  EXPECT_EQ(namesOf(files), expected);

  for (const VectorFile& file : files) {
    const std::string stem = stemOf(file.name);
    ASSERT_EQ(file.categories.size(), 1u) << file.name << ": the suite pairs names and categories";
    const KatCategory& category = file.categories.front();
    const std::string section = stem.back() == 'e' ? "ENCRYPT" : "DECRYPT";
    EXPECT_EQ(category.header, (std::vector<quillon_tests::KatProperty>{{section, ""}}))
        << file.name << ": the name's direction and the NIST section differ";
    EXPECT_FALSE(category.records.empty()) << file.name;
    const std::size_t keyBits = std::stoul(stem.substr(stem.size() - 4, 3));
    for (const KatRecord& record : category.records) {
      EXPECT_EQ(fieldOr(record, "KEY").size() * 4, keyBits)
          << file.name << " COUNT=" << record.front().second;
    }
  }
}

struct HmacCoverage {
  std::set<std::size_t> keyLengths;
  std::set<std::size_t> messageLengths;
  std::set<std::size_t> tagLengths;
  std::multiset<std::string> counts;
};

TEST(VectorDataLayout, HmacCoversKeysMessagesAndTruncationAroundTheBlock) {
  std::map<std::string, HmacCoverage> byLength;
  for (const VectorFile& file : loadVectorFiles("KAT_HMAC", "Count")) {
    for (const KatCategory& category : file.categories) {
      HmacCoverage& coverage = byLength[fieldOr(category.header, "L")];
      for (const KatRecord& record : category.records) {
        coverage.keyLengths.insert(fieldOr(record, "Key").size() / 2);
        coverage.messageLengths.insert(fieldOr(record, "Msg").size() / 2);
        coverage.tagLengths.insert(fieldOr(record, "Mac").size() / 2);
        coverage.counts.insert(record.front().second);
      }
    }
  }
  struct Digest {
    const char* length;
    std::size_t block;
  };
  for (const Digest digest : {Digest{"20", 64}, Digest{"28", 64}, Digest{"32", 64},
                              Digest{"48", 128}, Digest{"64", 128}}) {
    SCOPED_TRACE(std::string("L=") + digest.length);
    const HmacCoverage& coverage = byLength[digest.length];
    const std::size_t block = digest.block;
    for (std::size_t length : {std::size_t{0}, std::size_t{1}, block - 1, block, block + 1}) {
      EXPECT_TRUE(coverage.keyLengths.contains(length)) << "key of " << length << " bytes";
      EXPECT_TRUE(coverage.messageLengths.contains(length)) << "message of " << length << " bytes";
    }
    // Keys longer than the block are hashed first; keep one well past it.
    EXPECT_GE(*coverage.keyLengths.rbegin(), 2 * block) << "longest key";
    const std::size_t full = std::stoul(digest.length);
    EXPECT_TRUE(coverage.tagLengths.contains(full)) << "untruncated Mac";
    EXPECT_LT(*coverage.tagLengths.begin(), full) << "truncated Mac";
    // Test names carry the count; one suite sees all files of its L.
    for (const std::string& count : coverage.counts) {
      EXPECT_EQ(coverage.counts.count(count), 1u) << "Count " << count << " repeats";
    }
  }
  byLength.erase("20"); byLength.erase("28"); byLength.erase("32"); byLength.erase("48");
  byLength.erase("64");
  EXPECT_TRUE(byLength.empty()) << "a category with an L no suite selects";
}

std::vector<VectorFile> twofishFiles() { return loadVectorFiles("KAT_TWOFISH", "I"); }

const VectorFile& twofishFile(const std::vector<VectorFile>& files, std::string_view name) {
  const auto found = std::find_if(files.begin(), files.end(),
                                  [name](const VectorFile& file) { return file.name == name; });
  if (found == files.end()) throw std::runtime_error("no " + std::string(name));
  return *found;
}

TEST(VectorDataLayout, TwofishFilesAreTheSevenKindsForEachKeySize) {
  const std::vector<VectorFile> files = twofishFiles();
  EXPECT_EQ(namesOf(files),
            (std::set<std::string>{"CBC_D_M.TXT", "CBC_E_M.TXT", "ECB_D_M.TXT", "ECB_E_M.TXT",
                                   "ECB_TLB.TXT", "ECB_VK.TXT", "ECB_VT.TXT"}));
  for (const VectorFile& file : files) {
    ASSERT_EQ(file.categories.size(), 3u) << file.name;
    for (std::size_t i = 0; i < 3; ++i) {
      const KatCategory& category = file.categories[i];
      const std::size_t keyBits = 128 + 64 * i;
      EXPECT_EQ(fieldOr(category.header, "KEYSIZE"), std::to_string(keyBits)) << file.name;
      for (std::size_t r = 0; r < category.records.size(); ++r) {
        const KatRecord& record = category.records[r];
        EXPECT_EQ(record.front().second, std::to_string(r + 1)) << file.name << ": I runs 1, 2, ...";
        const std::optional<std::string> key = file.name == "ECB_VT.TXT"
                                                   ? findField(category.header, "KEY")
                                                   : findField(record, "KEY");
        EXPECT_EQ(key.value_or("").size() * 4, keyBits) << file.name << " I=" << r + 1;
      }
    }
  }
}

TEST(VectorDataLayout, TwofishTableIsTheAuthorsChainWithItsPublishedValues) {
  const std::vector<VectorFile> files = twofishFiles();
  const VectorFile& table = twofishFile(files, "ECB_TLB.TXT");
  ASSERT_EQ(table.categories.size(), 3u);
  // Published by the TwoFish authors: step 49 of each key size, and the
  // zero key with the zero block.
  const std::array<const char*, 3> step49{"5D9D4EEFFA9151575524F115815A12E0",
                                          "E75449212BEEF9F4A390BD860A640941",
                                          "37FE26FF1CF66175F5DDF4C33B97A205"};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::vector<KatRecord>& steps = table.categories[i].records;
    ASSERT_EQ(steps.size(), 49u);
    EXPECT_EQ(fieldOr(steps[48], "CT"), step49[i]) << "key size " << 128 + 64 * i;
    const std::size_t keyBytes = 16 + 8 * i;
    EXPECT_EQ(decodeHex(fieldOr(steps[0], "KEY")), Bytes(keyBytes, 0));
    EXPECT_EQ(decodeHex(fieldOr(steps[0], "PT")), Bytes(16, 0));
    for (std::size_t s = 1; s < steps.size(); ++s) {
      const Bytes previousKey = decodeHex(fieldOr(steps[s - 1], "KEY"));
      Bytes key = decodeHex(fieldOr(steps[s - 1], "PT"));
      key.insert(key.end(), previousKey.begin(), previousKey.begin() + static_cast<std::ptrdiff_t>(keyBytes - 16));
      EXPECT_EQ(fieldOr(steps[s], "PT"), fieldOr(steps[s - 1], "CT")) << "step " << s + 1;
      EXPECT_EQ(decodeHex(fieldOr(steps[s], "KEY")), key) << "step " << s + 1;
    }
  }
  EXPECT_EQ(fieldOr(table.categories[0].records[0], "CT"), "9F589F5CF6122C32B6BFEC2F2AE8C35A");
}

// Only bit `index` (0 = most significant bit of the first byte) is set.
bool hasOnlyBit(const Bytes& value, std::size_t index) {
  Bytes expected(value.size(), 0);
  if (index / 8 >= value.size()) return false;
  expected[index / 8] = static_cast<std::uint8_t>(0x80u >> (index % 8));
  return value == expected;
}

TEST(VectorDataLayout, TwofishVariableTablesSetOneBitPerRecord) {
  const std::vector<VectorFile> files = twofishFiles();
  struct Table {
    const char* name;
    const char* fixedField;     // in the category header, all zero
    const char* variableField;  // in the records, one bit set
  };
  for (const Table table : {Table{"ECB_VK.TXT", "PT", "KEY"}, Table{"ECB_VT.TXT", "KEY", "PT"}}) {
    for (const KatCategory& category : twofishFile(files, table.name).categories) {
      const Bytes fixed = decodeHex(fieldOr(category.header, table.fixedField));
      EXPECT_FALSE(fixed.empty()) << table.name;
      EXPECT_EQ(fixed, Bytes(fixed.size(), 0)) << table.name;
      std::size_t width = 0;
      for (std::size_t r = 0; r < category.records.size(); ++r) {
        const Bytes variable = decodeHex(fieldOr(category.records[r], table.variableField));
        width = variable.size() * 8;
        EXPECT_TRUE(hasOnlyBit(variable, r)) << table.name << " I=" << r + 1;
      }
      EXPECT_EQ(category.records.size(), width) << table.name << ": one record per bit";
    }
  }
}

TEST(VectorDataLayout, TwofishMessageFilesHoldMultiBlockRecords) {
  const std::vector<VectorFile> files = twofishFiles();
  for (const char* name : {"ECB_E_M.TXT", "ECB_D_M.TXT", "CBC_E_M.TXT", "CBC_D_M.TXT"}) {
    const bool cbc = std::string_view(name).starts_with("CBC");
    for (const KatCategory& category : twofishFile(files, name).categories) {
      std::size_t mostBlocks = 0;
      for (const KatRecord& record : category.records) {
        const std::size_t bytes = fieldOr(record, "PT").size() / 2;
        EXPECT_EQ(bytes % 16, 0u) << name;
        EXPECT_EQ(fieldOr(record, "CT").size(), 2 * bytes) << name;
        mostBlocks = std::max(mostBlocks, bytes / 16);
        if (cbc) {
          EXPECT_EQ(fieldOr(record, "IV").size(), 32u) << name << ": an IV per record";
        }
      }
      EXPECT_GT(mostBlocks, 1u) << name << ": no multi-block record";
    }
  }
}

}  // namespace
}  // namespace vector_data
