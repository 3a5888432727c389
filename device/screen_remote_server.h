// A Unix-socket server of one line-a-request protocol, driven without blocking from the
// window thread's event loop: Pump() accepts, reads and hands over complete lines; the answer
// to a line may come later through Reply(), after the screen has handled the request.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevalo {

class LineServer {
 public:
  using LineHandler = std::function<void(uint64_t connection, std::string line)>;

  // Listens on `socketPath`. A socket file left by a process that died is replaced; one that
  // a live server still answers on is not (nothing, with *error set).
  static std::unique_ptr<LineServer> Listen(const std::filesystem::path& socketPath,
                                            std::string* error);
  ~LineServer();  // closes every connection and removes the socket file
  LineServer(const LineServer&) = delete;
  LineServer& operator=(const LineServer&) = delete;

  int ListenFd() const { return listenFd_; }
  const std::filesystem::path& Path() const { return path_; }

  // Accepts waiting connections and reads what has arrived, without blocking; passes each
  // complete line (without its line end) to `onLine`. A connection whose unfinished line grows
  // beyond `maxLineBytes` is answered with `tooLongAnswer` and closed. Safe to call again from
  // inside `onLine` (nested event loops do): the inner call does nothing.
  void Pump(const LineHandler& onLine, size_t maxLineBytes, std::string_view tooLongAnswer);

  // Blocks until a connection waits to be accepted or has something to read, at most
  // timeoutMs (-1: no limit); then Pump() has work. False on time-out or when a signal came.
  bool WaitForInput(int timeoutMs) const;

  // Writes `line` and a line end to the connection, waiting at most a few seconds for a slow
  // reader. False when the connection has gone.
  bool Reply(uint64_t connection, std::string_view line);
  bool IsOpen(uint64_t connection) const { return connections_.count(connection) != 0; }

 private:
  struct Connection {
    int fd = -1;
    std::string pending;
  };
  LineServer(int listenFd, std::filesystem::path path) : listenFd_(listenFd), path_(std::move(path)) {}
  void AcceptWaiting();
  // False when the connection has ended and was closed.
  bool ReadAvailable(uint64_t id, Connection& connection, std::vector<std::string>* lines,
                     size_t maxLineBytes, std::string_view tooLongAnswer);
  void Close(uint64_t id);

  int listenFd_;
  std::filesystem::path path_;
  std::map<uint64_t, Connection> connections_;
  uint64_t nextId_ = 1;
  bool pumping_ = false;
};

// The client side: sends one request line, returns the answer line (without its line end);
// nothing, with *error set, when the server cannot be reached or does not answer in time.
std::optional<std::string> CallLineServer(const std::filesystem::path& socketPath,
                                          std::string_view line, int timeoutMs,
                                          std::string* error);

// True when a server answers connections on `socketPath`.
bool LineServerListening(const std::filesystem::path& socketPath);

}  // namespace brevalo
