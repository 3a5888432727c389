// phonesim events [--follow]: the device's event log, one event a line.
#include <unistd.h>

#include <iostream>

#include "device/event_log.h"
#include "tools/phonesim/phonesim_command.h"

namespace brevalo {
namespace {

void Print(const nlohmann::json& event, bool json) {
  if (json) {
    std::cout << event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return;
  }
  nlohmann::json rest = event;
  rest.erase("time");
  rest.erase("kind");
  std::cout << event.value("time", "") << "  " << event.value("kind", "") << "  "
            << rest.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

int ShowEvents(PhonesimContext& ctx, bool follow) {
  EventLog log(ctx.DeviceFolder());
  size_t shown = 0;
  while (true) {
    std::vector<nlohmann::json> events = log.Read();
    for (; shown < events.size(); ++shown) Print(events[shown], ctx.json);
    std::cout.flush();
    if (!follow) return kPhonesimOk;
    usleep(200'000);
  }
}

void AddEventCommands(CLI::App& app, PhonesimContext& ctx) {
  static bool follow = false;
  CLI::App* events = app.add_subcommand("events", "print the device's event log");
  events->add_flag("--follow", follow, "keep printing new events until stopped");
  Bind(events, [&ctx] { return ShowEvents(ctx, follow); });
}

PHONESIM_COMMANDS(AddEventCommands);

}  // namespace
}  // namespace brevalo
