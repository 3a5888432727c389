#include "send/sent_notifier.h"

#include "send/recipients.h"

namespace brevalo {

std::u16string SentPopupText(std::u16string_view recipients, bool sent) {
  std::u16string text = u"Send to ";
  text += RecipientDisplayName(recipients).name;
  text += sent ? u" Successfully!" : u" Fail!";
  return text;
}

}  // namespace brevalo
