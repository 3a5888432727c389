#include "ui/file_browser_listing.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

using Kind = BrowserRow::Kind;

std::vector<std::u16string> RowTexts(const std::vector<BrowserRow>& rows) {
  std::vector<std::u16string> texts;
  for (const BrowserRow& row : rows) texts.push_back(row.name + u"|" + row.sizeText);
  return texts;
}

const std::vector<DeviceFolderEntry> kEntries = {
    {u"notes.TXT", false, 2048},   {u"zeta", true, 0},      {u"Alpha", true, 0},
    {u"sms.kvt", false, 3 * 1024 * 1024 + 300000}, {u"beta.kvt", false, 10},
    {u"archive.kvt.bak", false, 1}, {u"README", false, 1023},
};

TEST(FileBrowserListingTest, FoldersComeFirstThenMatchingFilesEachByName) {
  EXPECT_EQ(RowTexts(BrowserRows(kEntries, {u"*.kvt"}, false, true)),
            (std::vector<std::u16string>{u"..|Dir", u"Alpha|Dir", u"zeta|Dir", u"beta.kvt|10",
                                         u"sms.kvt|3.3MB"}));
  // At the root there is nowhere to go up to; choosing a folder lists no files.
  std::vector<BrowserRow> root = BrowserRows(kEntries, {u"*.kvt"}, true, false);
  EXPECT_EQ(RowTexts(root), (std::vector<std::u16string>{u"Alpha|Dir", u"zeta|Dir"}));
  EXPECT_EQ(root[0].kind, Kind::kFolder);
  EXPECT_EQ(BrowserRows(kEntries, {}, false, true)[0].kind, Kind::kUp);
  EXPECT_EQ(BrowserRows(kEntries, {}, false, true).back().kind, Kind::kFile);
}

TEST(FileBrowserListingTest, PatternsCompareWithoutCaseAndTakeAlternatives) {
  EXPECT_TRUE(MatchesPattern(u"SMS.KVT", u"*.kvt"));
  EXPECT_TRUE(MatchesPattern(u"notes.TXT", u"*.txt"));
  EXPECT_FALSE(MatchesPattern(u"archive.kvt.bak", u"*.kvt"));
  EXPECT_TRUE(MatchesPattern(u"archive.kvt.bak", u"*.kvt*"));
  EXPECT_TRUE(MatchesPattern(u"a1.kvt", u"a?.kvt"));
  EXPECT_FALSE(MatchesPattern(u"a.kvt", u"a?.kvt"));
  EXPECT_TRUE(MatchesPattern(u"README", u"*.*"));  // the phone's "every file"
  EXPECT_TRUE(MatchesPattern(u"ÉTÉ.kvt", u"été.*"));
  EXPECT_FALSE(MatchesPattern(u"", u"?"));
  EXPECT_TRUE(MatchesPattern(u"", u"*"));
  EXPECT_TRUE(MatchesPattern(u"*a*", u"*"));  // a star in the name is only a character
  EXPECT_TRUE(MatchesPattern(u"x*y.kvt", u"*.kvt"));
  // Many stars against a long name that almost matches must stay quick.
  EXPECT_FALSE(MatchesPattern(std::u16string(5000, u'a'), u"*a*a*a*a*a*a*a*a*b"));

  EXPECT_EQ(RowTexts(BrowserRows(kEntries, {u"*.kvt", u"*.TXT"}, true, true)),
            (std::vector<std::u16string>{u"Alpha|Dir", u"zeta|Dir", u"beta.kvt|10",
                                         u"notes.TXT|2.0KB", u"sms.kvt|3.3MB"}));
}

