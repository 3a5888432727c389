#include "device/service_host.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "device/service_endpoint.h"
#include "device/system_time.h"

namespace brevalo {
namespace {

uint64_t Ticks(const FILETIME& time) {
  return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

std::string ReadPid(int fd) {
  char text[32] = {};
  ssize_t got = pread(fd, text, sizeof text - 1, 0);
  std::string pid = got > 0 ? std::string(text, static_cast<size_t>(got)) : std::string();
  while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
  return pid;
}

}  // namespace

std::unique_ptr<ServiceHost> ServiceHost::Start(const Device& device, MessagingService& service,
                                                std::string* error) {
  std::error_code ignored;
  std::filesystem::create_directories(device.RunDir(), ignored);
  std::filesystem::path pidPath = ServicePidPath(device);
  int fd = open(pidPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = pidPath.string() + ": " + std::strerror(errno);
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    std::string pid = ReadPid(fd);
    close(fd);
    *error = "a messaging service already runs on " + device.Dir().string() +
             (pid.empty() ? std::string() : " (process " + pid + ")");
    return nullptr;
  }
  std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(fd, 0) != 0 || pwrite(fd, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
    *error = pidPath.string() + ": cannot write: " + std::strerror(errno);
    close(fd);
    return nullptr;
  }
  std::unique_ptr<ServiceHost> host(new ServiceHost(device, service, fd));
  host->server_ = LineServer::Listen(ServiceSocketPath(device), error);
  if (host->server_ == nullptr) return nullptr;
  return host;
}

ServiceHost::ServiceHost(const Device& device, MessagingService& service, int pidFd)
    : device_(device), service_(service), pidFd_(pidFd) {}

ServiceHost::~ServiceHost() {
  server_.reset();  // removes the socket
  std::error_code ignored;
  std::filesystem::remove(ServicePidPath(device_), ignored);
  close(pidFd_);  // the lock goes last, so a new service never meets our files
}

std::string ServiceHost::Answer(std::string_view line) {
  std::string error;
  std::optional<ServiceRequest> request = ParseServiceRequest(line, &error);
  if (!request) return FormatServiceError(error);
  if (request->op == ServiceOp::Status) {
    service_.RefreshRuleClients();
    return FormatServiceStatus({static_cast<int64_t>(getpid()), service_.RuleClients()});
  }
  uint64_t time = request->deliveryTime.value_or(Ticks(GetSystemTimeAsFileTime()));
  std::optional<SmsOutcome> outcome = service_.Deliver(request->from, request->text, time, &error);
  if (!outcome) return FormatServiceError(error);
  if (observer_) observer_(request->from, *outcome);
  return FormatSmsOutcome(*outcome);
}

void ServiceHost::Run(const std::atomic<bool>& stop, int pollMs) {
  service_.RefreshRuleClients();
  const std::string tooLong = FormatServiceError("request too long");
  while (!stop.load()) {
    if (!server_->WaitForInput(pollMs)) {
      service_.RefreshRuleClients();
      continue;
    }
    server_->Pump(
        [&](uint64_t connection, std::string line) { server_->Reply(connection, Answer(line)); },
        kMaxServiceLineBytes, tooLong);
  }
}

}  // namespace brevalo
