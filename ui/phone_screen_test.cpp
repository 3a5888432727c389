#include "ui/phone_screen.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTreeView>

#include <fstream>

#include "channel/unread_counter.h"
#include "device/event_log.h"
#include "device/registry.h"
#include "ui/edit_input.h"
#include "ui/home_screen.h"
#include "ui/popup_overlay.h"
#include "ui/screen_dump.h"
#include "ui/screen_views.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

using testing::RecordedMessage;
using testing::RecordingWindow;

class PhoneScreenTest : public ::testing::Test {
 protected:
  PhoneScreenTest() : window_(screen()) { screen().ShowWindow(&window_, true); }
  PhoneScreen& screen() { return fixture_.screen(); }
  void Press(std::initializer_list<PhoneKey> keys) {
    for (PhoneKey key : keys) {
      screen().PressKey(key);
      screen().ReleaseKey(key);
    }
    testing::Drain();
  }
  QLineEdit* AddEdit(int id) { return static_cast<QLineEdit*>(window_.AddControl(id, ControlKind::Edit, new QLineEdit)); }
  QListWidget* AddList(int id, int rows) {
    auto* list = new QListWidget;
    for (int i = 0; i < rows; ++i) list->addItem(QString("Row %1").arg(i));
    list->setCurrentRow(0);
    window_.AddControl(id, ControlKind::List, list);
    return list;
  }

  testing::ScreenFixture fixture_;
  RecordingWindow window_;
};

TEST(PhoneScreenSizeTest, TheScreenTakesTheDeviceSizeOrTheDefault) {
  testing::EnsureApplication();
  testing::TempDevice plain;
  EXPECT_EQ(PhoneScreen(plain.device()).size(), QSize(240, 320));
  testing::TempDevice wide;
  Registry registry(wide.device().RegistryFile());
  ASSERT_TRUE(registry.Load());
  registry.SetDword(RegRoot::LocalMachine, u"Device", u"ScreenWidth", 320);
  registry.SetDword(RegRoot::LocalMachine, u"Device", u"ScreenHeight", 240);
  PhoneScreen screen(wide.device());
  EXPECT_EQ(screen.size(), QSize(320, 240));
  EXPECT_EQ(screen.Screenshot().size(), QSize(320, 240));
  EXPECT_EQ(screen.WindowArea().width(), 320);
  EXPECT_LT(screen.WindowArea().height(), 240);  // the strip and the bar take their share
}

TEST_F(PhoneScreenTest, OnlyTheTopWindowShowsAndTheHomeScreenWhenNoneDoes) {
  RecordingWindow second(screen(), "Second");
  screen().ShowWindow(&second, true);
  EXPECT_EQ(screen().TopWindow(), &second);
  EXPECT_TRUE(second.isVisible());
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(DumpScreen(screen())["title"], "Second");
  screen().ShowWindow(&second, false);
  EXPECT_TRUE(window_.isVisible());
  screen().ShowWindow(&window_, false);
  EXPECT_TRUE(screen().HomeShowing());
  EXPECT_EQ(DumpScreen(screen())["home"], true);
}

TEST_F(PhoneScreenTest, ASoftKeyCommandReachesTheWindow) {
  window_.MenuBar().left = {u"Reply", 40080, nullptr, true};
  window_.MenuBar().right = {u"Off", 40016, nullptr, false};
  Press({PhoneKey::Soft1, PhoneKey::Soft2});
  EXPECT_EQ(window_.Commands(), std::vector<int>{40080});  // a gray key does nothing
}

