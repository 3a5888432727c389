#include "alert/alert_timers.h"

namespace brevalo {

void QtAlertTimers::Start(int id, int periodMs) {
  std::unique_ptr<QTimer>& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [this, id] {
      if (handler_) handler_(id);
    });
  }
  timer->start(periodMs);
}

void QtAlertTimers::Stop(int id) {
  auto found = timers_.find(id);
  if (found != timers_.end()) found->second->stop();
}

bool QtAlertTimers::Running(int id) const {
  auto found = timers_.find(id);
  return found != timers_.end() && found->second->isActive();
}

}  // namespace brevalo
