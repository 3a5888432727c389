#include "device/phone_database.h"

#include <chrono>
#include <thread>

#include <sqlite3.h>

#include <array>
#include <utility>

namespace brevalo {
namespace {

constexpr int kSchemaVersion = 1;
// Long enough for another process to finish any one change of ours, short enough that a stuck
// peer shows up as an error instead of a hang.
constexpr int kBusyTimeoutMs = 10000;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS stores(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS messages(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  folder INTEGER NOT NULL,
  sender TEXT NOT NULL,
  text TEXT NOT NULL,
  delivery_time INTEGER NOT NULL,
  flags INTEGER NOT NULL,
  message_class TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS messages_by_folder ON messages(folder, id);
CREATE TABLE IF NOT EXISTS outbox(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  recipient TEXT NOT NULL,
  address_type INTEGER NOT NULL,
  text TEXT NOT NULL,
  message_class INTEGER NOT NULL,
  status_report INTEGER NOT NULL,
  time INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS calls(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  number TEXT NOT NULL,
  time INTEGER NOT NULL);
)sql";

constexpr std::array<std::pair<PhoneFolder, std::string_view>, 3> kFolderNames{{
    {PhoneFolder::Inbox, "inbox"},
    {PhoneFolder::Other, "other"},
    {PhoneFolder::Sent, "sent"},
}};

std::optional<PhoneFolder> FolderFromNumber(int64_t number) {
  for (const auto& [folder, name] : kFolderNames) {
    if (static_cast<int64_t>(folder) == number) return folder;
  }
  return std::nullopt;
}

}  // namespace

std::string_view PhoneFolderName(PhoneFolder folder) {
  for (const auto& [known, name] : kFolderNames) {
    if (known == folder) return name;
  }
  return "other";
}

std::optional<PhoneFolder> ParsePhoneFolder(std::string_view name) {
  for (const auto& [folder, known] : kFolderNames) {
    if (known == name) return folder;
  }
  return std::nullopt;
}

// One prepared statement, finalized when it goes. Text goes in and out as UTF-16 in the host's
// byte order, which SQLite converts to the file's encoding itself.
class PhoneDatabase::Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) statement_ = nullptr;
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool Ok() const { return statement_ != nullptr; }

  void Bind(int index, int64_t value) { sqlite3_bind_int64(statement_, index, value); }
  void Bind(int index, std::u16string_view text) {
    // SQLITE_TRANSIENT: the view may not outlive the call.
    sqlite3_bind_text16(statement_, index, text.data(), static_cast<int>(text.size() * 2),
                        SQLITE_TRANSIENT);
  }

  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step() { return statement_ == nullptr ? SQLITE_MISUSE : sqlite3_step(statement_); }

