// The contact directory and what the picker lists and returns, over contacts given here and
// over the device's contacts server.
#include <gtest/gtest.h>

#include "device/com_test_support.h"
#include "device/contacts_objects.h"
#include "device/contacts_registration.h"
#include "device/kernel_test_support.h"
#include "device/phone_contacts.h"
#include "send/contact_picker_model.h"
#include "send/memory_list_file.h"
#include "send/phone_contacts_loader.h"

namespace brevalo {
namespace {

using Numbers = std::array<std::u16string, kNumberKinds>;

struct Given {
  std::u16string name;
  std::u16string categories;
  Numbers numbers;
};

ContactDirectory::Loader LoaderOf(std::vector<Given> contacts, int* loads = nullptr) {
  return [contacts, loads](ContactDirectory& directory) {
    if (loads != nullptr) ++*loads;
    for (const Given& given : contacts) {
      directory.AddContact(given.name, given.categories, given.numbers);
    }
  };
}

std::vector<std::u16string> Names(const ContactPickerModel& model) {
  std::vector<std::u16string> names;
  for (size_t row = 0; row < model.Rows().size(); ++row) names.push_back(model.Name(row));
  return names;
}

TEST(ContactDirectory, SplitsCategoriesAtCommasDroppingOneBlankAndKeepsFirstAppearanceOrder) {
  ContactDirectory directory(LoaderOf({{u"A", u"Work, Friends", {u"1"}},
                                       {u"B", u"Friends,  Golf,,Work", {u"2"}},
                                       {u"C", u"", {u"3"}}}));
  directory.EnsureLoaded();
  EXPECT_EQ(directory.Categories(),
            (std::vector<std::u16string>{u"Work", u"Friends", u" Golf"}));
  EXPECT_EQ(directory.Contacts()[0].categories, (std::vector<size_t>{0, 1}));
  EXPECT_EQ(directory.Contacts()[1].categories, (std::vector<size_t>{1, 2, 0}));
  EXPECT_TRUE(directory.Contacts()[2].categories.empty());
}

TEST(ContactDirectory, LoadsOnFirstUseOnlyAndAgainOnRefresh) {
  int loads = 0;
  ContactDirectory directory(LoaderOf({{u"A", u"X", {u"1"}}}, &loads));
  EXPECT_TRUE(directory.NeedsLoading());
  ContactPickerModel model(directory, PickerMode::kSingle);
  model.Fill(std::nullopt);
  model.Fill(std::nullopt);
  EXPECT_EQ(loads, 1);
  directory.Refresh();
  EXPECT_EQ(loads, 2);
  EXPECT_EQ(directory.Contacts().size(), 1u);
  EXPECT_EQ(directory.Categories().size(), 1u);
}

TEST(ContactPicker, ListsEachContactOnceByItsFirstNumberAndLeavesOutThoseWithout) {
  ContactDirectory directory(LoaderOf({{u"Home only", u"", {u"", u"0101", u""}},
                                       {u"No number", u"", {}},
                                       {u"Mobile and work", u"", {u"139", u"", u"0105"}}}));
  ContactPickerModel model(directory, PickerMode::kSingle);
  model.Fill(std::nullopt);
  ASSERT_EQ(Names(model), (std::vector<std::u16string>{u"Home only", u"Mobile and work"}));
  EXPECT_EQ(model.KindLetter(0), u"H");
  EXPECT_EQ(model.Number(0), u"0101");
  EXPECT_EQ(model.KindLetter(1), u"M");
  EXPECT_FALSE(model.CycleNumber(5));
}

TEST(ContactPicker, FiveCyclesThroughTheNumbersThatExist) {
  ContactDirectory directory(LoaderOf({{u"Home only", u"", {u"", u"0101", u""}},
                                       {u"Mobile and work", u"", {u"139", u"", u"0105"}}}));
  ContactPickerModel model(directory, PickerMode::kSingle);
  model.Fill(std::nullopt);
  ASSERT_TRUE(model.CycleNumber(0));
  EXPECT_EQ(model.KindLetter(0), u"H");
  ASSERT_TRUE(model.CycleNumber(1));
  EXPECT_EQ(model.KindLetter(1), u"W");
  EXPECT_EQ(model.HintText(1), u"0105");
  ASSERT_TRUE(model.CycleNumber(1));
  EXPECT_EQ(model.KindLetter(1), u"M");
}

TEST(ContactPicker, KeywordFindsTheFirstNameBeginningWithItWhateverTheCase) {
  ContactDirectory directory(LoaderOf({{u"Ann", u"", {u"1"}},
                                       {u"BOB STONE", u"", {u"2"}},
                                       {u"Bobby", u"", {u"3"}},
                                       {u"\u738b\u82b3", u"", {u"4"}}}));
  ContactPickerModel model(directory, PickerMode::kSingle);
  model.Fill(std::nullopt);
  EXPECT_EQ(model.FindKeyword(u"bob"), 1u);
  EXPECT_EQ(model.FindKeyword(u"bobb"), 2u);
  EXPECT_EQ(model.FindKeyword(u"\u738b"), 3u);
  EXPECT_EQ(model.FindKeyword(u"x"), std::nullopt);
  EXPECT_EQ(model.FindKeyword(u""), std::nullopt);
  EXPECT_EQ(model.FindKeyword(u"Annabel"), std::nullopt);
}

class PickerWithGroupsTest : public ::testing::Test {
 protected:
  PickerWithGroupsTest()
      : file_(testing::ListFileBytes({u"[Team]", u"Tom|100", u"Tess|101", u"[Club]", u"Cy|200"})),
        directory_(LoaderOf({{u"Ann", u"Friends", {u"1"}},
                             {u"Tom", u"Work", {u"100"}},
                             {u"Bob", u"Work, Friends", {u"", u"", u"2"}}})) {
    directory_.Groups().Load(file_);
  }
  testing::MemoryListFile file_;
  ContactDirectory directory_;
};

TEST_F(PickerWithGroupsTest, GroupsComeFirstInModeTwoOnly) {
  ContactPickerModel withGroups(directory_, PickerMode::kWithGroups);
  withGroups.Fill(std::nullopt);
  EXPECT_EQ(Names(withGroups),
            (std::vector<std::u16string>{u"Club", u"Team", u"Ann", u"Tom", u"Bob"}));
  EXPECT_EQ(withGroups.GroupRowCount(), 2u);
  EXPECT_EQ(withGroups.HintText(0), u"<Group>");
  EXPECT_EQ(withGroups.KindLetter(0), u"");
  EXPECT_FALSE(withGroups.CycleNumber(0));
  // A category narrows the contacts, never the groups.
  withGroups.Fill(0);  // Friends
  EXPECT_EQ(Names(withGroups), (std::vector<std::u16string>{u"Club", u"Team", u"Ann", u"Bob"}));

  ContactPickerModel checks(directory_, PickerMode::kMultiple);
  checks.Fill(std::nullopt);
  EXPECT_EQ(Names(checks), (std::vector<std::u16string>{u"Ann", u"Tom", u"Bob"}));
}

TEST_F(PickerWithGroupsTest, ACheckedGroupGivesItsMembersFirstAndAMemberContactComesTwice) {
  ContactPickerModel model(directory_, PickerMode::kWithGroups);
  model.Fill(std::nullopt);
  model.SetChecked(1, true);  // Team: Tom and Tess
  model.SetChecked(3, true);  // Tom again, as a contact
  EXPECT_EQ(model.CheckedEntryCount(), 3u);
  EXPECT_EQ(model.CheckedEntries(kRecipientTextChars),
            u";\"Tom\"<100>;\"Tess\"<101>;\"Tom\"<100>");
  model.SetAllChecked(false);
  EXPECT_EQ(model.CheckedEntries(kRecipientTextChars), u"");
  model.SetAllChecked(true);
  EXPECT_EQ(model.CheckedEntryCount(), 6u);
}

TEST_F(PickerWithGroupsTest, AResultThatWouldPassTheRoomIsRefusedWholeNeverCut) {
  ContactPickerModel model(directory_, PickerMode::kWithGroups);
  model.Fill(std::nullopt);
  model.SetChecked(2, true);  // ;"Ann"<1>: 9 characters
  model.SetChecked(4, true);  // ;"Bob"<2>: 9 characters
  EXPECT_EQ(model.CheckedEntries(18), u";\"Ann\"<1>;\"Bob\"<2>");
  EXPECT_EQ(model.CheckedEntries(17), std::nullopt);
  EXPECT_EQ(model.CheckedEntries(0), std::nullopt);
}

TEST_F(PickerWithGroupsTest, AddToGroupAppendsCheckedContactsWithTheirChosenNumbers) {
  ContactPickerModel model(directory_, PickerMode::kWithGroups);
  model.Fill(std::nullopt);
  model.SetChecked(0, true);  // a group row is not added
  model.SetChecked(4, true);  // Bob, by his work number
  ASSERT_TRUE(model.AddCheckedContactsTo(1));
  EXPECT_FALSE(model.AddCheckedContactsTo(2));
  const Group& team = directory_.Groups().Groups()[1];
  EXPECT_EQ(team.members.back(), (GroupMember{u"Bob", u"2"}));
  EXPECT_EQ(team.members.size(), 3u);

  directory_.Groups().AddGroup(u"New");
  model.RebuildGroupRows();
  EXPECT_EQ(Names(model),
            (std::vector<std::u16string>{u"New", u"Club", u"Team", u"Ann", u"Tom", u"Bob"}));
  EXPECT_TRUE(model.Rows()[5].checked);  // contact rows keep their marks
}

TEST_F(PickerWithGroupsTest, DeletingAGroupRowDeletesThatGroupAndSaves) {
  ContactPickerModel model(directory_, PickerMode::kWithGroups);
  model.Fill(std::nullopt);
  EXPECT_FALSE(model.DeleteGroupOfRow(2));  // a contact row
  ASSERT_TRUE(model.DeleteGroupOfRow(0));
  EXPECT_EQ(Names(model), (std::vector<std::u16string>{u"Team", u"Ann", u"Tom", u"Bob"}));
  EXPECT_EQ(*file_.Bytes(), testing::ListFileBytes({u"[Team]", u"Tom|100", u"Tess|101"}));
  model.SetChecked(0, true);
  EXPECT_EQ(model.CheckedEntries(kRecipientTextChars), u";\"Tom\"<100>;\"Tess\"<101>");
}

// The directory over the contacts class as the device provides it.
class PhoneContactsLoaderTest : public ::testing::Test {
 protected:
  PhoneContactsLoaderTest() : registry_(temp_.device().RegistryFile()) {}
  testing::TempDevice temp_;
  Registry registry_;
};

TEST_F(PhoneContactsLoaderTest, LoadsThePhonesContactsThroughTheRegisteredServer) {
  testing::InstallFile(temp_.device(), BREVALO_CONTACTS_SERVER, "Windows/contacts.dll");
  ASSERT_TRUE(RegisterContactsServer(registry_));
  std::string error;
  ASSERT_TRUE(PhoneContacts::Save(temp_.device(),
                                  {{u"Chen Wei", u"", u"0105550123", u"", {u"Family", u"Golf"}},
                                   {u"Dora", u"+49170", u"", u"+4930", {u"Golf"}}},
                                  &error));
  ContactDirectory directory(PhoneContactsLoader(temp_.device()));
  directory.EnsureLoaded();
  ASSERT_EQ(directory.Contacts().size(), 2u);
  EXPECT_EQ(directory.Contacts()[0].name, u"Chen Wei");
  EXPECT_EQ(directory.Contacts()[0].numbers, (Numbers{u"", u"0105550123", u""}));
  EXPECT_EQ(directory.Contacts()[1].numbers, (Numbers{u"+49170", u"", u"+4930"}));
  EXPECT_EQ(directory.Categories(), (std::vector<std::u16string>{u"Family", u"Golf"}));
  EXPECT_EQ(directory.Contacts()[1].categories, std::vector<size_t>{1});
}

TEST_F(PhoneContactsLoaderTest, ADeviceWithoutTheServerOrWithAFailingOneGivesAnEmptyDirectory) {
  std::string error;
  ASSERT_TRUE(PhoneContacts::Save(temp_.device(), {{u"A", u"1", u"", u"", {}}}, &error));
  ContactDirectory unregistered(PhoneContactsLoader(temp_.device()));
  unregistered.EnsureLoaded();
  EXPECT_TRUE(unregistered.Contacts().empty());
  EXPECT_FALSE(unregistered.NeedsLoading());

  ASSERT_TRUE(RegisterContactsServer(registry_));  // registered, but the library is missing
  ContactDirectory missingLibrary(PhoneContactsLoader(temp_.device()));
  missingLibrary.EnsureLoaded();
  EXPECT_TRUE(missingLibrary.Contacts().empty());

  testing::InstallFile(temp_.device(), BREVALO_CONTACTS_SERVER, "Windows/contacts.dll");
  std::filesystem::remove(PhoneContacts::FileOf(temp_.device()));
  std::filesystem::create_directories(PhoneContacts::FileOf(temp_.device()));  // unreadable
  ContactDirectory failingLogon(PhoneContactsLoader(temp_.device()));
  failingLogon.EnsureLoaded();
  EXPECT_TRUE(failingLogon.Contacts().empty());
}

TEST(ReadContactItems, ReadsEveryItemOnceLoggedOnAndNothingBefore) {
  void* object = nullptr;
  ASSERT_EQ(CreateContactsApplication(
                [] {
                  return std::optional<std::vector<Contact>>(
                      {{u"One", u"1", u"", u"", {}}, {u"", u"", u"", u"", {}}, {u"Three", u"", u"", u"3", {}}});
                },
                IID_IContactsApplication, &object),
            S_OK);
  auto* application = static_cast<IContactsApplication*>(object);
  ContactDirectory directory(nullptr);
  EXPECT_EQ(ReadContactItems(*application, directory), CONTACTS_E_NOT_LOGGED_ON);
  ASSERT_EQ(application->Logon(0), S_OK);
  EXPECT_EQ(ReadContactItems(*application, directory), S_OK);
  application->Release();
  ASSERT_EQ(directory.Contacts().size(), 3u);
  EXPECT_EQ(directory.Contacts()[2].numbers[kWorkNumber], u"3");
  EXPECT_FALSE(directory.Contacts()[1].FirstKind());
  EXPECT_EQ(ContactsObjectsAlive(), 0);
}

}  // namespace
}  // namespace brevalo
