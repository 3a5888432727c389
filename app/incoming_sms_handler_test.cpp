#include "app/incoming_sms_handler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/auto_reply_limiter.h"
#include "app/open_document_test_support.h"
#include "store/node_title.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::Find;
using testing::NodeView;
using testing::Outline;

// Every call the handler makes of the program, in order, as one line each.
class RecordingActions : public IntakeActions {
 public:
  std::vector<std::string> calls;
  AutoReplyLimiter replies;
  int64_t now = 1'000'000;  // seconds

  void AnswerDelete(uint64_t ticket) override { calls.push_back("delete #" + std::to_string(ticket)); }
  void KeptOnPhone(bool saveFailed) override {
    calls.push_back(saveFailed ? "kept: save failed" : "kept: not exact");
  }
  void ShowPopup(std::u16string_view skin, std::u16string_view text, std::u16string_view sender,
                 int displayMs, std::u16string_view picture, int contact) override {
    calls.push_back("popup skin=" + ToUtf8(skin) + " text=" + ToUtf8(text) + " sender=" + ToUtf8(sender) +
                    " ms=" + std::to_string(displayMs) + " picture=" + ToUtf8(picture) +
                    " contact=" + std::to_string(contact));
  }
  void PlaySound(std::u16string_view path) override { calls.push_back("sound " + ToUtf8(path)); }
  void PlayRandomRing() override { calls.push_back("random ring"); }
  void Vibrate() override { calls.push_back("vibrate"); }
  void Enqueue(std::u16string_view recipients, std::u16string_view text) override {
    calls.push_back("send to=" + ToUtf8(recipients) + " text=" + ToUtf8(text));
  }
  bool MayAutoReply(std::u16string_view sender) override {
    return replies.Allow(sender, now, 60);
  }
  void StartUnreadReminder() override { calls.push_back("reminder"); }
  void UnreadChanged() override { calls.push_back("unread changed"); }
  std::u16string TimeText(DATE) override { return u"09/12 10:30"; }
};

FILETIME UtcTime(uint16_t hour, uint16_t minute) {
  SYSTEMTIME time{};
  time.wYear = 2026;
  time.wMonth = 12;
  time.wDay = 9;
  time.wHour = hour;
  time.wMinute = minute;
  FILETIME out{};
  EXPECT_TRUE(SystemTimeToFileTime(time, &out));
  return out;
}

// A filter that takes every message and holds exactly the given slots.
std::unique_ptr<Filter> FilterWith(const std::vector<std::pair<size_t, std::optional<std::u16string>>>& slots) {
  auto filter = std::make_unique<Filter>();
  filter->applyToAll = 1;
  filter->name = u"test";
  for (const auto& [slot, text] : slots) filter->SetAction(slot, text);
  return filter;
}

class IncomingSmsHandlerTest : public testing::StoreTest {
 protected:
  void SetUp() override {
    // Inbox { old (unread) }, Notes, and a recycle bin unless a test takes it away.
    CreateDocument();
    TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
    AddMessage(inbox, u"old", u"5550100", u"old one");
    AddFolder(tree.Root(), u"Notes");
    AddBin();
    ASSERT_TRUE(store.Save(tree));
    store.Close();
    ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);
    options.summaryLength = 40;
    filters.ContactDefault().ClearRules();
    filters.StrangerDefault().ClearRules();
  }
  uint32_t Handle(const SlotMessage& message) { return handler.HandleIncomingSms(message, options); }
  // Each message gets the next ticket, from 1, as the channel gives them.
  SlotMessage Message(std::u16string sender, std::u16string body) {
    SlotMessage message{std::move(body), std::move(sender), UtcTime(10, 30)};
    message.ticket = ++lastTicket;
    return message;
  }
  void UseFilter(const std::vector<std::pair<size_t, std::optional<std::u16string>>>& slots) {
    ASSERT_TRUE(filters.AddFilter(FilterWith(slots)));
  }
  // The document as it is on disk after the next save.
  std::vector<NodeView> SavedView() {
    EXPECT_TRUE(doc.Save());
    return Reopen();
  }
  // The document as the next open finds it without a save: its index and journal.
  std::vector<NodeView> ReopenWithoutSaving() { return Reopen(); }

  FilterEngine filters{std::filesystem::path()};
  OpenDocument doc{files, offsets, codePage};
  RecordingActions actions;
  IntakeOptions options;
  IncomingSmsHandler handler{filters, doc, actions};
  uint64_t lastTicket = 0;
};

