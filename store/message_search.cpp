#include "store/message_search.h"

#include <algorithm>

#include "device/text_case.h"
#include "store/document_backup.h"
#include "store/document_filing.h"
#include "store/sent_content.h"

namespace brevalo {
namespace {

// Finds `folded` (already folded) in `text`, folding `text` as it goes.
size_t FindFolded(std::u16string_view text, std::u16string_view folded) {
  if (folded.empty()) return 0;
  if (text.size() < folded.size()) return std::u16string_view::npos;
  const char16_t first = folded.front();
  const size_t last = text.size() - folded.size();
  for (size_t at = 0; at <= last; ++at) {
    if (FoldCase(text[at]) != first) continue;
    size_t i = 1;
    while (i < folded.size() && FoldCase(text[at + i]) == folded[i]) ++i;
    if (i == folded.size()) return at;
  }
  return std::u16string_view::npos;
}

// The line of `text` that holds position `at`.
std::u16string LineAround(std::u16string_view text, size_t at) {
  size_t start = 0;
  if (at > 0 && at <= text.size()) {
    const size_t breakBefore = text.find_last_of(u"\r\n", at - 1);
    if (breakBefore != std::u16string_view::npos) start = breakBefore + 1;
  }
  size_t end = text.find_first_of(u"\r\n", start);
  if (end == std::u16string_view::npos) end = text.size();
  return std::u16string(text.substr(start, end - start));
}

std::vector<const TreeNode*> MessagesBelow(const MessageStore& store, const TreeNode& top) {
  std::vector<const TreeNode*> messages;
  std::vector<const TreeNode*> pending{&top};
  while (!pending.empty()) {
    const TreeNode* node = pending.back();
    pending.pop_back();
    if (node == store.RecycleBin()) continue;
    if (IsMessageImage(node->Image())) messages.push_back(node);
    for (size_t row = node->ChildCount(); row > 0; --row) pending.push_back(node->Child(row - 1));
  }
  return messages;
}

class Searcher {
 public:
  Searcher(MessageStore& store, const SearchQuery& query,
           const std::function<bool(const TreeNode&)>& mayRead, SearchResult* result)
      : store_(store), query_(query), folded_(FoldCase(query.text)),
        foldedFrom_(FoldCase(query.from)), mayRead_(mayRead), result_(result) {}

  // The hit `node` makes, if any.
  std::optional<SearchHit> Visit(const TreeNode& node) {
    if (mayRead_ && !mayRead_(node)) {
      ++result_->leftOut;
      return std::nullopt;
    }
    if (!store_.ReadRecord(node.Data().offset)) {
      ++result_->unreadable;
      return std::nullopt;
    }
    const DATE date = store_.Record().date;
    if (query_.since && date < *query_.since) return std::nullopt;
    std::u16string number = store_.RecordNumber();
    std::optional<std::u16string> body = store_.ReadBodyText();
    if (!body) {
      ++result_->unreadable;
      return std::nullopt;
    }
    std::u16string_view text = *body;
    if (std::optional<SentParts> sent = ParseSentContent(text)) {
      number = sent->recipients;
      text = std::u16string_view(*body).substr(body->size() - sent->text.size());
    }
    if (!query_.from.empty() && FindFolded(number, foldedFrom_) == std::u16string_view::npos) {
      return std::nullopt;
    }
    const size_t inText = FindFolded(text, folded_);
    if (inText == std::u16string_view::npos &&
        FindFolded(number, folded_) == std::u16string_view::npos &&
        FindFolded(node.Label(), folded_) == std::u16string_view::npos) {
      return std::nullopt;
    }
    SearchHit hit;
    hit.node = &node;
    hit.folder = FolderPathOf(node);
    hit.title = node.Label();
    hit.number = std::move(number);
    hit.date = date;
    hit.line = LineAround(text, inText == std::u16string_view::npos ? 0 : inText);
    return hit;
  }

 private:
  MessageStore& store_;
  const SearchQuery& query_;
  const std::u16string folded_;
  const std::u16string foldedFrom_;
  const std::function<bool(const TreeNode&)>& mayRead_;
  SearchResult* result_;
};

}  // namespace

SearchResult SearchMessages(MessageStore& store, FolderTree& tree, const SearchQuery& query,
                            const std::function<bool(const TreeNode&)>& mayRead) {
  SearchResult result;
  const TreeNode* top = FindFolderPath(tree, query.folder);
  if (top == nullptr) {
    result.error = "no folder " + ToUtf8(query.folder);
    return result;
  }
  // The messages below `top` in pre-order, as the tree shows them; read in the order of their
  // records in the file, so that reading goes forward through it.
  std::vector<const TreeNode*> messages = MessagesBelow(store, *top);
  std::vector<size_t> byOffset(messages.size());
  for (size_t i = 0; i < byOffset.size(); ++i) byOffset[i] = i;
  std::sort(byOffset.begin(), byOffset.end(), [&](size_t a, size_t b) {
    return messages[a]->Data().offset < messages[b]->Data().offset;
  });
  std::vector<std::pair<size_t, SearchHit>> found;
  {
    MessageStore::ReadAheadScope window(store);
    Searcher searcher(store, query, mayRead, &result);
    for (size_t index : byOffset) {
      if (std::optional<SearchHit> hit = searcher.Visit(*messages[index])) {
        found.emplace_back(index, std::move(*hit));
      }
    }
  }
  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  result.hits.reserve(found.size());
  for (auto& [index, hit] : found) result.hits.push_back(std::move(hit));
  result.ok = true;
  return result;
}

}  // namespace brevalo
