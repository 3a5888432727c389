#include "settings/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "device/code_page.h"
#include "settings/settings_test_support.h"

namespace brevalo {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr std::u16string_view kKey = u"Software\\Velmora";
constexpr std::u16string_view kPhotoFolder = u"\\Program Files\\Velmora\\photo\\";

// The registry form as the rest of the program and stored files know it, written out here
// rather than taken from the code under test.
// clang-format off
const std::vector<std::u16string> kDwordNames = {
    u"StartHide", u"StatusReport", u"SmsDelete", u"SmsSource", u"DeleteAlert", u"OpenLastFile",
    u"EmptyReceiveBinAlert", u"AutoHide", u"ShowTrayIcon", u"AutoStart", u"AutoSave",
    u"SaveDuration", u"BlackDeleteToRecycleBin", u"SaveToSentBox", u"StartScreenSaveMin",
    u"ProtectLevel", u"ReceiveTitle", u"SendTitle", u"ImportTitle", u"SummaryLength",
    u"SentAlert", u"DisappearTime", u"DisappearTimeRecv", u"ImportSource", u"UnReadIcon",
    u"UnReadAlert", u"AlertSecond", u"AutoReplyWindowMin"};
// clang-format on
const std::vector<std::u16string> kSavedTextNames = {
    u"LastDir",     u"Sign",         u"SentSkin",  u"defaultPhoto",
    u"PhotoFolder", u"RndSoundPath", u"AlertSound"};

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every value away from its initial and if-absent values, each one different.
void FillDistinct(SettingValues& values) {
  values.StartHide = -2;  // all but the lowest bit set
  values.StatusReport = 0;
  values.SmsDelete = 1;
  values.DeleteAlert = 0;
  values.OpenLastFile = 0;
  values.EmptyReceiveBinAlert = 0;
  values.LastDir = u"\\My Documents\\";
  values.Sign = u"-- sent from my phone 短信";
  values.SentSkin = u"\\Program Files\\Velmora\\skins\\blue.cfg";
  values.defaultPhoto = u"\\My Documents\\me.jpg";
  values.PhotoFolder = u"\\Storage\\Photos\\";
  values.RndSoundPath = u"\\Storage\\Rings\\";
  values.AlertSound = u"\\Windows\\alarm.wav";
  values.AutoHide = 1;
  values.ShowTrayIcon = 0;
  values.AutoStart = 1;
  values.AutoSave = 0;
  values.SaveDuration = 45;
  values.BlackDeleteToRecycleBin = 1;
  values.SaveToSentBox = 0;
  values.StartScreenSaveMin = 0;
  values.ProtectLevel = 2;
  values.ReceiveTitle = 0;
  values.SendTitle = 1;
  values.ImportTitle = 0;
  values.SentAlert = 0;
  values.DisappearTime = 3000;
  values.DisappearTimeRecv = 4000;
  values.ImportSource = 1;
  values.UnReadIcon = 0;
  values.UnReadAlert = 3;
  values.AlertSecond = 60000;
  values.bindings = {{1, 0x35, 40069}, {1 | 8, 0x0D, 40001}, {1 | 4 | 16, 0x79, 40068}};
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSummaryLength(10); }
  void TearDown() override { SetSummaryLength(10); }

  TempRegistry registry_;
  FakeDeviceFiles files_;
};

TEST_F(SettingsTest, FirstRunAndKeyPresentDifferOnlyInSaveToSentBoxAndStartScreenSaveMin) {
  Settings firstRun(files_);
  SetSummaryLength(77);  // a load must set it back
  EXPECT_FALSE(firstRun.Load(*registry_));
  EXPECT_EQ(firstRun.SaveToSentBox, 1);
  EXPECT_EQ(firstRun.StartScreenSaveMin, 1);
  EXPECT_EQ(SummaryLength(), 77) << "without the key nothing is loaded";

  ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"Unrelated", 5));
  Settings keyPresent(files_);
  EXPECT_TRUE(keyPresent.Load(registry_.Reopen()));
  EXPECT_EQ(keyPresent.SaveToSentBox, 0);
  EXPECT_EQ(keyPresent.StartScreenSaveMin, 0);
  EXPECT_EQ(SummaryLength(), 10);

  SettingValues expected = firstRun;
  expected.SaveToSentBox = 0;
  expected.StartScreenSaveMin = 0;
  EXPECT_EQ(static_cast<const SettingValues&>(keyPresent), expected);
}

TEST_F(SettingsTest, InitialValuesOfTheRecord) {
  Settings settings(files_);
  EXPECT_EQ(settings.StatusReport, 1);
  EXPECT_EQ(settings.DeleteAlert, 1);
  EXPECT_EQ(settings.OpenLastFile, 1);
  EXPECT_EQ(settings.ShowTrayIcon, 1);
  EXPECT_EQ(settings.AutoSave, 1);
  EXPECT_EQ(settings.SaveDuration, 2);
  EXPECT_EQ(settings.ProtectLevel, 1);
  EXPECT_EQ(settings.ReceiveTitle, 2);
  EXPECT_EQ(settings.DisappearTime, 15000);
  EXPECT_EQ(settings.DisappearTimeRecv, 15000);
  EXPECT_EQ(settings.AlertSecond, 30000);
  EXPECT_EQ(settings.UnReadAlert, 0);
  EXPECT_EQ(settings.PhotoFolder.Text(), kPhotoFolder);
  EXPECT_TRUE(settings.LastOpenFile.empty());
  EXPECT_TRUE(settings.bindings.empty());
  EXPECT_TRUE(settings.SoundList().empty());
  EXPECT_EQ(SummaryLength(), 10);
}

