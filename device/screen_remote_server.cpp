#include "device/screen_remote_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>

namespace brevalo {
namespace {

constexpr int kReplyTimeoutMs = 5000;

bool FillAddress(const std::filesystem::path& path, sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  const std::string& text = path.native();
  if (text.empty() || text.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, text.data(), text.size());
  return true;
}

int ConnectTo(const std::filesystem::path& path) {
  sockaddr_un address;
  if (!FillAddress(path, &address)) return -1;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Writes all of `bytes` to a socket that may be non-blocking; false on error or time-out.
bool WriteAll(int fd, std::string_view bytes, int timeoutMs) {
  int64_t deadline = NowMs() + timeoutMs;
  while (!bytes.empty()) {
    ssize_t written = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (written > 0) {
      bytes.remove_prefix(static_cast<size_t>(written));
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    int left = static_cast<int>(deadline - NowMs());
    if (left <= 0) return false;
    pollfd waiter{fd, POLLOUT, 0};
    poll(&waiter, 1, left);
  }
  return true;
}

}  // namespace

std::unique_ptr<LineServer> LineServer::Listen(const std::filesystem::path& socketPath,
                                               std::string* error) {
  sockaddr_un address;
  if (!FillAddress(socketPath, &address)) {
    *error = "socket path too long: " + socketPath.string();
    return nullptr;
  }
  std::error_code ignored;
  std::filesystem::create_directories(socketPath.parent_path(), ignored);
  if (std::filesystem::exists(socketPath, ignored)) {
    if (LineServerListening(socketPath)) {
      *error = "another process listens on " + socketPath.string();
      return nullptr;
    }
    std::filesystem::remove(socketPath, ignored);
  }
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = std::strerror(errno);
    return nullptr;
  }
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0) {
    *error = socketPath.string() + ": " + std::strerror(errno);
    close(fd);
    return nullptr;
  }
  SetNonBlocking(fd);
  return std::unique_ptr<LineServer>(new LineServer(fd, socketPath));
}

LineServer::~LineServer() {
  while (!connections_.empty()) Close(connections_.begin()->first);
  close(listenFd_);
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

void LineServer::AcceptWaiting() {
  for (;;) {
    int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    connections_[nextId_++].fd = fd;
  }
}

bool LineServer::ReadAvailable(uint64_t id, Connection& connection,
                               std::vector<std::string>* lines, size_t maxLineBytes,
                               std::string_view tooLongAnswer) {
  char buffer[65536];
  for (;;) {
    ssize_t got = recv(connection.fd, buffer, sizeof buffer, 0);
    if (got == 0) return false;
    if (got < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    size_t start = 0;
    for (size_t i = 0; i < static_cast<size_t>(got); ++i) {
      if (buffer[i] != '\n') continue;
      connection.pending.append(buffer + start, i - start);
      if (!connection.pending.empty() && connection.pending.back() == '\r') connection.pending.pop_back();
      lines->push_back(std::move(connection.pending));
      connection.pending.clear();
      start = i + 1;
    }
    connection.pending.append(buffer + start, static_cast<size_t>(got) - start);
    if (connection.pending.size() > maxLineBytes) {
      Reply(id, tooLongAnswer);
      return false;
    }
  }
}

void LineServer::Pump(const LineHandler& onLine, size_t maxLineBytes, std::string_view tooLongAnswer) {
  if (pumping_) return;
  pumping_ = true;
  AcceptWaiting();
  std::vector<std::pair<uint64_t, std::string>> arrived;
  std::vector<uint64_t> ended;
  for (auto& [id, connection] : connections_) {
    std::vector<std::string> lines;
    if (!ReadAvailable(id, connection, &lines, maxLineBytes, tooLongAnswer)) ended.push_back(id);
    for (std::string& line : lines) arrived.emplace_back(id, std::move(line));
  }
  // A client that sent its request and closed its writing side still wants the answer, so only
  // a connection with nothing to answer is closed here; the others close on a failed reply.
  for (uint64_t id : ended) {
    bool hasRequest = false;
    for (const auto& item : arrived) hasRequest = hasRequest || item.first == id;
    if (!hasRequest) Close(id);
  }
  pumping_ = false;
  for (auto& [id, line] : arrived) onLine(id, std::move(line));
}

bool LineServer::WaitForInput(int timeoutMs) const {
  std::vector<pollfd> waiters{{listenFd_, POLLIN, 0}};
  for (const auto& [id, connection] : connections_) waiters.push_back({connection.fd, POLLIN, 0});
  return poll(waiters.data(), waiters.size(), timeoutMs) > 0;
}

bool LineServer::Reply(uint64_t connection, std::string_view line) {
  auto found = connections_.find(connection);
  if (found == connections_.end()) return false;
  std::string bytes(line);
  bytes += '\n';
  if (!WriteAll(found->second.fd, bytes, kReplyTimeoutMs)) {
    Close(connection);
    return false;
  }
  return true;
}

void LineServer::Close(uint64_t id) {
  auto found = connections_.find(id);
  if (found == connections_.end()) return;
  close(found->second.fd);
  connections_.erase(found);
}

bool LineServerListening(const std::filesystem::path& socketPath) {
  int fd = ConnectTo(socketPath);
  if (fd < 0) return false;
  close(fd);
  return true;
}

std::optional<std::string> CallLineServer(const std::filesystem::path& socketPath,
                                          std::string_view line, int timeoutMs,
                                          std::string* error) {
  int fd = ConnectTo(socketPath);
  if (fd < 0) {
    *error = "nothing listens on " + socketPath.string();
    return std::nullopt;
  }
  SetNonBlocking(fd);
  std::string request(line);
  request += '\n';
  int64_t deadline = NowMs() + timeoutMs;
  if (!WriteAll(fd, request, timeoutMs)) {
    close(fd);
    *error = "cannot send the request";
    return std::nullopt;
  }
  std::string answer;
  char buffer[65536];
  for (;;) {
    size_t end = answer.find('\n');
    if (end != std::string::npos) {
      close(fd);
      answer.resize(end);
      return answer;
    }
    int left = static_cast<int>(deadline - NowMs());
    if (left <= 0) break;
    pollfd waiter{fd, POLLIN, 0};
    if (poll(&waiter, 1, left) <= 0) continue;
    ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (got <= 0) {
      close(fd);
      *error = "the connection closed without an answer";
      return std::nullopt;
    }
    answer.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  *error = "no answer within " + std::to_string(timeoutMs) + " ms";
  return std::nullopt;
}

}  // namespace brevalo
