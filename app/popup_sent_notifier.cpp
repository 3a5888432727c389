#include "app/popup_sent_notifier.h"

namespace brevalo {

void PopupSentNotifier::ShowSentPopup(std::u16string_view skin, std::u16string_view text,
                                      int32_t durationMs) {
  log_.ShowSentPopup(skin, text, durationMs);
  // The result names no sender line and no photo: the text says it all.
  popup_.LoadSkin(skin);
  popup_.ShowAlert(text, u"", durationMs, u"", 0);
}

}  // namespace brevalo