TEST_F(PhoneScreenTest, APopupIsPreparedByItsOwnerAndDrivenByKeys) {
  auto menu = std::make_shared<PopupMenu>(u"Menu");
  menu->AddItem(1, u"One").AddItem(2, u"Two").AddSeparator();
  menu->AddSubmenu(u"More").AddItem(30, u"Thirty").AddItem(31, u"Thirty-one");
  window_.MenuBar().right = {u"Menu", 0, menu, true};
  std::vector<std::u16string> prepared;
  window_.onMessage = [&](uint32_t message, uintptr_t wParam, intptr_t) -> intptr_t {
    if (message != WM_INITMENUPOPUP) return 0;
    auto* popup = reinterpret_cast<PopupMenu*>(wParam);
    prepared.push_back(popup->Title());
    popup->Enable(1, false);  // the prepare step decides what is gray
    popup->CheckRadio(30, 31, 31);
    return 0;
  };
  Press({PhoneKey::Soft2});
  ASSERT_NE(screen().OpenMenu(), nullptr);
  EXPECT_EQ(prepared, std::vector<std::u16string>{u"Menu"});
  Press({PhoneKey::Action});  // "One" is gray
  EXPECT_TRUE(window_.Commands().empty());
  ASSERT_NE(screen().OpenMenu(), nullptr);
  Press({PhoneKey::Up, PhoneKey::Right});
  EXPECT_EQ(prepared.back(), u"More");
  nlohmann::json dump = DumpScreen(screen());
  EXPECT_EQ(dump["menu"]["title"], "More");
  EXPECT_EQ(dump["menu"]["items"][1]["checked"], true);
  EXPECT_EQ(dump["menu"]["items"][1]["radio"], true);
  Press({PhoneKey::Down, PhoneKey::Action});
  EXPECT_EQ(window_.Commands(), std::vector<int>{31});
  EXPECT_EQ(screen().OpenMenu(), nullptr);
  Press({PhoneKey::Soft2, PhoneKey::Soft2});  // the soft key closes its popup again
  EXPECT_EQ(screen().OpenMenu(), nullptr);
  EXPECT_EQ(window_.Commands().size(), 1u);
}

// The highlighted row of an open menu, in pixels of the window area (between the status strip
// and the soft-key bar, whose open half is highlighted too).
int HighlightedMenuPixels(PhoneScreen& screen) {
  QImage shot = screen.grab().toImage();
  QRect area = screen.WindowArea().translated(0, 20);
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      count += shot.pixelColor(x, y) == QColor(46, 111, 219);
    }
  }
  return count;
}

TEST_F(PhoneScreenTest, AMenuTallerThanTheScreenScrollsToKeepItsSelectedRowInSight) {
  auto menu = std::make_shared<PopupMenu>(u"Menu");
  for (int i = 0; i < 20; ++i) menu->AddItem(100 + i, u"Item " + std::u16string(1, u'A' + i));
  window_.MenuBar().right = {u"Menu", 0, menu, true};
  Press({PhoneKey::Soft2});
  ASSERT_NE(screen().OpenMenu(), nullptr);
  for (int i = 0; i < 19; ++i) Press({PhoneKey::Down});
  EXPECT_GT(HighlightedMenuPixels(screen()), 20 * 60) << "the last row is drawn in the menu";
  for (int i = 0; i < 19; ++i) Press({PhoneKey::Up});
  EXPECT_GT(HighlightedMenuPixels(screen()), 20 * 60) << "and the first one again";
  Press({PhoneKey::Action});
  EXPECT_EQ(window_.Commands(), std::vector<int>{100});
}

TEST_F(PhoneScreenTest, UpAndDownMoveTheFocusPastWhatCannotTakeIt) {
  AddEdit(1);
  window_.AddLabel(0, "Label");
  AddEdit(2)->setEnabled(false);
  AddEdit(3)->hide();
  AddEdit(4);
  EXPECT_EQ(window_.FocusedControlId(), 1);
  Press({PhoneKey::Down});
  EXPECT_EQ(window_.FocusedControlId(), 4);
  Press({PhoneKey::Down});
  EXPECT_EQ(window_.FocusedControlId(), 4);  // the last stays
  Press({PhoneKey::Up});
  EXPECT_EQ(window_.FocusedControlId(), 1);
}

