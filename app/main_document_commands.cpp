// The main window's document commands: New, Open, Save, Close, Compress, the properties, the
// tree commands (Delete, Copy, Cut, Paste, Empty, the recycle bin, new folders and drafts),
// Export and Preview. The work on the tree and the file is the open document's; here are the
// dialogs, the questions and what the screen shows afterwards.
#include <QLabel>
#include <QTreeView>

#include "app/file_property_dialog.h"
#include "app/folder_tree_model.h"
#include "app/main_commands.h"
#include "app/main_window.h"
#include "app/new_file_dialog.h"
#include "app/node_property_dialog.h"
#include "app/preview_window.h"
#include "device/device_properties.h"
#include "send/message_view_window.h"
#include "store/node_title.h"
#include "ui/file_browser.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

QString Qt16(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

}  // namespace

QString MainWindow::OpenFailureText(OpenOutcome outcome, std::u16string_view path) {
  QString file = Qt16(path);
  switch (outcome) {
    case OpenOutcome::kNotADocument:
      return QString("%1 is not a Brevalo document. It was not opened.").arg(file);
    case OpenOutcome::kDamaged:
      return QString("%1 is damaged: its folder tree cannot be read. The file was left as it is.")
          .arg(file);
    case OpenOutcome::kLocked:
      return QString("%1 is open for writing in another program. Close it there and open it "
                     "again.").arg(file);
    default:
      return QString("%1 cannot be opened.").arg(file);
  }
}

QString MainWindow::FallBackText(std::u16string_view path, std::u16string_view copy) {
  QString text = QString("The newest folder tree of %1 cannot be read, so an older one is shown: "
                         "newer messages are missing from it.").arg(Qt16(path));
  if (copy.empty()) return text + " No copy of the file could be made to recover them from.";
  return text + QString(" The file as it was is kept as %1. With the document closed, "
                        "\"kvt recover '%1' --into '%2'\" brings them back into \\Recovered.")
                    .arg(Qt16(copy), Qt16(path));
}

bool MainWindow::OnDocumentCommand(int id) {
  switch (id) {
    case ID_NEW_FILE: NewDocument(); return true;
    case ID_OPEN: OpenWithBrowser(); return true;
    case ID_SAVE: SaveDocument(true); return true;
    case ID_CLOSE: CloseDocumentOrSay(false); return true;
    case ID_COMPRESS: CompressDocument(); return true;
    case ID_FILE_PROPERTY: EditFileProperty(); return true;
    case ID_PROPERTY: EditNodeProperty(); return true;
    case ID_ROOT_FOLDER: case ID_NEW_FOLDER: case ID_NEW_DRAFT: AddUserNode(id); return true;
    case ID_PASTE: Paste(); return true;
    case ID_EMPTY_FOLDER: EmptyFolder(); return true;
    case ID_EMPTY_RECYCLE_BIN: EmptyRecycleBin(); return true;
    case ID_RECYCLE_BIN: ToggleRecycleBin(); return true;
    case ID_EXPORT_TXT: ExportTxt(); return true;
    case ID_PREVIEW: Preview(); return true;
    case ID_IMPORT_SMS: ImportSms(); return true;
    case ID_DELETE:
      if (TreeNode* node = Selection()) DeleteNode(*node);
      return true;
    case ID_COPY: case ID_CUT:
      if (TreeNode* node = Selection()) document_.SetClipboard(*node, id == ID_CUT);
      return true;
    default:
      return false;
  }
}

// ---- opening and closing ---------------------------------------------------------------------

QString MainWindow::StatusText() const { return statusText_ ? statusText_->text() : QString(); }

void MainWindow::SetStatus(const QString& text) {
  if (!statusText_) return;
  statusText_->setText(text);
  // Shown before a long save starts, not after it.
  statusText_->repaint();
}

void MainWindow::PublishUnread() { unreadCount_.Write(document_.UnreadTotal()); }

