// The kvt commands. Each returns the process exit code: 0 done, 1 an unreadable or damaged file
// (with the reason on stderr), 2 a usage error.
#pragma once

#include <optional>
#include <string>

#include "tools/kvt/kvt_session.h"

namespace brevalo {

struct NewArgs {
  std::string author;
  bool recycleBin = false;
  bool standardFolders = false;
  bool force = false;
};

struct AddArgs {
  std::string folder;
  std::string from;
  std::string text;
  std::optional<std::string> date;
  bool read = false;
};

struct ExportArgs {
  std::optional<long> node;
  std::optional<std::string> out;
  std::string format = "text";  // text, xml or json
};

struct ImportArgs {
  std::string backup;
  std::string folder;  // the folder the whole backup goes below; empty: the top level
};

struct SearchArgs {
  std::string query;
  std::string folder;
  std::string from;
  std::optional<std::string> since;
};

struct RecoverArgs {
  std::optional<std::string> into;
  std::string folder = "\\Recovered";
};

// TEXT to the standard output, or to the file `target` names (a device path when it starts with
// "\", else a host path), written whole and synced or not at all.
int WriteOutput(KvtSession& session, const std::optional<std::string>& target,
                const std::string& text);

int RunNew(KvtSession& session, const std::string& file, const NewArgs& args);
int RunInfo(KvtSession& session, const std::string& file);
int RunTree(KvtSession& session, const std::string& file);
int RunShow(KvtSession& session, const std::string& file, long node);
int RunExport(KvtSession& session, const std::string& file, const ExportArgs& args);
int RunBackupExport(KvtSession& session, const std::string& file, const ExportArgs& args);
int RunImport(KvtSession& session, const std::string& file, const ImportArgs& args);
int RunSearch(KvtSession& session, const std::string& file, const SearchArgs& args);
int RunAdd(KvtSession& session, const std::string& file, const AddArgs& args);
int RunCompact(KvtSession& session, const std::string& file, bool continueWithoutBackup);
int RunCheck(KvtSession& session, const std::string& file);
int RunRecover(KvtSession& session, const std::string& file, const RecoverArgs& args);

}  // namespace brevalo
