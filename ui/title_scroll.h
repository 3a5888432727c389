// How far the selected row's text has moved sideways, so that a title wider than its row can be
// read whole on a narrow screen, as phones do: it waits at its start, glides to its end, waits
// there and starts over. Plain arithmetic over the time since the row was selected.
#pragma once

namespace brevalo {

class TitleScroll {
 public:
  static constexpr int kHoldMs = 1200;      // at the start and at the end
  static constexpr int kPixelsPerSecond = 40;
  static constexpr int kTickMs = 80;        // how often the owner advances it and repaints

  // A new row is selected: back to its start.
  void Restart() { elapsedMs_ = 0; }
  void Advance(int ms) { elapsedMs_ += ms; }
  // The offset, 0 to `overflow`, for a text `overflow` pixels wider than its place; 0 for a
  // text that fits.
  int Offset(int overflow) const;

 private:
  long elapsedMs_ = 0;
};

}  // namespace brevalo
