// Every known-answer test knows its vector: the file and the line where its
// record starts. Tests are named and numbered the same whatever order the
// vector files were created in.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aes.hpp>
#include <primitives/openssl/digests.hpp>
#include <quillon_tests/aes.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hmac.hpp>
#include <quillon_tests/md5.hpp>
#include <quillon_tests/runner.hpp>
#include <quillon_tests/sha.hpp>
#include <quillon_tests/twofish.hpp>

#include "support/temporary_data_dir.hpp"

namespace {

using namespace quillon_tests;
using TestTree = quillon_tests::Test;
namespace fs = std::filesystem;
namespace openssl = quillon::openssl;

// The known-answer leaves of a builder's result: its property groups left out.
std::vector<TestTree> knownAnswerLeaves(const std::vector<TestTree>& tests) {
  std::vector<TestTree> leaves;
  std::function<void(const TestTree&)> visit = [&](const TestTree& test) {
    if (test.kind() == TestKind::group) {
      if (test.name() == "MD5 KATs")
        for (const TestTree& child : test.children()) visit(child);
      return;
    }
    leaves.push_back(test);
  };
  for (const TestTree& test : tests) visit(test);
  return leaves;
}

// Line `number` (from 1) of the file at `path`, or "" past its end.
std::string lineOf(const std::string& path, unsigned number) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  for (unsigned i = 0; i < number && std::getline(in, line); ++i) {
  }
  return in ? line : std::string();
}

