// The "Hotkey" page: a two-column list of the sixteen commands a key can be bound to and the key
// of each. Action on a row listens for the next key (the capturable keys are taken from the
// phone meanwhile); Back stops listening, or unmaps the row; Reset unmaps every row and empties
// the binding list at once; OK rebuilds the binding list from the rows.
#pragma once

#include <vector>

#include "settings/hot_key_page.h"
#include "settings/option_page.h"

class QLabel;
class QTreeWidget;

namespace brevalo {

enum HotKeyControl {
  IDC_HOTKEY_LABEL = 1401,
  IDC_HOTKEY_LIST = 1001,
  IDC_HOTKEY_RESET = 1402,
};

class HotKeyDialog : public OptionPage {
  Q_OBJECT

 public:
  // `bindings` is the settings' binding list; it must outlive the page.
  HotKeyDialog(PhoneScreen& screen, std::vector<HotKeyBinding>& bindings);

  intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

 protected:
  bool OnInitDialog() override;
  void OnControl(int id, uint16_t code) override;
  bool Accept() override;
  void OnNotify(const Notification& notification) override;
  void Destroy() override { StopCapture(); }

 private:
  void OnHotKey(uint16_t id, uint32_t modifiers);
  void StartCapture();
  void StopCapture();
  void UnregisterCaptureKeys();
  size_t SelectedRow() const;
  void ShowRows();
  void ShowLabel(const QString& text);

  std::vector<HotKeyBinding>& bindings_;
  HotKeyPage page_;
  QTreeWidget* list_ = nullptr;
  QLabel* label_ = nullptr;
};

}  // namespace brevalo
