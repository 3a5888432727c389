// Who may see what lies behind a node password. A node that was unlocked carries an unlock stamp
// in its tree data (0: never; 0xFFFF: its password was just set; else the hide count at the
// moment the password was given); the main window's hide count grows each time the window
// hides; the ProtectLevel setting says how long an unlock holds. Stamps live only in the tree,
// so a document opened again asks again for every protected node. Plain C++: the password
// dialog comes in as the asking function.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/open_document.h"
#include "app/password_ask.h"

namespace brevalo {

// The values of ProtectLevel.
enum ProtectLevel : int32_t {
  kProtectOnlyOnce = 0,        // unlocked until the document is closed
  kProtectAfterMinimize = 1,   // unlocked until the window hides
  kProtectEveryTime = 2,       // asked at every access
};

inline constexpr uint16_t kUnlockNever = 0;
inline constexpr uint16_t kUnlockJustSet = 0xFFFF;

class NodeProtection {
 public:
  // `document` must outlive this.
  explicit NodeProtection(OpenDocument& document) : document_(document) {}
  NodeProtection(const NodeProtection&) = delete;
  NodeProtection& operator=(const NodeProtection&) = delete;

  // 1 when the program starts, one more for every hide; never reset while the program runs.
  uint32_t HideCount() const { return hideCount_; }
  // The stamp a node gets when its password is given now: the hide count's low 16 bits.
  uint16_t StampNow() const { return static_cast<uint16_t>(hideCount_ & 0xFFFF); }
  // True when a node with this stamp opens without asking under `level`; an unknown level asks
  // every time.
  bool StampLetsIn(int32_t level, uint16_t stamp) const;

  // The access check: true when `node` may be opened, expanded, previewed or edited. The
  // recycle bin, a node without a password and a node whose stamp still holds open at once;
  // otherwise `ask` decides, and a password given stamps the node. A record that cannot be read
  // carries no password to check against and opens.
  bool MayOpen(TreeNode& node, int32_t level, const PasswordAsk& ask);

  // The node's own password; nothing when its record cannot be read.
  std::optional<std::u16string> NodePassword(const TreeNode& node);
  // Writes `password` (empty: none) into the node's record in place. With `stamp`, the node
  // counts as unlocked just now when it has a password, and as never unlocked when it has none.
  // False when the record cannot be read or written.
  bool SetNodePassword(TreeNode& node, std::u16string_view password, bool stamp);

  // The node counts as never unlocked: its password is asked at the next access.
  void Forget(TreeNode& node) { Stamp(node, kUnlockNever); }

  // The window hides: under a level above 0, the nodes with children that were unlocked are
  // returned (children before their parents) for the view to collapse; then the count grows,
  // which makes every earlier unlock stale under level 1.
  std::vector<const TreeNode*> Hide(int32_t level);

 private:
  void Stamp(TreeNode& node, uint16_t stamp);

  OpenDocument& document_;
  uint32_t hideCount_ = 1;
};

// What decides whether showing the window asks for the document password.
struct ShowAgainFacts {
  bool documentOpen = false;
  bool passwordDialogOpen = false;
  bool documentHasPassword = false;
  bool askedByUser = false;       // a tap on a tray icon or a second start, not the start-up
  bool startupDeferral = false;   // the document was opened hidden without asking
  bool askAfterHide = false;      // StartScreenSaveMin
};
bool ShowAgainAsks(const ShowAgainFacts& facts);

}  // namespace brevalo