std::string withoutBlanks(std::string text) {
  std::erase_if(text, [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
  return text;
}

struct FileSuite {
  const char* builder;
  std::function<std::vector<TestTree>()> build;
  const char* directory;  // under the data directory
  const char* startKey;   // the key that opens a record
};

const std::vector<FileSuite>& fileSuites() {
  static const std::vector<FileSuite> suites = {
      {"makeSHA256Tests", [] { return makeSHA256Tests<openssl::SHA256>(); }, "Test/KAT_SHA", "Len"},
      {"makeSHA1HMACTests", [] { return makeSHA1HMACTests<openssl::SHA1>(); }, "Test/KAT_HMAC", "Count"},
      {"makeSHA512HMACTests", [] { return makeSHA512HMACTests<openssl::SHA512>(); }, "Test/KAT_HMAC", "Count"},
      {"makeAESTests<AES128>", [] { return makeAESTests<openssl::AES128>(); }, "Test/KAT_AES", "COUNT"},
      {"makeTwoFishTests", [] { return makeTwoFishTests<quillon::nettle::TwoFish>(); }, "Test/KAT_TWOFISH", "I"},
  };
  return suites;
}

void PrintTo(const FileSuite& suite, std::ostream* os) { *os << suite.builder; }

class VectorLocationTest : public testing::TestWithParam<FileSuite> {};

// On the shipped vectors (the test runner points the data directory at
// them): each test's line of its file holds the record's start key, and no
// two tests of a suite share a record, even where their names repeat.
TEST_P(VectorLocationTest, EachTestIsLocatedAtTheFirstLineOfItsRecord) {
  const FileSuite& suite = GetParam();
  const std::string directory = getDataFileName(suite.directory) + "/";
  const std::vector<TestTree> leaves = knownAnswerLeaves(suite.build());
  ASSERT_GT(leaves.size(), 10u);
  std::map<std::string, std::string> testAt;  // "file:line" -> test name
  for (const TestTree& leaf : leaves) {
    const SourceLocation& where = leaf.location();
    ASSERT_TRUE(where.known()) << leaf.name();
    EXPECT_TRUE(where.file().starts_with(directory)) << leaf.name() << " at " << where.text();
    const std::string line = withoutBlanks(lineOf(where.file(), where.line()));
    EXPECT_TRUE(line.starts_with(std::string(suite.startKey) + "="))
        << leaf.name() << " at " << where.text() << " reads \"" << line << "\"";
    const auto [previous, added] = testAt.emplace(where.text(), leaf.name());
    EXPECT_TRUE(added) << leaf.name() << " and " << previous->second << " both at " << where.text();
  }
}

INSTANTIATE_TEST_SUITE_P(ShippedVectors, VectorLocationTest, testing::ValuesIn(fileSuites()),
                         [](const testing::TestParamInfo<FileSuite>& info) {
                           std::string name = info.param.builder;
                           std::erase_if(name, [](char c) { return c == '<' || c == '>'; });
                           return name;
                         });

// The seven built-in MD5 vectors are located in the source that holds them,
// each at the line where it starts.
TEST(VectorLocation, Md5VectorsAreLocatedInTheSourceThatHoldsThem) {
  const std::vector<TestTree> leaves = knownAnswerLeaves(makeMD5Tests<openssl::MD5>());
  ASSERT_EQ(leaves.size(), 7u);
  std::vector<unsigned> lines;
  for (const TestTree& leaf : leaves) {
    const SourceLocation& where = leaf.location();
    ASSERT_TRUE(where.known());
    EXPECT_TRUE(where.file().ends_with("md5.hpp")) << where.text();
    lines.push_back(where.line());
  }
  // The compiler names sources as it was given them: relative ones from
  // the build directory.
  const fs::path header = fs::path(QUILLON_TESTS_BUILD_DIR) / leaves[0].location().file();
  EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
  EXPECT_EQ(std::adjacent_find(lines.begin(), lines.end()), lines.end()) << "two vectors share a line";
  // The RFC 1321 digests of "" and "abc", in the first and third vectors.
  EXPECT_NE(lineOf(header.string(), lines[0]).find("d41d8cd98f00b204e9800998ecf8427e"),
            std::string::npos);
  EXPECT_NE(lineOf(header.string(), lines[2]).find("900150983cd24fb0d6963f7d28e17f72"),
            std::string::npos);
}

// The property groups a known-answer builder appends, and every property in
// them, are located at the line of the call that built them.
TEST(VectorLocation, AppendedPropertyGroupsAreLocatedAtTheCallersLine) {
  struct Built {
    std::vector<TestTree> tests;
    unsigned line;
  };
  const std::vector<Built> built = {
      {makeAESTests<openssl::AES128>(), __LINE__},
      {makeTwoFishTests<quillon::nettle::TwoFish>(), __LINE__},
      {makeSHA256Tests<openssl::SHA256>(), __LINE__},
      {makeSHA3_256Tests(openssl::SHA3_256::hashStrict({})), __LINE__},
      {makeMD5Tests<openssl::MD5>(), __LINE__},
  };
  for (const Built& b : built) {
    std::size_t properties = 0;
    for (const TestTree& group : b.tests) {
      if (group.kind() != TestKind::group || group.name() == "MD5 KATs") continue;
      for (const TestTree& property : group.children()) {
        ++properties;
        EXPECT_EQ(property.location(), SourceLocation(__FILE__, b.line)) << group.name() << "/" << property.name();
      }
    }
    EXPECT_GT(properties, 0u) << "line " << b.line;
  }
}

// A failing vector's report and result both name the line of its record.
TEST(VectorLocation, FailureReportNamesTheRecordsLine) {
  const test_support::TemporaryDataDir data;
  // Record 1 starts on line 4, after a comment, a header and a blank line;
  // record 2, whose MD is wrong, on line 8.
  data.write("Test/KAT_SHA/SHA256.rsp",
             "# c\n[L = 32]\n\nLen = 0\nMsg = 00\nMD = e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\n"
             "\nLen = 0\nMsg = 00\nMD = 00\n");
  std::vector<LeafResult> results;
  for (const TestTree& leaf : knownAnswerLeaves(makeSHA256Tests<openssl::SHA256>()))
    results.push_back(runLeaf(leaf, {leaf.name()}));
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].outcome, Outcome::passed);
  EXPECT_EQ(results[0].location.line(), 4u);
  EXPECT_EQ(results[1].outcome, Outcome::failed);
  EXPECT_EQ(results[1].location.line(), 8u);
  EXPECT_EQ(results[1].location.file(), (data.root() / "Test/KAT_SHA/SHA256.rsp").string());
  EXPECT_NE(results[1].report.find("SHA256.rsp, record 2 (line 8)"), std::string::npos) << results[1].report;
}

