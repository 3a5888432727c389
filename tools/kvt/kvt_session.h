// Everything one kvt command works on: the device (registry, code page, file mapping), the
// document opened through MessageStore, and its folder tree. Errors are kept as text for the
// user; nothing here prints.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "device/code_page.h"
#include "device/device_paths.h"
#include "device/registry.h"
#include "store/folder_tree.h"
#include "store/index_offset_memory.h"
#include "store/message_store.h"
#include "store/store_file.h"

namespace brevalo {

struct KvtOptions {
  std::string device;
  std::optional<uint32_t> codePage;
  std::optional<std::string> password;
  std::optional<std::string> nodePassword;
  bool json = false;
};

// One node of the tree in pre-order, as the commands number them (from 0).
struct NumberedNode {
  TreeNode* node;
  int depth;
};

class KvtSession {
 public:
  explicit KvtSession(const KvtOptions& options);
  KvtSession(const KvtSession&) = delete;
  KvtSession& operator=(const KvtSession&) = delete;

  // Reads the device's registry and picks the code page. False (with Error()) for a code page
  // that does not exist; a damaged registry only loses the index fall-back, see Warnings().
  bool Prepare();
  // Opens FILE (a device path when it starts with "\", else a host path) and reads its tree.
  // With `needPassword`, a document password must match --password. A reader opens the file
  // read-only and takes no lock; a writer takes the document's writer lock and is refused while
  // another program (velmora, another kvt) holds it.
  bool OpenDocument(const std::string& file, bool needPassword, StoreAccess access);
  // Creates FILE with the given author and password; refuses to replace a file unless `replace`.
  bool CreateDocument(const std::string& file, const std::u16string& author,
                      const std::u16string& password, bool replace);

  // The host file behind a document path; nothing when a device path would leave the device.
  std::optional<std::filesystem::path> HostPath(std::u16string_view documentPath) const;
  // FILE as the store and the registry name it.
  static std::u16string DocumentPath(const std::string& file);

  // A second, independent handle on FILE for reading stored bytes; null when it will not open.
  std::unique_ptr<StoreFile> OpenReader(const std::string& file);

  // Node access: true when neither the node nor a folder above it is Locked(); otherwise
  // Error() names the node that keeps it closed.
  bool MayOpenNode(const TreeNode& node);
  // True when the node has a password of its own that --node-password (or --password) does not
  // give. The recycle bin and a node whose record cannot be read carry none. Reads the record.
  bool Locked(const TreeNode& node);
  // MayOpenNode for commands that go through many messages: what was found for a folder is
  // kept, so each folder's record is read once. Sets no Error().
  bool MayReadMessage(const TreeNode& message);

  std::vector<NumberedNode> Nodes();
  // Node `index` of Nodes(); sets Error() when there is none.
  std::optional<NumberedNode> NodeAt(long index);

  MessageStore& Store() { return *store_; }
  FolderTree& Tree() { return tree_; }
  Registry& DeviceRegistry() { return registry_; }
  const Device& DeviceFolder() const { return device_; }
  const CodePage& Page() const { return page_; }
  const KvtOptions& Options() const { return options_; }
  const std::string& Error() const { return error_; }
  void SetError(std::string error) { error_ = std::move(error); }
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  bool CheckDocumentPassword(const std::string& file);
  static std::string OpenErrorText(const std::string& file, StoreOpenError error, StoreAccess access);

  KvtOptions options_;
  Device device_;
  Registry registry_;
  CodePage page_;
  RegistryIndexOffsetMemory offsets_;
  PosixStoreFileSystem files_;
  std::unique_ptr<MessageStore> store_;
  FolderTree tree_;
  std::string error_;
  std::vector<std::string> warnings_;
  std::unordered_map<const TreeNode*, bool> folderLocked_;
};

}  // namespace brevalo