TEST_F(IncomingSmsHandlerTest, ABlackListedSenderIsOnlyDeletedFromTheInboxWhenTheRecycleBinIsNotWanted) {
  ASSERT_TRUE(filters.AddBlackListEntry(u"Spam", u"5550199"));
  UseFilter({{ACTION_SAVE_TO_FOLDER, u"\\Inbox"}, {ACTION_POPUP, std::nullopt}, {ACTION_VIBRATE, std::nullopt}});
  std::vector<std::string> before = Outline(doc.Tree());

  EXPECT_EQ(Handle(Message(u"+15550199", u"buy now")), 1u);

  EXPECT_EQ(actions.calls, std::vector<std::string>({"delete #1"}));
  EXPECT_EQ(Outline(doc.Tree()), before);
  EXPECT_FALSE(doc.Store().TreeChanged());
}

TEST_F(IncomingSmsHandlerTest, ABlackListedSenderLandsUnreadInTheRecycleBinWithoutAnyAlert) {
  ASSERT_TRUE(filters.AddBlackListEntry(u"Spam", u"5550199"));
  UseFilter({{ACTION_POPUP, std::nullopt}, {ACTION_UNREAD_ALERT, std::nullopt}});
  options.blackDeleteToRecycleBin = true;

  Handle(Message(u"5550199", u"buy now"));

  // The phone's copy goes once the bin holds the message on disk.
  EXPECT_EQ(actions.calls, std::vector<std::string>({"unread changed", "delete #1"}));
  EXPECT_EQ(Outline(doc.Tree()), std::vector<std::string>({"Inbox 1 1 B", "  old 3 1 B", "Notes 1 0",
                                                           "Recycle Bin 5 1 B", "  buy now 3 1 B"}));
  EXPECT_EQ(doc.UnreadTotal(), 2u);
  EXPECT_EQ(ReopenWithoutSaving().back().label, u"buy now");
}

TEST_F(IncomingSmsHandlerTest, WithoutARecycleBinTheBlackListedMessageIsStoredNowhere) {
  ASSERT_TRUE(filters.AddBlackListEntry(u"Spam", u"5550199"));
  options.blackDeleteToRecycleBin = true;
  ASSERT_TRUE(doc.ToggleRecycleBin() == false);
  std::vector<std::string> before = Outline(doc.Tree());

  Handle(Message(u"5550199", u"buy now"));

  EXPECT_EQ(actions.calls, std::vector<std::string>({"delete #1"}));
  EXPECT_EQ(Outline(doc.Tree()), before);
}

// Filing and the delete answer come first: the library waits for the answer a limited time, and
// the alerts (a vibration holds the thread half a second) must not use it up.
TEST_F(IncomingSmsHandlerTest, TheMessageIsFiledAndAnsweredBeforeTheOtherActionsInTheirFixedOrder) {
  UseFilter({{ACTION_UNREAD_ALERT, std::nullopt},
             {ACTION_AUTO_FORWARD, u"5550300;\"Bob\"<5550301>"},
             {ACTION_AUTO_REPLY, u"Sorry! I'm busy now..."},
             {ACTION_VIBRATE, std::nullopt},
             {ACTION_SOUND, u"\\Windows\\ring.wav"},
             {ACTION_POPUP, u"\\Skins\\blue.ini"},
             {ACTION_PHOTO, u"\\Photos\\ann.bmp"},
             {ACTION_HIDE_IN_INBOX, std::nullopt},
             {ACTION_SAVE_TO_FOLDER, u"\\Inbox"}});
  options.popupDisplayMs = 4000;

  Handle(Message(u"\"Ann Lee\"<555-0102>", u"see you"));

  EXPECT_EQ(actions.calls,
            std::vector<std::string>({
                "unread changed",
                "delete #1",
                "popup skin=\\Skins\\blue.ini text=see you sender=AnnLee ms=4000 picture=\\Photos\\ann.bmp contact=1",
                "sound \\Windows\\ring.wav",
                "vibrate",
                "send to=\"Ann Lee\"<555-0102> text=Sorry! I'm busy now...",
                "send to=5550300;\"Bob\"<5550301> text=see you",
                "reminder",
            }));
}

