// Files the messages of a backup into an open document: each into the folder it was recorded
// in, else the place its kind belongs (received "\Inbox", sent "\Sent Box", drafts "Drafts",
// waiting "\Outbox"), optionally all of it under one folder. A message the document holds
// already (same address, date to the second and text) is not added again, so a backup read
// twice adds nothing the second time. The caller saves.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "device/code_page.h"
#include "store/document_backup.h"
#include "store/folder_tree.h"
#include "store/message_store.h"
#include "store/sms_backup.h"

namespace brevalo {

struct BackupImportReport {
  bool ok = false;
  int added = 0;
  int alreadyThere = 0;
  // Where the messages are that the document's code page could not keep exactly; they were
  // filed with what it could keep.
  std::vector<std::string> inexact;
  std::string error;
};

class BackupImport {
 public:
  // `timeText` gives a date as the device shows it, for titles. All must outlive the import.
  BackupImport(MessageStore& store, FolderTree& tree, const CodePage& page,
               std::function<std::u16string(DATE)> timeText);

  // Reads every message the document holds (except in the recycle bin) to know what is there.
  // False when one cannot be read.
  bool LearnDocument(std::string* error);

  // `under`: a folder path the whole backup goes below ("\Old phone"), empty for the top level.
  // Stops at the first record that cannot be written; what was filed before stays in the tree.
  BackupImportReport File(const std::vector<BackupMessage>& messages, std::u16string_view under);

  // The folder path a message goes to.
  static std::u16string FolderFor(const BackupMessage& message, std::u16string_view under);

 private:
  using Key = std::tuple<std::u16string, int64_t, std::u16string>;
  static Key KeyOf(const BackupMessage& message);
  TreeNode* Folder(const std::u16string& path);
  bool FileOne(const BackupMessage& message, std::u16string_view under, BackupImportReport* report);

  MessageStore& store_;
  FolderTree& tree_;
  const CodePage& page_;
  std::function<std::u16string(DATE)> timeText_;
  std::set<Key> known_;
  std::vector<std::pair<std::u16string, TreeNode*>> folders_;
};

}  // namespace brevalo
