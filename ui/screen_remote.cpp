#include "ui/screen_remote.h"

#include <QBuffer>
#include <QImage>

#include "device/screen_remote_client.h"
#include "ui/phone_screen.h"
#include "ui/phone_window.h"
#include "ui/screen_dump.h"

namespace brevalo {
namespace {

// The socket is polled: a timer keeps firing inside nested event loops as well, so modal
// windows and message boxes never stop the remote control.
constexpr int kPollMs = 10;
// How long a request waits for queued window messages to drain before it is answered anyway
// (a window that keeps posting to itself must not hang the remote control).
constexpr int kMaxDrainWaits = 500;
constexpr int kHoldRepeats = 3;

}  // namespace

ScreenRemote::ScreenRemote(PhoneScreen& screen) : QObject(&screen), screen_(screen) {
  connect(&poll_, &QTimer::timeout, this, &ScreenRemote::Poll);
  poll_.start(kPollMs);
}

ScreenRemote::~ScreenRemote() {
  // Input that ended the program (an Exit command) was handled: its caller hears so rather
  // than a connection that closed without an answer. Requests that never ran are refused.
  while (!jobs_.empty()) {
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    bool handled = job.request && job.request->op != ScreenOp::Screenshot &&
                   job.request->op != ScreenOp::Ui && job.nextKey > 0;
    job.answer(handled ? ScreenAnswerOk({{"screen", {{"closed", true}}}})
                       : ScreenAnswerError("the screen closed"));
  }
}

bool ScreenRemote::Listen(std::string* error) {
  server_ = LineServer::Listen(ScreenSocketPath(screen_.DeviceFolder()), error);
  return server_ != nullptr;
}

bool ScreenRemote::Publish(PhoneWindow* window, const std::u16string& className, std::string* error) {
  auto entry = WindowDirectoryEntry::Register(screen_.DeviceFolder(), className,
                                              window->Title().toStdU16String(), error);
  if (!entry) return false;
  published_.push_back({window, std::move(entry)});
  return true;
}

void ScreenRemote::Poll() {
  std::erase_if(published_, [](const Published& p) { return !p.window; });
  for (size_t i = 0; i < published_.size(); ++i) {
    QPointer<PhoneWindow> window = published_[i].window;
    published_[i].entry->Pump([&](const WindowPost& post) {
      if (window) window->PostMessage(post.message, post.wParam, post.lParam);
    });
  }
  if (!server_) return;
  server_->Pump(
      [this](uint64_t connection, std::string line) {
        Submit(std::move(line), [this, connection](std::string answer) {
          if (server_) server_->Reply(connection, answer);
        });
      },
      kMaxScreenRequestBytes, ScreenAnswerError("request too long"));
}

void ScreenRemote::Submit(std::string line, std::function<void(std::string)> answer) {
  Job job;
  job.answer = std::move(answer);
  job.request = ParseScreenRequest(line, &job.error);
  jobs_.push_back(std::move(job));
  ScheduleAdvance();
}

void ScreenRemote::ScheduleAdvance() {
  if (advanceScheduled_) return;
  advanceScheduled_ = true;
  // Queued behind every event already posted, window messages included.
  QMetaObject::invokeMethod(this, &ScreenRemote::Advance, Qt::QueuedConnection);
}

void ScreenRemote::Advance() {
  advanceScheduled_ = false;
  if (jobs_.empty()) return;
  Job& job = jobs_.front();
  // What earlier input queued is handled before the next key or the answer.
  if (screen_.PendingMessages() > 0 && job.waits++ < kMaxDrainWaits) {
    ScheduleAdvance();
    return;
  }
  if (job.request && job.request->op == ScreenOp::Key && job.nextKey < job.request->keys.size()) {
    PhoneKey key = job.request->keys[job.nextKey++];
    bool hold = job.request->hold;
    job.waits = 0;
    // Scheduled before the key goes in: if the key opens a modal window, its nested loop
    // runs the next step, so the remaining keys reach that window and the answer goes out.
    ScheduleAdvance();
    if (hold) screen_.HoldKey(key, kHoldRepeats);
    else {
      screen_.PressKey(key);
      screen_.ReleaseKey(key);
    }
    return;
  }
  if (job.request && job.request->op == ScreenOp::Type && job.nextKey == 0) {
    job.nextKey = 1;
    job.waits = 0;
    bool typed = screen_.TypeText(QString::fromStdU16String(job.request->text));
    if (!typed) job.error = "no edit has the focus";
    ScheduleAdvance();
    return;
  }
  Job done = std::move(jobs_.front());
  jobs_.pop_front();
  done.answer(Answer(done));
  if (!jobs_.empty()) ScheduleAdvance();
}

std::string ScreenRemote::Answer(const Job& job) {
  if (!job.request) return ScreenAnswerError(job.error);
  switch (job.request->op) {
    case ScreenOp::Key:
      return ScreenAnswerOk({{"screen", DumpScreen(screen_)}});
    case ScreenOp::Type:
      if (!job.error.empty()) return ScreenAnswerError(job.error);
      return ScreenAnswerOk({{"screen", DumpScreen(screen_)}});
    case ScreenOp::Screenshot: {
      QByteArray png;
      QBuffer buffer(&png);
      buffer.open(QIODevice::WriteOnly);
      if (!screen_.Screenshot().save(&buffer, "PNG")) return ScreenAnswerError("cannot encode the screenshot");
      return ScreenAnswerOk({{"png", Base64Encode(std::string_view(png.constData(), static_cast<size_t>(png.size())))}});
    }
    case ScreenOp::Ui:
      return ScreenAnswerOk({{"screen", DumpScreen(screen_)}});
  }
  return ScreenAnswerError("unknown request");
}

}  // namespace brevalo
