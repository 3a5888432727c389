// Where a device's running messaging service can be reached, and the calls its clients make:
// DIR/run/service.sock for requests (device/service_request.h), DIR/run/service.pid naming
// the process that holds the service.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "device/device_paths.h"
#include "device/service_request.h"

namespace brevalo {

// Long enough for the rule clients of one message: each may wait a second for its program.
inline constexpr int kServiceCallTimeoutMs = 30000;

std::filesystem::path ServiceSocketPath(const Device& device);
std::filesystem::path ServicePidPath(const Device& device);

// True when a service answers on the device's socket.
bool ServiceRunning(const Device& device);

// One incoming SMS through the running service. Nothing, with *error set, when no service
// runs, it does not answer in time or refuses the message.
std::optional<SmsOutcome> DeliverSms(const Device& device, std::u16string_view from,
                                     std::u16string_view text,
                                     std::optional<uint64_t> deliveryTime, std::string* error,
                                     int timeoutMs = kServiceCallTimeoutMs);
std::optional<ServiceStatus> QueryServiceStatus(const Device& device, std::string* error);

}  // namespace brevalo
