// What the option pages share: a full-screen dialog with OK and Cancel whose controls are
// check boxes, number boxes, spin lists, text boxes with a "Browse..." button and buttons, each
// made in one line, and the OK check that puts the focus back into a box the page refuses.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>

#include "ui/dialog_base.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace brevalo {

class OptionPage : public DialogBase {
  Q_OBJECT

 public:
  OptionPage(PhoneScreen& screen, const QString& title);

 protected:
  // OK stores what the page shows and closes it when Accept agrees; Cancel closes it; other
  // commands go to OnControl.
  void OnCommand(int id, uint16_t code) override;
  // False keeps the page open (having put the focus where the user must look).
  virtual bool Accept() { return true; }
  virtual void OnControl(int id, uint16_t code) { (void)id; (void)code; }

  QCheckBox* AddCheck(int id, const QString& text, bool checked);
  // A box for a number, typed with the digit keys.
  QLineEdit* AddNumberBox(int labelId, const QString& label, int id, int64_t value);
  QLineEdit* AddTextBox(int labelId, const QString& label, int id, const std::u16string& text);
  QComboBox* AddSpin(int labelId, const QString& label, int id, const QStringList& items, int current);
  QPushButton* AddButton(int id, const QString& text);

  bool Checked(int id) const;
  int Choice(int id) const;
  // The box's text with a letter still being chosen by multi-tap taken as typed.
  std::u16string BoxText(int id);
  void Enable(int id, bool enabled);
};

}  // namespace brevalo