  int64_t Integer(int column) { return sqlite3_column_int64(statement_, column); }
  // A NULL or a value of another type comes back as its text form, never as a crash.
  std::u16string Text(int column) {
    const void* text = sqlite3_column_text16(statement_, column);
    int bytes = sqlite3_column_bytes16(statement_, column);
    if (text == nullptr || bytes <= 0) return {};
    return std::u16string(static_cast<const char16_t*>(text), static_cast<size_t>(bytes) / 2);
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

PhoneDatabase::PhoneDatabase(sqlite3* db) : db_(db) {}

PhoneDatabase::~PhoneDatabase() { sqlite3_close_v2(db_); }

std::filesystem::path PhoneDatabase::FileOf(const Device& device) {
  return device.PhoneDir() / "messages.db";
}

std::unique_ptr<PhoneDatabase> PhoneDatabase::OpenDevice(const Device& device,
                                                         std::string* error) {
  std::error_code ignored;
  std::filesystem::create_directories(device.PhoneDir(), ignored);
  return Open(FileOf(device), error);
}

std::unique_ptr<PhoneDatabase> PhoneDatabase::Open(const std::filesystem::path& file,
                                                   std::string* error) {
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
  int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    if (error != nullptr) {
      *error = file.string() + ": " + (db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    }
    sqlite3_close_v2(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  std::unique_ptr<PhoneDatabase> database(new PhoneDatabase(db));
  if (!database->CreateSchema()) {
    if (error != nullptr) *error = file.string() + ": " + database->LastError();
    return nullptr;
  }
  return database;
}

bool PhoneDatabase::Fail(std::string_view what) {
  lastError_ = std::string(what) + ": " + sqlite3_errmsg(db_);
  return false;
}

std::nullopt_t PhoneDatabase::FailNothing(std::string_view what) {
  Fail(what);
  return std::nullopt;
}

bool PhoneDatabase::SwitchToWal() {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
  for (;;) {
    int rc;
    {
      Statement wal(db_, "PRAGMA journal_mode=WAL");
      rc = wal.Ok() ? wal.Step() : sqlite3_errcode(db_);
    }
    if (rc == SQLITE_ROW) return true;
    bool busy = rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
    if (!busy || std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool PhoneDatabase::CreateSchema() {
  // WAL lets the messaging service read while phonesim or a library writes; it is a property of
  // the file, so the first opener sets it for everyone.
  // Changing the journal mode needs the file to itself, and SQLite answers "locked" at once
  // instead of calling the busy handler when another process is opening it at the same moment,
  // so the change is retried for as long as any other wait would last.
  if (!SwitchToWal()) return Fail("journal mode");
  // Per connection: in WAL mode NORMAL syncs at checkpoints only, so a commit costs no fsync;
  // a killed process still loses nothing, and a power cut at worst the last commits, never the
  // file's consistency. The messaging service commits twice per incoming SMS while the sender's
  // rule clients wait, so this is what keeps a hand-over well inside its second.
  sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  // The statement ends before the write below: a connection that still holds a read snapshot
  // when it asks to write gets "locked" at once instead of waiting for the other writer.
  int64_t found = 0;
  {
    Statement version(db_, "PRAGMA user_version");
    if (!version.Ok() || version.Step() != SQLITE_ROW) return Fail("schema version");
    found = version.Integer(0);
  }
  if (found > kSchemaVersion) {
    lastError_ = "schema version " + std::to_string(found) + " is newer than this program's";
    return false;
  }
  if (found == kSchemaVersion) return true;
  // IMMEDIATE: two processes creating a fresh device at once take turns instead of both failing.
  if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
    return Fail("begin");
  }
  bool ok = sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK &&
            sqlite3_exec(db_, "PRAGMA user_version=1", nullptr, nullptr, nullptr) == SQLITE_OK;
  if (!ok) {
    Fail("schema");
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }
  return Commit();
}

std::optional<int64_t> PhoneDatabase::EnsureStore(std::u16string_view name) {
  Statement insert(db_, "INSERT OR IGNORE INTO stores(name) VALUES(?1)");
  if (!insert.Ok()) return FailNothing("add store");
  insert.Bind(1, name);
  if (insert.Step() != SQLITE_DONE) return FailNothing("add store");
  Statement find(db_, "SELECT id FROM stores WHERE name = ?1");
  if (!find.Ok()) return FailNothing("find store");
  find.Bind(1, name);
  if (find.Step() != SQLITE_ROW) return FailNothing("find store");
  return find.Integer(0);
}

bool PhoneDatabase::ListStores(std::vector<PhoneStore>* out) {
  out->clear();
  Statement select(db_, "SELECT id, name FROM stores ORDER BY id");
  if (!select.Ok()) return Fail("list stores");
  int rc;
  while ((rc = select.Step()) == SQLITE_ROW) out->push_back({select.Integer(0), select.Text(1)});
  return rc == SQLITE_DONE || Fail("list stores");
}

std::optional<PhoneStore> PhoneDatabase::FindStore(int64_t id) {
  lastError_.clear();
  Statement select(db_, "SELECT id, name FROM stores WHERE id = ?1");
  if (!select.Ok()) return FailNothing("find store");
  select.Bind(1, id);
  int rc = select.Step();
  if (rc == SQLITE_ROW) return PhoneStore{select.Integer(0), select.Text(1)};
  if (rc != SQLITE_DONE) Fail("find store");
  return std::nullopt;
}

std::optional<int64_t> PhoneDatabase::AddMessage(const PhoneMessage& message) {
  Statement insert(db_,
                   "INSERT INTO messages(folder, sender, text, delivery_time, flags, message_class)"
                   " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
  if (!insert.Ok()) return FailNothing("add message");
  insert.Bind(1, static_cast<int64_t>(message.folder));
  insert.Bind(2, message.sender);
  insert.Bind(3, message.text);
  insert.Bind(4, static_cast<int64_t>(message.deliveryTime));
  insert.Bind(5, static_cast<int64_t>(message.flags));
  insert.Bind(6, message.messageClass);
  if (insert.Step() != SQLITE_DONE) return FailNothing("add message");
  return sqlite3_last_insert_rowid(db_);
}

bool PhoneDatabase::Commit() {
  if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  Fail("commit");
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  return false;
}

bool PhoneDatabase::AddMessages(const std::vector<PhoneMessage>& messages) {
  if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) return Fail("begin");
  for (const PhoneMessage& message : messages) {
    if (!AddMessage(message)) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      return false;
    }
  }
  return Commit();
}

constexpr const char* kMessageColumns =
    "SELECT id, folder, sender, text, delivery_time, flags, message_class FROM messages ";

// The row under a statement that selected kMessageColumns; nothing for a folder this code does
// not know, which only a foreign writer can have put there.
std::optional<PhoneMessage> PhoneDatabase::ReadMessage(Statement& row) {
  std::optional<PhoneFolder> folder = FolderFromNumber(row.Integer(1));
  if (!folder) return std::nullopt;
  PhoneMessage message;
  message.id = row.Integer(0);
  message.folder = *folder;
  message.sender = row.Text(2);
  message.text = row.Text(3);
  message.deliveryTime = static_cast<uint64_t>(row.Integer(4));
  message.flags = static_cast<uint32_t>(row.Integer(5));
  message.messageClass = row.Text(6);
  return message;
}

bool PhoneDatabase::ListMessages(std::optional<PhoneFolder> folder,
                                 std::vector<PhoneMessage>* out) {
  out->clear();
  std::string sql = std::string(kMessageColumns) +
                    (folder ? "WHERE folder = ?1 ORDER BY id" : "ORDER BY id");
  Statement select(db_, sql.c_str());
  if (!select.Ok()) return Fail("list messages");
  if (folder) select.Bind(1, static_cast<int64_t>(*folder));
  int rc;
  while ((rc = select.Step()) == SQLITE_ROW) {
    if (std::optional<PhoneMessage> message = ReadMessage(select)) {
      out->push_back(std::move(*message));
    }
  }
  return rc == SQLITE_DONE || Fail("list messages");
}

std::optional<PhoneMessage> PhoneDatabase::GetMessage(int64_t id) {
  lastError_.clear();
  std::string sql = std::string(kMessageColumns) + "WHERE id = ?1";
  Statement select(db_, sql.c_str());
  if (!select.Ok()) return FailNothing("read message");
  select.Bind(1, id);
  int rc = select.Step();
  if (rc != SQLITE_ROW) {
    if (rc != SQLITE_DONE) Fail("read message");
    return std::nullopt;
  }
  return ReadMessage(select);
}

bool PhoneDatabase::DeleteMessage(int64_t id, std::optional<PhoneFolder> folder) {
  lastError_.clear();
  Statement remove(db_, folder ? "DELETE FROM messages WHERE id = ?1 AND folder = ?2"
                               : "DELETE FROM messages WHERE id = ?1");
  if (!remove.Ok()) return Fail("delete message");
  remove.Bind(1, id);
  if (folder) remove.Bind(2, static_cast<int64_t>(*folder));
  if (remove.Step() != SQLITE_DONE) return Fail("delete message");
  return sqlite3_changes(db_) > 0;
}

std::optional<int64_t> PhoneDatabase::AppendOutbox(const OutboxEntry& entry) {
  Statement insert(db_,
                   "INSERT INTO outbox(recipient, address_type, text, message_class, "
                   "status_report, time) VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
  if (!insert.Ok()) return FailNothing("append to outbox");
  insert.Bind(1, entry.recipient);
  insert.Bind(2, static_cast<int64_t>(entry.addressType));
  insert.Bind(3, entry.text);
  insert.Bind(4, static_cast<int64_t>(entry.messageClass));
  insert.Bind(5, entry.statusReport ? 1 : 0);
  insert.Bind(6, static_cast<int64_t>(entry.time));
  if (insert.Step() != SQLITE_DONE) return FailNothing("append to outbox");
  return sqlite3_last_insert_rowid(db_);
}

bool PhoneDatabase::ListOutbox(std::vector<OutboxEntry>* out) {
  out->clear();
  Statement select(db_,
                   "SELECT id, recipient, address_type, text, message_class, status_report, time "
                   "FROM outbox ORDER BY id");
  if (!select.Ok()) return Fail("list outbox");
  int rc;
  while ((rc = select.Step()) == SQLITE_ROW) {
    OutboxEntry entry;
    entry.id = select.Integer(0);
    entry.recipient = select.Text(1);
    entry.addressType = static_cast<uint32_t>(select.Integer(2));
    entry.text = select.Text(3);
    entry.messageClass = static_cast<uint32_t>(select.Integer(4));
    entry.statusReport = select.Integer(5) != 0;
    entry.time = static_cast<uint64_t>(select.Integer(6));
    out->push_back(std::move(entry));
  }
  return rc == SQLITE_DONE || Fail("list outbox");
}

bool PhoneDatabase::ClearOutbox() {
  Statement remove(db_, "DELETE FROM outbox");
  return (remove.Ok() && remove.Step() == SQLITE_DONE) || Fail("clear outbox");
}

std::optional<int64_t> PhoneDatabase::AppendCall(const CallEntry& entry) {
  Statement insert(db_, "INSERT INTO calls(number, time) VALUES(?1, ?2)");
  if (!insert.Ok()) return FailNothing("append call");
  insert.Bind(1, entry.number);
  insert.Bind(2, static_cast<int64_t>(entry.time));
  if (insert.Step() != SQLITE_DONE) return FailNothing("append call");
  return sqlite3_last_insert_rowid(db_);
}

bool PhoneDatabase::ListCalls(std::vector<CallEntry>* out) {
  out->clear();
  Statement select(db_, "SELECT id, number, time FROM calls ORDER BY id");
  if (!select.Ok()) return Fail("list calls");
  int rc;
  while ((rc = select.Step()) == SQLITE_ROW) {
    out->push_back(
        {select.Integer(0), select.Text(1), static_cast<uint64_t>(select.Integer(2))});
  }
  return rc == SQLITE_DONE || Fail("list calls");
}

}  // namespace brevalo
