#include "ui/edit_input.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace brevalo {
namespace {

// Lives as a child of the edit, so it goes with it.
class EditState : public QObject {
 public:
  explicit EditState(QObject* parent) : QObject(parent) { setObjectName("phoneEditState"); }
  InputMode mode = InputMode::Letters;
  MultiTap multiTap;
};

EditState* StateOf(const QWidget* edit) {
  return edit->findChild<EditState*>("phoneEditState", Qt::FindDirectChildrenOnly);
}

EditState* EnsureState(QWidget* edit) {
  EditState* state = StateOf(edit);
  return state ? state : new EditState(edit);
}

void ReplaceLastCharacter(QWidget* edit, QChar c) {
  if (auto* line = qobject_cast<QLineEdit*>(edit)) {
    line->backspace();
    line->insert(QString(c));
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(edit)) {
    QTextCursor cursor = text->textCursor();
    cursor.deletePreviousChar();
    cursor.insertText(QString(c));
    text->setTextCursor(cursor);
  }
}

}  // namespace

InputMode EditInputMode(const QWidget* edit) {
  EditState* state = StateOf(edit);
  return state ? state->mode : InputMode::Letters;
}

void SetEditInputMode(QWidget* edit, InputMode mode) {
  EditState* state = EnsureState(edit);
  state->mode = mode;
  state->multiTap.Commit();
}

bool TypeKeyIntoEdit(QWidget* edit, PhoneKey key, int64_t nowMs) {
  EditState* state = EnsureState(edit);
  if (key == PhoneKey::Hash) {
    state->mode = NextInputMode(state->mode);
    state->multiTap.Commit();
    return true;
  }
  bool readOnly = qobject_cast<QLineEdit*>(edit) ? qobject_cast<QLineEdit*>(edit)->isReadOnly()
                                                 : qobject_cast<QPlainTextEdit*>(edit) &&
                                                       qobject_cast<QPlainTextEdit*>(edit)->isReadOnly();
  if (readOnly) return false;
  std::optional<MultiTap::Edit> change = state->multiTap.Press(key, state->mode, nowMs);
  if (!change) return false;
  QChar c(change->character);
  if (change->replacesPrevious) ReplaceLastCharacter(edit, c);
  else InsertIntoEdit(edit, QString(c));
  return true;
}

void CommitEditLetter(QWidget* edit) {
  if (EditState* state = StateOf(edit)) state->multiTap.Commit();
}

bool EraseInEdit(QWidget* edit) {
  CommitEditLetter(edit);
  if (auto* line = qobject_cast<QLineEdit*>(edit)) {
    if (line->text().isEmpty() || line->isReadOnly()) return false;
    if (line->cursorPosition() == 0) line->end(false);
    line->backspace();
    return true;
  }
  if (auto* text = qobject_cast<QPlainTextEdit*>(edit)) {
    if (text->document()->isEmpty() || text->isReadOnly()) return false;
    QTextCursor cursor = text->textCursor();
    if (cursor.atStart()) cursor.movePosition(QTextCursor::End);
    cursor.deletePreviousChar();
    text->setTextCursor(cursor);
    return true;
  }
  return false;
}

void InsertIntoEdit(QWidget* edit, const QString& text) {
  if (auto* line = qobject_cast<QLineEdit*>(edit)) {
    if (!line->isReadOnly()) line->insert(text);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) {
    if (!plain->isReadOnly()) plain->insertPlainText(text);
  }
}

QString EditText(const QWidget* edit) {
  if (auto* line = qobject_cast<const QLineEdit*>(edit)) return line->text();
  if (auto* plain = qobject_cast<const QPlainTextEdit*>(edit)) return plain->toPlainText();
  return {};
}

}  // namespace brevalo
