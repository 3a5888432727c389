// The timers of the pop-up windows, by identifier (1 closes, 10 scrolls). The program's run on
// Qt's clock; tests drive a fake one, so that scrolling and closing can be checked tick by tick.
#pragma once

#include <QTimer>

#include <functional>
#include <map>
#include <memory>

namespace brevalo {

class AlertTimers {
 public:
  using Handler = std::function<void(int id)>;
  virtual ~AlertTimers() = default;
  // Called on the window's thread each time a running timer's period has passed.
  virtual void SetHandler(Handler handler) = 0;
  // Starts timer `id`, or restarts it from now with the new period.
  virtual void Start(int id, int periodMs) = 0;
  virtual void Stop(int id) = 0;
  virtual bool Running(int id) const = 0;
};

class QtAlertTimers : public AlertTimers {
 public:
  void SetHandler(Handler handler) override { handler_ = std::move(handler); }
  void Start(int id, int periodMs) override;
  void Stop(int id) override;
  bool Running(int id) const override;

 private:
  Handler handler_;
  std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace brevalo
