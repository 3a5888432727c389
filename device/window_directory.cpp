#include "device/window_directory.h"

#include <cstdio>

#include "device/code_page.h"

namespace brevalo {
namespace {

constexpr int kPostTimeoutMs = 3000;
constexpr size_t kMaxPostBytes = 4096;

uint64_t Fnv1a(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (char c : bytes) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

}  // namespace

std::filesystem::path WindowSocketPath(const Device& device, std::u16string_view className,
                                       std::u16string_view title) {
  // The unit separator cannot occur in either name, so ("ab","c") and ("a","bc") differ.
  std::string key = ToUtf8(className) + '\x1f' + ToUtf8(title);
  char name[40];
  std::snprintf(name, sizeof name, "window-%016llx.sock",
                static_cast<unsigned long long>(Fnv1a(key)));
  return device.RunDir() / name;
}

std::optional<WindowAddress> FindWindow(const Device& device, std::u16string_view className,
                                        std::u16string_view title) {
  std::filesystem::path socket = WindowSocketPath(device, className, title);
  if (!LineServerListening(socket)) return std::nullopt;
  return WindowAddress{socket};
}

bool PostMessage(const WindowAddress& window, uint32_t message, uint32_t wParam, int32_t lParam) {
  std::string error;
  std::optional<std::string> answer =
      CallLineServer(window.socket, FormatWindowPost({message, wParam, lParam}), kPostTimeoutMs, &error);
  if (!answer) return false;
  std::optional<nlohmann::json> parsed = ParseJsonObjectLine(*answer, &error);
  if (!parsed) return false;
  auto ok = parsed->find("ok");
  return ok != parsed->end() && ok->is_boolean() && ok->get<bool>();
}

std::unique_ptr<WindowDirectoryEntry> WindowDirectoryEntry::Register(const Device& device,
                                                                     std::u16string_view className,
                                                                     std::u16string_view title,
                                                                     std::string* error) {
  std::unique_ptr<LineServer> server =
      LineServer::Listen(WindowSocketPath(device, className, title), error);
  if (!server) return nullptr;
  return std::unique_ptr<WindowDirectoryEntry>(new WindowDirectoryEntry(std::move(server)));
}

void WindowDirectoryEntry::Pump(const std::function<void(const WindowPost&)>& onPost) {
  server_->Pump(
      [&](uint64_t connection, std::string line) {
        std::string error;
        std::optional<WindowPost> post = ParseWindowPost(line, &error);
        if (!post) {
          server_->Reply(connection, ScreenAnswerError(error));
          return;
        }
        server_->Reply(connection, ScreenAnswerOk());
        onPost(*post);
      },
      kMaxPostBytes, ScreenAnswerError("request too long"));
}

}  // namespace brevalo
