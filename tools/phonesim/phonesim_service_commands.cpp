// phonesim serve, sms-in and status: the device's messaging service in the foreground, the
// network delivering one SMS through it, and what runs on the device.
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <iostream>

#include "channel/unread_counter.h"
#include "device/code_page.h"
#include "device/event_log.h"
#include "device/mapi_session.h"
#include "device/messaging_service.h"
#include "device/service_endpoint.h"
#include "device/service_host.h"
#include "tools/phonesim/phonesim_command.h"
#include "tools/phonesim/phonesim_support.h"

namespace brevalo {
namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void RequestStop(int) { stopRequested.store(true); }

// Without SA_RESTART, so that the service's wait returns at once.
void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

int Serve(PhonesimContext& ctx) {
  std::error_code code;
  Device device(std::filesystem::absolute(ctx.DeviceFolder().Dir(), code));
  if (!DeviceExists(device.Dir())) {
    return PhonesimFail(device.Dir().string() + " holds no device (phonesim init makes one)");
  }
  // Rule clients and the libraries they load find their device as every device tool does.
  setenv("VELMORA_DEVICE", device.Dir().c_str(), 1);
  MapiUseDevice(device.Dir());
  std::string error;
  std::unique_ptr<MessagingService> service = MessagingService::Open(device, &error);
  if (service == nullptr) return PhonesimFail(error);
  std::unique_ptr<ServiceHost> host = ServiceHost::Start(device, *service, &error);
  if (host == nullptr) return PhonesimFail(error);
  host->OnMessage([](std::u16string_view from, const SmsOutcome& outcome) {
    std::cout << "message " << outcome.id << " from " << ToUtf8(from)
              << (outcome.deleted ? ": deleted" : ": kept")
              << (outcome.handled ? ", handled" : ", not handled") << std::endl;
  });
  CatchStopSignals();
  EventLog(device).Append("service-started", {{"pid", getpid()}});
  std::cout << "messaging service of " << device.Dir().string() << " running (pid " << getpid()
            << ")" << std::endl;
  host->Run(stopRequested);
  host.reset();
  service.reset();
  EventLog(device).Append("service-stopped", {{"pid", getpid()}});
  std::cout << "messaging service stopped" << std::endl;
  return kPhonesimOk;
}

struct SmsArgs {
  std::string from;
  std::string text;
  std::string time;
};

int SmsIn(PhonesimContext& ctx, const SmsArgs& args) {
  std::optional<uint64_t> time;
  if (!args.time.empty()) {
    time = ParseIsoTime(args.time);
    if (!time) {
      PhonesimFail("--time " + args.time + ": not an ISO 8601 time (2026-12-09T08:30:00Z)");
      return kPhonesimUsage;
    }
  }
  if (args.from.empty()) {
    PhonesimFail("--from must not be empty");
    return kPhonesimUsage;
  }
  std::string error;
  std::optional<SmsOutcome> outcome =
      DeliverSms(ctx.DeviceFolder(), FromUtf8(args.from), FromUtf8(args.text), time, &error);
  if (!outcome) return PhonesimFail(error);
  if (ctx.json) {
    PrintJson({{"id", outcome->id},
               {"outcome", outcome->deleted ? "deleted" : "kept"},
               {"handled", outcome->handled}});
  } else {
    std::cout << "message " << outcome->id
              << (outcome->deleted ? " deleted from the inbox" : " kept in the inbox")
              << (outcome->handled ? " (handled by a rule client)" : " (not handled)") << "\n";
  }
  return kPhonesimOk;
}

int Status(PhonesimContext& ctx) {
  Device device = ctx.DeviceFolder();
  std::string error;
  std::optional<ServiceStatus> status;
  if (ServiceRunning(device)) {
    status = QueryServiceStatus(device, &error);
    if (!status) return PhonesimFail(error);
  }
  std::optional<uint32_t> unread = UnreadCounter::Peek(device);
  if (ctx.json) {
    nlohmann::json out = {{"service", status.has_value()},
                          {"ruleClients", status ? status->ruleClients : std::vector<std::string>{}},
                          {"unread", nullptr}};
    if (status) out["pid"] = status->pid;
    if (unread) out["unread"] = *unread;
    PrintJson(out);
    return kPhonesimOk;
  }
  if (status) {
    std::cout << "messaging service: running (pid " << status->pid << ")\n";
  } else {
    std::cout << "messaging service: not running\n";
  }
  std::cout << "rule clients: " << (status ? status->ruleClients.size() : 0) << "\n";
  if (status) {
    for (const std::string& clsid : status->ruleClients) std::cout << "  " << clsid << "\n";
  }
  std::cout << "unread (KVT_SmsCount): " << (unread ? std::to_string(*unread) : "none") << "\n";
  return kPhonesimOk;
}

void AddServiceCommands(CLI::App& app, PhonesimContext& ctx) {
  CLI::App* serve = app.add_subcommand("serve", "run the messaging service until stopped");
  Bind(serve, [&ctx] { return Serve(ctx); });

  static SmsArgs sms;
  CLI::App* smsIn = app.add_subcommand("sms-in", "deliver one SMS through the running service");
  smsIn->add_option("--from", sms.from, "the sender's address")->required();
  smsIn->add_option("--text", sms.text, "the message text")->required();
  smsIn->add_option("--time", sms.time, "delivery time, ISO 8601 (default: now)");
  Bind(smsIn, [&ctx] { return SmsIn(ctx, sms); });

  CLI::App* status = app.add_subcommand("status", "show the service, its rule clients, unread");
  Bind(status, [&ctx] { return Status(ctx); });
}

PHONESIM_COMMANDS(AddServiceCommands);

}  // namespace
}  // namespace brevalo
