// The base of the program's modal dialogs. Its window procedure turns the window messages into
// six virtual slots, in this order: destroy, on-init-menu-popup, on-init-dialog, on-command,
// on-notify, on-draw-item. DoModal runs the dialog in a nested event loop above the window that
// was on top (disabled meanwhile) and returns the identifier the dialog ended with.
#pragma once

#include <QEventLoop>
#include <QPainter>

#include "ui/phone_window.h"

namespace brevalo {

// What WM_DRAWITEM's lParam points to: one row of an owner-drawn list.
struct DrawItem {
  int controlId = 0;
  int row = -1;
  QPainter* painter = nullptr;
  QRect rect;
  bool selected = false;
};

class DialogBase : public PhoneWindow {
  Q_OBJECT

 public:
  DialogBase(PhoneScreen& screen, const QString& title);

  // Shows the dialog and waits until EndDialog; IDCANCEL when the application quits first or
  // the initialisation fails without ending the dialog.
  int DoModal();
  // Ends the modal loop with `result`; the dialog leaves the screen when DoModal returns.
  void EndDialog(int result);
  bool IsModalRunning() const { return running_; }

  // Makes the rows of a list control (a QListWidget, or a view over a model) drawn by OnDrawItem.
  void SetOwnerDraw(int listId);

  intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

 protected:
  virtual void Destroy() {}
  virtual void OnInitMenuPopup(PopupMenu& menu, int position) { (void)menu; (void)position; }
  // False makes DoModal end at once with IDCANCEL.
  virtual bool OnInitDialog() { return true; }
  // The default ends the dialog with OK (1) and Cancel (2).
  virtual void OnCommand(int id, uint16_t notifyCode);
  virtual void OnNotify(const Notification& notification) { (void)notification; }
  virtual void OnDrawItem(const DrawItem& item) { (void)item; }

 private:
  QEventLoop* loop_ = nullptr;
  bool running_ = false;
  bool ended_ = false;
  int result_ = IDCANCEL;
};

}  // namespace brevalo