// The phone's copy goes only when the user asked for it: a filter that files without Don't Show
// in Inbox leaves it, and one that files nothing drops the message as asked.
TEST_F(IncomingSmsHandlerTest, OnlyDontShowInInboxLetsThePhonesCopyGo) {
  UseFilter({{ACTION_SAVE_TO_FOLDER, u"\\Inbox"}});
  Handle(Message(u"5550102", u"filed, shown"));
  ASSERT_TRUE(filters.RemoveFilter(0));
  UseFilter({{ACTION_HIDE_IN_INBOX, std::nullopt}});
  Handle(Message(u"5550102", u"dropped"));

  EXPECT_EQ(actions.calls, std::vector<std::string>({"unread changed", "delete #2"}));
}

TEST_F(IncomingSmsHandlerTest, APopupWithASentenceNamesNoSenderAndAsksForNoContactPhoto) {
  UseFilter({{ACTION_POPUP, std::nullopt}, {ACTION_SENTENCE, u"You have mail"}});
  Handle(Message(u"\"Ann\"<5550102>", u"secret"));
  ASSERT_TRUE(filters.RemoveFilter(0));
  UseFilter({{ACTION_POPUP, std::nullopt}, {ACTION_PHOTO, u"\\p.jpg"}});
  Handle(Message(u"555 01-03", u"plain"));

  EXPECT_EQ(actions.calls, std::vector<std::string>({
                               "popup skin= text=You have mail sender= ms=0 picture= contact=0",
                               "popup skin= text=plain sender=5550103 ms=0 picture=\\p.jpg contact=0",
                           }));
}

TEST_F(IncomingSmsHandlerTest, TheRandomRingNeedsASoundFolderAndEmptyRepliesAreNotSent) {
  UseFilter({{ACTION_SOUND, u"|"}, {ACTION_AUTO_REPLY, u""}, {ACTION_AUTO_FORWARD, std::nullopt}});
  Handle(Message(u"5550102", u"one"));
  options.randomSoundFolderSet = true;
  Handle(Message(u"5550102", u"two"));

  EXPECT_EQ(actions.calls, std::vector<std::string>({"random ring"}));
}

// Newest first: a long folder shows its latest message at the top.
TEST_F(IncomingSmsHandlerTest, TheFolderPathIsCreatedFirstOnFirstUseAndReusedAfterwards) {
  UseFilter({{ACTION_SAVE_TO_FOLDER, u"\\Work\\Boss"}});
  Handle(Message(u"5550102", u"first"));
  Handle(Message(u"5550102", u"second"));
  filters.FilterAt(0)->SetAction(ACTION_SAVE_TO_FOLDER, u"\\\\Inbox\\");
  Handle(Message(u"5550103", u"third"));

  EXPECT_EQ(Outline(doc.Tree()),
            std::vector<std::string>({"Work 1 2 B", "  Boss 1 2 B", "    second 3 1 B", "    first 3 1 B",
                                      "Inbox 1 2 B", "  third 3 1 B", "  old 3 1 B", "Notes 1 0",
                                      "Recycle Bin 4 0"}));
  EXPECT_EQ(actions.calls, std::vector<std::string>(3, "unread changed"));
}

TEST_F(IncomingSmsHandlerTest, FolderNamesMatchExactlyAndTextBeforeTheFirstBackslashIsNoFolder) {
  UseFilter({{ACTION_SAVE_TO_FOLDER, u"\\inbox"}});
  Handle(Message(u"5550102", u"lower"));
  filters.FilterAt(0)->SetAction(ACTION_SAVE_TO_FOLDER, u"Inbox");
  Handle(Message(u"5550102", u"top"));
  filters.FilterAt(0)->SetAction(ACTION_SAVE_TO_FOLDER, u"Notes\\Inbox");
  Handle(Message(u"5550102", u"skipped part"));

  std::vector<std::string> outline = Outline(doc.Tree());
  EXPECT_EQ(outline, std::vector<std::string>({"top 3 1 B", "inbox 1 1 B", "  lower 3 1 B", "Inbox 1 2 B",
                                               "  skipped part 3 1 B", "  old 3 1 B", "Notes 1 0",
                                               "Recycle Bin 4 0"}));
}

