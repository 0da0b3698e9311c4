#include <gtest/gtest.h>
#include <rapidcheck.h>

#include <ostream>
#include <string>
#include <vector>

#include <quillon_tests/kat_parser.hpp>

#include "kat/reference_parser.hpp"
#include "kat/materialise.hpp"

namespace quillon_tests {

// Readable failure output for the parsed form.
void PrintTo(const KatCategory& category, std::ostream* os) {
  auto show = [os](const KatProperty& p) { *os << "(" << testing::PrintToString(p.first) << ", "
                                               << testing::PrintToString(p.second) << ")"; };
  *os << "{header:";
  for (const KatProperty& p : category.header) show(p);
  *os << " records:";
  for (const KatRecord& record : category.records) {
    *os << " [";
    for (const KatProperty& p : record) show(p);
    *os << "]";
  }
  *os << "}";
}

namespace {

using Categories = std::vector<KatCategory>;

Categories parseViews(std::string_view startKey, std::string text) {
  return testing_views::materialise(*detail::KatFileView::parse("file", std::move(text), startKey));
}

struct ParseCase {
  const char* name;
  std::string startKey;
  std::string text;
  Categories expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

const KatRecord shortRecord0 = {{"Len", "0"}, {"Msg", "00"}, {"MD", "ab"}};
const KatRecord shortRecord8 = {{"Len", "8"}, {"Msg", "61"}, {"MD", "cd"}};
const std::string shortFile = "[L = 20]\nLen = 0\nMsg = 00\nMD = ab\nLen = 8\nMsg = 61\nMD = cd\n";

class ParseCategoriesTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseCategoriesTest, GivesExpectedCategories) {
  const ParseCase& c = GetParam();
  EXPECT_EQ(parseCategories(c.startKey, c.text), c.expected);
}

TEST_P(ParseCategoriesTest, ViewsGiveExpectedCategories) {
  const ParseCase& c = GetParam();
  EXPECT_EQ(parseViews(c.startKey, c.text), c.expected);
}

std::string caseName(const testing::TestParamInfo<ParseCase>& info) { return info.param.name; }

// Which lines are dropped, and how carriage returns are removed.
INSTANTIATE_TEST_SUITE_P(LineFilter, ParseCategoriesTest, testing::Values(
    ParseCase{"EmptyText", "Len", "", {}},
    ParseCase{"OnlyCommentsAndBlanks", "Len", "# a\n\n   \n#\n\t\r\n", {}},
    ParseCase{"CrlfReadsLikeLf", "Len", "[L = 20]\r\nLen = 0\r\nMsg = 00\r\nMD = ab\r\n",
              {{{{"L", "20"}}, {shortRecord0}}}},
    ParseCase{"LoneCarriageReturnLineIsBlank", "Len", "Len = 0\n\r\nMsg = 00\n",
              {{{}, {{{"Len", "0"}, {"Msg", "00"}}}}}},
    ParseCase{"CarriageReturnInsideLineRemoved", "Len", "[L =\r 2\r0]\nL\ren = 0\r\r\n",
              {{{{"L", "20"}}, {{{"Len", "0"}}}}}},
    ParseCase{"LeadingCarriageReturnHidesHeader", "Len", "\r[L = 20]\nLen = 0\n",
              {{{{"L", "20"}}, {{{"Len", "0"}}}}}},
    ParseCase{"CarriageReturnBeforeHashIsNoComment", "Len", "Len = 0\n\r#x\n",
              {{{}, {{{"Len", "0"}, {"#x", ""}}}}}},
    ParseCase{"IndentedHashIsNoComment", "Len", "Len = 0\n  # comment\n",
              {{{}, {{{"Len", "0"}, {"#comment", ""}}}}}},
    ParseCase{"UnicodeSpacesOnlyLineIsBlank", "Len",
              "Len = 0\n\xC2\xA0\xE1\x9A\x80\xE2\x80\x80\xE2\x80\x8A\xE2\x80\xAF\xE2\x81\x9F\xE3\x80\x80\n[H]\n",
              {{{}, {{{"Len", "0"}}}}, {{{"H", ""}}, {}}}},
    ParseCase{"LineSeparatorIsNotWhiteSpace", "Len", "Len = 0\n\xE2\x80\xA8\n",
              {{{}, {{{"Len", "0"}, {"\xE2\x80\xA8", ""}}}}}},
    ParseCase{"LastLineWithoutNewline", "Len", "Len = 0\nMsg = 00",
              {{{}, {{{"Len", "0"}, {"Msg", "00"}}}}}}),
    caseName);

// How a header line becomes a property.
INSTANTIATE_TEST_SUITE_P(HeaderLines, ParseCategoriesTest, testing::Values(
    ParseCase{"KeyAndValue", "Len", "[L = 20]", {{{{"L", "20"}}, {}}}},
    ParseCase{"NoEqualsGivesEmptyValue", "Len", "[DECRYPT]", {{{{"DECRYPT", ""}}, {}}}},
    ParseCase{"TrimmedButInnerBlanksKept", "Len", "[  Key Size = 1 2 \t]", {{{{"Key Size", "1 2"}}, {}}}},
    ParseCase{"EveryBracketRemoved", "Len", "[a [b] = c]", {{{{"a b", "c"}}, {}}}},
    ParseCase{"SplitAtFirstEquals", "Len", "[a = b = c]", {{{{"a", "b = c"}}, {}}}},
    ParseCase{"UnicodeSpacesTrimmed", "Len", "[\xC2\xA0L\xE3\x80\x80=\xE2\x80\x89" "20\xC2\xA0]",
              {{{{"L", "20"}}, {}}}},
    ParseCase{"OnlyBracketsAndEquals", "Len", "[]\n[=]\n[[", {{{{"", ""}, {"", ""}, {"", ""}}, {}}}}),
    caseName);

// How a property line becomes a property.
INSTANTIATE_TEST_SUITE_P(PropertyLines, ParseCategoriesTest, testing::Values(
    ParseCase{"InnerBlanksRemoved", "Msg", "Msg = 61 62\t63", {{{}, {{{"Msg", "616263"}}}}}},
    ParseCase{"UnicodeSpacesRemoved", "Msg", "M\xE2\x80\x82sg\xC2\xA0=\xE2\x80\xAF" "61\xE1\x9A\x80" "62",
              {{{}, {{{"Msg", "6162"}}}}}},
    ParseCase{"ZeroWidthSpaceKept", "Msg", "Msg = 61\xE2\x80\x8B", {{{}, {{{"Msg", "61\xE2\x80\x8B"}}}}}},
    ParseCase{"FurtherEqualsStayInValue", "Key", "Key=a=b", {{{}, {{{"Key", "a=b"}}}}}},
    ParseCase{"NoEqualsGivesKeyOnly", "Len", "Len = 0\nNote\n", {{{}, {{{"Len", "0"}, {"Note", ""}}}}}},
    ParseCase{"EmptyKey", "", " = 5\n=\n", {{{}, {{{"", "5"}}, {{"", ""}}}}}},
    ParseCase{"IndentedBracketIsProperty", "Len", "Len = 0\n  [L = 20]\n",
              {{{}, {{{"Len", "0"}, {"[L", "20]"}}}}}},
    ParseCase{"RepeatedKeysKept", "Len", "Len = 0\nMsg = 1\nMsg = 2\n",
              {{{}, {{{"Len", "0"}, {"Msg", "1"}, {"Msg", "2"}}}}}},
    ParseCase{"NulBytesAreOrdinary", "Len", std::string("Len = 0\nM\0g = \0\n", 16),
              {{{}, {{{"Len", "0"}, {std::string("M\0g", 3), std::string("\0", 1)}}}}}},
    ParseCase{"InvalidUtf8TakenAsIs", "Len", "Len = 0\nMsg = \xFF\xC2 \xA0\xE2\x80\n",
              {{{}, {{{"Len", "0"}, {"Msg", "\xFF\xC2\xA0\xE2\x80"}}}}}}),
    caseName);

// How lines group into categories and records.
INSTANTIATE_TEST_SUITE_P(Structure, ParseCategoriesTest, testing::Values(
    ParseCase{"ShortMessageFile", "Len", shortFile, {{{{"L", "20"}}, {shortRecord0, shortRecord8}}}},
    ParseCase{"StartKeyAbsentGivesNoRecords", "COUNT", shortFile, {{{{"L", "20"}}, {}}}},
    ParseCase{"StartKeyIsCaseSensitive", "len", shortFile, {{{{"L", "20"}}, {}}}},
    ParseCase{"PropertiesBeforeFirstStartKeyDiscarded", "Len", "Msg = 00\nMD = ab\nLen = 0\nMsg = 11\n",
              {{{}, {{{"Len", "0"}, {"Msg", "11"}}}}}},
    ParseCase{"HeaderRunAcrossCommentsAndBlanks", "Len", "[A = 1]\n\n# x\n[B = 2]\nLen = 0\n",
              {{{{"A", "1"}, {"B", "2"}}, {{{"Len", "0"}}}}}},
    ParseCase{"EachHeaderRunOpensCategory", "Len", "[A]\nLen = 0\n[B]\nLen = 1\nMsg = 2\n",
              {{{{"A", ""}}, {{{"Len", "0"}}}}, {{{"B", ""}}, {{{"Len", "1"}, {"Msg", "2"}}}}}},
    ParseCase{"RecordEndsAtHeader", "Len", "Len = 0\n[B]\nMsg = 2\n",
              {{{}, {{{"Len", "0"}}}}, {{{"B", ""}}, {}}}},
    ParseCase{"HeaderRunAtEndGivesEmptyCategory", "Len", "Len = 0\n[A]\n[B]\n",
              {{{}, {{{"Len", "0"}}}}, {{{"A", ""}, {"B", ""}}, {}}}},
    // NIST's AEAD files: a GCM section of bracket lines and a bare FAIL line,
    // a CCM header listing its settings, settings before the first header.
    ParseCase{"GcmSectionAndFailLine", "Count", "[Keylen = 128]\n[IVlen = 96]\n\nCount = 0\nTag = 72\nFAIL\n",
              {{{{"Keylen", "128"}, {"IVlen", "96"}}, {{{"Count", "0"}, {"Tag", "72"}, {"FAIL", ""}}}}}},
    ParseCase{"CcmCommaHeaderIsOneProperty", "Count", "[Alen = 0, Plen = 0, Nlen = 7, Tlen = 4]\nKey = 4a\nCount = 0\n",
              {{{{"Alen", "0, Plen = 0, Nlen = 7, Tlen = 4"}}, {{{"Count", "0"}}}}}},
    ParseCase{"SettingsBeforeTheFirstHeaderMakeACategoryOfNoRecord", "Count",
              "Plen = 24\nTlen = 16\n\n[Alen = 0]\n\nKey = d2\n\nCount = 0\nAdata = 00\n",
              {{{}, {}}, {{{"Alen", "0"}}, {{{"Count", "0"}, {"Adata", "00"}}}}}}),
    caseName);

// The views of plain lines are slices of the file's text; those of lines
// the parser rewrites (headers, blanks inside a field, carriage returns)
// are the file's own copies, which later lines do not overwrite.
TEST(KatFileView, PlainFieldsPointIntoTextRewrittenOnesAreCopied) {
  const std::string text =
      "[L = 20]\n[Mode = CBC]\nCOUNT = 0\nKEY = 00 ff\nIV=0102\r\nPT = a\rb\nCOUNT = 1\nKEY = 11\n";
  const auto file = detail::KatFileView::parse("dir/file.rsp", text, "COUNT");
  EXPECT_EQ(file->path(), "dir/file.rsp");
  ASSERT_EQ(file->text(), text);
  ASSERT_EQ(file->categories().size(), 1u);
  ASSERT_EQ(file->recordCount(), 2u);
  const detail::KatCategoryView& category = file->categories()[0];
  auto inText = [&](std::string_view field) {
    return field.data() >= file->text().data() &&
           field.data() + field.size() <= file->text().data() + file->text().size();
  };
  ASSERT_EQ(category.header.size(), 2u);
  EXPECT_EQ(category.header[0], (detail::KatPropertyView{"L", "20"}));
  EXPECT_EQ(category.header[1], (detail::KatPropertyView{"Mode", "CBC"}));
  for (const auto& [key, value] : category.header) EXPECT_FALSE(inText(key) || inText(value)) << key;
  ASSERT_EQ(category.records.size(), 2u);
  const std::vector<detail::KatPropertyView> first(category.records[0].begin(), category.records[0].end());
  EXPECT_EQ(first, (std::vector<detail::KatPropertyView>{
                       {"COUNT", "0"}, {"KEY", "00ff"}, {"IV", "0102"}, {"PT", "ab"}}));
  EXPECT_TRUE(inText(first[0].first) && inText(first[0].second));
  EXPECT_FALSE(inText(first[1].second));  // blanks removed inside the value
  EXPECT_TRUE(inText(first[2].first) && inText(first[2].second));  // "\r\n" ends a plain line
  EXPECT_FALSE(inText(first[3].second));  // carriage return removed inside the value
  const std::vector<detail::KatPropertyView> second(category.records[1].begin(), category.records[1].end());
  EXPECT_EQ(second, (std::vector<detail::KatPropertyView>{{"COUNT", "1"}, {"KEY", "11"}}));
  EXPECT_EQ(detail::findProperty(category.records[0], "KEY") != nullptr
                ? *detail::findProperty(category.records[0], "KEY") : "absent", "00ff");
  EXPECT_EQ(detail::findProperty(category.records[1], "IV"), nullptr);
}

TEST(GetCategories, NoLinesGiveNoCategories) { EXPECT_TRUE(getCategories("Len", {}).empty()); }

TEST(GetCategories, DropsNothingAndRemovesNoCarriageReturn) {
  const std::vector<std::string> lines = {"[L = 2\r0]", "Len = 0", "", "# a = b", "\r", "[X]"};
  const Categories expected = {{{{"L", "2\r0"}}, {{{"Len", "0"}, {"", ""}, {"#a", "b"}, {"", ""}}}},
                               {{{"X", ""}}, {}}};
  EXPECT_EQ(getCategories("Len", lines), expected);
}

// Inputs that must give a defined result quickly, not a crash or a stall.
TEST(ParseCategoriesLimits, MegabyteLineIsOneValue) {
  const std::string value(1 << 20, 'a');
  const Categories parsed = parseCategories("Msg", "Msg = " + value + "\r\n");
  ASSERT_EQ(parsed.size(), 1u);
  ASSERT_EQ(parsed[0].records.size(), 1u);
  EXPECT_EQ(parsed[0].records[0], (KatRecord{{"Msg", value}}));
}

TEST(ParseCategoriesLimits, ManyBracketLinesAreOneHeaderRun) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "[\n";
  const Categories parsed = parseCategories("Len", text);
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].header, std::vector<KatProperty>(100000, KatProperty{"", ""}));
  EXPECT_TRUE(parsed[0].records.empty());
}

