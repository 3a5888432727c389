// The main window's command identifiers (those of menus 101 and 145) and the other numbers of
// its template, as the phone's resources give them.
#pragma once

#include <cstdint>

namespace brevalo {

enum MainCommand : int {
  ID_OK = 1,
  ID_VIEW = 40001,
  ID_EXIT = 40007,
  ID_ABOUT = 40013,
  ID_IMPORT_SMS = 40020,
  ID_COPY = 40041,
  ID_CUT = 40042,
  ID_PASTE = 40058,
  ID_NEW_FOLDER = 40063,
  ID_NEW_DRAFT = 40065,
  ID_PROPERTY = 40067,
  ID_PASSWORD = 40068,
  ID_SAVE = 40069,
  ID_FILE_PROPERTY = 40070,
  ID_DELETE = 40072,
  ID_OPEN = 40074,
  ID_CLOSE = 40076,
  ID_REPLY = 40080,
  ID_NEW_SMS = 40083,
  ID_NEW_FILE = 40084,
  ID_PREFERENCE = 40257,
  ID_FORWARD = 40282,
  ID_EMPTY_RECYCLE_BIN = 40284,
  ID_ROOT_FOLDER = 40296,
  ID_FILTER = 40297,
  ID_FILE_PASSWORD = 40324,
  ID_BLACK_LIST = 40325,
  ID_HOTKEY = 40327,
  ID_CONTACT_DEFAULT = 40330,
  ID_STRANGER_DEFAULT = 40332,
  ID_EXPORT_TXT = 40341,
  ID_MINIMIZE = 40342,
  ID_SECURITY = 40343,
  ID_SMS_OPTIONS = 40345,
  ID_RESEND = 40368,
  ID_EMPTY_FOLDER = 40369,
  ID_RECYCLE_BIN = 40370,  // "Add Recycle Bin" or "Delete Recycle Bin"
  ID_PREVIEW = 40374,
  ID_COMPRESS = 40385,
  ID_ALERT = 40399,
};

// Strings of the recycle-bin item.
inline constexpr int IDS_ADD_RECYCLE_BIN = 40370;
inline constexpr int IDS_DELETE_RECYCLE_BIN = 40371;

// Controls of the main window.
inline constexpr int IDC_TREE = 1000;
inline constexpr int IDC_STATUS = 1024;
// Ours: the line that tells how to go on while no document is open.
inline constexpr int IDC_NO_DOCUMENT = 1026;

// Window timers.
inline constexpr int kAutoSaveTimer = 1;
inline constexpr int kSendQueueTimer = 2;
inline constexpr int kUnreadReminderTimer = 3;
inline constexpr int kSaveFailureNoticeTimer = 4;
inline constexpr int kHeldWorkTimer = 5;
inline constexpr int kStartupNoticeTimer = 6;
// A message or a send result that came while a document command waited for the user is taken
// again after this long.
inline constexpr int kHeldWorkRetryMs = 250;

// WM_CLOSE's wParam when the system ends the program rather than the user's Exit.
inline constexpr uintptr_t kCloseFromSystem = 1;

// What to do when the document cannot be written, said with every such failure.
inline constexpr char kSaveAdvice[] =
    "Check that the document file still exists and that there is free space.";
inline constexpr int kSendQueuePeriodMs = 1500;

// Tray icons: resource and identifier.
inline constexpr int kMainTrayIcon = 129;
inline constexpr int kMainTrayId = 100;
inline constexpr int kUnreadTrayIcon = 158;
inline constexpr int kUnreadTrayId = 1;

}  // namespace brevalo
