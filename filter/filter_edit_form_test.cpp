#include "filter/filter_edit_form.h"

#include <gtest/gtest.h>

#include "filter/filter_list_editor.h"
#include "filter/rule_editor_form.h"

namespace brevalo {
namespace {

const SkinChoiceList kSkins{u"\\Program Files\\Velmora\\", {u"Default", u"Blue", u"Night"}};

Filter WithRule() {
  Filter filter;
  filter.conditions[0] = FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_INCLUDE, u"555"};
  return filter;
}

// A form that passes every check: each ticked box has its text.
FilterEditForm Passing() {
  FilterEditForm form;
  form.name = u"Work";
  form.saveToFolder = true;
  form.folder = u"\\Work";
  return form;
}

TEST(FilterEditFormTest, OpensFromTheSlotsWithFieldsFollowingTheirBoxes) {
  Filter filter;
  filter.name = u"Boss";
  filter.SetAction(ACTION_SOUND, u"|");
  filter.SetAction(ACTION_POPUP, u"\\Program Files\\Velmora\\skins\\Night.cfg");
  filter.SetAction(ACTION_PHOTO, u"\\My Documents\\boss.jpg");
  filter.SetAction(ACTION_UNREAD_ALERT);
  FilterEditForm form = FormOfFilter(filter, EDIT_FILTER, kSkins);
  EXPECT_EQ(form.name, u"Boss");
  EXPECT_TRUE(form.randomRing);
  EXPECT_FALSE(form.playSound);
  EXPECT_EQ(form.skin, 2u);
  EXPECT_TRUE(form.photo);
  EXPECT_FALSE(form.sentence);
  // Without their slots, the folder and the reply offer their usual texts, disabled.
  EXPECT_FALSE(form.saveToFolder);
  EXPECT_EQ(form.folder, u"\\Inbox");
  EXPECT_EQ(form.replyText, u"Sorry! I'm busy now...");
  FilterEditEnables on = EnablesOf(form, EDIT_FILTER);
  EXPECT_FALSE(on.soundPath);
  EXPECT_TRUE(on.skin);
  EXPECT_TRUE(on.photoPath);
  EXPECT_FALSE(on.sentenceText);
  EXPECT_FALSE(on.folder);
  EXPECT_FALSE(on.reply);
  EXPECT_TRUE(on.ruleSetting);

  // A skin that is no longer listed, and a pop-up without a skin, show "Default".
  filter.SetAction(ACTION_POPUP, u"\\Program Files\\Velmora\\skins\\Gone.cfg");
  EXPECT_EQ(FormOfFilter(filter, EDIT_FILTER, kSkins).skin, 0u);
  filter.SetAction(ACTION_POPUP);
  EXPECT_EQ(FormOfFilter(filter, EDIT_FILTER, kSkins).skin, 0u);
  filter.SetAction(ACTION_SOUND, u"\\Windows\\ring.wav");
  form = FormOfFilter(filter, EDIT_FILTER, kSkins);
  EXPECT_TRUE(form.playSound);
  EXPECT_EQ(form.soundPath, u"\\Windows\\ring.wav");
}

TEST(FilterEditFormTest, DefaultsShowTheirFixedNameAndNeverTakeAName) {
  Filter contact;
  contact.applyToAll = 1;
  contact.SetDefaultContent();
  FilterEditForm form = FormOfFilter(contact, EDIT_CONTACT_DEFAULT, kSkins);
  EXPECT_EQ(form.name, u"Contact Default");
  EXPECT_FALSE(EnablesOf(form, EDIT_CONTACT_DEFAULT).name);
  EXPECT_EQ(FormOfFilter(contact, EDIT_STRANGER_DEFAULT, kSkins).name, u"Stranger Default");
  EXPECT_EQ(MatchDescription(EDIT_STRANGER_DEFAULT),
            u"Match: Stranger who are not in the blacklist/user-defined filter");
  EXPECT_TRUE(MatchDescription(EDIT_FILTER).empty());
  // A default has no rule and needs none: it applies to all.
  form.vibrate = true;
  EXPECT_EQ(StoreForm(form, EDIT_CONTACT_DEFAULT, kSkins, contact), std::nullopt);
  EXPECT_TRUE(contact.name.empty());
  EXPECT_EQ(contact.applyToAll, 1);
  EXPECT_TRUE(contact.HasAction(ACTION_VIBRATE));
}

TEST(FilterEditFormTest, TheSoundBoxesExcludeEachOther) {
  FilterEditForm form;
  form.SetPlaySound(true);
  form.soundPath = u"\\a.wav";
  EXPECT_TRUE(EnablesOf(form, EDIT_FILTER).soundPath);
  form.SetRandomRing(true);
  EXPECT_FALSE(form.playSound);
  EXPECT_FALSE(EnablesOf(form, EDIT_FILTER).soundPath);
  form.SetPlaySound(true);
  EXPECT_FALSE(form.randomRing);
  EXPECT_TRUE(EnablesOf(form, EDIT_FILTER).playButton);
  // Clearing one leaves the other as it was.
  form.SetRandomRing(false);
  EXPECT_TRUE(form.playSound);
}

TEST(FilterEditFormTest, ThePopUpBoxGovernsItsCompanions) {
  FilterEditForm form;
  form.sentence = true;
  form.photo = true;
  FilterEditEnables off = EnablesOf(form, EDIT_FILTER);
  EXPECT_FALSE(off.skin || off.sentenceBox || off.sentenceText || off.photoBox || off.photoPath);
  form.popup = true;
  form.photo = false;
  FilterEditEnables on = EnablesOf(form, EDIT_FILTER);
  EXPECT_TRUE(on.skin && on.sentenceBox && on.sentenceText && on.photoBox);
  EXPECT_FALSE(on.photoPath);
  form.applyToAll = true;
  EXPECT_FALSE(EnablesOf(form, EDIT_FILTER).ruleSetting);
}

TEST(FilterEditFormTest, OkStoresEverySlotOfAPassingForm) {
  Filter filter = WithRule();
  FilterEditForm form = Passing();
  form.name = std::u16string(40, u'n');
  form.folder = u"Work";  // stored with the backslash in front
  form.autoForward = true;
  form.forwardTo = u"\"Ann\"<100>;200";
  form.vibrate = true;
  form.SetPlaySound(true);
  form.soundPath = u"\\ring.wav";
  form.popup = true;
  form.skin = 1;
  form.sentence = true;
  form.sentenceText = u"Meeting";
  form.unreadAlert = true;
  form.hideInInbox = true;
  form.autoReply = true;
  form.replyText = u"Busy\r\nlater";
  ASSERT_EQ(StoreForm(form, EDIT_FILTER, kSkins, filter), std::nullopt);
  EXPECT_EQ(filter.name, std::u16string(39, u'n'));
  EXPECT_EQ(filter.applyToAll, 0);
  EXPECT_EQ(filter.actions[ACTION_SAVE_TO_FOLDER]->text, u"\\Work");
  EXPECT_EQ(filter.actions[ACTION_AUTO_FORWARD]->text, u"\"Ann\"<100>;200");
  EXPECT_EQ(filter.actions[ACTION_SOUND]->text, u"\\ring.wav");
  EXPECT_EQ(filter.actions[ACTION_POPUP]->text, u"\\Program Files\\Velmora\\skins\\Blue.cfg");
  EXPECT_EQ(filter.actions[ACTION_SENTENCE]->text, u"Meeting");
  EXPECT_EQ(filter.actions[ACTION_AUTO_REPLY]->text, u"Busy\r\nlater");
  EXPECT_TRUE(filter.HasAction(ACTION_VIBRATE) && filter.HasAction(ACTION_UNREAD_ALERT) &&
              filter.HasAction(ACTION_HIDE_IN_INBOX));
  EXPECT_FALSE(filter.HasAction(ACTION_PHOTO));
  // What the form gives back is what it was given, the folder as stored.
  FilterEditForm again = FormOfFilter(filter, EDIT_FILTER, kSkins);
  form.name.resize(39);
  form.folder = u"\\Work";
  EXPECT_EQ(again, form);

  // Clearing boxes removes their slots; Random Ring stores the bar; the "Default" skin no text.
  form.autoForward = form.vibrate = form.hideInInbox = form.autoReply = form.unreadAlert = false;
  form.SetRandomRing(true);
  form.skin = 0;
  ASSERT_EQ(StoreForm(form, EDIT_FILTER, kSkins, filter), std::nullopt);
  EXPECT_EQ(filter.actions[ACTION_SOUND]->text, u"|");
  EXPECT_EQ(filter.actions[ACTION_POPUP]->text, std::nullopt);
  for (size_t slot : {ACTION_AUTO_FORWARD, ACTION_VIBRATE, ACTION_HIDE_IN_INBOX, ACTION_AUTO_REPLY, ACTION_UNREAD_ALERT}) {
    EXPECT_FALSE(filter.HasAction(slot)) << slot;
  }
}

TEST(FilterEditFormTest, ClearingThePopUpKeepsTheSpecificPhoto) {
  Filter filter = WithRule();
  filter.SetAction(ACTION_POPUP);
  filter.SetAction(ACTION_SENTENCE, u"Hi");
  filter.SetAction(ACTION_PHOTO, u"\\p.jpg");
  FilterEditForm form = FormOfFilter(filter, EDIT_FILTER, kSkins);
  form.name = u"x";
  form.popup = false;
  ASSERT_EQ(StoreForm(form, EDIT_FILTER, kSkins, filter), std::nullopt);
  EXPECT_FALSE(filter.HasAction(ACTION_POPUP));
  EXPECT_FALSE(filter.HasAction(ACTION_SENTENCE));
  EXPECT_EQ(filter.actions[ACTION_PHOTO]->text, u"\\p.jpg");
}

// Each failing check, in OK's order: its message, what the steps before it stored, and what the
// steps after it left alone.
TEST(FilterEditFormTest, AFailedCheckKeepsWhatTheStepsBeforeItStored) {
  struct Case {
    const char* what;
    void (*spoil)(FilterEditForm&);
    std::u16string_view message;
  };
  const Case cases[] = {
      {"name", [](FilterEditForm& f) { f.name.clear(); }, kNameEmptyMessage},
      {"rule", [](FilterEditForm& f) { f.applyToAll = false; f.name = u"NoRule"; }, kSetRuleMessage},
      {"forward", [](FilterEditForm& f) { f.autoForward = true; f.forwardTo.clear(); }, kForwardMissingMessage},
      {"sound", [](FilterEditForm& f) { f.SetPlaySound(true); f.soundPath.clear(); }, kSoundMissingMessage},
      {"folder", [](FilterEditForm& f) { f.folder.clear(); }, kFolderMissingMessage},
      {"sentence", [](FilterEditForm& f) { f.popup = f.sentence = true; }, kSentenceMissingMessage},
      {"photo", [](FilterEditForm& f) { f.popup = f.photo = true; }, kPhotoMissingMessage},
      {"reply", [](FilterEditForm& f) { f.autoReply = true; f.replyText.clear(); }, kReplyMissingMessage},
  };
  for (const Case& c : cases) {
    Filter filter = c.message == kSetRuleMessage ? Filter() : WithRule();
    filter.name = u"Old";
    filter.SetAction(ACTION_HIDE_IN_INBOX);  // step 9: stays unless a later step is reached
    FilterEditForm form = Passing();
    form.vibrate = true;                     // step 4
    c.spoil(form);
    EXPECT_EQ(StoreForm(form, EDIT_FILTER, kSkins, filter), std::u16string(c.message)) << c.what;
    const bool pastName = c.message != kNameEmptyMessage;
    EXPECT_EQ(filter.name, pastName ? form.name : u"Old") << c.what;
    const bool pastVibrate = c.message != kNameEmptyMessage && c.message != kSetRuleMessage &&
                             c.message != kForwardMissingMessage;
    EXPECT_EQ(filter.HasAction(ACTION_VIBRATE), pastVibrate) << c.what;
    EXPECT_EQ(filter.HasAction(ACTION_HIDE_IN_INBOX), c.message != kReplyMissingMessage) << c.what;
  }
}

TEST(RuleEditorFormTest, OpensFromTheConditionsAndStoresOnlyCompleteRules) {
  Filter filter;
  RuleEditorForm form = RuleFormOfFilter(filter);
  EXPECT_EQ(form, RuleEditorForm{});
  EXPECT_EQ(StoreRuleForm(form, filter), std::u16string(kSetRuleMessage));

  form.rule1 = {OBJECT_BODY, JUDGE_EQUAL, u"bye"};
  form.rule2On = true;
  EXPECT_EQ(StoreRuleForm(form, filter), std::u16string(kSetRuleMessage));
  EXPECT_FALSE(filter.conditions[0]);  // a refused OK changes nothing
  form.rule2.content = u"Ann";
  ASSERT_EQ(StoreRuleForm(form, filter), std::nullopt);
  EXPECT_EQ(filter.conditions[0], (FilterCondition{OBJECT_BODY, JUDGE_EQUAL, u"bye"}));
  EXPECT_EQ(filter.conditions[1], (FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_INCLUDE, u"Ann"}));
  EXPECT_EQ(RuleFormOfFilter(filter), form);