TEST(ParseCategoriesLimits, ManyEqualsLinesAreRecordsOfEmptyKey) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "=\n";
  EXPECT_EQ(parseCategories("", text),
            (Categories{{{}, std::vector<KatRecord>(100000, KatRecord{{"", ""}})}}));
  EXPECT_EQ(parseCategories("Len", text), (Categories{{{}, {}}}));
}

// Random texts built from the pieces the rules care about must parse exactly
// as the plain reference parser does. Pieces are mixed freely, so they also
// split multi-byte spaces and form invalid UTF-8.
const std::vector<std::string> textPieces = {
    "\n", "\r", "\r\n", " ", "\t", "#", "[", "]", "=", "Len", "Msg", "COUNT", "00ff", "ab", "0",
    "\xC2\xA0", "\xC2", "\xA0", "\xE3\x80\x80", "\xE2\x80", "\x8A", "\xE2\x80\x8B", "\xE2\x81\x9F",
    std::string(1, '\0'), "\xFF", "0123456789abcdef0123456789ABCDEF"};

TEST(ParseCategoriesReference, AgreesOnRandomTexts) {
  const bool ok = rc::check([] {
    const auto indices = *rc::gen::container<std::vector<std::size_t>>(
        rc::gen::inRange<std::size_t>(0, textPieces.size()));
    const auto startKey = *rc::gen::element<std::string>("Len", "Msg", "", "[");
    std::string text;
    for (const std::size_t i : indices) text += textPieces[i];
    const Categories expected = reference::parseCategories(startKey, text);
    RC_ASSERT(parseCategories(startKey, text) == expected);
    RC_ASSERT(parseViews(startKey, text) == expected);
    const std::vector<std::string> lines = reference::filteredLines(text);
    RC_ASSERT(getCategories(startKey, lines) == reference::getCategories(startKey, lines));
  });
  EXPECT_TRUE(ok);
}

}  // namespace

}  // namespace quillon_tests