TEST_F(PhoneScreenTest, ListsTakeUpAndDownUntilTheirFirstOrLastRow) {
  AddEdit(1);
  QListWidget* list = AddList(2, 3);
  AddEdit(3);
  Press({PhoneKey::Down});
  ASSERT_EQ(window_.FocusedControlId(), 2);
  window_.Clear();
  Press({PhoneKey::Down, PhoneKey::Down});
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_EQ(window_.FocusedControlId(), 2);
  std::vector<RecordedMessage> changes = window_.Of(WM_NOTIFY);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[1].notification.code, LVN_ITEMCHANGED);
  EXPECT_EQ(changes[1].notification.row, 2);
  Press({PhoneKey::Action});
  EXPECT_EQ(window_.Of(WM_NOTIFY).back().notification.code, NM_RETURN);
  Press({PhoneKey::Down});
  EXPECT_EQ(window_.FocusedControlId(), 3);
  Press({PhoneKey::Up, PhoneKey::Up});
  EXPECT_EQ(list->currentRow(), 1);
}

TEST_F(PhoneScreenTest, AMultiLineEditHandsUpAndDownOnAtItsFirstAndLastLine) {
  AddEdit(1);
  auto* text = new QPlainTextEdit;
  text->setPlainText("one\ntwo");
  window_.AddControl(2, ControlKind::MultiLineEdit, text);
  AddEdit(3);
  Press({PhoneKey::Down});
  QTextCursor cursor = text->textCursor();
  cursor.movePosition(QTextCursor::Start);
  text->setTextCursor(cursor);
  Press({PhoneKey::Down});
  EXPECT_EQ(window_.FocusedControlId(), 2);
  EXPECT_EQ(text->textCursor().blockNumber(), 1);
  Press({PhoneKey::Down});
  EXPECT_EQ(window_.FocusedControlId(), 3);
}

TEST_F(PhoneScreenTest, LeftAndRightTurnASpinListWithinItsEnds) {
  auto* spin = new QComboBox;
  spin->addItems({"Only Once", "Reinput after Minimize", "Input Every Time"});
  window_.AddControl(5, ControlKind::SpinList, spin);
  Press({PhoneKey::Right, PhoneKey::Right, PhoneKey::Right});
  EXPECT_EQ(spin->currentIndex(), 2);
  EXPECT_EQ(window_.Commands(), (std::vector<int>{5, 5}));
  EXPECT_EQ(HighWord(window_.Of(WM_COMMAND)[0].wParam), CBN_SELCHANGE);
  Press({PhoneKey::Left});
  EXPECT_EQ(spin->currentIndex(), 1);
}

TEST_F(PhoneScreenTest, AHotKeyGoesToItsWindowBeforeTheFocusedControl) {
  QListWidget* list = AddList(2, 3);
  ASSERT_TRUE(screen().RegisterHotKey(&window_, 7, 0, VK_DOWN_KEY));
  RecordingWindow other(screen(), "Other");
  EXPECT_FALSE(screen().RegisterHotKey(&other, 8, 0, VK_DOWN_KEY));  // one window holds a key
  Press({PhoneKey::Down});
  EXPECT_EQ(list->currentRow(), 0);
  std::vector<RecordedMessage> hot = window_.Of(WM_HOTKEY);
  ASSERT_EQ(hot.size(), 1u);
  EXPECT_EQ(hot[0].wParam, 7u);
  EXPECT_EQ(HighWord(static_cast<uintptr_t>(hot[0].lParam)), VK_DOWN_KEY);
  ASSERT_TRUE(screen().UnregisterHotKey(&window_, 7));
  Press({PhoneKey::Down});
  EXPECT_EQ(list->currentRow(), 1);
  EXPECT_TRUE(screen().RegisterHotKey(&other, 8, 0, VK_DOWN_KEY));
}

