#include "app/about_dialog.h"

#include <QLabel>

namespace brevalo {
namespace {

enum AboutControl { IDC_ABOUT_NAME = 1001, IDC_ABOUT_VERSION = 1002, IDC_ABOUT_TEXT = 1003 };

QLabel* CentredLabel(const QString& text, int pixelSize, bool bold) {
  auto* label = new QLabel(text);
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  QFont font = label->font();
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  label->setFont(font);
  return label;
}

}  // namespace

AboutDialog::AboutDialog(PhoneScreen& screen) : DialogBase(screen, "About") {
  MenuBar().right = {};
}

bool AboutDialog::OnInitDialog() {
  AddControl(IDC_ABOUT_NAME, ControlKind::Static, CentredLabel("Brevalo", 22, true));
  AddControl(IDC_ABOUT_VERSION, ControlKind::Static,
             CentredLabel(QString("Version %1").arg(kProductVersion), 13, false));
  AddControl(IDC_ABOUT_TEXT, ControlKind::Static,
             CentredLabel("Your text messages, filed, filtered and kept.", 12, false));
  return true;
}

}  // namespace brevalo
