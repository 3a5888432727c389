// The device's window directory: a named top-level window of one process can be found and sent
// posted messages by another process of the same device (a second start of the program posts
// to the first). Each named window listens on its own socket under DIR/run/, named after a
// hash of its class and title, so finding a window is one connect and needs no shared table
// that a crashed process could leave wrong.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "device/device_paths.h"
#include "device/screen_remote_protocol.h"
#include "device/screen_remote_server.h"

namespace brevalo {

// DIR/run/window-<16 hex digits>.sock for the class and title.
std::filesystem::path WindowSocketPath(const Device& device, std::u16string_view className,
                                       std::u16string_view title);

// Where a found window listens.
struct WindowAddress {
  std::filesystem::path socket;
};

// The window of that class and title whose process still runs, or nothing.
std::optional<WindowAddress> FindWindow(const Device& device, std::u16string_view className,
                                        std::u16string_view title);

// Queues the message on the window's thread; true once the window's process has taken it
// (not once it has been handled, as posting never waits for that).
bool PostMessage(const WindowAddress& window, uint32_t message, uint32_t wParam, int32_t lParam);

// The listening side, held by the window's process while the window exists.
class WindowDirectoryEntry {
 public:
  // Nothing, with *error set, when the socket cannot be made or a live window of the same
  // class and title already holds it.
  static std::unique_ptr<WindowDirectoryEntry> Register(const Device& device,
                                                        std::u16string_view className,
                                                        std::u16string_view title,
                                                        std::string* error);
  int ListenFd() const { return server_->ListenFd(); }
  // Takes the posts that have arrived, without blocking, and hands each to `onPost`;
  // malformed lines are answered with an error and dropped.
  void Pump(const std::function<void(const WindowPost&)>& onPost);

 private:
  explicit WindowDirectoryEntry(std::unique_ptr<LineServer> server) : server_(std::move(server)) {}
  std::unique_ptr<LineServer> server_;
};

}  // namespace brevalo