TEST_F(PhoneScreenTest, AHeldHotKeyRepeatsAndAKeyUpRegistrationAlsoReportsTheRelease) {
  ASSERT_TRUE(screen().RegisterHotKey(&window_, 1, 0, VK_VOLUME_UP));
  ASSERT_TRUE(screen().RegisterHotKey(&window_, VK_BACK_KEY, MOD_KEYUP, VK_BACK_KEY));
  screen().HoldKey(PhoneKey::VolumeUp, 3);
  testing::Drain();
  EXPECT_EQ(window_.Of(WM_HOTKEY).size(), 4u);  // the press and three repeats, no release
  window_.Clear();
  Press({PhoneKey::Back});
  std::vector<RecordedMessage> back = window_.Of(WM_HOTKEY);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(LowWord(static_cast<uintptr_t>(back[0].lParam)) & MOD_KEYUP, 0);
  EXPECT_EQ(LowWord(static_cast<uintptr_t>(back[1].lParam)) & MOD_KEYUP, MOD_KEYUP);
  EXPECT_TRUE(window_.Commands().empty());  // Back did not close anything
}

TEST_F(PhoneScreenTest, TheReleaseOfAKeyThatClosedAMenuStaysWithTheMenu) {
  auto menu = std::make_shared<PopupMenu>(u"Menu");
  menu->AddItem(1, u"One");
  window_.MenuBar().right = {u"Menu", 0, menu, true};
  window_.MenuBar().backKeyToWindow = true;
  Press({PhoneKey::Soft2});
  ASSERT_NE(screen().OpenMenu(), nullptr);
  Press({PhoneKey::Back});
  EXPECT_EQ(screen().OpenMenu(), nullptr);
  EXPECT_TRUE(window_.Of(WM_HOTKEY).empty()) << "neither the press nor the release of Back";
  Press({PhoneKey::Back});  // the next Back is the window's again, press and release
  EXPECT_EQ(window_.Of(WM_HOTKEY).size(), 2u);
}

TEST_F(PhoneScreenTest, BackErasesInAnEditUnlessTheWindowTakesIt) {
  QLineEdit* edit = AddEdit(1);
  edit->setText("ab");
  window_.Clear();
  Press({PhoneKey::Back});
  EXPECT_EQ(edit->text(), "a");
  Press({PhoneKey::Back, PhoneKey::Back});
  EXPECT_EQ(edit->text(), "");
  EXPECT_EQ(window_.Commands(), (std::vector<int>{1, 1, IDCANCEL}));  // two changes, then Back
  edit->setText("xy");
  window_.Clear();
  window_.MenuBar().backKeyToWindow = true;
  Press({PhoneKey::Back});
  EXPECT_EQ(edit->text(), "xy");
  std::vector<RecordedMessage> hot = window_.Of(WM_HOTKEY);
  ASSERT_EQ(hot.size(), 2u);
  EXPECT_EQ(hot[0].wParam, VK_BACK_KEY);
  EXPECT_EQ(LowWord(static_cast<uintptr_t>(hot[1].lParam)), MOD_KEYUP);
}

TEST_F(PhoneScreenTest, NumberKeysTypeByMultiTapInTheEditsModeAndHashChangesIt) {
  int64_t now = 0;
  screen().SetClock([&] { return now; });
  QLineEdit* edit = AddEdit(1);
  Press({PhoneKey::Digit4, PhoneKey::Digit4});
  now += 1500;
  Press({PhoneKey::Digit2});
  EXPECT_EQ(edit->text(), "ha");
  EXPECT_EQ(screen().ShownInputMode(), InputMode::Letters);
  Press({PhoneKey::Hash, PhoneKey::Digit3});
  Press({PhoneKey::Hash, PhoneKey::Digit3, PhoneKey::Digit3});
  EXPECT_EQ(edit->text(), "haD33");
  EXPECT_EQ(screen().ShownInputMode(), InputMode::Numbers);
  EXPECT_EQ(DumpScreen(screen())["inputMode"], "123");
}

