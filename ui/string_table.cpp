#include "ui/string_table.h"

namespace brevalo {
namespace {

StringTable BuildProgramTable() {
  StringTable table;
  table.Add(IDS_CAPTION_ERROR, u"Error");
  table.Add(IDS_CAPTION_ALERT, u"Alert");
  table.Add(IDS_OK, u"OK");
  table.Add(IDS_CANCEL, u"Cancel");
  table.Add(IDS_MENU, u"Menu");
  table.Add(IDS_DONE, u"Done");
  table.Add(IDS_UNREAD_HOME, u"%d unread SMS");
  // Texts whose identifiers equal the commands and keys that show them.
  static const std::pair<int, const char16_t*> kCommandTexts[] = {
      {40001, u"View"},        {40084, u"New File"},     {40074, u"Open"},
      {40069, u"Save"},        {40076, u"Close"},        {40284, u"Empty Recycle Bin"},
      {40065, u"New Draft"},   {40083, u"New SMS"},      {40282, u"Forward"},
      {40080, u"Reply"},       {40072, u"Delete"},       {40041, u"Copy"},
      {40042, u"Cut"},         {40058, u"Paste"},        {40067, u"Node Property"},
      {40068, u"Node Password"}, {40370, u"Add Recycle Bin"}, {40371, u"Delete Recycle Bin"},
      {40418, u"Drafts"},      {40333, u"\\Sent Box"},   {40320, u"\\Inbox"},
      {40355, u"Default"},     {40356, u"From:"},        {40357, u"Info:"},
  };
  for (const auto& [id, text] : kCommandTexts) table.Add(id, text);
  static const char16_t* kSentences[] = {
      u"Yes.", u"No.", u"Thanks!", u"Please call my mobile.", u"I'll be right there.",
      u"I'm running late.", u"I'll get back to you.", u"Sorry, I am busy now."};
  for (int i = 0; i < 8; ++i) table.Add(40403 + 2 * i, kSentences[i]);
  return table;
}

}  // namespace

const StringTable& StringTable::Program() {
  static const StringTable table = BuildProgramTable();
  return table;
}

void StringTable::Add(int id, std::u16string_view text) { texts_[id] = std::u16string(text); }

std::u16string_view StringTable::Raw(int id) const {
  auto found = texts_.find(id);
  return found == texts_.end() ? std::u16string_view() : std::u16string_view(found->second);
}

std::u16string StringTable::Load(int id, size_t bufferChars) const {
  if (bufferChars == 0) return {};
  std::u16string text(Raw(id).substr(0, bufferChars - 1));
  // A cut must not leave half of a surrogate pair at the end of the buffer.
  if (text.size() == bufferChars - 1 && !text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) {
    text.pop_back();
  }
  for (char16_t& c : text) {
    if (c == u'|') c = u'\0';
  }
  return text;
}

std::u16string StringTable::Text(int id) const {
  std::u16string loaded = Load(id);
  return loaded.substr(0, loaded.find(u'\0'));
}

std::vector<std::u16string> StringTable::Parts(int id) const {
  std::u16string loaded = Load(id);
  std::vector<std::u16string> parts;
  size_t start = 0;
  while (start < loaded.size()) {
    size_t end = loaded.find(u'\0', start);
    if (end == std::u16string::npos) end = loaded.size();
    if (end == start) break;
    parts.push_back(loaded.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace brevalo
