// The main window's Import SMS... command: the import dialog into the selected folder, and what
// the user is told when a message could not be copied or stays on the phone.
#include "app/import_dialog.h"
#include "app/main_commands.h"
#include "app/main_window.h"
#include "device/device_properties.h"
#include "ui/message_box.h"

namespace brevalo {
namespace {

// Empty when everything ticked was copied and, when asked, left the phone.
QString ImportProblemText(const PhoneImportReport& report) {
  QStringList parts;
  if (report.notWritten > 0) {
    parts << QString("%1 message(s) could not be written to the document; the phone keeps them.")
                 .arg(report.notWritten);
  }
  if (report.copied > 0 && !report.saved && report.keptOnPhone > 0) {
    parts << QString("The document could not be saved, so no message was deleted from the phone. %1")
                 .arg(kSaveAdvice);
  } else if (report.keptOnPhone > 0) {
    parts << QString("%1 message(s) have a sender or characters the document cannot hold exactly; "
                     "the phone keeps them.")
                 .arg(report.keptOnPhone);
  }
  return parts.join("\n");
}

}  // namespace

void MainWindow::ImportSms() {
  // The dialog keeps the target item; nothing may take it out of the tree meanwhile.
  ApplicationLockHold hold(document_.Lock());
  TreeNode* target = Selection();
  if (!document_.IsOpen() || !target || IsMessageImage(target->Image())) return;
  ImportDialog dialog(Screen(), document_, *target, *settings_,
                      ImportClock{GetLocalTime(), UserDatePictures(registry_)});
  if (dialog.DoModal() != kImportDone) return;
  document_.UpdateRecycleBinPicture();
  QString problems = ImportProblemText(dialog.Report());
  if (!problems.isEmpty()) ErrorBox(*this, problems);
}

}  // namespace brevalo