  // Rule 2 cleared removes it; what its fields held does not matter then.
  form.rule2On = false;
  form.rule2.content.clear();
  ASSERT_EQ(StoreRuleForm(form, filter), std::nullopt);
  EXPECT_FALSE(filter.conditions[1]);

  // A value no spinner offers shows as the first entry.
  filter.conditions[0] = FilterCondition{7, 9, u"x"};
  EXPECT_EQ(RuleFormOfFilter(filter).rule1, (RuleFields{0, 0, u"x"}));
}

class FilterListEditorTest : public ::testing::Test {
 protected:
  FilterEngine engine_{std::filesystem::path()};
  FilterListEditor list_{engine_};
  void Add(std::u16string name) {
    auto filter = list_.MakeNewFilter();
    filter->name = std::move(name);
    list_.Append(std::move(filter));
  }
  std::vector<std::u16string> Names() {
    std::vector<std::u16string> names;
    for (size_t i = 0; i < list_.Count(); ++i) names.push_back(list_.At(i)->name);
    return names;
  }
};

TEST_F(FilterListEditorTest, NewFiltersAreNamedByTheCountAndHaveTheDefaultContent) {
  std::unique_ptr<Filter> first = list_.MakeNewFilter();
  EXPECT_EQ(first->name, u"Filter 0");
  EXPECT_EQ(first->actions[ACTION_SAVE_TO_FOLDER]->text, u"\\Inbox");
  EXPECT_EQ(ActionImages(*first), std::vector<int>{kImageUnreadAlert});
  // Not appended: the next one is offered the same name.
  EXPECT_EQ(list_.MakeNewFilter()->name, u"Filter 0");
  first->enabled = 0;
  EXPECT_EQ(list_.Append(std::move(first)), 0u);
  EXPECT_EQ(list_.At(0)->enabled, 1);
  for (int i = 0; i < 10; ++i) Add(u"x");
  EXPECT_EQ(list_.MakeNewFilter()->name, u"Filter 11");
}

