// The compose window ("Send SMS", dialog 114): recipients beside "To:", the body, Flash,
// Progress and the character counter, with Send on the left key and the menu of Save, Timer...,
// Status Report, the Insert commands and Cancel on the right. Send queues the message (or runs
// group sending with Progress), Save records it as one draft that later Saves update and a
// later Send moves.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "send/compose_text.h"
#include "send/contact_directory.h"
#include "send/sentence_list.h"
#include "send/sms_transport.h"

namespace brevalo {

class PhoneScreen;
class PhoneWindow;

enum ComposeCommand : int {
  ID_COMPOSE_SEND = 40018,
  ID_COMPOSE_SAVE = 40069,
  ID_COMPOSE_TIMER = 1113,
  ID_COMPOSE_STATUS_REPORT = 1032,
  ID_COMPOSE_INSERT_MY_TEXT = 40395,
  ID_COMPOSE_INSERT_CONTACT = 40384,
  ID_COMPOSE_INSERT_TIME = 40382,
  ID_COMPOSE_INSERT_DATE = 40383,
  ID_COMPOSE_CANCEL = 40016,
};

enum ComposeControl : int {
  IDC_COMPOSE_TO = 1116,
  IDC_COMPOSE_RECIPIENTS = 1004,
  IDC_COMPOSE_BODY = 1003,
  IDC_COMPOSE_FLASH = 1031,
  IDC_COMPOSE_COUNTER = 1101,
  IDC_COMPOSE_PROGRESS = 40424,
};

// What the window works with; everything must outlive it.
struct ComposeServices {
  ContactDirectory* contacts = nullptr;
  SentenceList* sentences = nullptr;
  std::u16string sign;            // the Sign setting
  int32_t* statusReport = nullptr;  // the StatusReport setting in memory; Status Report toggles it
  // The queue; null means there is none, and Send closes without sending.
  SmsTransport* transport = nullptr;
  // Gets WM_SMS_RESULT (Save, group sending) and WM_SMS_REFRESH; may be null.
  PhoneWindow* notify = nullptr;
  // Now as the user reads it: the date (true) or the time (false), in the user's formats.
  std::function<std::u16string(bool date)> nowText;
};

// Modal. ID_COMPOSE_SEND's result 1 after a Send, ID_COMPOSE_CANCEL (40016) after Cancel.
int RunComposeWindow(PhoneScreen& screen, const ComposeServices& services, ComposeMode mode,
                     const ComposeFields& fields);

}  // namespace brevalo