TEST_F(IncomingSmsHandlerTest, AFiledMessageKeepsSenderLocalDeliveryTimeAndBodyOnDisk) {
  UseFilter({{ACTION_SAVE_TO_FOLDER, u"\\Inbox"}});
  options.titleMode = kTitleContactTime;
  SlotMessage message = Message(u"\"Ann\"<5550102>", u"dinner at eight?");
  Handle(message);
  options.titleMode = kTitleSummary;
  options.summaryLength = 6;
  Handle(Message(u"5550103", u""));
  Handle(Message(u"5550104", u"line one\r\nline two"));

  for (const std::vector<NodeView>& saved : {ReopenWithoutSaving(), SavedView()}) {
    ASSERT_EQ(saved.size(), 7u);
    EXPECT_EQ(saved[3].label, u"Ann 09/12 10:30");
    EXPECT_EQ(saved[3].text, u"dinner at eight?");
    EXPECT_EQ(saved[3].image, kImageUnread);
    EXPECT_EQ(saved[2].label, u"");
    EXPECT_EQ(saved[2].text, u"");
    EXPECT_EQ(saved[1].label, u"line o");
    EXPECT_EQ(saved[1].text, u"line one\r\nline two");
  }

  TreeNode* filed = Find(doc.Tree(), u"Ann 09/12 10:30");
  ASSERT_NE(filed, nullptr);
  ASSERT_TRUE(doc.Store().ReadRecord(filed->Data().offset));
  EXPECT_EQ(doc.Store().RecordNumber(), u"\"Ann\"<5550102>");
  DATE expected = 0;
  ASSERT_TRUE(UtcFileTimeToOleDate(message.deliveryTime, &expected));
  EXPECT_DOUBLE_EQ(doc.Store().Record().date, expected);
  EXPECT_EQ(doc.Store().Record().hasBody, 1);
}

// Without a document the phone's inbox is where the message lives, whatever the filter says.
TEST_F(IncomingSmsHandlerTest, WithNoDocumentOpenTheMessageIsOnlyAlertedAndStaysOnThePhone) {
  ASSERT_TRUE(doc.Close());
  UseFilter({{ACTION_SAVE_TO_FOLDER, u"\\Inbox"}, {ACTION_VIBRATE, std::nullopt}, {ACTION_UNREAD_ALERT, std::nullopt},
             {ACTION_HIDE_IN_INBOX, std::nullopt}});

  EXPECT_EQ(Handle(Message(u"5550102", u"hi")), 1u);

  EXPECT_EQ(actions.calls, std::vector<std::string>({"vibrate", "reminder"}));
  EXPECT_TRUE(Outline(doc.Tree()).empty());
}

TEST_F(IncomingSmsHandlerTest, ContactsAndStrangersFallToTheirDefaultsWhenNoUserFilterTakesThem) {
  filters.ContactDefault().SetAction(ACTION_SAVE_TO_FOLDER, u"\\Friends");
  filters.StrangerDefault().SetAction(ACTION_SAVE_TO_FOLDER, u"\\Strangers");
  filters.StrangerDefault().SetAction(ACTION_HIDE_IN_INBOX);

  Handle(Message(u"\"Ann\"<5550102>", u"from a friend"));
  Handle(Message(u"5550999", u"from a stranger"));

  EXPECT_EQ(actions.calls, std::vector<std::string>({"unread changed", "unread changed", "delete #2"}));
  EXPECT_NE(Find(doc.Tree(), u"Friends"), nullptr);
  ASSERT_NE(Find(doc.Tree(), u"Strangers"), nullptr);
  EXPECT_EQ(Find(doc.Tree(), u"Strangers")->ChildCount(), 1u);
}

