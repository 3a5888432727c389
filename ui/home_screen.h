// The phone's home screen, shown while no program window is: the clock and date, the line of
// the home-screen plug-in while it is set up (its description and its class) (Up/Down pick it, Action hands it the
// key), and the tray icons (Left/Right pick one, Action taps it).
#pragma once

#include <QTimer>
#include <QWidget>

#include "device/home_plugin_host.h"

namespace brevalo {

class PhoneScreen;

class HomeScreen : public QWidget {
  Q_OBJECT

 public:
  explicit HomeScreen(PhoneScreen& screen, QWidget* parent);
  QString ClockText() const;
  // The plug-in's line: empty while its class is not registered or it has nothing to show
  // (no program publishes an unread count, or nothing is unread).
  QString UnreadText() const;
  // Action on the plug-in's line; false when no line shows.
  bool PluginAction();
  bool PluginSelected() const { return pluginSelected_; }
  // Up or Down picks the line (when one shows); Left or Right leave it for the tray icons.
  void SelectPlugin(bool selected) { pluginSelected_ = selected; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PhoneScreen& screen_;
  QTimer tick_;
  mutable HomePluginHost plugin_;
  bool pluginSelected_ = false;
};

}  // namespace brevalo