TEST(FileBrowserListingTest, FilterStringsArePairsOfDescriptionAndPatterns) {
  std::vector<FileFilterChoice> choices =
      ParseFileFilter(u"Documents (*.kvt)|*.kvt|Text and backups|*.txt; *.ban|");
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_EQ(choices[0].description, u"Documents (*.kvt)");
  EXPECT_EQ(choices[0].patterns, std::vector<std::u16string>{u"*.kvt"});
  EXPECT_EQ(choices[1].patterns, (std::vector<std::u16string>{u"*.txt", u"*.ban"}));
  EXPECT_TRUE(ParseFileFilter(u"").empty());
  EXPECT_EQ(ParseFileFilter(u"Documents|*.kvt|Dangling").size(), 1u);
  EXPECT_EQ(ParseFileFilter(u"Documents|*.kvt").size(), 1u);  // the last bar may be missing
}

TEST(FileBrowserListingTest, SizesInBytesThenKilobytesThenMegabytes) {
  EXPECT_EQ(FileSizeText(0), u"0");
  EXPECT_EQ(FileSizeText(1023), u"1023");
  EXPECT_EQ(FileSizeText(1024), u"1.0KB");
  EXPECT_EQ(FileSizeText(1536), u"1.5KB");
  EXPECT_EQ(FileSizeText(1024 * 1024 - 1), u"1024.0KB");
  EXPECT_EQ(FileSizeText(1024 * 1024), u"1.0MB");
  EXPECT_EQ(FileSizeText(5ull * 1024 * 1024 * 1024), u"5120.0MB");
}

TEST(FileBrowserListingTest, FoldersGoUpAndDownAndStayNormal) {
  EXPECT_EQ(NormalFolder(u""), u"\\");
  EXPECT_EQ(NormalFolder(u"\\My Documents\\"), u"\\My Documents");
  EXPECT_EQ(NormalFolder(u"\\\\A\\\\B"), u"\\A\\B");
  EXPECT_TRUE(IsRootFolder(u"\\"));
  EXPECT_FALSE(IsRootFolder(u"\\A"));
  EXPECT_EQ(ParentFolder(u"\\A\\B"), u"\\A");
  EXPECT_EQ(ParentFolder(u"\\A"), u"\\");
  EXPECT_EQ(ParentFolder(u"\\"), u"\\");
  EXPECT_EQ(ChildPath(u"\\", u"sms.kvt"), u"\\sms.kvt");
  EXPECT_EQ(ChildPath(u"\\A\\", u"sms.kvt"), u"\\A\\sms.kvt");
  EXPECT_EQ(FolderName(u"\\A\\B"), u"B");
  EXPECT_EQ(FolderName(u"\\"), u"");
}

TEST(FileBrowserListingTest, TypedNamesAreCheckedAndGetTheDefaultExtension) {
  EXPECT_EQ(CheckFileName(u"sms"), FileNameProblem::kNone);
  EXPECT_EQ(CheckFileName(u"  "), FileNameProblem::kEmpty);
  EXPECT_EQ(CheckFileName(u""), FileNameProblem::kEmpty);
  EXPECT_EQ(CheckFileName(u".."), FileNameProblem::kReservedName);
  for (std::u16string bad : {u"a\\b", u"a/b", u"c:x", u"a*", u"a?", u"\"a\"", u"<a>", u"a|b"}) {
    EXPECT_EQ(CheckFileName(bad), FileNameProblem::kBadCharacter) << bad.size();
  }
  EXPECT_EQ(CheckFileName(std::u16string(u"a\0b", 3)), FileNameProblem::kBadCharacter);
  EXPECT_EQ(TrimBlanks(u"  my sms  "), u"my sms");

  EXPECT_EQ(WithDefaultExtension(u"sms", u"kvt"), u"sms.kvt");
  EXPECT_EQ(WithDefaultExtension(u"sms", u".kvt"), u"sms.kvt");
  EXPECT_EQ(WithDefaultExtension(u"sms.", u"kvt"), u"sms.kvt");
  EXPECT_EQ(WithDefaultExtension(u"sms.txt", u"kvt"), u"sms.txt");
  EXPECT_EQ(WithDefaultExtension(u"sms", u""), u"sms");
}

}  // namespace
}  // namespace brevalo