TEST_F(PhoneScreenTest, TheRememberedInputModeGoesToTheNextEdit) {
  QLineEdit* first = AddEdit(1);
  Press({PhoneKey::Hash});
  RememberedInputMode remembered;
  remembered.Remember(first);
  EXPECT_EQ(remembered.Mode(), InputMode::Capitals);
  QLineEdit* second = AddEdit(2);
  remembered.Apply(second);
  Press({PhoneKey::Down, PhoneKey::Digit6});
  EXPECT_EQ(second->text(), "M");
}

TEST_F(PhoneScreenTest, ATallPageScrollsByAThirdOfItsHeightAndAtLeastThirtyPixels) {
  for (int i = 0; i < 40; ++i) window_.AddLabel(0, QString("Line %1").arg(i));
  testing::Drain();
  QScrollBar* bar = window_.Page()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  int step = std::max(window_.Page()->viewport()->height() / 3, 30);
  EXPECT_EQ(window_.ScrollStep(), step);
  Press({PhoneKey::Down});
  EXPECT_EQ(bar->value(), step);
  for (int i = 0; i < 100; ++i) Press({PhoneKey::Down});
  EXPECT_EQ(bar->value(), bar->maximum());  // never beyond the end
  Press({PhoneKey::Up});
  EXPECT_EQ(bar->value(), bar->maximum() - step);
}

TEST_F(PhoneScreenTest, TrayChangesAreLoggedAndATapReachesOnlyAnEnabledWindow) {
  TrayIcon icon(screen());
  icon.SetWindow(&window_);
  icon.SetIcon(129, 100);
  icon.Show(100);
  icon.SetTip(u"Brevalo");
  ASSERT_EQ(screen().TrayIcons().size(), 1u);
  EXPECT_EQ(screen().TrayIcons()[0].tip, u"Brevalo");
  screen().ShowHome(true);
  window_.EnableWindow(false);  // as while a modal dialog is up
  Press({PhoneKey::Right, PhoneKey::Action});
  EXPECT_TRUE(window_.Of(WM_TRAY_NOTIFY).empty());
  window_.EnableWindow(true);
  Press({PhoneKey::Action});
  std::vector<RecordedMessage> taps = window_.Of(WM_TRAY_NOTIFY);
  ASSERT_EQ(taps.size(), 1u);
  EXPECT_EQ(taps[0].wParam, 100u);
  EXPECT_EQ(taps[0].lParam, static_cast<intptr_t>(WM_LBUTTONDOWN));
  icon.Hide(100);
  EXPECT_TRUE(screen().TrayIcons().empty());
  std::vector<std::string> actions;
  for (const nlohmann::json& event : EventLog(fixture_.device()).Read()) {
    if (event["kind"] == "tray") actions.push_back(event["action"]);
  }
  EXPECT_EQ(actions, (std::vector<std::string>{"add", "modify", "delete"}));
}

