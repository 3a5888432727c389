// Any bytes as the sentence file: reading never fails, no sentence is longer than one read or
// holds a line break, and writing the list and reading it back gives it in reverse.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "send/list_file_text.h"
#include "send/sentence_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::u16string> sentences = brevalo::ReadSentences(bytes);
  for (const std::u16string& sentence : sentences) {
    if (sentence.size() > brevalo::kListLineChars) std::abort();
    if (sentence.find_first_of(u"\r\n") != std::u16string::npos) std::abort();
  }
  std::vector<std::u16string> again = brevalo::ReadSentences(brevalo::WriteSentences(sentences));
  std::reverse(again.begin(), again.end());
  if (again != sentences) std::abort();
  return 0;
}
