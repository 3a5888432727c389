// A window with every kind of control, a soft-key menu with every kind of item, message boxes,
// nested modal dialogs, a hot key, a tray icon and the pop-up slot: what the end-to-end tests
// drive with phonesim, and a way to look at the window system by hand.
//   phone_screen_demo [--device DIR]
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <cstdio>
#include <cstring>
#include <memory>

#include "ui/demo_program.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"
#include "ui/popup_overlay.h"
#include "ui/tray_icon.h"

namespace brevalo {
namespace {

enum DemoCommand {
  ID_DIALOG = 40001,
  ID_MESSAGE_BOX = 40100,
  ID_ERROR_BOX = 40101,
  ID_TRAY = 40102,
  ID_GRAY = 40103,
  ID_POPUP = 40104,
  ID_EXIT = 40105,
  ID_SORT_DATE = 40110,
  ID_SORT_NAME = 40111,
  ID_NESTED = 40120,
  ID_HINT_BUTTON = 1010,
};

enum DemoControl {
  IDC_NAME = 1001, IDC_NUMBER = 1002, IDC_NOTES = 1003, IDC_VIBRATE = 1004, IDC_RING_ONCE = 1005,
  IDC_RING_TWICE = 1006, IDC_PROFILE = 1007, IDC_FOLDERS = 1008, IDC_TREE = 1009, IDC_RESULT = 1011,
  IDC_DIALOG_EDIT = 1101, IDC_DIALOG_CHECK = 1102,
};

constexpr int kVolumeHotKey = 1;

// A dialog that can open itself again from its menu: a modal dialog inside a modal dialog.
class DemoDialog : public DialogBase {
 public:
  DemoDialog(PhoneScreen& screen, int depth)
      : DialogBase(screen, depth == 0 ? "Dialog" : QString("Nested dialog %1").arg(depth)), depth_(depth) {
    auto menu = std::make_shared<PopupMenu>(u"Menu");
    menu->AddItem(ID_NESTED, u"Nested dialog...").AddSeparator().AddItem(IDCANCEL, u"Cancel");
    MenuBar().right = {u"Menu", 0, menu, true};
  }

 protected:
  bool OnInitDialog() override {
    AddLabel(0, "Your text:");
    AddControl(IDC_DIALOG_EDIT, ControlKind::Edit, new QLineEdit);
    AddControl(IDC_DIALOG_CHECK, ControlKind::CheckBox, new QCheckBox("Remember"));
    SetFocusControl(IDC_DIALOG_EDIT);
    return true;
  }
  void OnCommand(int id, uint16_t code) override {
    if (id == ID_NESTED) {
      DemoDialog nested(Screen(), depth_ + 1);
      int result = nested.DoModal();
      if (auto* edit = qobject_cast<QLineEdit*>(Control(IDC_DIALOG_EDIT))) {
        edit->setText(QString("nested ended with %1").arg(result));
      }
      return;
    }
    DialogBase::OnCommand(id, code);
  }

 private:
  int depth_;
};

class DemoWindow : public PhoneWindow {
 public:
  DemoWindow(PhoneScreen& screen) : PhoneWindow(screen, "Demo"), tray_(screen), popup_(screen) {
    BuildMenuBar();
    BuildControls();
    tray_.SetWindow(this);
    tray_.SetIcon(129, 100);
    tray_.SetTip(u"Demo");
    tray_.Show(100);
    screen.RegisterHotKey(this, kVolumeHotKey, 0, VK_VOLUME_UP);
  }

  intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    switch (message) {
      case WM_COMMAND:
        OnCommand(LowWord(wParam));
        return 0;
      case WM_INITMENUPOPUP: {
        auto& menu = *reinterpret_cast<PopupMenu*>(wParam);
        menu.Check(ID_TRAY, tray_.Shown());
        menu.CheckRadio(ID_SORT_DATE, ID_SORT_NAME, sortByName_ ? ID_SORT_NAME : ID_SORT_DATE);
        menu.Enable(ID_GRAY, false);
        return 0;
      }
      case WM_HOTKEY:
        if (wParam == kVolumeHotKey) Result(QString("Volume up %1").arg(++volumePresses_));
        return 0;
      case WM_TRAY_NOTIFY:
        Result(QString("Tray %1 %2").arg(wParam).arg(lParam));
        if (lParam == WM_LBUTTONDOWN || lParam == WM_LBUTTONDBLCLK) {
          Screen().ShowHome(false);
          Screen().ShowWindow(this, true);
        }
        return 0;
      default:
        return 0;
    }
  }

 private:
  void BuildMenuBar() {
    auto menu = std::make_shared<PopupMenu>(u"Menu");
    menu->AddItem(ID_MESSAGE_BOX, u"Message box...").AddItem(ID_ERROR_BOX, u"Error box...");
    menu->AddItem(ID_POPUP, u"Pop-up").AddSeparator().AddItem(ID_TRAY, u"Tray icon");
    PopupMenu& sort = menu->AddSubmenu(u"Sort");
    sort.AddItem(ID_SORT_DATE, u"By date").AddItem(ID_SORT_NAME, u"By name");
    menu->AddItem(ID_GRAY, u"Not built yet").AddSeparator().AddItem(ID_EXIT, u"Exit");
    MenuBar().left = {u"Dialog", ID_DIALOG, nullptr, true};
    MenuBar().right = {u"Menu", 0, menu, true};
  }

