#include "ui/screen_dump.h"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QFont>
#include <QTreeView>

#include "ui/edit_input.h"
#include "ui/home_screen.h"
#include "ui/phone_screen.h"
#include "ui/phone_window.h"

namespace brevalo {
namespace {

std::string Utf8(const QString& text) { return text.toStdString(); }
std::string Utf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

nlohmann::json SoftKeyJson(const SoftKey& key) {
  return {{"label", Utf8(key.label)}, {"enabled", key.enabled}, {"popup", key.popup != nullptr}};
}

nlohmann::json MenuJson(const PopupMenu& menu, int selected) {
  nlohmann::json items = nlohmann::json::array();
  for (size_t i = 0; i < menu.Items().size(); ++i) {
    const MenuItem& item = menu.Items()[i];
    if (item.separator) {
      items.push_back({{"separator", true}});
      continue;
    }
    items.push_back({{"id", item.id},
                     {"text", Utf8(item.text)},
                     {"enabled", item.enabled},
                     {"checked", item.checked},
                     {"radio", item.radio},
                     {"submenu", item.submenu != nullptr},
                     {"selected", static_cast<int>(i) == selected}});
  }
  return {{"title", Utf8(menu.Title())}, {"items", items}};
}

// A view showing more rows than twice this many is dumped as the rows around its current one:
// what a person scrolls through near the selection, without writing tens of thousands of rows
// into the answer to every key.
constexpr int kDumpedRowsAround = 200;

nlohmann::json RowJson(const QTreeView* tree, const QModelIndex& item) {
  const QAbstractItemModel* model = tree->model();
  int depth = 0;
  for (QModelIndex up = item.parent(); up.isValid(); up = up.parent()) ++depth;
  QVariant font = item.data(Qt::FontRole);
  QVariant check = item.data(Qt::CheckStateRole);
  nlohmann::json row = {{"text", Utf8(item.data().toString())},
                        {"selected", item == tree->currentIndex()},
                        {"checked", check.isValid() && check.toInt() == Qt::Checked},
                        {"depth", depth},
                        {"expanded", tree->isExpanded(item)},
                        {"bold", font.isValid() && font.value<QFont>().bold()},
                        {"children", model->rowCount(item)}};
  // A list with columns (the file browser's name and size) shows every column's text.
  const int columnCount = model->columnCount(item.parent());
  if (columnCount > 1) {
    nlohmann::json columns = nlohmann::json::array();
    for (int i = 0; i < columnCount; ++i) columns.push_back(Utf8(item.siblingAtColumn(i).data().toString()));
    row["columns"] = columns;
  }
  return row;
}

// The rows a person can see, those of expanded items only, in the order shown: all of them, or
// the window around the current row when there are many. Sets "rows", "rowCount", "firstRow".
void TreeRows(const QTreeView* tree, nlohmann::json* out) {
  const QModelIndex top = tree->model()->index(0, 0);
  const QModelIndex current = tree->currentIndex();
  int count = 0;
  int at = 0;
  for (QModelIndex item = top; item.isValid(); item = tree->indexBelow(item), ++count) {
    if (item == current) at = count;
  }
  const int first = count > 2 * kDumpedRowsAround ? std::clamp(at - kDumpedRowsAround, 0, count - 2 * kDumpedRowsAround) : 0;
  nlohmann::json rows = nlohmann::json::array();
  int row = 0;
  for (QModelIndex item = top; item.isValid() && row < first + 2 * kDumpedRowsAround; item = tree->indexBelow(item), ++row) {
    if (row >= first) rows.push_back(RowJson(tree, item));
  }
  (*out)["rows"] = rows;
  (*out)["rowCount"] = count;
  (*out)["firstRow"] = first;
}

nlohmann::json ControlJson(const PhoneWindow& window, QWidget* control) {
  ControlKind kind = window.KindOf(control);
  nlohmann::json out = {{"id", window.IdOf(control)},
                        {"kind", ControlKindName(kind)},
                        {"enabled", control->isEnabled()},
                        {"visible", !control->isHidden()},
                        {"focused", control == window.FocusedControl()},
                        {"checked", false},
                        {"text", ""}};
  if (auto* label = qobject_cast<QLabel*>(control)) out["text"] = Utf8(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    out["text"] = Utf8(button->text());
    out["checked"] = button->isChecked();
  }
  if (kind == ControlKind::Edit || kind == ControlKind::MultiLineEdit) {
    // What the screen shows: a box that hides what is typed shows its mask, not the text.
    auto* line = qobject_cast<QLineEdit*>(control);
    out["text"] = Utf8(line && line->echoMode() != QLineEdit::Normal ? line->displayText() : EditText(control));
    out["inputMode"] = Utf8(std::u16string(InputModeLabel(EditInputMode(control))));
  }
  if (auto* spin = qobject_cast<QComboBox*>(control)) {
    out["text"] = Utf8(spin->currentText());
    nlohmann::json rows = nlohmann::json::array();
    for (int i = 0; i < spin->count(); ++i) {
      rows.push_back({{"text", Utf8(spin->itemText(i))}, {"selected", i == spin->currentIndex()}});
    }
    out["rows"] = rows;
  }
  if (auto* list = qobject_cast<QListWidget*>(control)) {
    nlohmann::json rows = nlohmann::json::array();
    for (int i = 0; i < list->count(); ++i) {
      QListWidgetItem* item = list->item(i);
      rows.push_back({{"text", Utf8(item->text())},
                      {"selected", i == list->currentRow()},
                      {"checked", (item->flags() & Qt::ItemIsUserCheckable) && item->checkState() == Qt::Checked}});
    }
    out["rows"] = rows;
    out["selection"] = list->currentRow();
  }
  if (auto* tree = qobject_cast<QTreeView*>(control); tree && tree->model()) {
    TreeRows(tree, &out);
    out["selection"] = Utf8(tree->currentIndex().data().toString());
  }
  return out;
}

}  // namespace

nlohmann::json DumpScreen(const PhoneScreen& screen) {
  nlohmann::json out;
  bool home = screen.HomeShowing();
  out["home"] = home;
  PhoneWindow* top = home ? nullptr : screen.TopWindow();
  out["title"] = top ? Utf8(top->Title()) : "";
  SoftKey left = screen.OpenMessageBox() ? SoftKey{} : top ? top->MenuBar().left : SoftKey{};
  SoftKey right = screen.OpenMessageBox() ? SoftKey{} : top ? top->MenuBar().right : SoftKey{};
  if (const MessageBoxState* box = screen.OpenMessageBox()) {
    left.label = box->buttons.value(0).toStdU16String();
    right.label = box->buttons.value(1).toStdU16String();
  }
  out["softKeys"] = {{"left", SoftKeyJson(left)}, {"right", SoftKeyJson(right)}};
  out["focus"] = top ? top->FocusedControlId() : 0;
  std::optional<InputMode> mode = screen.ShownInputMode();
  out["inputMode"] = mode ? Utf8(std::u16string(InputModeLabel(*mode))) : "";
  out["enabled"] = top ? top->IsWindowEnabled() : false;
  nlohmann::json controls = nlohmann::json::array();
  if (top) {
    for (QWidget* control : top->Controls()) controls.push_back(ControlJson(*top, control));
  }
  out["controls"] = controls;

  out["menu"] = nullptr;
  if (const MenuNavigator* menu = screen.OpenMenu()) {
    nlohmann::json levels = nlohmann::json::array();
    for (const auto& level : menu->Levels()) levels.push_back(MenuJson(*level.menu, level.selected));
    nlohmann::json current = levels.back();
    current["levels"] = levels;
    out["menu"] = current;
  }
  out["messageBox"] = nullptr;
  if (const MessageBoxState* box = screen.OpenMessageBox()) {
    nlohmann::json buttons = nlohmann::json::array();
    for (const QString& button : box->buttons) buttons.push_back(Utf8(button));
    out["messageBox"] = {{"caption", Utf8(box->caption)}, {"text", Utf8(box->text)}, {"buttons", buttons}};
  }
  out["popup"] = nullptr;
  for (QWidget* overlay : screen.Overlays()) {
    if (overlay->isVisible() && overlay->property("phonePopupText").isValid()) {
      out["popup"] = {{"text", Utf8(overlay->property("phonePopupText").toString())}};
      const QVariantMap fields = overlay->property("phonePopupFields").toMap();
      for (auto it = fields.begin(); it != fields.end(); ++it) out["popup"][Utf8(it.key())] = Utf8(it.value().toString());
    }
  }
  QString hint = screen.ShownHint();
  for (QWidget* overlay : screen.Overlays()) {
    if (hint.isEmpty() && overlay->isVisible() && overlay->property("phoneHintText").isValid()) {
      hint = overlay->property("phoneHintText").toString();
    }
  }
  out["hint"] = hint.isEmpty() ? nlohmann::json(nullptr) : nlohmann::json(Utf8(hint));
  nlohmann::json tray = nlohmann::json::array();
  for (const NotifyIconData& icon : screen.TrayIcons()) {
    tray.push_back({{"id", icon.id}, {"icon", icon.icon}, {"tip", Utf8(icon.tip)}});
  }
  out["tray"] = tray;
  std::optional<uint32_t> unread = screen.UnreadCount();
  out["unread"] = unread ? nlohmann::json(*unread) : nlohmann::json(nullptr);
  out["homeLine"] = nullptr;
  if (const HomeScreen* homeScreen = screen.findChild<HomeScreen*>(); homeScreen && home) {
    QString line = homeScreen->UnreadText();
    if (!line.isEmpty()) out["homeLine"] = {{"text", Utf8(line)}, {"selected", homeScreen->PluginSelected()}};
  }
  nlohmann::json windows = nlohmann::json::array();
  for (PhoneWindow* window : screen.ShownWindows()) windows.push_back(Utf8(window->Title()));
  out["windows"] = windows;
  return out;
}

}  // namespace brevalo
