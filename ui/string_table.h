// The program's string table: texts by identifier, loaded the way the phone loads them. A
// loaded string is cut to the buffer and every "|" in it becomes a terminator, which is how the
// multi-part filter strings of the file dialogs are written ("Text files|*.txt|").
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace brevalo {

// The phone loads strings into buffers of 512 characters, the last one the terminator.
inline constexpr size_t kStringBufferChars = 512;

class StringTable {
 public:
  // The program's own texts (captions, menu texts, key names ...).
  static const StringTable& Program();

  StringTable() = default;
  void Add(int id, std::u16string_view text);
  bool Has(int id) const { return texts_.count(id) != 0; }

  // The text as stored, or empty when there is none.
  std::u16string_view Raw(int id) const;

  // What a load into a buffer of `bufferChars` characters holds: at most bufferChars - 1
  // characters, each "|" turned into u'\0'. Empty for an unknown identifier or a buffer of 0.
  std::u16string Load(int id, size_t bufferChars = kStringBufferChars) const;

  // The text up to its first terminator: what a caller that treats the buffer as one string
  // sees ("Text files" of "Text files|*.txt|").
  std::u16string Text(int id) const;

  // The parts between terminators of a loaded multi-part string, up to the first empty one
  // (a double terminator ends the list): {"Text files", "*.txt"}.
  std::vector<std::u16string> Parts(int id) const;

 private:
  std::map<int, std::u16string> texts_;
};

// Identifiers of the window system's own strings.
inline constexpr int IDS_CAPTION_ERROR = 57001;
inline constexpr int IDS_CAPTION_ALERT = 57002;
inline constexpr int IDS_OK = 57003;
inline constexpr int IDS_CANCEL = 57004;
inline constexpr int IDS_MENU = 57005;
inline constexpr int IDS_DONE = 57006;
inline constexpr int IDS_UNREAD_HOME = 57007;

}  // namespace brevalo