  void BuildControls() {
    AddLabel(0, "Name:");
    AddControl(IDC_NAME, ControlKind::Edit, new QLineEdit);
    AddLabel(0, "Number:");
    QWidget* number = AddControl(IDC_NUMBER, ControlKind::Edit, new QLineEdit);
    SetEditInputMode(number, InputMode::Numbers);
    AddLabel(0, "Notes:");
    auto* notes = new QPlainTextEdit;
    notes->setFixedHeight(48);
    AddControl(IDC_NOTES, ControlKind::MultiLineEdit, notes);
    AddControl(IDC_VIBRATE, ControlKind::CheckBox, new QCheckBox("Vibrate"));
    AddControl(IDC_RING_ONCE, ControlKind::RadioButton, new QRadioButton("Ring once"));
    AddControl(IDC_RING_TWICE, ControlKind::RadioButton, new QRadioButton("Ring twice"));
    AddLabel(0, "Profile:");
    auto* profile = new QComboBox;
    profile->addItems({"Normal", "Silent", "Outdoor"});
    AddControl(IDC_PROFILE, ControlKind::SpinList, profile);
    auto* folders = new QListWidget;
    folders->addItems({"Inbox", "Sent Box", "Drafts", "Outbox"});
    folders->setCurrentRow(0);
    folders->setFixedHeight(76);
    AddControl(IDC_FOLDERS, ControlKind::List, folders);
    auto* tree = new QTreeWidget;
    tree->setHeaderHidden(true);
    auto* documents = new QTreeWidgetItem(tree, QStringList("Documents"));
    new QTreeWidgetItem(documents, QStringList("Work"));
    new QTreeWidgetItem(documents, QStringList("Home"));
    new QTreeWidgetItem(tree, QStringList("Recycle Bin"));
    tree->setCurrentItem(documents);
    tree->setFixedHeight(76);
    AddControl(IDC_TREE, ControlKind::Tree, tree);
    AddControl(ID_HINT_BUTTON, ControlKind::Button, new QPushButton("Show hint"));
    AddControl(IDC_RESULT, ControlKind::Static, new QLabel("Result:"));
    SetFocusControl(IDC_NAME);
  }

  void Result(const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(Control(IDC_RESULT))) label->setText("Result: " + text);
  }

  void ShowPopup() {
    QPixmap picture(200, 90);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(0, 0, 200, 90), 18, 18);
    p.fillPath(bubble, QColor(255, 244, 200));
    p.setPen(QColor(120, 90, 20));
    p.drawPath(bubble);
    QString text = "New SMS from 555-0100";
    p.drawText(QRect(10, 10, 180, 70), Qt::AlignCenter | Qt::TextWordWrap, text);
    p.end();
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, 200, 90), 18, 18);
    popup_.SetContent(picture, QRegion(path.toFillPolygon().toPolygon()), text);
    popup_.ShowAt(QPoint(20, 60));
  }

  void OnCommand(int id) {
    switch (id) {
      case ID_DIALOG: {
        DemoDialog dialog(Screen(), 0);
        int result = dialog.DoModal();
        Result(QString("dialog ended with %1").arg(result));
        break;
      }
      case ID_MESSAGE_BOX:
        Result(QString("message box %1").arg(AlertBox(*this, "Do you want to delete the node?",
                                                      MB_OKCANCEL | MB_ICONQUESTION)));
        break;
      case ID_ERROR_BOX:
        ErrorBox(*this, "Phone Number can't be empty!");
        Result("error box closed");
        break;
      case ID_TRAY:
        if (tray_.Shown()) tray_.Hide(100);
        else tray_.Show(100);
        break;
      case ID_SORT_DATE:
      case ID_SORT_NAME:
        sortByName_ = id == ID_SORT_NAME;
        Result(sortByName_ ? "sorted by name" : "sorted by date");
        break;
      case ID_POPUP:
        if (popup_.isVisible()) popup_.Dismiss();
        else ShowPopup();
        break;
      case ID_HINT_BUTTON:
        Screen().ShowHint("Hints go by themselves", 3000);
        break;
      case ID_EXIT:
        QApplication::quit();
        break;
      case IDCANCEL:
        Screen().ShowHome(true);  // Back on the main window hides the program
        break;
      default:
        break;
    }
  }

  TrayIcon tray_;
  PopupOverlay popup_;
  bool sortByName_ = false;
  int volumePresses_ = 0;
};

}  // namespace
}  // namespace brevalo

int main(int argc, char** argv) {
  return brevalo::RunDemoProgram(argc, argv, "phone_screen_demo", u"Dialog", [](brevalo::PhoneScreen& screen) {
    return std::make_unique<brevalo::DemoWindow>(screen);
  });
}
