// The pop-up of a received or sent message: one window made hidden at start-up and shown again
// for each message, with the sender's photo looked up on a thread of its own and a text that
// scrolls when it is taller than its rectangle. Closed by its time, a key or a tap, it stays
// for the next message.
#pragma once

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "alert/alert_window.h"
#include "alert/text_scroll.h"
#include "settings/settings.h"

namespace brevalo {

class AlertPopup : public AlertWindow {
  Q_OBJECT

 public:
  // `settings` (PhotoFolder, defaultPhoto) and everything of AlertWindow must outlive the
  // pop-up. Made hidden.
  AlertPopup(PhoneScreen& screen, FileSource& files, const SettingValues& settings,
             std::unique_ptr<AlertTimers> timers = nullptr);
  // Waits for the photo look-ups still running.
  ~AlertPopup() override;

  // Shows `text` from `sender` for `displayMs` milliseconds (0 keeps it up until a key or a
  // tap), with the photo of the sender when `contact` is 1, else `picture`, else defaultPhoto.
  // A new call while a message shows replaces it and restarts both timers.
  void ShowAlert(std::u16string_view text, std::u16string_view sender, int displayMs, std::u16string_view picture,
                 int contact);

  void Close() override;
  void OnInitDialog() override;
  void DrawText(QPainter& painter) override;

  bool Shown() const { return shown_; }
  int Contact() const { return contact_; }
  const TextScroll& Scroll() const { return scroll_; }
  // Waits until no photo look-up runs (tests, and the destructor).
  void WaitForPhotoLookups();

 protected:
  void OnTimer(int id) override;

 private:
  struct Lookup {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  void StartPhotoLookup();
  void ReapLookups(bool all);

  const SettingValues& settings_;
  std::u16string picture_;
  int contact_ = 0;
  bool shown_ = false;
  TextScroll scroll_;
  // Each ShowAlert starts a new generation; a look-up's photo is taken only while its own
  // generation is the current one, so a late result never replaces a newer message's photo.
  uint64_t photoGeneration_ = 0;
  std::vector<Lookup> lookups_;
};

}  // namespace brevalo
