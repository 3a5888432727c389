#include "tools/kvt/kvt_session.h"

#include <system_error>

#include "device/device_properties.h"
#include "store/password_field.h"

namespace brevalo {
namespace fs = std::filesystem;

KvtSession::KvtSession(const KvtOptions& options)
    : options_(options),
      device_(Device::ResolveDir(options.device)),
      registry_(device_.RegistryFile()),
      offsets_(registry_),
      files_([this](std::u16string_view path) { return HostPath(path); }) {}

std::u16string KvtSession::DocumentPath(const std::string& file) { return FromUtf8(file); }

std::optional<fs::path> KvtSession::HostPath(std::u16string_view documentPath) const {
  if (documentPath.empty()) return std::nullopt;
  if (documentPath.front() == u'\\') return device_.HostPath(documentPath);
  return fs::path(ToUtf8(documentPath));
}

bool KvtSession::Prepare() {
  if (!registry_.Load()) {
    warnings_.push_back(registry_.LastError() +
                        " (the registry is damaged: device settings and the index fall-back "
                        "are not used)");
  }
  if (options_.codePage) {
    std::optional<CodePage> page = CodePage::Open(*options_.codePage);
    if (!page) {
      error_ = "code page " + std::to_string(*options_.codePage) + " is not known on this system";
      return false;
    }
    page_ = *page;
  } else {
    page_ = DeviceCodePage(registry_);
  }
  store_ = std::make_unique<MessageStore>(files_, offsets_, page_);
  return true;
}

bool KvtSession::OpenDocument(const std::string& file, bool needPassword, StoreAccess access) {
  std::optional<fs::path> host = HostPath(DocumentPath(file));
  if (!host) {
    error_ = file + ": not a valid path on the device";
    return false;
  }
  std::error_code code;
  if (!fs::is_regular_file(*host, code)) {
    error_ = file + ": no such document" + (fs::exists(*host, code) ? " (not a file)" : "");
    return false;
  }
  if (!store_->Open(DocumentPath(file), access)) {
    error_ = OpenErrorText(file, store_->LastOpenError(), access);
    store_->Close();
    return false;
  }
  if (needPassword && !CheckDocumentPassword(file)) {
    store_->Close();
    return false;
  }
  if (!store_->LoadIndex(tree_)) {
    error_ = file + ": the index is damaged and no earlier index could be read";
    store_->Close();
    return false;
  }
  if (store_->FellBack()) {
    warnings_.push_back(file + ": the newest index cannot be read; an older tree is shown, and "
                               "kvt check tells what is missing");
  }
  for (const std::string& problem : store_->JournalReport().problems) {
    warnings_.push_back(file + ": " + problem);
  }
  return true;
}

std::string KvtSession::OpenErrorText(const std::string& file, StoreOpenError error,
                                      StoreAccess access) {
  switch (error) {
    case StoreOpenError::kLocked:
      return file + ": the document is open for writing in another program (velmora or kvt); "
                    "close it there and try again";
    case StoreOpenError::kShort:
      return file + ": not a document (the file is shorter than its 120-byte header)";
    default:
      return file + ": cannot be opened for " +
             (access == StoreAccess::kRead ? "reading" : "reading and writing");
  }
}

bool KvtSession::CheckDocumentPassword(const std::string& file) {
  std::u16string password = store_->Password();
  if (password.empty()) return true;
  if (!options_.password) {
    error_ = file + ": the document is protected by a password; give it with --password";
    return false;
  }
  if (!PasswordMatches(FromUtf8(*options_.password), password)) {
    error_ = file + ": wrong password";
    return false;
  }
  return true;
}

bool KvtSession::CreateDocument(const std::string& file, const std::u16string& author,
                                const std::u16string& password, bool replace) {
  std::optional<fs::path> host = HostPath(DocumentPath(file));
  if (!host) {
    error_ = file + ": not a valid path on the device";
    return false;
  }
  std::error_code code;
  if (fs::exists(*host, code) && !replace) {
    error_ = file + ": the file exists already (give --force to replace it)";
    return false;
  }
  StoreHeader header;
  if (page_.ToFixedField(author, header.author, kHeaderAuthorSize) !=
      page_.FromUtf16(author).size()) {
    error_ = "the author takes more than 15 bytes in the device's code page";
    return false;
  }
  // A password the program's dialog could never give again would lock the document for good.
  if (TakenPassword(password) != password || !FitsPasswordField(page_, password)) {
    error_ = "the password must be at most 10 characters and fit 11 bytes in the device's code "
             "page";
    return false;
  }
  page_.ToFixedField(password, header.password, kHeaderPasswordSize);
  if (!fs::exists(host->parent_path(), code)) {
    error_ = file + ": the folder " + host->parent_path().string() + " does not exist";
    return false;
  }
  if (!store_->Create(DocumentPath(file), header)) {
    error_ = store_->LastOpenError() == StoreOpenError::kLocked
                 ? OpenErrorText(file, StoreOpenError::kLocked, StoreAccess::kWrite)
                 : file + ": cannot create the file";
    store_->Close();
    return false;
  }
  tree_.Clear();
  return true;
}

std::unique_ptr<StoreFile> KvtSession::OpenReader(const std::string& file) {
  return files_.Open(DocumentPath(file), StoreOpenMode::kReadOnly);
}

bool KvtSession::MayOpenNode(const TreeNode& node) {
  // What a protected folder holds is as closed as the folder: the program never shows it
  // before the folder's password is given.
  for (const TreeNode* at = &node; at && at->Parent(); at = at->Parent()) {
    if (!Locked(*at)) continue;
    const bool given = options_.nodePassword || options_.password;
    error_ = "node \"" + ToUtf8(at->Label()) + "\" is protected by a password; " +
             (given ? "the password given is wrong" : "give it with --node-password");
    return false;
  }
  return true;
}

bool KvtSession::Locked(const TreeNode& node) {
  if (IsRecycleBinImage(node.Image())) return false;
  if (!store_->ReadRecord(node.Data().offset)) return false;  // nothing to protect it with
  std::u16string password = store_->RecordPassword();
  if (password.empty()) return false;
  const std::optional<std::string>& given =
      options_.nodePassword ? options_.nodePassword : options_.password;
  return !given || !PasswordMatches(FromUtf8(*given), password);
}

bool KvtSession::MayReadMessage(const TreeNode& message) {
  for (const TreeNode* at = message.Parent(); at && at->Parent(); at = at->Parent()) {
    auto [known, added] = folderLocked_.try_emplace(at, false);
    if (added) known->second = Locked(*at);
    if (known->second) return false;
  }
  return !Locked(message);
}

std::vector<NumberedNode> KvtSession::Nodes() {
  std::vector<NumberedNode> nodes;
  nodes.reserve(tree_.Count());
  tree_.Walk([&](TreeNode& node, int depth) { nodes.push_back({&node, depth}); });
  return nodes;
}

std::optional<NumberedNode> KvtSession::NodeAt(long index) {
  std::vector<NumberedNode> nodes = Nodes();
  if (index < 0 || static_cast<size_t>(index) >= nodes.size()) {
    error_ = "no node " + std::to_string(index) + " (the document has " +
             std::to_string(nodes.size()) + " nodes, numbered from 0)";
    return std::nullopt;
  }
  return nodes[static_cast<size_t>(index)];
}

}  // namespace brevalo