TEST_F(PhoneScreenTest, TheHomeScreenShowsThePluginsUnreadLineWhileItIsSetUp) {
  screen().ShowHome(true);
  HomeScreen* home = screen().findChild<HomeScreen*>();
  ASSERT_NE(home, nullptr);
  EXPECT_TRUE(home->isVisible());
  EXPECT_EQ(home->UnreadText(), "");
  EXPECT_TRUE(DumpScreen(screen())["unread"].is_null());
  const std::filesystem::path folder = fixture_.device().FsRoot() / "Program Files" / "Velmora";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(VELMORA_HOME_PLUGIN, folder / "velmora.dll");
  const std::filesystem::path homeFolder = fixture_.device().FsRoot() / "Storage" / "Application Data" / "Home";
  std::filesystem::create_directories(homeFolder);
  const std::u16string classKey = u"CLSID\\{20F58816-51E4-418D-92DD-8390021DCDCB}";
  {
    std::unique_ptr<UnreadCounter> counter = UnreadCounter::Create(fixture_.device());
    ASSERT_NE(counter, nullptr);
    counter->Set(3);
    EXPECT_EQ(home->UnreadText(), "") << "no line while the plug-in is not registered";
    Registry registry(fixture_.device().RegistryFile());
    ASSERT_TRUE(registry.SetString(RegRoot::ClassesRoot, classKey + u"\\InprocServer32", u"",
                                   u"\\Program Files\\Velmora\\velmora.dll"));
    EXPECT_EQ(home->UnreadText(), "") << "no line without the plug-in's description in the home folder";
    std::ofstream(homeFolder / "sms.home.xml") << "<plugin clsid=\"{20F58816-51E4-418D-92DD-8390021DCDCB}\"/>";
    EXPECT_EQ(home->UnreadText(), "3 unread SMS");
    EXPECT_EQ(DumpScreen(screen())["unread"], 3);
    Press({PhoneKey::Down});
    EXPECT_EQ(DumpScreen(screen())["homeLine"]["selected"], true);
    Press({PhoneKey::Right});
    EXPECT_EQ(DumpScreen(screen())["homeLine"]["selected"], false);
    // Nothing unread (no document open, or all read) is no line, as there is no unread icon.
    counter->Set(0);
    EXPECT_EQ(home->UnreadText(), "");
    counter->Set(2);
    ASSERT_TRUE(registry.DeleteKey(RegRoot::ClassesRoot, classKey));
    EXPECT_EQ(home->UnreadText(), "") << "the line goes with the class key";
  }
  Press({PhoneKey::Home});
  EXPECT_FALSE(screen().HomeShowing());
  EXPECT_FALSE(home->isVisible());
}

TEST_F(PhoneScreenTest, ThePopUpIsShapedAndNeverTakesTheFocusOrTheKeys) {
  QLineEdit* edit = AddEdit(1);
  PopupOverlay popup(screen());
  QPixmap picture(100, 60);
  picture.fill(Qt::yellow);
  QRegion shape(0, 0, 100, 60, QRegion::Ellipse);
  popup.SetContent(picture, shape, "New SMS");
  popup.ShowAt(QPoint(10, 10));
  testing::Drain();
  EXPECT_TRUE(popup.isVisible());
  EXPECT_EQ(popup.mask(), shape);
  EXPECT_FALSE(popup.hasFocus());
  EXPECT_EQ(window_.FocusedControl(), edit);
  Press({PhoneKey::Digit2});
  EXPECT_EQ(edit->text(), "a");
  EXPECT_EQ(DumpScreen(screen())["popup"]["text"], "New SMS");
  QImage shot = screen().Screenshot();
  QPoint inside = popup.mapTo(&screen(), QPoint(50, 30));
  QPoint corner = popup.mapTo(&screen(), QPoint(1, 1));  // outside the ellipse
  EXPECT_EQ(shot.pixelColor(inside), QColor(Qt::yellow));
  EXPECT_NE(shot.pixelColor(corner), QColor(Qt::yellow));
  popup.Dismiss();
  EXPECT_TRUE(DumpScreen(screen())["popup"].is_null());
}

TEST_F(PhoneScreenTest, PcKeysAreThePhonesKeys) {
  window_.MenuBar().left = {u"Left", 11, nullptr, true};
  window_.MenuBar().right = {u"Right", 12, nullptr, true};
  QLineEdit* edit = AddEdit(1);
  auto press = [&](int key, const QString& text = {}) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(edit, &down);  // even at a focused edit, the screen routes it
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(edit, &up);
    testing::Drain();
  };
  press(Qt::Key_F1);
  press(Qt::Key_F2);
  press(Qt::Key_2, "2");
  EXPECT_EQ(edit->text(), "a");
  press(Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), "");
  press(Qt::Key_Escape);
  EXPECT_EQ(window_.Commands(), (std::vector<int>{11, 12, 1, 1, IDCANCEL}));
  window_.MenuBar().backKeyToWindow = true;
  edit->setText("xy");
  press(Qt::Key_Backspace);  // erases, although Back now goes to the window
  EXPECT_EQ(edit->text(), "x");
  EXPECT_TRUE(window_.Of(WM_HOTKEY).empty());
  press(Qt::Key_Home);
  EXPECT_TRUE(screen().HomeShowing());
}

