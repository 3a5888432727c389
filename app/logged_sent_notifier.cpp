#include "app/logged_sent_notifier.h"

#include "device/utf8_codec.h"

namespace brevalo {

void LoggedSentNotifier::ShowSentPopup(std::u16string_view skin, std::u16string_view text,
                                       int32_t durationMs) {
  log_.Append("sent-popup", {{"text", Utf16ToUtf8(text, U'\uFFFD')},
                             {"skin", Utf16ToUtf8(skin, U'\uFFFD')},
                             {"duration", durationMs}});
}

}  // namespace brevalo