// A copy of the vectors under `source`, its directories and files created one by
// one in the order `arrange` gives, under tmpfs when there is one (it
// lists the newest entry first, so creation order shows in its listing).
class CopiedVectors {
 public:
  CopiedVectors(const fs::path& source, const std::function<void(std::vector<fs::path>&)>& arrange)
      : data_(::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path()) {
    std::vector<fs::path> directories;
    for (const fs::directory_entry& entry : fs::directory_iterator(source)) directories.push_back(entry.path());
    arrange(directories);
    for (const fs::path& directory : directories) {
      std::vector<fs::path> files;
      for (const fs::directory_entry& entry : fs::directory_iterator(directory)) files.push_back(entry.path());
      arrange(files);
      const fs::path target = data_.root() / "Test" / directory.filename();
      fs::create_directories(target);
      for (const fs::path& file : files) fs::copy_file(file, target / file.filename());
    }
  }
  [[nodiscard]] const fs::path& root() const { return data_.root(); }

 private:
  test_support::TemporaryDataDir data_;
};

// Each test as "name @ file-below-the-data-directory:line", in order.
std::vector<std::string> namedLocations(const std::vector<TestTree>& leaves, const fs::path& root) {
  std::vector<std::string> out;
  const std::string prefix = root.string() + "/";
  for (const TestTree& leaf : leaves) {
    std::string file = leaf.location().file();
    if (file.starts_with(prefix)) file.erase(0, prefix.size());
    out.push_back(leaf.name() + " @ " + file + ":" + std::to_string(leaf.location().line()));
  }
  return out;
}

TEST(VectorLocation, NamesNumbersAndVectorsDoNotDependOnCreationOrder) {
  auto sorted = [](std::vector<fs::path>& paths) { std::sort(paths.begin(), paths.end()); };
  auto reversed = [](std::vector<fs::path>& paths) { std::sort(paths.rbegin(), paths.rend()); };
  const fs::path shipped = getDataFileName("Test");
  std::vector<std::vector<std::vector<std::string>>> perCopy;  // copy -> suite -> tests
  for (const auto& arrange : {std::function<void(std::vector<fs::path>&)>(sorted),
                              std::function<void(std::vector<fs::path>&)>(reversed)}) {
    const CopiedVectors copy(shipped, arrange);
    std::vector<std::vector<std::string>> suites;
    for (const FileSuite& suite : fileSuites())
      suites.push_back(namedLocations(knownAnswerLeaves(suite.build()), copy.root()));
    perCopy.push_back(std::move(suites));
  }
  for (std::size_t i = 0; i < fileSuites().size(); ++i) {
    EXPECT_FALSE(perCopy[0][i].empty()) << fileSuites()[i].builder;
    EXPECT_EQ(perCopy[0][i], perCopy[1][i]) << fileSuites()[i].builder;
  }
  // Numbering runs through the files in byte order of their names.
  const std::vector<std::string>& sha = perCopy[0][0];
  ASSERT_FALSE(sha.empty());
  EXPECT_TRUE(sha.front().starts_with("NistSHA256-1 @ Test/KAT_SHA/SHA256LongMsg.rsp:")) << sha.front();
  EXPECT_TRUE(sha.back().starts_with("NistSHA256-" + std::to_string(sha.size()) +
                                     " @ Test/KAT_SHA/SHA256ShortMsg.rsp:"))
      << sha.back();
}

}  // namespace