TEST_F(SettingsTest, EveryValueSurvivesSaveAndLoadUnderItsOwnName) {
  Settings saved(files_);
  FillDistinct(saved);
  SetSummaryLength(25);
  ASSERT_TRUE(saved.Save(*registry_));

  Registry& reopened = registry_.Reopen();
  for (const std::u16string& name : kDwordNames) {
    std::optional<RegValue> value = reopened.Query(HKCU, kKey, name);
    ASSERT_TRUE(value) << ToUtf8(name);
    EXPECT_EQ(value->type, REG_DWORD) << ToUtf8(name);
  }
  for (const std::u16string& name : kSavedTextNames) {
    std::optional<RegValue> value = reopened.Query(HKCU, kKey, name);
    ASSERT_TRUE(value) << ToUtf8(name);
    EXPECT_EQ(value->type, REG_SZ) << ToUtf8(name);
  }
  EXPECT_EQ(reopened.ValueNames(HKCU, kKey).size(), kDwordNames.size() + kSavedTextNames.size())
      << "nothing else, neither LastOpenFile nor Path, is written by a save";
  EXPECT_EQ(reopened.QueryDword(HKCU, kKey, u"SmsSource"), 0u);
  EXPECT_EQ(reopened.QueryDword(HKCU, kKey, u"SummaryLength"), 25u);
  EXPECT_EQ(reopened.QueryDword(HKCU, kKey, u"SaveDuration"), 45u);
  EXPECT_EQ(reopened.QueryDword(HKCU, kKey, u"StartHide"), 0xFFFFFFFEu);
  EXPECT_EQ(reopened.QueryString(HKCU, kKey, u"defaultPhoto"), u"\\My Documents\\me.jpg");

  SetSummaryLength(10);
  Settings loaded(files_);
  ASSERT_TRUE(loaded.Load(reopened));
  EXPECT_EQ(static_cast<const SettingValues&>(loaded), static_cast<const SettingValues&>(saved));
  EXPECT_EQ(SummaryLength(), 25);
}

TEST_F(SettingsTest, TextLongerThanItsBufferLoadsEmpty) {
  ASSERT_TRUE(registry_->SetString(HKCU, kKey, u"LastDir", std::u16string(259, u'a')));
  ASSERT_TRUE(registry_->SetString(HKCU, kKey, u"SentSkin", std::u16string(260, u'b')));
  ASSERT_TRUE(registry_->SetString(HKCU, kKey, u"Sign", std::u16string(140, u'c')));
  ASSERT_TRUE(registry_->SetString(HKCU, kKey, u"AlertSound", std::u16string(139, u'd')));
  ASSERT_TRUE(registry_->SetString(HKCU, kKey, u"PhotoFolder", std::u16string(300, u'e')));
  Settings settings(files_);
  ASSERT_TRUE(settings.Load(*registry_));
  EXPECT_EQ(settings.LastDir.Text(), std::u16string(259, u'a'));
  EXPECT_TRUE(settings.SentSkin.empty());
  EXPECT_TRUE(settings.Sign.empty()) << "Sign has room for 139 characters only";
  EXPECT_EQ(settings.AlertSound.Text(), std::u16string(139, u'd'));
  EXPECT_EQ(settings.PhotoFolder.Text(), kPhotoFolder)
      << "an unreadable photo folder is formatted from the program folder again";
}

TEST_F(SettingsTest, TextCutToItsFieldIsWhatTheNextLoadReads) {
  Settings saved(files_);
  saved.Sign = std::u16string(500, u's');
  saved.LastDir = std::u16string(500, u'l');
  ASSERT_TRUE(saved.Save(*registry_));
  Settings loaded(files_);
  ASSERT_TRUE(loaded.Load(registry_.Reopen()));
  EXPECT_EQ(loaded.Sign.Text(), std::u16string(kSignCapacity, u's'));
  EXPECT_EQ(loaded.LastDir.Text(), std::u16string(kSettingTextCapacity, u'l'));
}

