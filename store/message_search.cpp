#include "store/message_search.h"

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

// The node a folder path names, every component matching; the root for an empty path or "\".
const TreeNode* FolderAt(FolderTree& tree, std::u16string_view path) {
  const TreeNode* current = &tree.Root();
  size_t start = 0;
  while (start < path.size()) {
    size_t end = std::min(path.find(u'\\', start), path.size());
    std::u16string_view part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    const TreeNode* found = nullptr;
    for (size_t row = 0; row < current->ChildCount() && found == nullptr; ++row) {
      const TreeNode* child = current->Child(row);
      if (child->Label() == part && !IsMessageImage(child->Image())) found = child;
    }
    if (found == nullptr) return nullptr;
    current = found;
  }
  return current;
}

class Searcher {
 public:
  Searcher(MessageStore& store, const SearchQuery& query,
           const std::function<bool(const TreeNode&)>& mayRead, SearchResult* result)
      : store_(store), query_(query), folded_(FoldCase(query.text)),
        foldedFrom_(FoldCase(query.from)), mayRead_(mayRead), result_(result) {}

  void Visit(const TreeNode& node) {
    if (!IsMessageImage(node.Image()) || InRecycleBin(store_, node)) return;
    if (mayRead_ && !mayRead_(node)) {
      ++result_->leftOut;
      return;
    }
    if (!store_.ReadRecord(node.Data().offset)) {
      ++result_->unreadable;
      return;
    }
    const DATE date = store_.Record().date;
    if (query_.since && date < *query_.since) return;
    std::u16string number = store_.RecordNumber();
    std::optional<std::u16string> body = store_.ReadBodyText();
    if (!body) {
      ++result_->unreadable;
      return;
    }
    std::u16string_view text = *body;
    if (std::optional<SentParts> sent = ParseSentContent(text)) {
      number = sent->recipients;
      text = std::u16string_view(*body).substr(body->size() - sent->text.size());
    }
    if (!query_.from.empty() && FindFolded(number, foldedFrom_) == std::u16string_view::npos) return;
    const size_t inText = FindFolded(text, folded_);
    if (inText == std::u16string_view::npos &&
        FindFolded(number, folded_) == std::u16string_view::npos &&
        FindFolded(node.Label(), folded_) == std::u16string_view::npos) {
      return;
    }
    SearchHit hit;
    hit.node = &node;
    hit.folder = FolderPathOf(node);
    hit.title = node.Label();
    hit.number = std::move(number);
    hit.date = date;
    hit.line = LineAround(text, inText == std::u16string_view::npos ? 0 : inText);
    result_->hits.push_back(std::move(hit));
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
  const TreeNode* top = FolderAt(tree, query.folder);
  if (top == nullptr) {
    result.error = "no folder " + ToUtf8(query.folder);
    return result;
  }
  Searcher searcher(store, query, mayRead, &result);
  std::vector<const TreeNode*> pending{top};
  // Pre-order, as the tree shows them.
  while (!pending.empty()) {
    const TreeNode* node = pending.back();
    pending.pop_back();
    if (node != top) searcher.Visit(*node);
    for (size_t row = node->ChildCount(); row > 0; --row) pending.push_back(node->Child(row - 1));
  }
  result.ok = true;
  return result;
}

}  // namespace brevalo
