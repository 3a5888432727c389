// The About box: the product's name and version, closed with OK.
#pragma once

#include "ui/dialog_base.h"

namespace brevalo {

inline constexpr char kProductVersion[] = "0.1";

class AboutDialog : public DialogBase {
  Q_OBJECT

 public:
  explicit AboutDialog(PhoneScreen& screen);

 protected:
  bool OnInitDialog() override;
};

}  // namespace brevalo
