// The sentence and group files: their byte form, the order they are read in, the lines the
// reader cannot place, and what a missing or unreadable file leads to.
#include <gtest/gtest.h>

#include "send/group_list.h"
#include "send/groups_file.h"
#include "send/list_file_text.h"
#include "send/memory_list_file.h"
#include "send/sentence_list.h"

namespace brevalo {
namespace {

using testing::ListFileBytes;
using testing::MemoryListFile;
using Lines = std::vector<std::u16string>;

TEST(ListFileText, ReadsWhatItWritesAndIgnoresTheByteOrderMarkAndAnOddByte) {
  Lines lines = {u"Yes.", u"", u"\u738b\u82b3 says hi"};
  std::string bytes = WriteListLines(lines);
  EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFEY\0e\0", 6));
  EXPECT_EQ(ReadListLines(bytes), lines);
  // Any first two bytes are skipped unseen; a last odd byte is no character.
  bytes[0] = 'x';
  bytes[1] = 'y';
  EXPECT_EQ(ReadListLines(bytes + "z"), lines);
  EXPECT_TRUE(ReadListLines("").empty());
  EXPECT_TRUE(ReadListLines("\xFF").empty());
}

TEST(ListFileText, CutsAtTheFirstCarriageReturnAndTakesBareLineFeedsAndAnUnendedLastLine) {
  std::string bytes = ListFileBytes({u"one\rhidden"});
  bytes += std::string("t\0w\0o\0\n\0t\0h\0r\0e\0e\0", 18);
  EXPECT_EQ(ReadListLines(bytes), (Lines{u"one", u"two", u"three"}));
}

TEST(ListFileText, ALongLineGoesOnInTheNextEntryButItsLineEndNeverMakesAnEntry) {
  std::u16string fits(kListLineChars, u'a');
  std::u16string almost(kListLineChars - 1, u'b');
  std::u16string longer(300, u'c');
  Lines read = ReadListLines(ListFileBytes({fits, almost, longer}));
  EXPECT_EQ(read, (Lines{fits, almost, longer.substr(0, kListLineChars),
                         longer.substr(kListLineChars)}));
}

TEST(SentenceList, FirstStartWritesTheEightDefaultsInOrderAndListsThemFromYes) {
  MemoryListFile file;
  SentenceList list(file);
  list.Load();
  Lines defaults = {u"Yes.", u"No.", u"Thanks!", u"Please call my mobile.",
                    u"I'll be right there.", u"I'm running late.", u"I'll get back to you.",
                    u"Sorry, I am busy now."};
  EXPECT_EQ(list.Sentences(), defaults);
  ASSERT_TRUE(file.Bytes());
  EXPECT_EQ(*file.Bytes(), WriteListLines(defaults));
}

TEST(SentenceList, ReadsLinesInReverseAndWritesInListOrder) {
  MemoryListFile file(ListFileBytes({u"A", u"B", u"C"}));
  SentenceList list(file);
  list.Load();
  EXPECT_EQ(list.Sentences(), (Lines{u"C", u"B", u"A"}));
  EXPECT_EQ(file.Writes(), 0);
  list.AddFront(u"D");
  EXPECT_TRUE(list.Replace(1, u"C2"));
  EXPECT_TRUE(list.Remove(3));
  EXPECT_FALSE(list.Remove(3));
  EXPECT_FALSE(list.Replace(7, u"x"));
  ASSERT_TRUE(list.Save());
  EXPECT_EQ(*file.Bytes(), ListFileBytes({u"D", u"C2", u"B"}));
}

TEST(SentenceList, AnUnreadableFileGivesTheDefaultsButIsNeverOverwrittenByThem) {
  MemoryListFile file(ListFileBytes({u"my own"}));
  file.MakeUnreadable();
  SentenceList list(file);
  list.Load();
  EXPECT_EQ(list.Sentences().front(), u"Yes.");
  EXPECT_EQ(file.Writes(), 0);
  EXPECT_EQ(*file.Bytes(), ListFileBytes({u"my own"}));
}

TEST(SentenceList, AFailedWriteKeepsTheChangesInMemory) {
  MemoryListFile file(ListFileBytes({u"A"}));
  SentenceList list(file);
  list.Load();
  file.FailWrites();
  list.AddFront(u"B");
  EXPECT_FALSE(list.Save());
  EXPECT_EQ(list.Sentences(), (Lines{u"B", u"A"}));
  EXPECT_EQ(*file.Bytes(), ListFileBytes({u"A"}));
}

TEST(GroupsFile, AAndBLoadAsBThenAWithTheirMembersInOrderAndSaveBFirst) {
  MemoryListFile file(ListFileBytes({u"[A]", u"a1|111", u"a2|222", u"[B]", u"b1|333"}));
  GroupList list;
  list.Load(file);
  std::vector<Group> expected = {{u"B", {{u"b1", u"333"}}},
                                 {u"A", {{u"a1", u"111"}, {u"a2", u"222"}}}};
  EXPECT_EQ(list.Groups(), expected);
  EXPECT_EQ(file.Writes(), 0);
  ASSERT_TRUE(list.Save());
  EXPECT_EQ(*file.Bytes(), ListFileBytes({u"[B]", u"b1|333", u"[A]", u"a1|111", u"a2|222"}));
}

TEST(GroupsFile, SkipsTheLinesItCannotPlace) {
  std::vector<Group> read = ReadGroups(ListFileBytes({
      u"stray|1",      // before any header
      u"[Family]",
      u"|Mum|0101",    // leading delimiters are skipped
      u"Dad",          // no number
      u"",
      u"Gran]0202|x",  // "]" ends a piece as "|" does
      u"[]",           // a header without a name, and the member under it
      u"lost|0303",
      u"[Work|more]",
  }));
  std::vector<Group> expected = {{u"Work", {}},
                                 {u"Family", {{u"Mum", u"0101"}, {u"Gran", u"0202"}}}};
  EXPECT_EQ(read, expected);
}

TEST(GroupList, AMissingFileIsWrittenWithOnlyTheMarkAndAnUnreadableOneIsLeftAlone) {
  MemoryListFile missing;
  GroupList list;
  list.Load(missing);
  EXPECT_TRUE(list.Groups().empty());
  EXPECT_EQ(missing.Bytes(), std::string("\xFF\xFE"));

  MemoryListFile unreadable(ListFileBytes({u"[Kept]", u"k|1"}));
  unreadable.MakeUnreadable();
  GroupList other;
  other.Load(unreadable);
  EXPECT_TRUE(other.Groups().empty());
  EXPECT_EQ(unreadable.Writes(), 0);
  EXPECT_FALSE(GroupList().Save());  // no file yet
}

TEST(GroupList, NewGroupsGoToTheFrontAndMembersToTheEnd) {
  MemoryListFile file;
  GroupList list;
  list.Load(file);
  list.AddGroup(u"Old");
  list.AddGroup(u"New");
  EXPECT_TRUE(list.AddMember(1, {u"x", u"1"}));
  EXPECT_TRUE(list.AddMember(1, {u"y", u"2"}));
  EXPECT_FALSE(list.AddMember(2, {u"z", u"3"}));
  EXPECT_TRUE(list.DeleteMember(1, 0));
  EXPECT_FALSE(list.DeleteMember(1, 1));
  ASSERT_TRUE(list.Save());
  EXPECT_EQ(ReadGroups(*file.Bytes()),
            (std::vector<Group>{{u"Old", {{u"y", u"2"}}}, {u"New", {}}}));
  EXPECT_TRUE(list.DeleteGroup(0));
  EXPECT_FALSE(list.DeleteGroup(1));
  EXPECT_EQ(list.Groups().size(), 1u);
}

TEST(GroupsFile, OnlyTextThatComesBackWholeIsStorable) {
  EXPECT_TRUE(StorableGroupName(u"Friends"));
  for (std::u16string_view bad : {u"", u"a|b", u"a]b", u"a\rb", u"a\nb"}) {
    EXPECT_FALSE(StorableGroupName(bad)) << std::string(bad.begin(), bad.end());
    EXPECT_FALSE(StorableMember(bad, u"1"));
    EXPECT_FALSE(StorableMember(u"n", bad));
  }
  EXPECT_FALSE(StorableMember(u"[boss", u"1"));
  EXPECT_TRUE(StorableGroupName(std::u16string(kListLineChars - 2, u'g')));
  EXPECT_FALSE(StorableGroupName(std::u16string(kListLineChars - 1, u'g')));
  EXPECT_FALSE(StorableMember(std::u16string(kListLineChars - 1, u'n'), u"1"));

  // A member made from a contact always reads back as it was stored.
  for (GroupMember member : {StorableMemberOf(u"[A|b]\r\nc", u"1|2"),
                             StorableMemberOf(u"", u"555"),
                             StorableMemberOf(std::u16string(400, u'n'), u"0123")}) {
    EXPECT_TRUE(StorableMember(member.name, member.number)) << member.name.size();
    std::vector<Group> back = ReadGroups(WriteGroups({{u"G", {member}}}));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].members, std::vector<GroupMember>{member});
  }
  EXPECT_EQ(StorableMemberOf(u"[A|b]", u"1").name, u"(A b ");
  EXPECT_EQ(StorableMemberOf(u" ", u"555").name, u"555");
}

}  // namespace
}  // namespace brevalo
