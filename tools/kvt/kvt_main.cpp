// kvt: reads, checks and edits document files, on the emulated device or on the host.
#include <CLI/CLI.hpp>

#include <iostream>

#include "tools/kvt/kvt_commands.h"
#include "tools/kvt/kvt_output.h"

namespace {

using brevalo::KvtOptions;
using brevalo::KvtSession;

constexpr const char* kFileHelp =
    "the document: a device path when it starts with \\ (\\My Documents\\sms.kvt), else a host path";

struct Commands {
  std::string file;
  long node = 0;
  brevalo::NewArgs newArgs;
  brevalo::AddArgs addArgs;
  brevalo::ExportArgs exportArgs;
  brevalo::RecoverArgs recoverArgs;
  brevalo::ImportArgs importArgs;
  brevalo::SearchArgs searchArgs;
  bool continueWithoutBackup = false;
  std::optional<long> exportNode;
};

void AddCommands(CLI::App& app, Commands& c) {
  CLI::App* create = app.add_subcommand("new", "create a document");
  create->add_option("FILE", c.file, kFileHelp)->required();
  create->add_option("--author", c.newArgs.author, "the author (at most 15 bytes)");
  create->add_flag("--recycle-bin", c.newArgs.recycleBin, "give the document a recycle bin");
  create->add_flag("--standard-folders", c.newArgs.standardFolders,
                   "start with the folders Inbox, Sent Box and Drafts");
  create->add_flag("--force", c.newArgs.force, "replace an existing file");

  for (const char* name : {"info", "tree", "check"}) {
    const char* about = std::string(name) == "info"   ? "show the header and the file's figures"
                        : std::string(name) == "tree" ? "list the nodes in pre-order, from 0"
                                                      : "read every record and text, report damage";
    app.add_subcommand(name, about)->add_option("FILE", c.file, kFileHelp)->required();
  }

  CLI::App* show = app.add_subcommand("show", "show one node's record and text");
  show->add_option("FILE", c.file, kFileHelp)->required();
  show->add_option("N", c.node, "the node's number in kvt tree")->required();

  CLI::App* exportCommand =
      app.add_subcommand("export", "write messages as text, or as an XML or JSON backup");
  exportCommand->add_option("FILE", c.file, kFileHelp)->required();
  exportCommand->add_option("--node", c.exportNode,
                            "only this node: text takes a message or a folder's direct "
                            "messages, xml and json everything below it");
  exportCommand->add_option("--format", c.exportArgs.format, "text (default), xml or json")
      ->check(CLI::IsMember({"text", "xml", "json"}));
  exportCommand->add_option("-o,--output,--out", c.exportArgs.out, "the file (default: stdout)");

  CLI::App* import = app.add_subcommand(
      "import", "file the messages of an XML or JSON backup into the document and save");
  import->add_option("FILE", c.file, kFileHelp)->required();
  import->add_option("BACKUP", c.importArgs.backup,
                     "the backup (.xml or .json; a device path when it starts with \\)")
      ->required();
  import->add_option("--folder", c.importArgs.folder,
                     "put the whole backup below this folder, such as \\Old phone");

  CLI::App* search = app.add_subcommand(
      "search", "list the messages whose text, number or title holds QUERY (any case)");
  search->add_option("FILE", c.file, kFileHelp)->required();
  search->add_option("QUERY", c.searchArgs.query, "the text to find")->required();
  search->add_option("--folder", c.searchArgs.folder, "only below this folder, such as \\Work");
  search->add_option("--from", c.searchArgs.from, "only messages whose number holds this");
  search->add_option("--since", c.searchArgs.since, "only messages of this date or later");

  CLI::App* add = app.add_subcommand("add", "file a message under a folder and save");
  add->add_option("FILE", c.file, kFileHelp)->required();
  add->add_option("--folder", c.addArgs.folder, "folder path such as \\Work\\Boss")->required();
  add->add_option("--from", c.addArgs.from, "the sender's number")->required();
  add->add_option("--text", c.addArgs.text, "the message text")->required();
  add->add_option("--date", c.addArgs.date, "local time, 2026-12-08T09:30:00 (default: now)");
  add->add_flag("--read", c.addArgs.read, "file it as read");

  CLI::App* compact = app.add_subcommand("compact", "compress the document");
  compact->add_option("FILE", c.file, kFileHelp)->required();
  compact->add_flag("--continue-without-backup", c.continueWithoutBackup,
                    "go on when the .bak copy cannot be written");
  CLI::App* recover = app.add_subcommand(
      "recover", "file the messages an older tree no longer shows into a folder and save");
  recover->add_option("FILE", c.file, kFileHelp)->required();
  recover->add_option("--into", c.recoverArgs.into,
                      "file them into this document instead (FILE is then only read)");
  recover->add_option("--folder", c.recoverArgs.folder, "the folder path (default: \\Recovered)");
  app.require_subcommand(1);
}

int Dispatch(CLI::App& app, KvtSession& session, Commands& c) {
  const std::string command = app.get_subcommands().front()->get_name();
  if (command == "new") return brevalo::RunNew(session, c.file, c.newArgs);
  if (command == "info") return brevalo::RunInfo(session, c.file);
  if (command == "tree") return brevalo::RunTree(session, c.file);
  if (command == "show") return brevalo::RunShow(session, c.file, c.node);
  if (command == "add") return brevalo::RunAdd(session, c.file, c.addArgs);
  if (command == "compact") return brevalo::RunCompact(session, c.file, c.continueWithoutBackup);
  if (command == "check") return brevalo::RunCheck(session, c.file);
  if (command == "recover") return brevalo::RunRecover(session, c.file, c.recoverArgs);
  if (command == "import") return brevalo::RunImport(session, c.file, c.importArgs);
  if (command == "search") return brevalo::RunSearch(session, c.file, c.searchArgs);
  c.exportArgs.node = c.exportNode;
  if (c.exportArgs.format != "text") return brevalo::RunBackupExport(session, c.file, c.exportArgs);
  return brevalo::RunExport(session, c.file, c.exportArgs);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"kvt: read, check and edit document files"};
  app.fallthrough();  // the global options may come after the command too
  KvtOptions options;
  std::optional<uint32_t> codePage;
  app.add_option("--device", options.device, "the device folder (default: $VELMORA_DEVICE)");
  app.add_option("--codepage", codePage, "read and write text in this code page");
  app.add_option("--password", options.password, "the document password");
  app.add_option("--node-password", options.nodePassword, "the password of a protected node");
  app.add_flag("--json", options.json, "print JSON (info, tree, show, check, search)");
  Commands commands;
  AddCommands(app, commands);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return brevalo::kExitUsage;
  }
  options.codePage = codePage;
  KvtSession session(options);
  if (!session.Prepare()) {
    brevalo::Fail(session.Error());
    return brevalo::kExitUsage;
  }
  for (const std::string& warning : session.Warnings()) brevalo::Warn(warning);
  const size_t warned = session.Warnings().size();
  int code = Dispatch(app, session, commands);
  // What opening the document found (damage at the end of its journal) comes after the output.
  for (size_t i = warned; i < session.Warnings().size(); ++i) brevalo::Warn(session.Warnings()[i]);
  return code;
}
