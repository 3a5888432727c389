#include "device/service_endpoint.h"

#include "device/screen_remote_server.h"

namespace brevalo {
namespace {

constexpr int kStatusTimeoutMs = 5000;

std::optional<std::string> Call(const Device& device, const ServiceRequest& request,
                                int timeoutMs, std::string* error) {
  std::filesystem::path socket = ServiceSocketPath(device);
  std::string why;
  std::optional<std::string> answer =
      CallLineServer(socket, FormatServiceRequest(request), timeoutMs, &why);
  if (!answer) {
    *error = why.rfind("nothing listens", 0) == 0
                 ? "no messaging service runs on " + device.Dir().string() +
                       " (start it with phonesim serve)"
                 : "the messaging service: " + why;
  }
  return answer;
}

}  // namespace

std::filesystem::path ServiceSocketPath(const Device& device) {
  return device.RunDir() / "service.sock";
}

std::filesystem::path ServicePidPath(const Device& device) { return device.RunDir() / "service.pid"; }

bool ServiceRunning(const Device& device) { return LineServerListening(ServiceSocketPath(device)); }

std::optional<SmsOutcome> DeliverSms(const Device& device, std::u16string_view from,
                                     std::u16string_view text,
                                     std::optional<uint64_t> deliveryTime, std::string* error,
                                     int timeoutMs) {
  ServiceRequest request;
  request.op = ServiceOp::Sms;
  request.from = std::u16string(from);
  request.text = std::u16string(text);
  request.deliveryTime = deliveryTime;
  std::optional<std::string> answer = Call(device, request, timeoutMs, error);
  if (!answer) return std::nullopt;
  return ParseSmsOutcome(*answer, error);
}

std::optional<ServiceStatus> QueryServiceStatus(const Device& device, std::string* error) {
  std::optional<std::string> answer = Call(device, ServiceRequest{}, kStatusTimeoutMs, error);
  if (!answer) return std::nullopt;
  return ParseServiceStatus(*answer, error);
}

}  // namespace brevalo