// The phone keeps its copy whenever the document cannot hold the message exactly and on disk;
// the document files what it can all the same.
TEST_F(IncomingSmsHandlerTest, ThePhoneKeepsWhatTheDocumentCannotHoldExactly) {
  UseFilter({{ACTION_SAVE_TO_FOLDER, u"\\Inbox"}, {ACTION_HIDE_IN_INBOX, std::nullopt}});
  SlotMessage cut = Message(u"5550102", std::u16string(300, u'x'));
  cut.bodyWhole = false;
  Handle(cut);
  Handle(Message(u"\"Ann\"<" + std::u16string(60, u'7') + u">", u"a number longer than its field"));
  Handle(Message(u"\"Dr. Annabelle Leonora Featherstonehaugh-Smith\"<+4930555019>", u"a long name"));
  std::optional<CodePage> western = CodePage::Open(1252);
  ASSERT_TRUE(western);
  codePage = *western;
  Handle(Message(u"5550103", u"Grüße 💬"));
  Handle(Message(u"5550103", u"Grüße"));

  EXPECT_EQ(actions.calls, std::vector<std::string>({
                               "unread changed", "kept: not exact",
                               "unread changed", "kept: not exact",
                               "unread changed", "delete #3",
                               "unread changed", "kept: not exact",
                               "unread changed", "delete #5",
                           }));
  EXPECT_EQ(doc.Tree().Root().Child(0)->ChildCount(), 6u);
  TreeNode* named = Find(doc.Tree(), u"a long name");
  ASSERT_NE(named, nullptr);
  ASSERT_TRUE(doc.Store().ReadRecord(named->Data().offset));
  EXPECT_EQ(doc.Store().RecordNumber(), u"\"Dr. Annabelle Leonora Featherstoneha\"<+4930555019>");
}

TEST_F(IncomingSmsHandlerTest, ThePhoneKeepsWhatAFullDiskOrADeletedDocumentCannotTake) {
  UseFilter({{ACTION_SAVE_TO_FOLDER, u"\\Inbox"}, {ACTION_HIDE_IN_INBOX, std::nullopt}});
  ASSERT_TRUE(filters.AddBlackListEntry(u"Spam", u"5550199"));
  options.blackDeleteToRecycleBin = true;
  files.FailWrite(1, true);
  Handle(Message(u"5550102", u"disk full"));
  Handle(Message(u"5550199", u"spam on a full disk"));
  files.FailWrite(1000000);
  Handle(Message(u"5550102", u"room again"));
  files.Remove(kPath);
  Handle(Message(u"5550102", u"into a deleted file"));

  // Nothing could be written for the first two: no node names nothing.
  EXPECT_EQ(actions.calls, std::vector<std::string>({
                               "kept: save failed",
                               "kept: save failed",
                               "unread changed", "delete #3",
                               "unread changed", "kept: save failed",
                           }));
  EXPECT_EQ(Outline(doc.Tree()), std::vector<std::string>({"Inbox 1 3 B", "  into a deleted file 3 1 B",
                                                           "  room again 3 1 B", "  old 3 1 B", "Notes 1 0",
                                                           "Recycle Bin 4 0"}));
}

// The channel hands a message over again when the program ended before taking it off: it is
// filed once, and the phone's copy goes as it would have.
TEST_F(IncomingSmsHandlerTest, AMessageHandedOverAgainIsFiledOnce) {
  UseFilter({{ACTION_SAVE_TO_FOLDER, u"\\Inbox"}, {ACTION_HIDE_IN_INBOX, std::nullopt}, {ACTION_VIBRATE, std::nullopt}});
  SlotMessage message = Message(u"5550102", u"once");
  Handle(message);
  Handle(message);
  // The same ticket with other content is another message (the channel's tickets start anew).
  SlotMessage other = message;
  other.body = u"another";
  Handle(other);

  EXPECT_EQ(actions.calls, std::vector<std::string>({"unread changed", "delete #1", "vibrate", "delete #1",
                                                     "unread changed", "delete #1", "vibrate"}));
  EXPECT_EQ(Outline(doc.Tree()), std::vector<std::string>({"Inbox 1 3 B", "  another 3 1 B", "  once 3 1 B",
                                                           "  old 3 1 B", "Notes 1 0", "Recycle Bin 4 0"}));
}

// Two phones that both reply automatically would answer each other without end: one reply to a
// number within the hour; forwarding goes on as before.
TEST_F(IncomingSmsHandlerTest, AnAutomaticReplyGoesOnceAnHourToTheSameNumber) {
  UseFilter({{ACTION_AUTO_REPLY, u"Busy"}, {ACTION_AUTO_FORWARD, u"5550300"}});
  Handle(Message(u"5550102", u"one"));
  actions.now += 30 * 60;
  Handle(Message(u"\"Ann\"<555-0102>", u"two"));
  actions.now += 31 * 60;
  Handle(Message(u"5550102", u"three"));

  EXPECT_EQ(actions.calls, std::vector<std::string>({
                               "send to=5550102 text=Busy", "send to=5550300 text=one",
                               "send to=5550300 text=two",
                               "send to=5550102 text=Busy", "send to=5550300 text=three",
                           }));
}

}  // namespace
}  // namespace brevalo
