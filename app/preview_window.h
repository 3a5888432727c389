// The Preview window: one level of the folder tree as a list of two-line rows, the title above
// the start of the message (or the unread count of a folder). Enter opens a message or goes
// into a folder, the go-up row and Back climb one level, and the row's menu runs the main
// window's commands on the row's node.
#pragma once

#include <QString>
#include <QTimer>

#include <vector>

#include "ui/dialog_base.h"
#include "ui/title_scroll.h"

class QLabel;
class QListWidget;

namespace brevalo {

class MainWindow;
class TreeNode;

class PreviewWindow : public DialogBase {
  Q_OBJECT

 public:
  // `main` must have a document open and outlive the window.
  PreviewWindow(PhoneScreen& screen, MainWindow& main);

  // --- What the list shows, for its tests ---------------------------------------------
  struct Row {
    TreeNode* node;  // null for the go-up row
    int image;
    QString title;
    QString detail;  // the second line
  };
  const std::vector<Row>& Rows() const { return rows_; }
  int SelectedRow() const;
  // The folder shown; null for the top level.
  TreeNode* Folder() const { return folder_; }
  // How far the selected row's title is moved sideways now; 0 when it fits.
  int SelectedTitleOffset() const;

  // The tree changed under the window (a message was filed): the level is listed again with
  // its counts, the selected node staying selected.
  void TreeChanged();

 protected:
  bool OnInitDialog() override;
  void OnInitMenuPopup(PopupMenu& menu, int position) override;
  void OnCommand(int id, uint16_t notifyCode) override;
  void OnNotify(const Notification& notification) override;
  void OnDrawItem(const DrawItem& item) override;
  void BackPressed() override;

 private:
  // Lists `folder` (the top level for null) after its access check; false when refused, and
  // the list stays as it was.
  bool ShowFolder(TreeNode* folder, const TreeNode* previous);
  void Refill(const TreeNode* select);
  Row RowOf(TreeNode& node);
  void Activate(int row);
  void GoUp();
  void DeleteRow(int row);
  // Moves the main tree's selection to the selected row's node, unless it is the go-up row.
  void SelectInTree();
  // The pixels by which `title` is wider than a row's text place.
  int TitleOverflow(const QString& title) const;
  void TickTitleScroll();

  MainWindow& main_;
  TreeNode* folder_ = nullptr;
  bool showUpRow_ = false;
  std::vector<Row> rows_;
  QLabel* header_ = nullptr;
  QListWidget* list_ = nullptr;
  TitleScroll titleScroll_;
  QTimer titleTimer_;
};

}  // namespace brevalo
