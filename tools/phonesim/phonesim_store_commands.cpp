// phonesim store, outbox and calls: the phone's own message store, the network's outbox of sent
// messages and the call log, all in DIR/phone/messages.db.
#include <iostream>

#include "device/code_page.h"
#include "device/phone_database.h"
#include "tools/phonesim/phonesim_command.h"
#include "tools/phonesim/phonesim_support.h"

namespace brevalo {
namespace {

struct StoreArgs {
  std::string folder;
  std::string from;
  std::string text;
  std::string time;
  int64_t id = 0;
  bool clear = false;
};

std::unique_ptr<PhoneDatabase> OpenDatabase(PhonesimContext& ctx, std::string* error) {
  Device device = ctx.DeviceFolder();
  if (!DeviceExists(device.Dir())) {
    *error = device.Dir().string() + " holds no device (phonesim init makes one)";
    return nullptr;
  }
  return PhoneDatabase::OpenDevice(device, error);
}

// A folder name as given; nothing (after saying why) for an unknown one.
std::optional<PhoneFolder> FolderArgument(const std::string& name) {
  std::optional<PhoneFolder> folder = ParsePhoneFolder(name);
  if (!folder) PhonesimFail("unknown folder \"" + name + "\" (inbox, sent or other)");
  return folder;
}

int List(PhonesimContext& ctx, const StoreArgs& args) {
  std::optional<PhoneFolder> folder;
  if (!args.folder.empty()) {
    folder = FolderArgument(args.folder);
    if (!folder) return kPhonesimUsage;
  }
  std::string error;
  std::unique_ptr<PhoneDatabase> database = OpenDatabase(ctx, &error);
  if (database == nullptr) return PhonesimFail(error);
  std::vector<PhoneMessage> messages;
  if (!database->ListMessages(folder, &messages)) return PhonesimFail(database->LastError());
  nlohmann::json out = nlohmann::json::array();
  for (const PhoneMessage& message : messages) {
    std::string folderName(PhoneFolderName(message.folder));
    if (ctx.json) {
      out.push_back({{"id", message.id},
                     {"folder", folderName},
                     {"from", ToUtf8(message.sender)},
                     {"text", ToUtf8(message.text)},
                     {"time", IsoTimeText(message.deliveryTime)},
                     {"read", (message.flags & kPhoneMessageRead) != 0}});
    } else {
      std::cout << message.id << "  " << folderName << "  " << IsoTimeText(message.deliveryTime)
                << "  " << ToUtf8(message.sender) << "  " << ToUtf8(message.text) << "\n";
    }
  }
  if (ctx.json) PrintJson({{"messages", out}});
  return kPhonesimOk;
}

int Add(PhonesimContext& ctx, const StoreArgs& args) {
  std::optional<PhoneFolder> folder = FolderArgument(args.folder);
  if (!folder) return kPhonesimUsage;
  PhoneMessage message;
  message.folder = *folder;
  message.sender = FromUtf8(args.from);
  message.text = FromUtf8(args.text);
  message.deliveryTime = NowTicks();
  if (!args.time.empty()) {
    std::optional<uint64_t> time = ParseIsoTime(args.time);
    if (!time) {
      PhonesimFail("--time " + args.time + ": not an ISO 8601 time (2026-12-09T08:30:00Z)");
      return kPhonesimUsage;
    }
    message.deliveryTime = *time;
  }
  std::string error;
  std::unique_ptr<PhoneDatabase> database = OpenDatabase(ctx, &error);
  if (database == nullptr) return PhonesimFail(error);
  if (!database->EnsureStore(kSmsStoreName)) return PhonesimFail(database->LastError());
  std::optional<int64_t> id = database->AddMessage(message);
  if (!id) return PhonesimFail(database->LastError());
  if (ctx.json) PrintJson({{"id", *id}});
  else std::cout << "message " << *id << " added to " << PhoneFolderName(*folder) << "\n";
  return kPhonesimOk;
}

int Delete(PhonesimContext& ctx, const StoreArgs& args) {
  std::string error;
  std::unique_ptr<PhoneDatabase> database = OpenDatabase(ctx, &error);
  if (database == nullptr) return PhonesimFail(error);
  if (!database->DeleteMessage(args.id)) {
    return PhonesimFail(database->LastError().empty() ? "no message " + std::to_string(args.id)
                                                      : database->LastError());
  }
  std::cout << "message " << args.id << " deleted\n";
  return kPhonesimOk;
}

int Outbox(PhonesimContext& ctx, const StoreArgs& args) {
  std::string error;
  std::unique_ptr<PhoneDatabase> database = OpenDatabase(ctx, &error);
  if (database == nullptr) return PhonesimFail(error);
  std::vector<OutboxEntry> entries;
  if (!database->ListOutbox(&entries)) return PhonesimFail(database->LastError());
  nlohmann::json out = nlohmann::json::array();
  for (const OutboxEntry& entry : entries) {
    if (ctx.json) {
      out.push_back({{"to", ToUtf8(entry.recipient)},
                     {"addressType", entry.addressType},
                     {"text", ToUtf8(entry.text)},
                     {"flash", entry.Flash()},
                     {"statusReport", entry.statusReport},
                     {"time", IsoTimeText(entry.time)}});
    } else {
      std::cout << IsoTimeText(entry.time) << "  to " << ToUtf8(entry.recipient) << " (type "
                << entry.addressType << (entry.Flash() ? ", flash" : "")
                << (entry.statusReport ? ", status report" : "") << ")  " << ToUtf8(entry.text)
                << "\n";
    }
  }
  if (ctx.json) PrintJson({{"messages", out}});
  // Shown before it is cleared, so that a script reads and empties the outbox in one call.
  if (args.clear && !database->ClearOutbox()) return PhonesimFail(database->LastError());
  return kPhonesimOk;
}

int Calls(PhonesimContext& ctx) {
  std::string error;
  std::unique_ptr<PhoneDatabase> database = OpenDatabase(ctx, &error);
  if (database == nullptr) return PhonesimFail(error);
  std::vector<CallEntry> calls;
  if (!database->ListCalls(&calls)) return PhonesimFail(database->LastError());
  nlohmann::json out = nlohmann::json::array();
  for (const CallEntry& call : calls) {
    if (ctx.json) out.push_back({{"number", ToUtf8(call.number)}, {"time", IsoTimeText(call.time)}});
    else std::cout << IsoTimeText(call.time) << "  " << ToUtf8(call.number) << "\n";
  }
  if (ctx.json) PrintJson({{"calls", out}});
  return kPhonesimOk;
}

void AddStoreCommands(CLI::App& app, PhonesimContext& ctx) {
  static StoreArgs args;
  CLI::App* store = app.add_subcommand("store", "the phone's own message store");
  store->require_subcommand(1);
  CLI::App* list = store->add_subcommand("list", "list the messages, oldest first");
  list->add_option("--folder", args.folder, "inbox, sent or other (default: all)");
  Bind(list, [&ctx] { return List(ctx, args); });

  CLI::App* add = store->add_subcommand("add", "add a message to a folder");
  add->add_option("--folder", args.folder, "inbox, sent or other")->required();
  add->add_option("--from", args.from, "the sender's (or recipient's) address")->required();
  add->add_option("--text", args.text, "the message text")->required();
  add->add_option("--time", args.time, "delivery time, ISO 8601 (default: now)");
  Bind(add, [&ctx] { return Add(ctx, args); });

  CLI::App* remove = store->add_subcommand("delete", "delete a message by its id");
  remove->add_option("ID", args.id, "the message id that store list shows")->required();
  Bind(remove, [&ctx] { return Delete(ctx, args); });

  CLI::App* outbox = app.add_subcommand("outbox", "messages the network has been given to send");
  outbox->add_flag("--clear", args.clear, "empty the outbox after showing it");
  Bind(outbox, [&ctx] { return Outbox(ctx, args); });

  CLI::App* calls = app.add_subcommand("calls", "the calls dialled on the phone");
  Bind(calls, [&ctx] { return Calls(ctx); });
}

PHONESIM_COMMANDS(AddStoreCommands);

}  // namespace
}  // namespace brevalo
