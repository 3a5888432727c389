// The input mode and multi-tap state of an edit control (a QLineEdit or QPlainTextEdit of a
// window), kept on the control itself.
#pragma once

#include <QWidget>

#include "ui/input_mode.h"

namespace brevalo {

InputMode EditInputMode(const QWidget* edit);
void SetEditInputMode(QWidget* edit, InputMode mode);

// Applies a number, Star or Hash key to the edit in its mode; false for keys that type
// nothing. `nowMs` paces multi-tap.
bool TypeKeyIntoEdit(QWidget* edit, PhoneKey key, int64_t nowMs);
// Ends the letter being chosen by multi-tap.
void CommitEditLetter(QWidget* edit);
// Erases the character before the cursor; false when there is nothing to erase.
bool EraseInEdit(QWidget* edit);
void InsertIntoEdit(QWidget* edit, const QString& text);
QString EditText(const QWidget* edit);

// The input mode an edit had when the last window that uses it closed, kept for the next one
// (in memory only, as the phone keeps it).
class RememberedInputMode {
 public:
  explicit RememberedInputMode(InputMode initial = InputMode::Letters) : mode_(initial) {}
  void Remember(const QWidget* edit) { mode_ = EditInputMode(edit); }
  void Apply(QWidget* edit) const { SetEditInputMode(edit, mode_); }
  InputMode Mode() const { return mode_; }

 private:
  InputMode mode_;
};

}  // namespace brevalo