TEST_F(PhoneScreenTest, AMessageBoxTextLongerThanTheBoxMovesByLinesWithinItself) {
  MessageBoxState state;
  state.caption = "Error";
  state.text = QString("The file as it was is kept as \\My Documents\\sms.kvt.recover. ").repeated(8);
  MessageBoxView view(state, nullptr);
  view.resize(240, 276);
  EXPECT_FALSE(view.ScrollLines(-1)) << "already at the top";
  EXPECT_TRUE(view.ScrollLines(1));
  EXPECT_TRUE(view.ScrollLines(-1));
  EXPECT_TRUE(view.ScrollLines(1000)) << "as far as the text goes";
  EXPECT_FALSE(view.ScrollLines(1)) << "and no further";

  MessageBoxState shortOne;
  shortOne.text = "Saved.";
  MessageBoxView still(shortOne, nullptr);
  still.resize(240, 276);
  EXPECT_FALSE(still.ScrollLines(1));
}

TEST_F(PhoneScreenTest, UpAndDownStayWithTheMessageBox) {
  QListWidget* list = AddList(5, 3);
  window_.SetFocusControl(5);
  bool answered = false;
  testing::WhenReady([this] { return screen().OpenMessageBox() != nullptr; }, [&] {
    Press({PhoneKey::Down, PhoneKey::Up});
    EXPECT_NE(screen().OpenMessageBox(), nullptr) << "moving the text answers nothing";
    Press({PhoneKey::Action});
    answered = true;
  });
  EXPECT_EQ(screen().MessageBox(&window_, QString("long text ").repeated(80), "Error", MB_OK), IDOK);
  EXPECT_TRUE(answered);
  EXPECT_EQ(list->currentRow(), 0) << "the keys went to the box, not the window";
}

}  // namespace
}  // namespace brevalo

namespace brevalo {
namespace {

// A list of tens of thousands of rows answers every key with a dump; only the rows around the
// current one go into it, with the place they start at and the whole count.
TEST_F(PhoneScreenTest, ALongListIsDumpedAroundItsCurrentRow) {
  auto* model = new QStandardItemModel(&window_);
  for (int i = 0; i < 1000; ++i) {
    auto* item = new QStandardItem(QString("Row %1").arg(i));
    item->setCheckable(true);
    item->setCheckState(i % 2 == 0 ? Qt::Checked : Qt::Unchecked);
    model->appendRow(item);
  }
  auto* view = new QTreeView;
  view->setModel(model);
  window_.AddControl(7, ControlKind::List, view);
  view->setCurrentIndex(model->index(900, 0));
  auto control = [&] {
    const nlohmann::json dump = DumpScreen(screen());
    for (const nlohmann::json& shown : dump["controls"]) {
      if (shown["id"] == 7) return shown;
    }
    return nlohmann::json();
  };
  nlohmann::json shown = control();
  EXPECT_EQ(shown["rowCount"], 1000);
  EXPECT_EQ(shown["firstRow"], 600) << "the window ends with the last row";
  ASSERT_EQ(shown["rows"].size(), 400u);
  EXPECT_EQ(shown["rows"][300]["text"], "Row 900");
  EXPECT_EQ(shown["rows"][300]["selected"], true);
  EXPECT_EQ(shown["rows"][300]["checked"], true);
  EXPECT_EQ(shown["rows"][301]["checked"], false);

  view->setCurrentIndex(model->index(450, 0));
  shown = control();
  EXPECT_EQ(shown["firstRow"], 250);
  EXPECT_EQ(shown["rows"][200]["text"], "Row 450");
  model->removeRows(10, 990);
  shown = control();
  EXPECT_EQ(shown["rowCount"], 10);
  EXPECT_EQ(shown["firstRow"], 0);
  EXPECT_EQ(shown["rows"].size(), 10u) << "a short list is dumped whole";
}

}  // namespace
}  // namespace brevalo
