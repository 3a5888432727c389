// Adding a control to a filter dialog so that a tap on a button or a check box acts as Action
// does on the focused one: the window gets BN_CLICKED.
#pragma once

#include <QAbstractButton>

#include "ui/phone_window.h"

namespace brevalo {

template <typename Widget>
Widget* AddTappable(PhoneWindow& window, int id, ControlKind kind, Widget* widget) {
  window.AddControl(id, kind, widget);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    QObject::connect(button, &QAbstractButton::clicked, &window, [&window, id] { window.Command(id, BN_CLICKED); });
  }
  return widget;
}

}  // namespace brevalo
