#include "ui/message_box.h"

#include "ui/phone_screen.h"
#include "ui/phone_window.h"
#include "ui/string_table.h"

namespace brevalo {
namespace {

QString Caption(int id) { return QString::fromStdU16String(StringTable::Program().Text(id)); }

}  // namespace

int ErrorBox(PhoneWindow& owner, const QString& text, uint32_t icon) {
  return owner.Screen().MessageBox(&owner, text, Caption(IDS_CAPTION_ERROR), MB_OK | (icon & 0xF0));
}

int AlertBox(PhoneWindow& owner, const QString& text, uint32_t flags) {
  return owner.Screen().MessageBox(&owner, text, Caption(IDS_CAPTION_ALERT), flags);
}

}  // namespace brevalo
