// info, tree, show and check: the commands that only read.
#include <set>
#include <unordered_map>

#include "store/body_codec.h"
#include "store/lost_messages.h"
#include "tools/kvt/kvt_commands.h"
#include "tools/kvt/kvt_output.h"

namespace brevalo {
namespace {

using nlohmann::json;

std::string Utf8(std::u16string_view text) { return ToUtf8(text); }

std::string Signature(const StoreHeader& header) {
  std::string signature;
  for (char c : header.signature) {
    signature += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return signature;
}

// Messages still unread in each node's subtree, the node included, by pre-order number. Summed
// from the last node back so that a tree of any depth costs no recursion.
std::vector<int> UnreadCounts(const std::vector<NumberedNode>& nodes) {
  std::unordered_map<const TreeNode*, size_t> numberOf;
  for (size_t i = 0; i < nodes.size(); ++i) numberOf[nodes[i].node] = i;
  std::vector<int> unread(nodes.size(), 0);
  for (size_t i = nodes.size(); i-- > 0;) {
    if (nodes[i].node->Image() == kImageUnread) ++unread[i];
    auto parent = numberOf.find(nodes[i].node->Parent());
    if (parent != numberOf.end()) unread[parent->second] += unread[i];
  }
  return unread;
}

// For each node in pre-order: -1 when it lies inside a protected node whose password was not
// given (it is not shown, as the program never shows it), else how many nodes below it are not
// shown for that reason.
std::vector<int> HiddenBelow(KvtSession& session, const std::vector<NumberedNode>& nodes) {
  std::vector<int> hidden(nodes.size(), 0);
  // The locked node whose subtree is being passed over, by its depth.
  std::optional<size_t> lockedAt;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (lockedAt && nodes[i].depth > nodes[*lockedAt].depth) {
      hidden[i] = -1;
      ++hidden[*lockedAt];
      continue;
    }
    lockedAt.reset();
    if (nodes[i].node->ChildCount() > 0 && session.Locked(*nodes[i].node)) lockedAt = i;
  }
  return hidden;
}

// Bytes that the header, the valid index and the records the tree names (with their bodies)
// take; the rest of the file is left over from earlier saves and rewrites.
uint64_t ReachableBytes(KvtSession& session, const std::string& file) {
  MessageStore& store = session.Store();
  const IndexHead& index = store.Index();
  uint64_t reachable = kHeaderSize + kIndexHeadSize + index.textSize +
                       uint64_t{index.nodeCount} * kNodeEntrySize * (index.textSize ? 1 : 0);
  std::unique_ptr<StoreFile> reader = session.OpenReader(file);
  std::set<uint32_t> counted;
  for (const NumberedNode& numbered : session.Nodes()) {
    uint32_t offset = numbered.node->Data().offset;
    if (offset == 0 || !counted.insert(offset).second || !store.ReadRecord(offset)) continue;
    reachable += kRecordSize;
    if (store.Record().hasBody != 1 || !reader) continue;
    if (auto body = ReadStoredBody(*reader, uint64_t{offset} + kRecordSize, store.Record().format)) {
      reachable += body->bytes.size();
    }
  }
  return reachable;
}

}  // namespace

int RunInfo(KvtSession& session, const std::string& file) {
  if (!session.OpenDocument(file, false, StoreAccess::kRead)) return Fail(session.Error());
  MessageStore& store = session.Store();
  const StoreHeader& header = store.Header();
  uint64_t size = store.FileSize().value_or(0);
  uint64_t reachable = ReachableBytes(session, file);
  uint64_t dead = size > reachable ? size - reachable : 0;
  if (session.Options().json) {
    PrintJson({{"signature", Signature(header)},
               {"version", header.version},
               {"author", Utf8(store.Author())},
               {"hasPassword", !store.Password().empty()},
               {"buildDate", IsoDate(header.buildDate)},
               {"modifyDate", IsoDate(header.modifyDate)},
               {"indexOffset", header.indexOffset},
               {"nodeCount", session.Tree().Count()},
               {"fileSize", size},
               {"deadBytes", dead},
               {"journalPending", store.JournalReport().applied}});
    return kExitOk;
  }
  PrintLine("Signature:    " + Signature(header));
  PrintLine("Version:      " + std::to_string(header.version));
  PrintLine("Author:       " + Utf8(store.Author()));
  PrintLine(std::string("Password:     ") + (store.Password().empty() ? "no" : "yes"));
  PrintLine("Built:        " + IsoDate(header.buildDate));
  PrintLine("Modified:     " + IsoDate(header.modifyDate));
  PrintLine("Index offset: " + std::to_string(header.indexOffset));
  PrintLine("Nodes:        " + std::to_string(session.Tree().Count()));
  PrintLine("File size:    " + std::to_string(size));
  PrintLine("Dead bytes:   " + std::to_string(dead));
  // Messages filed since the last save, which only the journal beside the file holds so far.
  PrintLine("Journaled:    " + std::to_string(store.JournalReport().applied));
  return kExitOk;
}

int RunTree(KvtSession& session, const std::string& file) {
  if (!session.OpenDocument(file, true, StoreAccess::kRead)) return Fail(session.Error());
  std::vector<NumberedNode> nodes = session.Nodes();
  std::vector<int> hidden = HiddenBelow(session, nodes);
  if (session.Options().json) {
    json list = json::array();
    std::vector<int> unread = UnreadCounts(nodes);
    for (size_t i = 0; i < nodes.size(); ++i) {
      const TreeNode& node = *nodes[i].node;
      if (hidden[i] < 0) continue;
      list.push_back({{"index", i},
                      {"depth", nodes[i].depth},
                      {"label", Utf8(node.Label())},
                      {"image", node.Image()},
                      {"offset", node.Data().offset},
                      {"unread", unread[i]},
                      {"hidden", hidden[i]}});
    }
    PrintJson({{"nodes", list}});
    return kExitOk;
  }
  for (size_t i = 0; i < nodes.size(); ++i) {
    const TreeNode& node = *nodes[i].node;
    if (hidden[i] < 0) continue;
    std::string line = std::to_string(i);
    line.resize(std::max<size_t>(line.size() + 1, 5), ' ');
    line += std::string(2 * static_cast<size_t>(nodes[i].depth), ' ') + Utf8(node.Label());
    line += "  [image " + std::to_string(node.Image()) + " " + ImageName(node.Image()) +
            ", offset " + std::to_string(node.Data().offset);
    if (hidden[i] > 0) line += ", protected: " + std::to_string(hidden[i]) + " nodes not shown";
    PrintLine(line + "]");
  }
  return kExitOk;
}

int RunShow(KvtSession& session, const std::string& file, long index) {
  if (!session.OpenDocument(file, true, StoreAccess::kRead)) return Fail(session.Error());
  std::optional<NumberedNode> numbered = session.NodeAt(index);
  if (!numbered) return Fail(session.Error());
  const TreeNode& node = *numbered->node;
  MessageStore& store = session.Store();
  json shown = {{"index", index},
                {"label", Utf8(node.Label())},
                {"image", node.Image()},
                {"offset", node.Data().offset}};
  if (!IsRecycleBinImage(node.Image())) {
    if (!session.MayOpenNode(node)) return Fail(session.Error());
    if (!store.ReadRecord(node.Data().offset)) {
      return Fail("node " + std::to_string(index) + ": its record at " +
                  std::to_string(node.Data().offset) + " cannot be read");
    }
    std::optional<std::u16string> text = store.ReadBodyText();
    if (!text) return Fail("node " + std::to_string(index) + ": its text cannot be read");
    shown["format"] = store.Record().format;
    shown["date"] = IsoDate(store.Record().date);
    shown["number"] = Utf8(store.RecordNumber());
    shown["author"] = Utf8(store.RecordAuthor());
    shown["hasPassword"] = !store.RecordPassword().empty();
    shown["text"] = Utf8(*text);
  }
  if (session.Options().json) {
    PrintJson(shown);
    return kExitOk;
  }
  PrintLine("Node:     " + std::to_string(index));
  PrintLine("Label:    " + shown["label"].get<std::string>());
  PrintLine("Image:    " + std::to_string(node.Image()) + " (" + ImageName(node.Image()) + ")");
  PrintLine("Offset:   " + std::to_string(node.Data().offset));
  if (!shown.contains("format")) return kExitOk;
  PrintLine("Format:   " + std::to_string(store.Record().format));
  PrintLine("Date:     " + shown["date"].get<std::string>());
  PrintLine("Number:   " + shown["number"].get<std::string>());
  PrintLine("Author:   " + shown["author"].get<std::string>());
  PrintLine(std::string("Password: ") + (shown["hasPassword"].get<bool>() ? "yes" : "no"));
  PrintLine("Text:");
  PrintLine(shown["text"].get<std::string>());
  return kExitOk;
}

// What a fall-back to an older index leaves missing, and how to bring it back; nothing when the
// newest index was read.
std::optional<json> FallBackReport(KvtSession& session, const std::string& file) {
  MessageStore& store = session.Store();
  if (!store.FellBack()) return std::nullopt;
  const MessageStore::IndexFallBack fellBack = *store.FellBack();
  const LostMessageScan scan = FindLostMessages(store);
  std::string text = "the newest index (byte " + std::to_string(fellBack.damaged) +
                     ") cannot be read; the tree is the older index at byte " +
                     std::to_string(fellBack.used) +
                     ", so what was filed or changed after it is missing. Found between the "
                     "two: " + Counted(scan.messages.size(), "message") + "; kvt recover '" + file +
                     "' files them into \\Recovered (add --into DOCUMENT to file them into "
                     "another document).";
  if (scan.stoppedAt != 0) {
    text += " The search stopped at unreadable bytes at " + std::to_string(scan.stoppedAt) +
            "; messages behind them cannot be found this way.";
  }
  return json{{"damagedIndex", fellBack.damaged},
              {"usedIndex", fellBack.used},
              {"lostMessages", scan.messages.size()},
              {"stoppedAt", scan.stoppedAt},
              {"text", text}};
}

int RunCheck(KvtSession& session, const std::string& file) {
  // The report names damaged nodes by their titles, which may tell what a message says.
  if (!session.OpenDocument(file, true, StoreAccess::kRead)) return Fail(session.Error());
  MessageStore& store = session.Store();
  uint64_t size = store.FileSize().value_or(0);
  std::vector<NumberedNode> nodes = session.Nodes();
  json damaged = json::array();
  auto report = [&](size_t i, const std::string& problem) {
    damaged.push_back({{"index", i},
                       {"label", Utf8(nodes[i].node->Label())},
                       {"offset", nodes[i].node->Data().offset},
                       {"problem", problem}});
  };
  int bins = 0;
  for (size_t i = 0; i < nodes.size(); ++i) {
    const TreeNode& node = *nodes[i].node;
    if (node.Image() < kImageFolder || node.Image() > kImageBinFull) {
      report(i, "unknown node kind " + std::to_string(node.Image()));
    }
    if (IsRecycleBinImage(node.Image())) {
      if (++bins == 2) report(i, "a second recycle bin");
      continue;
    }
    uint32_t offset = node.Data().offset;
    if (offset < kHeaderSize + kIndexHeadSize || uint64_t{offset} + kRecordSize > size) {
      report(i, "record offset outside the file");
    } else if (!store.ReadRecord(offset)) {
      report(i, "record cannot be read");
    } else if (!store.ReadBody()) {
      report(i, "text cannot be read");
    }
  }
  const std::optional<json> fellBack = FallBackReport(session, file);
  bool ok = damaged.empty() && !fellBack;
  // A journal cut short is what a crash while writing it leaves: the message it held was never
  // acknowledged to the phone, so nothing is lost. It is shown, but is no damage of the file.
  const JournalReplayReport& journal = store.JournalReport();
  if (session.Options().json) {
    json report = {{"nodes", nodes.size()},
                   {"damaged", damaged},
                   {"journal", {{"applied", journal.applied}, {"problems", journal.problems}}},
                   {"ok", ok}};
    if (fellBack) report["fallBack"] = *fellBack;
    PrintJson(report);
  } else {
    if (fellBack) PrintLine((*fellBack)["text"].get<std::string>());
    if (journal.applied != 0) {
      PrintLine(std::to_string(journal.applied) + " messages read from the journal (not yet in the index)");
    }
    for (const json& item : damaged) {
      PrintLine("node " + std::to_string(item["index"].get<size_t>()) + " \"" +
                item["label"].get<std::string>() + "\" (offset " +
                std::to_string(item["offset"].get<uint32_t>()) +
                "): " + item["problem"].get<std::string>());
    }
    PrintLine(std::to_string(nodes.size()) + " nodes checked, " +
              std::to_string(damaged.size()) + " damaged");
  }
  return ok ? kExitOk : kExitFailure;
}

}  // namespace brevalo
