// The two kinds of message box the program shows, with their captions from the string table:
// "Error" for input that was refused, "Alert" for questions and notices. Both wait in a nested
// event loop above `owner` (disabled meanwhile) and answer IDOK or IDCANCEL.
#pragma once

#include <QString>

#include <cstdint>

#include "ui/window_messages.h"

namespace brevalo {

class PhoneWindow;

// OK only; `icon` is one of the MB_ICON* styles, or 0 for none.
int ErrorBox(PhoneWindow& owner, const QString& text, uint32_t icon = MB_ICONERROR);
// MB_OK or MB_OKCANCEL, with an MB_ICON* style.
int AlertBox(PhoneWindow& owner, const QString& text, uint32_t flags = MB_OK | MB_ICONINFORMATION);

}  // namespace brevalo
