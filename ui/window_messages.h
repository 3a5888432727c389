// Window messages, command results and flags keep the numbers the phone gives them, so that a
// window's procedure reads the same as on the phone and numbers that cross processes (the
// window directory) mean the same on both sides.
#pragma once

#include <cstdint>

namespace brevalo {

inline constexpr uint32_t WM_ACTIVATE = 0x0006;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_DRAWITEM = 0x002B;
inline constexpr uint32_t WM_NOTIFY = 0x004E;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_INITDIALOG = 0x0110;
inline constexpr uint32_t WM_COMMAND = 0x0111;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_INITMENUPOPUP = 0x0117;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;    // 513
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;  // 515
inline constexpr uint32_t WM_HOTKEY = 0x0312;
inline constexpr uint32_t WM_USER = 0x0400;

inline constexpr uint32_t WM_SMS_ARRIVED = WM_USER + 100;   // 1124
inline constexpr uint32_t WM_SMS_RESULT = WM_USER + 102;    // 1126
inline constexpr uint32_t WM_SMS_REFRESH = WM_USER + 103;   // 1127
inline constexpr uint32_t WM_TRAY_NOTIFY = WM_USER + 250;   // 1274

// WM_ACTIVATE's wParam.
inline constexpr uintptr_t WA_INACTIVE = 0;
inline constexpr uintptr_t WA_ACTIVE = 1;

// Results of modal windows and the commands of the OK and Cancel keys.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Notification codes carried by WM_COMMAND's high word.
inline constexpr uint16_t BN_CLICKED = 0;
inline constexpr uint16_t EN_CHANGE = 0x0300;
inline constexpr uint16_t CBN_SELCHANGE = 1;

// Notification codes carried by WM_NOTIFY.
inline constexpr int NM_RETURN = -4;           // Action on a list or tree row
inline constexpr int LVN_ITEMCHANGED = -101;   // the selected row of a list changed
inline constexpr int TVN_SELCHANGED = -402;    // the selected item of a tree changed
// The selected item of a tree is about to expand; a window that answers non-zero stops it.
inline constexpr int TVN_ITEMEXPANDING = -405;
inline constexpr int NM_KEYDOWN_ROW = -15;     // a key pressed in a list or tree; key in Notification::key

// Hot-key modifiers; MOD_KEYUP asks for a second WM_HOTKEY when the key is released and marks
// that message.
inline constexpr uint32_t MOD_ALT = 0x0001;
inline constexpr uint32_t MOD_CONTROL = 0x0002;
inline constexpr uint32_t MOD_SHIFT = 0x0004;
inline constexpr uint32_t MOD_KEYUP = 0x1000;

// Message box styles and answers.
inline constexpr uint32_t MB_OK = 0x0000;
inline constexpr uint32_t MB_OKCANCEL = 0x0001;
inline constexpr uint32_t MB_ICONERROR = 0x0010;
inline constexpr uint32_t MB_ICONQUESTION = 0x0020;
inline constexpr uint32_t MB_ICONWARNING = 0x0030;
inline constexpr uint32_t MB_ICONINFORMATION = 0x0040;

inline constexpr uint16_t LowWord(uintptr_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
inline constexpr uint16_t HighWord(uintptr_t value) {
  return static_cast<uint16_t>((value >> 16) & 0xFFFF);
}
inline constexpr uint32_t MakeLong(uint16_t low, uint16_t high) {
  return static_cast<uint32_t>(low) | (static_cast<uint32_t>(high) << 16);
}

// What WM_NOTIFY's lParam points to.
struct Notification {
  int controlId = 0;
  int code = 0;
  int row = -1;      // the row concerned, when there is one
  uint16_t key = 0;  // NM_KEYDOWN_ROW: the virtual key
};

// Something that takes window messages: the windows of the screen, and in tests fakes.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  // Queues the message for the target's thread; false when it cannot be queued.
  virtual bool PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
  // A disabled window (the owner of an open modal window) takes no input: no keys, no taps on
  // its tray icons.
  virtual bool IsWindowEnabled() const { return true; }
};

}  // namespace brevalo
