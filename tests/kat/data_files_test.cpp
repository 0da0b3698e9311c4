#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <typeinfo>
#include <string>
#include <vector>

#include <quillon_tests/data_files.hpp>

#include "kat/materialise.hpp"

namespace quillon_tests {
namespace {

namespace fs = std::filesystem;

constexpr const char* variable = "quillon_tests_datadir";

// Sets or unsets the data-directory variable for one test and restores the
// value it had (the test runner sets one for every test).
class DataDirVariable {
 public:
  explicit DataDirVariable(std::optional<std::string> value) {
    if (const char* old = std::getenv(variable)) saved_ = old;
    set(value);
  }
  DataDirVariable(const DataDirVariable&) = delete;
  DataDirVariable& operator=(const DataDirVariable&) = delete;
  ~DataDirVariable() { set(saved_); }

 private:
  static void set(const std::optional<std::string>& value) {
    if (value)
      ::setenv(variable, value->c_str(), 1);
    else
      ::unsetenv(variable);
  }
  std::optional<std::string> saved_;
};

// A fresh directory under `base` (by default the system's temporary
// directory), removed with everything in it at the end of the test.
class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(const fs::path& base = fs::temp_directory_path()) {
    std::string pattern = (base / "kat-files-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  ~TemporaryDirectory() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  [[nodiscard]] const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void writeFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}


#ifdef QUILLON_TESTS_EXPECTED_DATADIR
TEST(GetDataDir, UnsetVariableGivesInstalledDirectory) {
  const DataDirVariable unset(std::nullopt);
  EXPECT_EQ(getDataDir(), QUILLON_TESTS_EXPECTED_DATADIR);
  EXPECT_EQ(getDataFileName("Test/KAT_AES"), QUILLON_TESTS_EXPECTED_DATADIR "/Test/KAT_AES");
}
#endif

TEST(GetDataDir, SetVariableTakenVerbatim) {
  for (const std::string value : {"", " /data ", "relative/dir//"}) {
    const DataDirVariable set(value);
    EXPECT_EQ(getDataDir(), value);
  }
}

struct FileNameCase {
  std::string dataDir;
  std::string name;
  std::string expected;
};

class GetDataFileNameTest : public testing::TestWithParam<FileNameCase> {};

TEST_P(GetDataFileNameTest, JoinsByFirstMatchingRule) {
  const DataDirVariable set(GetParam().dataDir);
  EXPECT_EQ(getDataFileName(GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, GetDataFileNameTest, testing::Values(
    FileNameCase{"/data", "Test/KAT_AES", "/data/Test/KAT_AES"},
    FileNameCase{"/data/", "Test/KAT_AES", "/data/Test/KAT_AES"},
    FileNameCase{"", "Test/KAT_AES", "Test/KAT_AES"},
    FileNameCase{".", "Test/KAT_AES", "Test/KAT_AES"},
    FileNameCase{"./", "Test/KAT_AES", "./Test/KAT_AES"},
    FileNameCase{"./data", "Test/KAT_AES", "./data/Test/KAT_AES"},
    FileNameCase{"./data/", "Test/KAT_AES", "./data/Test/KAT_AES"},
    FileNameCase{"/data", "", "/data"},
    FileNameCase{"", "", ""},
    FileNameCase{".", "", ""},
    FileNameCase{"/data", "/x", "/data//x"},
    FileNameCase{"/data/", "/x", "/data//x"}));

class LoadKATFilesTest : public testing::Test {
 protected:
  // Points the data directory at a temporary one holding Test/KAT.
  LoadKATFilesTest() : variable_(root_.path().string()) { fs::create_directories(vectors()); }
  [[nodiscard]] fs::path vectors() const { return root_.path() / "Test" / "KAT"; }
  [[nodiscard]] std::string pathOf(const std::string& name) const { return (vectors() / name).string(); }

  TemporaryDirectory root_;
  DataDirVariable variable_;
};

const std::string recordText = "[L = 20]\r\nCOUNT = 0\r\nKEY = 00ff\r\n";
const std::vector<KatCategory> recordParsed = {{{{"L", "20"}}, {{{"COUNT", "0"}, {"KEY", "00ff"}}}}};

TEST_F(LoadKATFilesTest, KeepsFilesAndLinksToFilesInNameOrder) {
  writeFile(vectors() / "A.TXT", recordText);
  writeFile(vectors() / ".hidden", "COUNT = 1\n");
  fs::create_directory(vectors() / "old");
  writeFile(vectors() / "old" / "INNER.TXT", "COUNT = 2\n");
  fs::create_symlink("missing.txt", vectors() / "B.TXT");
  fs::create_symlink("A.TXT", vectors() / "C.TXT");
  fs::create_directory_symlink("old", vectors() / "D");

  const std::vector<std::string> expectedPaths = {pathOf(".hidden"), pathOf("A.TXT"), pathOf("C.TXT")};
  const KatFiles loaded = loadKATFiles("Test/KAT", "COUNT");
  ASSERT_EQ(loaded.paths, expectedPaths);
  ASSERT_EQ(loaded.files.size(), 3u);
  for (std::size_t i = 0; i < loaded.paths.size(); ++i) {
    const std::vector<KatCategory> expected =
        loaded.paths[i].ends_with(".hidden") ? std::vector<KatCategory>{{{}, {{{"COUNT", "1"}}}}}
                                             : recordParsed;
    EXPECT_EQ(loaded.files[i], expected) << loaded.paths[i];
  }
}

TEST_F(LoadKATFilesTest, PrefixSelectsByFileNameCaseSensitively) {
  // The passed-over files are not UTF-8, so opening one would throw.
  for (const char* name : {"sha1.rsp", "ShortSHA1.rsp", "SHA224.rsp"}) writeFile(vectors() / name, "\xFF");
  writeFile(vectors() / "SHA1ShortMsg.rsp", "Len = 0\n");
  writeFile(vectors() / "SHA1LongMsg.rsp", "Len = 8\n");

  const KatFiles loaded = loadKATFiles("Test/KAT", "Len", "SHA1");
  EXPECT_EQ(loaded.paths.size(), 5u);
  std::vector<std::string> expectedOpened;
  for (const std::string& path : loaded.paths)
    if (path.ends_with("/SHA1ShortMsg.rsp") || path.ends_with("/SHA1LongMsg.rsp"))
      expectedOpened.push_back(path);
  ASSERT_EQ(expectedOpened.size(), 2u);
  ASSERT_EQ(loaded.files.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const std::string length = expectedOpened[i].ends_with("Short" "Msg.rsp") ? "0" : "8";
    EXPECT_EQ(loaded.files[i], (std::vector<KatCategory>{{{}, {{{"Len", length}}}}}));
  }
}

TEST_F(LoadKATFilesTest, EmptyDirectoryGivesNothing) {
  fs::create_directory(vectors() / "only-a-subdirectory");
  const KatFiles loaded = loadKATFiles("Test/KAT", "COUNT");
  EXPECT_TRUE(loaded.paths.empty());
  EXPECT_TRUE(loaded.files.empty());
}

TEST_F(LoadKATFilesTest, TrailingSeparatorGivesSingleSeparator) {
  writeFile(vectors() / "A.TXT", recordText);
  const DataDirVariable withSlash(root_.path().string() + "/");
  EXPECT_EQ(loadKATFiles("Test/KAT", "COUNT").paths, std::vector<std::string>{pathOf("A.TXT")});
}

// Entry names in byte order, the order both loaders must give whatever the
// file system lists first: upper case before lower, digits compared as
// text, a leading dot, a prefix before its extensions, bytes above 0x7F
// last. "l" is a link to "ab"; "m" is a directory, which is dropped.
const std::vector<std::string> namesInByteOrder = {
    ".hidden", "10.rsp", "9.rsp", "B.rsp", "_x", "a", "a.b", "a.rsp", "ab", "l", "z", "\xC3\xA9t\xC3\xA9.rsp"};

// Orders to create the entries in: tmpfs lists the newest entry first,
// ext4 by a hash of the name, so each gives a different listing.
std::vector<std::size_t> creationOrder(const std::string& kind, std::size_t size) {
  std::vector<std::size_t> order(size);
  for (std::size_t i = 0; i < size; ++i) order[i] = i;
  if (kind == "reverse") std::reverse(order.begin(), order.end());
  if (kind == "interleaved")  // odd positions first, then even ones
    std::stable_partition(order.begin(), order.end(), [](std::size_t i) { return i % 2 == 1; });
  return order;
}

// The COUNT of every record of every file, in order.
std::vector<std::string> recordCounts(const std::vector<std::vector<KatCategory>>& files) {
  std::vector<std::string> counts;
  for (const auto& file : files)
    for (const KatCategory& category : file)
      for (const KatRecord& record : category.records) counts.push_back(record.front().second);
  return counts;
}

struct ListingBase {
  const char* name;
  fs::path (*directory)();
};

void PrintTo(const ListingBase& base, std::ostream* os) { *os << base.name; }

class ListingOrderTest : public testing::TestWithParam<ListingBase> {};

TEST_P(ListingOrderTest, EntriesComeInByteOrderWhateverTheCreationOrder) {
  const fs::path base = GetParam().directory();
  if (::access(base.c_str(), W_OK) != 0) GTEST_SKIP() << base << " is not a writable directory here";
  for (const std::string kind : {"forward", "reverse", "interleaved"}) {
    SCOPED_TRACE("entries created in " + kind + " order under " + base.string());
    const TemporaryDirectory root(base);
    const DataDirVariable variable(root.path().string());
    const fs::path vectors = root.path() / "Test" / "KAT";
    fs::create_directories(vectors);
    std::vector<std::string> expectedPaths;
    std::vector<std::string> expectedCounts;  // the one record of each file
    for (std::size_t i = 0; i < namesInByteOrder.size(); ++i) {
      expectedPaths.push_back((vectors / namesInByteOrder[i]).string());
      // The link reads its target's record.
      expectedCounts.push_back(std::to_string(namesInByteOrder[i] == "l" ? 8 : i));
    }
    for (const std::size_t i : creationOrder(kind, namesInByteOrder.size())) {
      const std::string& name = namesInByteOrder[i];
      if (name == "l") {
        fs::create_symlink("ab", vectors / name);
      } else {
        writeFile(vectors / name, "COUNT = " + std::to_string(i) + "\n");
      }
      if (i == 4) fs::create_directory(vectors / "m");
    }

    const KatFiles loaded = loadKATFiles("Test/KAT", "COUNT");
    EXPECT_EQ(loaded.paths, expectedPaths);
    EXPECT_EQ(recordCounts(loaded.files), expectedCounts);
    const detail::KatFileViews views = detail::loadKATFileViews("Test/KAT", "COUNT");
    EXPECT_EQ(views.paths, expectedPaths);
    // With a prefix, the files read keep the same relative order.
    const KatFiles prefixed = loadKATFiles("Test/KAT", "COUNT", "a");
    EXPECT_EQ(prefixed.paths, expectedPaths);
    EXPECT_EQ(recordCounts(prefixed.files), (std::vector<std::string>{"5", "6", "7", "8"}));
  }
}

INSTANTIATE_TEST_SUITE_P(FileSystems, ListingOrderTest, testing::Values(
    ListingBase{"Tmpfs", [] { return fs::path("/dev/shm"); }},
    ListingBase{"TemporaryDirectory", [] { return fs::temp_directory_path(); }}),
    [](const testing::TestParamInfo<ListingBase>& info) { return std::string(info.param.name); });

TEST_F(LoadKATFilesTest, RelativeDataDirectory) {
  writeFile(vectors() / "A.TXT", recordText);
  const fs::path previous = fs::current_path();
  fs::current_path(root_.path());
  for (const std::string dataDir : {"", ".", "./"}) {
    const DataDirVariable relative(dataDir);
    const std::string expected = (dataDir == "./" ? "./" : "") + std::string("Test/KAT/A.TXT");
    EXPECT_EQ(loadKATFiles("Test/KAT", "COUNT").paths, std::vector<std::string>{expected}) << dataDir;
  }
  fs::current_path(previous);
}

TEST_F(LoadKATFilesTest, MissingDirectoryNamesPathAndReason) {
  fs::remove_all(vectors());
  try {
    (void)loadKATFiles("Test/KAT", "COUNT");
    FAIL() << "no exception";
  } catch (const DataFileError& error) {
    EXPECT_EQ(error.path(), vectors().string());
    EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
    EXPECT_NE(std::string(error.what()).find(vectors().string()), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos) << error.what();
  }
}

TEST_F(LoadKATFilesTest, FileInsteadOfDirectoryFails) {
  fs::remove_all(vectors());
  writeFile(vectors(), "COUNT = 0\n");
  try {
    (void)loadKATFiles("Test/KAT", "COUNT");
    FAIL() << "no exception";
  } catch (const DataFileError& error) {
    EXPECT_EQ(error.code(), std::errc::not_a_directory) << error.what();
  }
}

TEST_F(LoadKATFilesTest, UnreadableFileNamesPathAndReason) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
  writeFile(vectors() / "A.TXT", recordText);
  fs::permissions(vectors() / "A.TXT", fs::perms::none);
  try {
    (void)loadKATFiles("Test/KAT", "COUNT");
    FAIL() << "no exception";
  } catch (const DataFileError& error) {
    EXPECT_EQ(error.path(), pathOf("A.TXT"));
    EXPECT_EQ(error.code(), std::errc::permission_denied);
    EXPECT_NE(std::string(error.what()).find(pathOf("A.TXT")), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("Permission denied"), std::string::npos) << error.what();
  }
}

TEST_F(LoadKATFilesTest, UnlistableDirectoryFails) {
  if (::geteuid() == 0) GTEST_SKIP() << "root lists directories whatever their permissions";
  fs::permissions(vectors(), fs::perms::owner_write);
  EXPECT_THROW((void)loadKATFiles("Test/KAT", "COUNT"), DataFileError);
  fs::permissions(vectors(), fs::perms::owner_all);
}

struct EncodingCase {
  const char* name;
  std::string content;
  std::optional<std::size_t> badOffset;  // none: the file is valid UTF-8
};

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

class FileEncodingTest : public LoadKATFilesTest, public testing::WithParamInterface<EncodingCase> {};

TEST_P(FileEncodingTest, InvalidUtf8NamesFileAndOffset) {
  const EncodingCase& c = GetParam();
  writeFile(vectors() / "A.TXT", c.content);
  if (!c.badOffset) {
    EXPECT_NO_THROW((void)loadKATFiles("Test/KAT", "COUNT"));
    return;
  }
  try {
    (void)loadKATFiles("Test/KAT", "COUNT");
    FAIL() << "no exception";
  } catch (const DataEncodingError& error) {
    EXPECT_EQ(error.path(), pathOf("A.TXT"));
    EXPECT_EQ(error.offset(), *c.badOffset);
    const std::string what = error.what();
    EXPECT_NE(what.find(pathOf("A.TXT")), std::string::npos) << what;
    EXPECT_NE(what.find("offset " + std::to_string(*c.badOffset)), std::string::npos) << what;
  }
}

// Offsets past a run of ASCII also exercise the word-at-a-time skipping.
const std::string ascii19 = "COUNT = 0\nKEY = 00\n";

INSTANTIATE_TEST_SUITE_P(Utf8, FileEncodingTest, testing::Values(
    EncodingCase{"Ascii", ascii19, std::nullopt},
    EncodingCase{"AllSequenceLengths", ascii19 + "\xC2\xA0\xE2\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", std::nullopt},
    EncodingCase{"NulByteIsValid", std::string("A\0B", 3), std::nullopt},
    EncodingCase{"ByteFF", ascii19 + "\xFF", 19},
    EncodingCase{"LoneContinuation", "ab\x80", 2},
    EncodingCase{"OverlongTwoBytes", ascii19 + "\xC0\x80", 19},
    EncodingCase{"OverlongThreeBytes", "\xE0\x80\x80", 0},
    EncodingCase{"OverlongFourBytes", "x\xF0\x80\x80\x80", 1},
    EncodingCase{"Surrogate", ascii19 + "\xED\xA0\x80", 19},
    EncodingCase{"AboveMaximum", "\xF4\x90\x80\x80", 0},
    EncodingCase{"TruncatedAtEnd", ascii19 + "\xE2\x80", 19},
    EncodingCase{"BadThirdByte", ascii19 + "\xE2\x80" "A", 19},
    EncodingCase{"SecondErrorNotReported", ascii19 + "\xC2\xA0" "x\xFF\xFF", 22}),
    [](const testing::TestParamInfo<EncodingCase>& info) { return std::string(info.param.name); });

// What a loader gives for a directory: the paths and parsed files, or the
// exception's type and text.
struct LoadOutcome {
  std::vector<std::string> paths;
  std::vector<std::vector<KatCategory>> files;
  std::string error;
  friend bool operator==(const LoadOutcome&, const LoadOutcome&) = default;
};

void PrintTo(const LoadOutcome& outcome, std::ostream* os) {
  *os << outcome.paths.size() << " paths, " << outcome.files.size() << " files";
  for (const std::string& path : outcome.paths) *os << "\n  " << path;
  if (!outcome.error.empty()) *os << "\n  error: " << outcome.error;
}

template <class Load>
LoadOutcome outcomeOf(Load load) {
  try {
    return load();
  } catch (const std::exception& error) {
    return {{}, {}, std::string(typeid(error).name()) + ": " + error.what()};
  }
}

LoadOutcome viaCopies(std::string_view directory, std::string_view key, std::optional<std::string_view> prefix) {
  return outcomeOf([&] {
    KatFiles loaded = loadKATFiles(directory, key, prefix);
    return LoadOutcome{std::move(loaded.paths), std::move(loaded.files), {}};
  });
}

LoadOutcome viaViews(std::string_view directory, std::string_view key, std::optional<std::string_view> prefix) {
  return outcomeOf([&] {
    detail::KatFileViews loaded = detail::loadKATFileViews(directory, key, prefix);
    LoadOutcome outcome{std::move(loaded.paths), {}, {}};
    for (const auto& file : loaded.files) outcome.files.push_back(testing_views::materialise(*file));
    return outcome;
  });
}

// The view loader shares the listing and reading of loadKATFiles; these pin
// that it also selects, orders, parses and fails the same way.
TEST_F(LoadKATFilesTest, ViewLoaderMatchesOnCraftedDirectories) {
  writeFile(vectors() / "A.TXT", recordText);
  writeFile(vectors() / "AB.TXT", "[X]\n# c\nCOUNT = 1\n KEY = 0 1\n[Y]\n");
  writeFile(vectors() / ".hidden", "COUNT = 1\n");
  writeFile(vectors() / "short", "=");
  writeFile(vectors() / "Z.bad", "COUNT = 0\n\xFF");
  fs::create_directory(vectors() / "old");
  writeFile(vectors() / "old" / "INNER.TXT", "COUNT = 2\n");
  fs::create_symlink("missing.txt", vectors() / "B.TXT");
  fs::create_symlink("A.TXT", vectors() / "C.TXT");
  fs::create_directory_symlink("old", vectors() / "D");

  const std::vector<std::optional<std::string_view>> prefixes = {"A", "AB", ".", "s", "C", "old", "", "Z"};
  for (const auto& prefix : prefixes) {
    const LoadOutcome copies = viaCopies("Test/KAT", "COUNT", prefix);
    EXPECT_EQ(viaViews("Test/KAT", "COUNT", prefix), copies) << *prefix;
  }
  // Without a prefix the invalid file is read, and both loaders fail on it.
  const LoadOutcome all = viaCopies("Test/KAT", "COUNT", std::nullopt);
  EXPECT_NE(all.error.find("Z.bad' is not valid UTF-8"), std::string::npos) << all.error;
  EXPECT_EQ(viaViews("Test/KAT", "COUNT", std::nullopt), all);
  // A missing directory, and a file where the directory should be.
  EXPECT_EQ(viaViews("Test/none", "COUNT", std::nullopt), viaCopies("Test/none", "COUNT", std::nullopt));
  EXPECT_EQ(viaViews("Test/KAT/A.TXT", "COUNT", std::nullopt),
            viaCopies("Test/KAT/A.TXT", "COUNT", std::nullopt));
  EXPECT_FALSE(viaCopies("Test/none", "COUNT", std::nullopt).error.empty());
}

TEST_F(LoadKATFilesTest, ViewLoaderMatchesOnUnreadableFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
  writeFile(vectors() / "A.TXT", recordText);
  fs::permissions(vectors() / "A.TXT", fs::perms::none);
  const LoadOutcome copies = viaCopies("Test/KAT", "COUNT", std::nullopt);
  EXPECT_NE(copies.error.find("Permission denied"), std::string::npos) << copies.error;
  EXPECT_EQ(viaViews("Test/KAT", "COUNT", std::nullopt), copies);
}

// The line (from 1) of `text` where each record of `file` starts.
std::vector<std::size_t> recordLines(const detail::KatFileView& file) {
  std::vector<std::size_t> lines;
  for (const detail::KatCategoryView& category : file.categories())
    for (const detail::KatRecordView& record : category.records) lines.push_back(file.lineOf(record));
  return lines;
}

struct RecordLineCase {
  const char* name;
  std::string text;
  std::vector<std::size_t> lines;
};

void PrintTo(const RecordLineCase& c, std::ostream* os) { *os << c.name; }

class RecordLineTest : public testing::TestWithParam<RecordLineCase> {};

TEST_P(RecordLineTest, EachRecordKnowsTheLineOfItsStartKey) {
  const auto file = detail::KatFileView::parse("f.rsp", GetParam().text, "COUNT");
  EXPECT_EQ(recordLines(*file), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Texts, RecordLineTest, testing::Values(
    RecordLineCase{"Plain", "COUNT = 0\nKEY = 00\n\nCOUNT = 1\nKEY = 01\n", {1, 4}},
    RecordLineCase{"CommentsHeadersBlanks", "# c\n\n[ENCRYPT]\n  \t\nCOUNT = 0\n# x\nCOUNT = 1", {5, 7}},
    RecordLineCase{"CarriageReturns", "# c\r\n\r\nCOUNT = 0\r\nKEY = 00\r\n\r\nCOUNT = 1\r\n", {3, 6}},
    // Lines the parser copies rather than views: blanks inside the key or
    // value, a leading blank, a carriage return in the middle, non-ASCII.
    RecordLineCase{"CopiedLines", "C OUNT = 0\n COUNT = 1\nCOUNT = 2\r3\nCOUNT = \xC3\xA9\nCOUNT\t=\t4 5\n",
                   {1, 2, 3, 4, 5}},
    RecordLineCase{"NoFinalNewline", "\n\nCOUNT = 9", {3}},
    RecordLineCase{"OtherKeysFirst", "KEY = 00\nIV = 01\nCOUNT = 0\n", {3}}),
    [](const testing::TestParamInfo<RecordLineCase>& info) { return std::string(info.param.name); });

// Every record of every shipped vector file: its line, read back from the
// file, holds its start key.
TEST(LoadKATFileViews, RecordLinesOfShippedVectorsHoldTheirStartKey) {
  std::size_t checked = 0;
  for (const auto& [directory, startKey] : {std::pair{"Test/KAT_SHA", "Len"}, std::pair{"Test/KAT_HMAC", "Count"},
                                            std::pair{"Test/KAT_AES", "COUNT"}, std::pair{"Test/KAT_TWOFISH", "I"}}) {
    for (const auto& file : detail::loadKATFileViews(directory, startKey).files) {
      std::ifstream in(file->path(), std::ios::binary);
      std::vector<std::string> lines;
      for (std::string line; std::getline(in, line);) lines.push_back(line);
      for (const std::size_t line : recordLines(*file)) {
        ASSERT_GE(line, 1u);
        ASSERT_LE(line, lines.size()) << file->path();
        std::string text = lines[line - 1];
        std::erase_if(text, [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
        EXPECT_TRUE(text.starts_with(std::string(startKey) + "=")) << file->path() << ":" << line << ": " << text;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 10000u);
}

// The shipped vectors (the test runner points the data directory at them).
TEST(LoadKATFileViews, MatchesLoadKATFilesOnShippedVectors) {
  struct Directory {
    const char* path;
    const char* startKey;
    std::optional<std::string_view> prefix;
  };
  for (const Directory& d : {Directory{"Test/KAT_SHA", "Len", "SHA256"}, Directory{"Test/KAT_SHA", "Len", std::nullopt},
                             Directory{"Test/KAT_HMAC", "Count", std::nullopt},
                             Directory{"Test/KAT_AES", "COUNT", std::nullopt},
                             Directory{"Test/KAT_TWOFISH", "I", std::nullopt}}) {
    const LoadOutcome copies = viaCopies(d.path, d.startKey, d.prefix);
    EXPECT_TRUE(copies.error.empty()) << d.path << ": " << copies.error;
    EXPECT_FALSE(copies.files.empty()) << d.path;
    EXPECT_EQ(viaViews(d.path, d.startKey, d.prefix), copies) << d.path;
  }
}

}  // namespace
}  // namespace quillon_tests
