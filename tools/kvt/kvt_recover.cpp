// recover: after a document fell back to an older index, the messages filed after that index
// are still in the file; this files them into a folder, of the same document or of another one,
// and saves that document.
#include "device/device_properties.h"
#include "store/lost_messages.h"
#include "store/message_recovery.h"
#include "tools/kvt/kvt_commands.h"
#include "tools/kvt/kvt_output.h"

namespace brevalo {
namespace {

std::string Summary(const RecoveryResult& result, const std::string& folder,
                    const std::string& target) {
  std::string line = "Recovered " + Counted(result.copied, "message") + " into " + folder +
                     " of " + target;
  if (result.alreadyThere != 0) {
    line += " (" + std::to_string(result.alreadyThere) + " were there already)";
  }
  return line;
}

}  // namespace

int RunRecover(KvtSession& session, const std::string& file, const RecoverArgs& args) {
  const StoreAccess access = args.into ? StoreAccess::kRead : StoreAccess::kWrite;
  if (!session.OpenDocument(file, true, access)) return Fail(session.Error());
  MessageStore& source = session.Store();
  if (!source.FellBack()) {
    return Fail(file + ": its newest index reads, so its tree misses nothing to recover");
  }
  const LostMessageScan scan = FindLostMessages(source);

  KvtSession other(session.Options());
  KvtSession* target = &session;
  std::string targetFile = file;
  if (args.into) {
    targetFile = *args.into;
    if (!other.Prepare() || !other.OpenDocument(targetFile, true, StoreAccess::kWrite)) {
      return Fail(other.Error());
    }
    target = &other;
  }
  Registry& registry = session.DeviceRegistry();
  auto timeText = [&registry](DATE date) {
    std::tm moment;
    return OleDateToTm(date, &moment) ? LocalDateTimeText(registry, moment) : std::u16string();
  };
  RecoveryResult result = RecoverLostMessages(source, scan, target->Store(), target->Tree(),
                                              FromUtf8(args.folder), session.Page(), timeText);
  // What was copied before a failed write is only in the tree, which is not saved: the target
  // keeps its previous contents and the recovery may simply be run again.
  if (!result.written) return Fail(targetFile + ": cannot write the recovered messages; nothing was saved");
  if (!target->Store().Save(target->Tree())) {
    return Fail(targetFile + ": the document could not be saved; it keeps its previous contents");
  }
  PrintLine(Summary(result, args.folder, targetFile));
  if (result.unreadable != 0) {
    Warn(Counted(result.unreadable, "message") + " found could not be read back");
  }
  if (scan.stoppedAt != 0) {
    Warn(file + ": the search stopped at unreadable bytes at " + std::to_string(scan.stoppedAt) +
         "; messages behind them were not found");
  }
  return kExitOk;
}

}  // namespace brevalo
