// The screen's remote control: serves DIR/run/screen.sock for phonesim and the end-to-end
// tests, and the window directory sockets of named windows. Requests are handled in order;
// each is answered once the screen has handled it: keys delivered and every message they
// queued handled, also when a key opened a modal window, whose nested loop keeps serving.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>
#include <string>

#include "device/screen_remote_protocol.h"
#include "device/screen_remote_server.h"
#include "device/window_directory.h"

namespace brevalo {

class PhoneScreen;
class PhoneWindow;

class ScreenRemote : public QObject {
  Q_OBJECT

 public:
  explicit ScreenRemote(PhoneScreen& screen);
  ~ScreenRemote() override;

  // Starts listening on the device's screen socket; false (with *error) when it cannot.
  bool Listen(std::string* error);

  // Lists `window` in the device's window directory under its class and title, so that
  // another process finds it with FindWindow and posts to it. Kept until the window goes.
  bool Publish(PhoneWindow* window, const std::u16string& className, std::string* error);

  // Handles one request line as if it had come from the socket; `answer` gets the answer line.
  // Used by tests that do not need a socket.
  void Submit(std::string line, std::function<void(std::string)> answer);

 private:
  struct Job {
    std::function<void(std::string)> answer;
    std::optional<ScreenRequest> request;
    std::string error;
    size_t nextKey = 0;
    int waits = 0;
  };
  struct Published {
    QPointer<PhoneWindow> window;
    std::unique_ptr<WindowDirectoryEntry> entry;
  };
  void Poll();
  void ScheduleAdvance();
  void Advance();
  std::string Answer(const Job& job);

  PhoneScreen& screen_;
  std::unique_ptr<LineServer> server_;
  std::vector<Published> published_;
  QTimer poll_;
  std::deque<Job> jobs_;
  bool advanceScheduled_ = false;
};

}  // namespace brevalo
