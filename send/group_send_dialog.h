// Group sending with progress (dialog 182, "群发"): the recipients listed with "Send To" and
// "Status"; OK starts a thread that sends the text to each of them in turn and shows how each
// went, and OK again leaves once it is done. It cannot be left while it sends.
#pragma once

#include <string>

#include "send/sms_transport.h"

namespace brevalo {

class PhoneScreen;

enum GroupSendControl : int { IDC_GROUP_NOTICE = 1125, IDC_GROUP_LIST = 1001 };
enum GroupSendCommandId : int { ID_GROUP_OK = 40015, ID_GROUP_CANCEL = 40016 };

// Modal. 1 once the sending finished and OK was chosen; ID_GROUP_CANCEL (40016) when it was
// cancelled before it started, or when the SMS library could not be opened and so nothing was
// sent (the notice says so, and OK leaves).
int RunGroupSend(PhoneScreen& screen, const SmsEntryPoints& sms, const std::u16string& recipients,
                 const std::u16string& text, bool flash);

}  // namespace brevalo