void MainWindow::ShowDocument() {
  settings_->RecordLastFile(registry_, document_.Path());
  SetStatus(QString("File: %1").arg(Qt16(document_.Path())));
  // Damage at the journal's end is what a crash while writing it leaves; the message it cut
  // short was never acknowledged, so the phone kept it. Said, not asked about.
  const std::vector<std::string>& problems = document_.Store().JournalReport().problems;
  if (!problems.empty()) SetStatus(QString::fromStdString(problems.front()));
  if (const std::optional<std::u16string>& copy = document_.FallBackCopy()) {
    startupProblems_.push_back(FallBackText(document_.Path(), *copy));
    if (shown_) SetTimer(kStartupNoticeTimer, 0);
  }
  PublishUnread();
  if (!tree_) return;
  ShowTree(true);
  tree_->setCurrentIndex(treeModel_->index(0, 0));
  SetFocusControl(IDC_TREE);
}

bool MainWindow::OpenPath(std::u16string_view path) {
  // The document that is open stays open until the new one is known to open.
  OpenOutcome outcome = document_.IsOpen() ? document_.Probe(path) : OpenOutcome::kOpened;
  if (outcome == OpenOutcome::kOpened) {
    if (!CloseDocumentOrSay(false)) return false;
    outcome = document_.Open(path);
  }
  if (outcome != OpenOutcome::kOpened) {
    ErrorBox(*this, OpenFailureText(outcome, path));
    return false;
  }
  // A document the user opens asks its password now, whatever the start put off.
  skipPasswordOnce_ = false;
  if (!PassDocumentPassword()) return false;
  ShowDocument();
  return true;
}

void MainWindow::OpenWithBrowser() {
  std::u16string lastDir = settings_->LastDir.Text();
  std::optional<std::u16string> path = RunFileBrowser(
      Screen(), Screen().DeviceFolder(),
      {FileBrowserMode::kOpen, u"Open", u"Documents (*.kvt)|*.kvt|", u"kvt"}, lastDir);
  settings_->LastDir.Assign(lastDir);
  if (!path) return;
  OpenPath(*path);
}

void MainWindow::NewDocument() {
  std::u16string lastDir = settings_->LastDir.Text();
  std::optional<NewFileChoice> choice =
      RunNewFileDialog(Screen(), Screen().DeviceFolder(), lastDir, codePage_.Number());
  settings_->LastDir.Assign(lastDir);
  if (!choice) return;
  if (!CloseDocumentOrSay(false)) return;
  if (!document_.New(choice->path, choice->headerTemplate, choice->createRecycleBin)) {
    ErrorBox(*this, QString("%1 cannot be created.").arg(Qt16(choice->path)));
    return;
  }
  ShowDocument();
}

bool MainWindow::SaveDocument(bool interactive) {
  if (!document_.IsOpen()) return true;
  SetStatus("Saving...");
  bool saved = document_.Save();
  SetStatus(QString("File: %1").arg(Qt16(document_.Path())));
  if (saved) {
    saveFailureNoticed_ = false;
    return true;
  }
  // The file keeps naming its previous tree; the next save tries again.
  SetStatus("Saving failed");
  if (interactive) {
    ErrorBox(*this, QString("The document could not be saved. %1").arg(kSaveAdvice));
  } else {
    NoticeSaveFailure(QString("The document could not be saved automatically; it is tried again "
                              "at every automatic save. %1").arg(kSaveAdvice));
  }
  return false;
}

bool MainWindow::CloseDocument(bool keepLastFile) {
  ApplicationLockHold hold(document_.Lock());
  if (document_.IsOpen()) {
    SetStatus("Saving...");
    if (!document_.Close()) {
      SetStatus("Saving failed");
      return false;
    }
  }
  ForgetClosedDocument(keepLastFile);
  return true;
}

void MainWindow::ForgetClosedDocument(bool keepLastFile) {
  unreadCount_.Write(0);
  ShowTree(false);
  if (!keepLastFile) settings_->RecordLastFile(registry_, u"");
  if (statusText_) statusText_->clear();
}

