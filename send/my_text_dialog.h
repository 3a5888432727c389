// My Text (dialog 181): the ready-made sentences, to pick one and to add, change and delete
// them. The compose window and the filter editor open it.
#pragma once

#include <string>

#include "send/sentence_list.h"

namespace brevalo {

class PhoneScreen;

enum MyTextCommand {
  ID_MYTEXT_OK = 40182,
  ID_MYTEXT_ADD = 40085,
  ID_MYTEXT_MODIFY = 40394,
  ID_MYTEXT_DELETE = 40072,
  ID_MYTEXT_CANCEL = 40016,
};

// Modal. 1 with `chosen` holding the sentence (at most 259 characters), ID_MYTEXT_CANCEL
// (40016) after Cancel. The list is read from its file the first time; the file is written
// only when the list was changed while the dialog was open.
int RunMyText(PhoneScreen& screen, SentenceList& sentences, std::u16string& chosen);

}  // namespace brevalo