TEST_F(FilterListEditorTest, UpAndDownStopAtTheEndsAndTheSelectionFollows) {
  Add(u"A");
  Add(u"B");
  Add(u"C");
  EXPECT_EQ(list_.MoveUp(0), std::nullopt);
  EXPECT_EQ(list_.MoveDown(2), std::nullopt);
  EXPECT_EQ(list_.MoveDown(5), std::nullopt);
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"A", u"B", u"C"}));
  EXPECT_EQ(list_.MoveUp(2), 1u);
  EXPECT_EQ(list_.MoveUp(1), 0u);
  EXPECT_EQ(list_.MoveDown(1), 2u);
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"C", u"B", u"A"}));
  EXPECT_EQ(list_.DeleteQuestion(1), u"Are you sure to delete Filter: B");
  EXPECT_TRUE(list_.Delete(1));
  EXPECT_FALSE(list_.Delete(2));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"C", u"A"}));
  EXPECT_TRUE(list_.Toggle(1));
  EXPECT_EQ(EnabledImage(*list_.At(1)), kImageDisabled);
  EXPECT_TRUE(list_.Toggle(1));
  EXPECT_EQ(EnabledImage(*list_.At(1)), kImageEnabled);
  EXPECT_FALSE(list_.Toggle(2));
}

TEST(FilterRowTest, ActionIconsFollowTheListOrderNotTheSlotOrder) {
  Filter filter;
  for (size_t slot = 0; slot < ACTION_SLOT_COUNT; ++slot) filter.SetAction(slot, u"x");
  EXPECT_EQ(ActionImages(filter), (std::vector<int>{kImageSound, kImageVibrate, kImageHideInInbox, kImagePhoto,
                                                    kImageAutoReply, kImageAutoForward, kImageUnreadAlert}));
}

TEST(BlackListNumberTest, DropsWhatASenderNumberNeverHolds) {
  EXPECT_EQ(BlackListNumber(u"+86 (10) 1-234"), u"+86101234");
  EXPECT_EQ(BlackListNumber(u"13?00"), u"13?00");
}

}  // namespace
}  // namespace brevalo
