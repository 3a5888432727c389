// The main window's side of the passwords: the document password when a document opens and
// when the window shows again, the access check of protected nodes, the commands Password...
// and File Password..., collapsing what was unlocked when the window hides, and the rule
// password. What decides lives in NodeProtection and the rule-password functions; here are
// the dialog and what the screen shows.
#include <QTreeView>

#include "app/folder_tree_model.h"
#include "app/main_commands.h"
#include "app/main_window.h"
#include "app/rule_password.h"
#include "store/password_field.h"
#include "ui/message_box.h"

namespace brevalo {

bool MainWindow::OnProtectionCommand(int id) {
  switch (id) {
    case ID_PASSWORD: EditNodePassword(); return true;
    case ID_FILE_PASSWORD: EditFilePassword(); return true;
    default: return false;
  }
}

bool MainWindow::AskPassword(std::u16string_view password) {
  std::u16string current(password);
  return RunPasswordDialog(Screen(), PasswordMode::kAsk, current) == IDOK;
}

PasswordFits MainWindow::DocumentPasswordFits() const {
  return [this](std::u16string_view password) { return FitsPasswordField(codePage_, password); };
}

// ---- the document password -------------------------------------------------------------------

bool MainWindow::PassDocumentPassword() {
  const std::u16string password = document_.Store().Password();
  if (password.empty()) {
    skipPasswordOnce_ = false;
    return true;
  }
  if (skipPasswordOnce_) return true;  // the window stays hidden; the first show asks
  // A message that comes meanwhile waits in the channel: the document may close again.
  ApplicationLockHold hold(document_.Lock());
  if (AskPassword(password)) return true;
  // Nothing was changed while it was open, held as it was: what its journal brought in stays
  // there for the next open. The file stays the last one, so the next start asks again.
  document_.CloseWithoutSaving();
  ForgetClosedDocument(true);
  return false;
}

bool MainWindow::PassShowAgainCheck(bool askedByUser) {
  ShowAgainFacts facts;
  facts.documentOpen = document_.IsOpen();
  facts.passwordDialogOpen = PasswordDialogOpen();
  facts.documentHasPassword = facts.documentOpen && !document_.Store().Password().empty();
  facts.askedByUser = askedByUser;
  facts.startupDeferral = skipPasswordOnce_;
  facts.askAfterHide = settings_ && settings_->StartScreenSaveMin != 0;
  if (!ShowAgainAsks(facts)) return true;
  return AskPassword(document_.Store().Password());
}

void MainWindow::EditFilePassword() {
  if (!document_.IsOpen()) return;
  std::u16string password = document_.Store().Password();
  if (RunPasswordDialog(Screen(), PasswordMode::kChange, password, DocumentPasswordFits()) != IDOK) return;
  // Written with the header at the next save.
  document_.Store().SetPassword(password);
}

// ---- node passwords --------------------------------------------------------------------------

bool MainWindow::MayOpenNode(TreeNode& node) {
  if (!document_.IsOpen()) return false;
  const int32_t level = settings_ ? settings_->ProtectLevel : kProtectEveryTime;
  return protection_.MayOpen(node, level, [this](std::u16string_view password) { return AskPassword(password); });
}

void MainWindow::EditNodePassword() {
  TreeNode* node = Selection();
  if (!node || node == document_.RecycleBin()) return;
  // Not preceded by the access check: the dialog asks for the old password itself.
  std::optional<std::u16string> password = protection_.NodePassword(*node);
  if (!password) {
    ErrorBox(*this, "The node's record cannot be read.");
    return;
  }
  if (RunPasswordDialog(Screen(), PasswordMode::kChange, *password, DocumentPasswordFits()) != IDOK) return;
  if (!protection_.SetNodePassword(*node, *password, true)) {
    ErrorBox(*this, "The node's password could not be written to the document.");
  }
}

const TreeNode* MainWindow::ExpandTo(const TreeNode* node) {
  if (!node || !tree_ || !treeModel_) return node;
  std::vector<TreeNode*> above;
  for (TreeNode* parent = node->Parent(); parent && parent->Parent(); parent = parent->Parent()) {
    above.push_back(parent);
  }
  for (auto it = above.rbegin(); it != above.rend(); ++it) {
    QModelIndex index = treeModel_->IndexOf(*it);
    if (tree_->isExpanded(index)) continue;
    if (!MayOpenNode(**it)) return *it;
    tree_->expand(index);
  }
  return node;
}

void MainWindow::CollapseUnlocked(const std::vector<const TreeNode*>& folders) {
  if (!tree_ || !treeModel_) return;
  for (const TreeNode* folder : folders) tree_->collapse(treeModel_->IndexOf(folder));
}

// ---- the rule password -----------------------------------------------------------------------

bool MainWindow::AskRulePassword() {
  if (!filters_) return false;
  return RulePasswordPasses(*filters_, [this](std::u16string_view password) { return AskPassword(password); });
}

void MainWindow::EditRulePassword() {
  if (!filters_) return;
  std::u16string password = filters_->RulePassword();
  if (RunPasswordDialog(Screen(), PasswordMode::kChange, password) != IDOK) return;
  if (!ChangeRulePassword(*filters_, password)) {
    ErrorBox(*this, "The rule password could not be written to the rules file. The old password "
                    "stays.");
  }
}

}  // namespace brevalo
