// The phone's own data in DIR/phone/messages.db (SQLite): the message stores and the SMS store's
// messages, the network outbox that the SMS library fills, and the call log that dialling fills.
// Several processes of one device (the messaging service, the program, phonesim, the device
// libraries) open the file at once: it runs in WAL mode with a busy timeout, and every change is
// one statement or one transaction, so a killed writer leaves the old or the new state.
//
// Schema (user_version 1):
//   stores   (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL UNIQUE)
//   messages (id INTEGER PRIMARY KEY AUTOINCREMENT, folder INTEGER, sender TEXT, text TEXT,
//             delivery_time INTEGER, flags INTEGER, message_class TEXT)
//   outbox   (id INTEGER PRIMARY KEY AUTOINCREMENT, recipient TEXT, address_type INTEGER,
//             text TEXT, message_class INTEGER, status_report INTEGER, time INTEGER)
//   calls    (id INTEGER PRIMARY KEY AUTOINCREMENT, number TEXT, time INTEGER)
// Identifiers are never reused (AUTOINCREMENT), so an identifier handed out once stays the name
// of that one message even after it is deleted. Times are UTC FILETIME ticks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_paths.h"

struct sqlite3;

namespace brevalo {

// The folders of the SMS store, numbered as the store's folder types are.
enum class PhoneFolder : int32_t { Inbox = 0, Other = 1, Sent = 2 };

// "inbox", "other", "sent".
std::string_view PhoneFolderName(PhoneFolder folder);
std::optional<PhoneFolder> ParsePhoneFolder(std::string_view name);

// Message flags as the store reports them.
inline constexpr uint32_t kPhoneMessageRead = 0x1;

inline constexpr std::u16string_view kSmsStoreName = u"SMS";
inline constexpr std::u16string_view kSmsMessageClass = u"IPM.SMStext";

struct PhoneStore {
  int64_t id = 0;
  std::u16string name;
};

struct PhoneMessage {
  int64_t id = 0;  // given by AddMessage
  PhoneFolder folder = PhoneFolder::Inbox;
  std::u16string sender;
  std::u16string text;
  uint64_t deliveryTime = 0;  // UTC FILETIME ticks
  uint32_t flags = 0;
  std::u16string messageClass{kSmsMessageClass};
};

// One message the SMS library accepted for the network.
struct OutboxEntry {
  int64_t id = 0;  // given by AppendOutbox
  std::u16string recipient;
  uint32_t addressType = 0;
  std::u16string text;
  uint32_t messageClass = 1;  // 0 is a flash message
  bool statusReport = false;
  uint64_t time = 0;  // UTC FILETIME ticks

  bool Flash() const { return messageClass == 0; }
};

struct CallEntry {
  int64_t id = 0;  // given by AppendCall
  std::u16string number;
  uint64_t time = 0;  // UTC FILETIME ticks
};

class PhoneDatabase {
 public:
  // Opens the file, creating it and its tables when missing. Nothing when the file cannot be
  // opened or is not a database of ours; `error` (if given) then says why.
  static std::unique_ptr<PhoneDatabase> Open(const std::filesystem::path& file,
                                             std::string* error = nullptr);
  // DIR/phone/messages.db of the device, creating DIR/phone when missing.
  static std::unique_ptr<PhoneDatabase> OpenDevice(const Device& device,
                                                   std::string* error = nullptr);
  static std::filesystem::path FileOf(const Device& device);

  ~PhoneDatabase();
  PhoneDatabase(const PhoneDatabase&) = delete;
  PhoneDatabase& operator=(const PhoneDatabase&) = delete;

  // The message of the last failed call.
  const std::string& LastError() const { return lastError_; }

  // Adds a store of that name unless one exists; its identifier either way.
  std::optional<int64_t> EnsureStore(std::u16string_view name);
  bool ListStores(std::vector<PhoneStore>* out);
  std::optional<PhoneStore> FindStore(int64_t id);

  // The SMS store's messages. AddMessage ignores message.id and returns the new one.
  std::optional<int64_t> AddMessage(const PhoneMessage& message);
  // Adds them all in one transaction, or none: the way to fill a phone with a large store.
  bool AddMessages(const std::vector<PhoneMessage>& messages);
  // All folders when `folder` is nothing; oldest first. Rows of a folder this code does not
  // know are left out.
  bool ListMessages(std::optional<PhoneFolder> folder, std::vector<PhoneMessage>* out);
  // Nothing when there is no such message (LastError() is empty then) or the read failed.
  std::optional<PhoneMessage> GetMessage(int64_t id);
  // True when a message was deleted; with `folder`, only a message of that folder.
  bool DeleteMessage(int64_t id, std::optional<PhoneFolder> folder = std::nullopt);

  std::optional<int64_t> AppendOutbox(const OutboxEntry& entry);
  bool ListOutbox(std::vector<OutboxEntry>* out);
  bool ClearOutbox();

  std::optional<int64_t> AppendCall(const CallEntry& entry);
  bool ListCalls(std::vector<CallEntry>* out);

 private:
  explicit PhoneDatabase(sqlite3* db);
  bool CreateSchema();
  bool SwitchToWal();
  // Ends the open transaction; rolls it back when the commit fails.
  bool Commit();
  // Both record sqlite's message for `what`; for `return Fail(...)` in either kind of function.
  bool Fail(std::string_view what);
  std::nullopt_t FailNothing(std::string_view what);

  class Statement;
  static std::optional<PhoneMessage> ReadMessage(Statement& row);
  sqlite3* db_;
  std::string lastError_;
};

}  // namespace brevalo
