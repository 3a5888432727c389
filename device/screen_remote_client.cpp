#include "device/screen_remote_client.h"

#include "device/screen_remote_protocol.h"
#include "device/screen_remote_server.h"

namespace brevalo {

std::filesystem::path ScreenSocketPath(const Device& device) {
  return device.RunDir() / "screen.sock";
}

std::optional<nlohmann::json> CallScreen(const Device& device, std::string_view request,
                                         int timeoutMs, std::string* error) {
  std::optional<std::string> line = CallLineServer(ScreenSocketPath(device), request, timeoutMs, error);
  if (!line) return std::nullopt;
  // The answer may carry a whole screenshot, so it is not held to the request size limit.
  nlohmann::json answer = nlohmann::json::parse(*line, nullptr, false);
  if (answer.is_discarded() || !answer.is_object()) {
    *error = "the screen answered with something that is not a JSON object";
    return std::nullopt;
  }
  auto ok = answer.find("ok");
  if (ok == answer.end() || !ok->is_boolean() || !ok->get<bool>()) {
    auto reason = answer.find("error");
    *error = reason != answer.end() && reason->is_string() ? reason->get<std::string>()
                                                           : "the screen refused the request";
    return std::nullopt;
  }
  return answer;
}

}  // namespace brevalo