bool MainWindow::CloseDocumentOrSay(bool keepLastFile) {
  if (CloseDocument(keepLastFile)) return true;
  ErrorBox(*this, QString("The document could not be saved, so it stays open. %1").arg(kSaveAdvice));
  return false;
}

void MainWindow::CompressDocument() {
  if (!document_.IsOpen()) return;
  const std::u16string path = document_.Path();
  SetStatus("Saving...");
  CompressResult result = document_.Compress([this](const std::u16string& question) {
    return AlertBox(*this, Qt16(question), MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
  });
  switch (result) {
    case CompressResult::kDone:
      ShowDocument();
      return;
    case CompressResult::kCompactFailed:
      ErrorBox(*this, "Compressing file error!");
      break;
    case CompressResult::kSaveFailed:
      ErrorBox(*this, "The document could not be saved, so it was not compressed.");
      break;
    case CompressResult::kCopyBackFailed:
      ErrorBox(*this, "The compressed copy could not replace the document. Both files were kept.");
      break;
    case CompressResult::kReopenFailed: {
      QString text = "The compressed document could not be read again, so it was closed.";
      const std::u16string backup = path + u".bak";
      if (storeFiles_.IdentityOf(backup)) {
        text += QString(" The file as it was before compressing is %1.").arg(Qt16(backup));
      }
      ErrorBox(*this, text);
      break;
    }
    case CompressResult::kCancelled:
    case CompressResult::kNotOpen:
      break;
  }
  if (document_.IsOpen()) SetStatus(QString("File: %1").arg(Qt16(document_.Path())));
  else ForgetClosedDocument(true);
}

// ---- properties ------------------------------------------------------------------------------

void MainWindow::EditFileProperty() {
  if (!document_.IsOpen()) return;
  MessageStore& store = document_.Store();
  StoreHeader header = store.Header();
  if (!RunFilePropertyDialog(Screen(), header, codePage_.Number())) return;
  store.SetAuthor(codePage_.FromFixedField(header.author, sizeof header.author));
  store.SetPassword(codePage_.FromFixedField(header.password, sizeof header.password));
}

void MainWindow::EditNodeProperty() {
  // The dialog keeps the node; nothing may take it away meanwhile.
  ApplicationLockHold hold(document_.Lock());
  TreeNode* node = Selection();
  if (!node || node == document_.RecycleBin() || !MayOpenNode(*node)) return;
  EditPropertyOf(*node);
}

bool MainWindow::EditPropertyOf(TreeNode& node) {
  ApplicationLockHold hold(document_.Lock());
  MessageStore& store = document_.Store();
  if (!store.ReadRecord(node.Data().offset)) {
    ErrorBox(*this, "The node's record cannot be read.");
    return false;
  }
  StoreRecord record = store.Record();
  if (!RunNodePropertyDialog(Screen(), record, codePage_.Number())) return false;
  store.MutableRecord() = record;
  if (store.RewriteRecord(node.Data().offset) != 0) return true;
  ErrorBox(*this, "The node's properties could not be written to the document.");
  return false;
}

// ---- tree commands ---------------------------------------------------------------------------

bool MainWindow::Confirm(const QString& question) {
  return AlertBox(*this, question, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

bool MainWindow::DeleteNode(TreeNode& node) {
  // While the question is on screen, nothing is filed into or taken from what it removes.
  ApplicationLockHold hold(document_.Lock());
  if (&node == document_.RecycleBin()) return false;
  if (settings_->DeleteAlert && !Confirm("Do you want to delete the node?")) return false;
  document_.Delete(node);
  PublishUnread();
  return true;
}

void MainWindow::AddUserNode(int id) {
  TreeNode* parent = id == ID_ROOT_FOLDER ? nullptr : Selection();
  if (!document_.IsOpen() || (id != ID_ROOT_FOLDER && (!parent || IsMessageImage(parent->Image())))) {
    return;
  }
  const bool draft = id == ID_NEW_DRAFT;
  std::optional<NewContent> content =
      RunNewContentWindow(Screen(), draft ? NewContentKind::kDraft : NewContentKind::kFolder);
  if (!content) return;
  TreeNode* added = document_.AddNode(parent, content->title, draft ? kImageRead : kImageFolder,
                                      draft ? std::u16string_view(content->text) : std::u16string_view());
  if (!added) {
    ErrorBox(*this, "The new node could not be written to the document.");
    return;
  }
  Select(added);
}

void MainWindow::Paste() {
  ApplicationLockHold hold(document_.Lock());
  TreeNode* target = Selection();
  if (target && document_.Paste(*target)) PublishUnread();
}

void MainWindow::EmptyFolder() {
  ApplicationLockHold hold(document_.Lock());
  TreeNode* folder = Selection();
  if (!folder || IsMessageImage(folder->Image()) || !MayOpenNode(*folder)) return;
  if (folder->ChildCount() > 0 && !Confirm("Do you want to delete the node?")) return;
  document_.EmptyFolder(*folder);
  PublishUnread();
}

bool MainWindow::ConfirmEmptyingRecycleBin() {
  return !settings_->EmptyReceiveBinAlert || Confirm("Do you want to empty the Recycle Bin?");
}

void MainWindow::EmptyRecycleBin() {
  ApplicationLockHold hold(document_.Lock());
  if (!document_.RecycleBin()) return;
  if (!ConfirmEmptyingRecycleBin()) return;
  document_.EmptyRecycleBin();
  PublishUnread();
}

void MainWindow::ToggleRecycleBin() {
  ApplicationLockHold hold(document_.Lock());
  if (!document_.IsOpen()) return;
  // Deleting a bin that holds messages throws them away for good: asked as emptying it is.
  const TreeNode* bin = document_.RecycleBin();
  if (bin && bin->ChildCount() > 0 && !ConfirmEmptyingRecycleBin()) return;
  document_.ToggleRecycleBin();
  PublishUnread();
}

void MainWindow::OpenNode(TreeNode& node) {
  // A message (or an empty folder) opens in the message view, which marks it read.
  if (&node == document_.RecycleBin() || node.ChildCount() > 0) return;
  ViewNode(node);
}

// ---- export and preview ----------------------------------------------------------------------

std::u16string MainWindow::DateText(DATE date) {
  std::tm moment;
  return OleDateToTm(date, &moment) ? LocalDateTimeText(registry_, moment) : std::u16string();
}

void MainWindow::ExportTxt() {
  // The browser keeps the node; a sent draft must not be replaced under it meanwhile.
  ApplicationLockHold hold(document_.Lock());
  TreeNode* node = Selection();
  if (!node || !MayOpenNode(*node)) return;
  std::u16string lastDir = settings_->LastDir.Text();
  std::optional<std::u16string> path = RunFileBrowser(
      Screen(), Screen().DeviceFolder(),
      {FileBrowserMode::kSave, u"Export", u"Text files (*.txt)|*.txt|", u"txt"}, lastDir);
  settings_->LastDir.Assign(lastDir);
  if (!path) return;
  switch (document_.ExportTxt(*node, *path, [this](DATE date) { return DateText(date); })) {
    case ExportOutcome::kDone:
      break;
    case ExportOutcome::kCannotRead:
      ErrorBox(*this, "The message cannot be read; nothing was exported.");
      break;
    case ExportOutcome::kCannotWrite:
      ErrorBox(*this, QString("%1 cannot be written.").arg(Qt16(*path)));
      break;
  }
}

void MainWindow::Preview() {
  if (!document_.IsOpen()) return;
  PreviewWindow preview(Screen(), *this);
  preview_ = &preview;
  preview.DoModal();
  preview_ = nullptr;
}

}  // namespace brevalo
