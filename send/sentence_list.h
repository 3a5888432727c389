// My Text: the user's ready-made sentences, kept in "velmora.sen" in the program folder. The
// file holds them in the reverse of the list's order as the list was last read: reading puts
// each line at the front, writing goes in list order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "send/list_file.h"

namespace brevalo {

inline constexpr std::u16string_view kSentenceFileName = u"velmora.sen";

// The sentences a first start writes, in this order: the string table's entries 40403 to 40417.
std::vector<std::u16string> DefaultSentences();

// The list a file's bytes give: its lines, last line first.
std::vector<std::u16string> ReadSentences(std::string_view bytes);
std::string WriteSentences(const std::vector<std::u16string>& sentences);

class SentenceList {
 public:
  // The file must outlive the list.
  explicit SentenceList(ListFile& file) : file_(file) {}

  // Reads the file. A missing file gives the defaults, which are written at once. A file that
  // is there but cannot be read also gives the defaults for now, but is left alone: it may
  // still hold the user's sentences.
  void Load();
  bool Loaded() const { return loaded_; }
  // False when the file cannot be written; the list keeps its changes all the same.
  bool Save() const;

  const std::vector<std::u16string>& Sentences() const { return sentences_; }
  void AddFront(std::u16string text);
  // Each is false for an index outside the list.
  bool Replace(size_t index, std::u16string text);
  bool Remove(size_t index);

 private:
  ListFile& file_;
  std::vector<std::u16string> sentences_;
  bool loaded_ = false;
};

}  // namespace brevalo
