#include "send/sentence_list.h"

#include <algorithm>

#include "send/list_file_text.h"
#include "ui/string_table.h"

namespace brevalo {
namespace {

constexpr int kFirstDefaultSentence = 40403;
constexpr int kDefaultSentenceCount = 8;

}  // namespace

std::vector<std::u16string> DefaultSentences() {
  std::vector<std::u16string> sentences;
  for (int i = 0; i < kDefaultSentenceCount; ++i) {
    sentences.push_back(StringTable::Program().Text(kFirstDefaultSentence + 2 * i));
  }
  return sentences;
}

std::vector<std::u16string> ReadSentences(std::string_view bytes) {
  std::vector<std::u16string> sentences = ReadListLines(bytes);
  std::reverse(sentences.begin(), sentences.end());
  return sentences;
}

std::string WriteSentences(const std::vector<std::u16string>& sentences) {
  return WriteListLines(sentences);
}

void SentenceList::Load() {
  loaded_ = true;
  DeviceFileContents contents = file_.Read();
  if (contents.state == DeviceFileState::kRead) {
    sentences_ = ReadSentences(contents.bytes);
    return;
  }
  sentences_ = DefaultSentences();
  if (contents.state == DeviceFileState::kMissing) Save();
}

bool SentenceList::Save() const { return file_.Write(WriteSentences(sentences_)); }

void SentenceList::AddFront(std::u16string text) {
  sentences_.insert(sentences_.begin(), std::move(text));
}

bool SentenceList::Replace(size_t index, std::u16string text) {
  if (index >= sentences_.size()) return false;
  sentences_[index] = std::move(text);
  return true;
}

bool SentenceList::Remove(size_t index) {
  if (index >= sentences_.size()) return false;
  sentences_.erase(sentences_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

}  // namespace brevalo
