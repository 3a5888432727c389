// search: messages whose text, number or title holds a query, without regard to case.
#include "store/message_search.h"
#include "tools/kvt/kvt_commands.h"
#include "tools/kvt/kvt_output.h"

namespace brevalo {
namespace {

nlohmann::json HitJson(const SearchHit& hit) {
  return {{"folder", ToUtf8(hit.folder)}, {"title", ToUtf8(hit.title)},
          {"date", IsoDate(hit.date)},    {"number", ToUtf8(hit.number)},
          {"line", ToUtf8(hit.line)}};
}

// "\Work\Boss  2026-12-08T09:30:00  5550100  Title" and the matching line under it.
void PrintHit(const SearchHit& hit) {
  PrintLine(ToUtf8(hit.folder) + "  " + IsoDate(hit.date) + "  " + ToUtf8(hit.number) + "  " +
            ToUtf8(hit.title));
  PrintLine("    " + ToUtf8(hit.line));
}

}  // namespace

int RunSearch(KvtSession& session, const std::string& file, const SearchArgs& args) {
  SearchQuery query;
  query.text = FromUtf8(args.query);
  query.folder = FromUtf8(args.folder);
  query.from = FromUtf8(args.from);
  if (args.since) {
    DATE since = 0;
    if (!ParseIsoDate(*args.since, &since)) {
      Fail("--since " + *args.since + ": not a date such as 2026-12-08 or 2026-12-08T09:30:00");
      return kExitUsage;
    }
    query.since = since;
  }
  if (!session.OpenDocument(file, true, StoreAccess::kRead)) return Fail(session.Error());
  SearchResult result = SearchMessages(session.Store(), session.Tree(), query,
                                       [&session](const TreeNode& node) {
                                         return session.MayReadMessage(node);
                                       });
  if (!result.ok) return Fail(file + ": " + result.error);
  if (session.Options().json) {
    nlohmann::json hits = nlohmann::json::array();
    for (const SearchHit& hit : result.hits) hits.push_back(HitJson(hit));
    PrintJson({{"hits", hits}, {"leftOut", result.leftOut}, {"unreadable", result.unreadable}});
  } else {
    for (const SearchHit& hit : result.hits) PrintHit(hit);
    PrintLine(Counted(result.hits.size(), "message") + " found");
  }
  if (result.leftOut > 0) {
    Warn(Counted(static_cast<size_t>(result.leftOut), "password-protected message") +
         " not searched");
  }
  if (result.unreadable > 0) {
    return Fail(Counted(static_cast<size_t>(result.unreadable), "message") +
                " cannot be read (see kvt check)");
  }
  return kExitOk;
}

}  // namespace brevalo