TEST_F(SettingsTest, StoredTypeIsIgnored) {
  ASSERT_TRUE(registry_->SetBinary(HKCU, kKey, u"SaveDuration", {9, 0, 0, 0}));
  ASSERT_TRUE(registry_->SetBinary(HKCU, kKey, u"ProtectLevel", {1, 0, 0, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(registry_->SetString(HKCU, kKey, u"StartHide", u"1"));  // "1" and NUL: 4 bytes
  ASSERT_TRUE(registry_->SetBinary(HKCU, kKey, u"LastDir", {'\\', 0, 'A', 0, 0, 0, 'B', 0}));
  Settings settings(files_);
  ASSERT_TRUE(settings.Load(*registry_));
  EXPECT_EQ(settings.SaveDuration, 9);
  EXPECT_EQ(settings.ProtectLevel, 1) << "eight bytes do not fit a number";
  EXPECT_EQ(settings.StartHide, 0x31);
  EXPECT_EQ(settings.LastDir.Text(), u"\\A");
}

TEST_F(SettingsTest, ValuesOutsideTheirRangeLoadAsAbsent) {
  ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"SaveDuration", 0));
  ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"SummaryLength", 0));
  ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"AlertSecond", 0));
  ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"ProtectLevel", 3));
  ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"UnReadAlert", 0xFFFFFFFF));
  ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"ReceiveTitle", 1));
  ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"DisappearTime", 0x80000000));
  ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"ShowTrayIcon", 5));
  SetSummaryLength(33);
  Settings settings(files_);
  ASSERT_TRUE(settings.Load(*registry_));
  EXPECT_EQ(settings.SaveDuration, 2);
  EXPECT_EQ(SummaryLength(), 10);
  EXPECT_EQ(settings.AlertSecond, 30000);
  EXPECT_EQ(settings.ProtectLevel, 1);
  EXPECT_EQ(settings.UnReadAlert, 0);
  EXPECT_EQ(settings.ReceiveTitle, 1);
  EXPECT_EQ(settings.DisappearTime, 15000);
  EXPECT_EQ(settings.ShowTrayIcon, 5) << "a flag is kept as stored";
}

TEST_F(SettingsTest, LastOpenFileHasAWriteOfItsOwn) {
  Settings settings(files_);
  ASSERT_TRUE(settings.RecordLastFile(*registry_, u"\\My Documents\\sms.kvt"));
  EXPECT_EQ(registry_.Reopen().ValueNames(HKCU, kKey),
            (std::vector<std::u16string>{u"LastOpenFile"}));
  EXPECT_EQ(registry_->QueryString(HKCU, kKey, u"LastOpenFile"), u"\\My Documents\\sms.kvt");

  // Exiting saves without touching it, so the next start finds the document open at exit.
  settings.LastOpenFile = u"\\elsewhere.kvt";
  ASSERT_TRUE(settings.Save(*registry_));
  Settings nextStart(files_);
  ASSERT_TRUE(nextStart.Load(registry_.Reopen()));
  EXPECT_EQ(nextStart.LastOpenFile.Text(), u"\\My Documents\\sms.kvt");

  // Closing the document empties it in the registry at once.
  ASSERT_TRUE(nextStart.RecordLastFile(*registry_, u""));
  EXPECT_TRUE(nextStart.LastOpenFile.empty());
  EXPECT_EQ(registry_.Reopen().QueryString(HKCU, kKey, u"LastOpenFile"), u"");
}

TEST_F(SettingsTest, SaveToADamagedRegistryFailsAndChangesNothing) {
  {
    std::ofstream out(registry_.File(), std::ios::binary);
    out << "[HKEY_CURRENT_USER\\Software\\Velmora]\n\"SaveDuration\"=dword:nonsense\n";
  }
  const std::string before = ReadFile(registry_.File());
  Registry& damaged = registry_.Reopen();
  ASSERT_FALSE(damaged.Load());
  Settings settings(files_);
  FillDistinct(settings);
  EXPECT_FALSE(settings.Save(damaged));
  EXPECT_FALSE(settings.RecordLastFile(damaged, u"\\a.kvt"));
  EXPECT_EQ(ReadFile(registry_.File()), before);
}

TEST_F(SettingsTest, SoundListIsBuiltWhenLoadedFolderIsNotEmpty) {
  files_.folders[u"\\Storage\\Rings\\"] = {{u"b.wav", true}, {u"a.wav", true}};
  ASSERT_TRUE(registry_->SetString(HKCU, kKey, u"RndSoundPath", u"\\Storage\\Rings\\"));
  Settings settings(files_);
  ASSERT_TRUE(settings.Load(*registry_));
  EXPECT_EQ(settings.SoundList().Names(), (std::vector<std::u16string>{u"b.wav", u"a.wav"}));

  // Files added later are seen only when the list is built again.
  files_.folders[u"\\Storage\\Rings\\"].push_back({u"c.wav", true});
  EXPECT_EQ(settings.SoundList().size(), 2u);
  settings.RebuildSoundList();
  EXPECT_EQ(settings.SoundList().size(), 3u);

  // An emptied folder setting leaves nothing to play rather than the old folder's sounds.
  settings.RndSoundPath = u"";
  settings.RebuildSoundList();
  EXPECT_TRUE(settings.SoundList().empty());
}

TEST_F(SettingsTest, PhoneLibraryProbeFollowsTheDevice) {
  { Settings withoutPhone(files_); }
  EXPECT_FALSE(PhoneLibraryPresent());
  files_.files.push_back(u"\\Windows\\phone.dll");
  { Settings withPhone(files_); }
  EXPECT_TRUE(PhoneLibraryPresent());
}

}  // namespace
}  // namespace brevalo
