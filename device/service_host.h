// The running messaging service of a device: holds DIR/run/service.pid (locked, so a second
// service on the same device refuses even when both start at once, and a killed one leaves no
// lock behind), listens on DIR/run/service.sock and answers requests one at a time. Both files
// are removed when the host ends.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "device/device_paths.h"
#include "device/messaging_service.h"
#include "device/screen_remote_server.h"

namespace brevalo {

class ServiceHost {
 public:
  // Nothing, with *error set, when another service holds the device or the socket cannot be
  // made. The device and the service must outlive the host.
  static std::unique_ptr<ServiceHost> Start(const Device& device, MessagingService& service,
                                            std::string* error);
  ~ServiceHost();
  ServiceHost(const ServiceHost&) = delete;
  ServiceHost& operator=(const ServiceHost&) = delete;

  // Answers requests until `stop` becomes true (checked at least every pollMs, and at once
  // when a signal interrupts the wait). Registrations are looked at between requests too.
  void Run(const std::atomic<bool>& stop, int pollMs = 200);

  // Told about every incoming SMS once the rule clients are done with it.
  using MessageObserver = std::function<void(std::u16string_view from, const SmsOutcome& outcome)>;
  void OnMessage(MessageObserver observer) { observer_ = std::move(observer); }

  // The answer line to one request line.
  std::string Answer(std::string_view line);

 private:
  ServiceHost(const Device& device, MessagingService& service, int pidFd);

  const Device& device_;
  MessagingService& service_;
  int pidFd_;
  std::unique_ptr<LineServer> server_;
  MessageObserver observer_;
};

}  // namespace brevalo
