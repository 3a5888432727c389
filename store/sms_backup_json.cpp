#include "store/sms_backup_json.h"

#include <charconv>
#include <nlohmann/json.hpp>
#include <optional>

#include "device/code_page.h"

namespace brevalo {
namespace {

using nlohmann::json;
using ordered = nlohmann::ordered_json;

std::string Utf8(std::u16string_view text) { return ToUtf8(text); }

ordered MessageObject(const BackupMessage& message) {
  ordered object = {
      {"protocol", 0},
      {"address", Utf8(message.address)},
      {"date", message.date},
      {"type", message.type},
      {"subject", nullptr},
      {"body", Utf8(message.body)},
      {"toa", nullptr},
      {"sc_toa", nullptr},
      {"service_center", nullptr},
      {"read", message.read ? 1 : 0},
      {"status", -1},
      {"locked", 0},
      {"readable_date", Utf8(message.readableDate)},
      {"contact_name", message.contactName.empty() ? std::string(kUnknownContactName)
                                                   : Utf8(message.contactName)},
  };
  if (!message.folder.empty()) object["brevalo_folder"] = Utf8(message.folder);
  if (!message.recipients.empty()) object["brevalo_recipients"] = Utf8(message.recipients);
  return object;
}

// Line and column (from 1) of byte `offset` of the text.
std::string Position(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  size_t line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1);
}

std::optional<int64_t> NumberOf(const json& value) {
  if (value.is_number_integer()) return value.get<int64_t>();
  if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
  if (value.is_number_float()) {
    // Whole numbers written with a fraction or exponent; anything beyond 64 bits is no date.
    const double number = value.get<double>();
    if (!(number >= -9.2e18 && number <= 9.2e18)) return std::nullopt;
    return static_cast<int64_t>(number);
  }
  if (!value.is_string()) return std::nullopt;
  const std::string& text = value.get_ref<const std::string&>();
  int64_t number = 0;
  auto [stop, code] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (code != std::errc() || stop != text.data() + text.size()) return std::nullopt;
  return number;
}

std::u16string TextOf(const json& object, const char* name) {
  auto found = object.find(name);
  if (found == object.end() || !found->is_string()) return {};
  return FromUtf8(found->get_ref<const std::string&>());
}

// The library's own tree builder, which also keeps where and why parsing stopped instead of
// throwing.
class PositionKeepingParser {
 public:
  explicit PositionKeepingParser(json* out) : builder_(*out, false) {}

  bool null() { return builder_.null(); }
  bool boolean(bool value) { return builder_.boolean(value); }
  bool number_integer(json::number_integer_t value) { return builder_.number_integer(value); }
  bool number_unsigned(json::number_unsigned_t value) { return builder_.number_unsigned(value); }
  bool number_float(json::number_float_t value, const std::string& text) {
    return builder_.number_float(value, text);
  }
  bool string(std::string& value) { return builder_.string(value); }
  bool binary(json::binary_t& value) { return builder_.binary(value); }
  bool start_object(std::size_t size) { return builder_.start_object(size); }
  bool key(std::string& value) { return builder_.key(value); }
  bool end_object() { return builder_.end_object(); }
  bool start_array(std::size_t size) { return builder_.start_array(size); }
  bool end_array() { return builder_.end_array(); }
  template <class Exception>
  bool parse_error(std::size_t position, const std::string& token, const Exception& error) {
    errorByte_ = position == 0 ? 0 : position - 1;
    std::string message = error.what();
    const size_t colon = message.find(": ", message.find("parse error"));
    errorText_ = colon == std::string::npos ? message : message.substr(colon + 2);
    return builder_.parse_error(position, token, error);
  }

  size_t ErrorByte() const { return errorByte_; }
  const std::string& ErrorText() const { return errorText_; }

 private:
  nlohmann::detail::json_sax_dom_parser<json> builder_;
  size_t errorByte_ = 0;
  std::string errorText_ = "not JSON";
};

bool ReadMessage(const json& object, size_t index, BackupMessage* message, std::string* error) {
  const std::string where = "message " + std::to_string(index + 1);
  if (!object.is_object()) {
    *error = where + ": not an object";
    return false;
  }
  for (const char* name : {"address", "date", "type", "body"}) {
    if (!object.contains(name)) {
      *error = where + ": no \"" + name + "\"";
      return false;
    }
  }
  std::optional<int64_t> date = NumberOf(object["date"]);
  std::optional<int64_t> type = NumberOf(object["type"]);
  std::optional<int64_t> read = object.contains("read") ? NumberOf(object["read"]) : 1;
  if (!date || !type || !read) {
    *error = where + ": \"date\", \"type\" and \"read\" must be numbers";
    return false;
  }
  if (*type == 5 || *type == 6) type = kBackupOutbox;
  if (*type < kBackupReceived || *type > kBackupOutbox) {
    *error = where + ": unknown type " + std::to_string(*type);
    return false;
  }
  if (!object["address"].is_string() || !object["body"].is_string()) {
    *error = where + ": \"address\" and \"body\" must be strings";
    return false;
  }
  message->date = *date;
  message->type = static_cast<int>(*type);
  message->read = *read != 0;
  message->address = TextOf(object, "address");
  message->body = TextOf(object, "body");
  message->contactName = TextOf(object, "contact_name");
  if (message->contactName == u"(Unknown)") message->contactName.clear();
  message->folder = TextOf(object, "brevalo_folder");
  message->recipients = TextOf(object, "brevalo_recipients");
  message->where = "message " + std::to_string(index + 1);
  return true;
}

}  // namespace

std::string WriteBackupJson(const std::vector<BackupMessage>& messages) {
  ordered list = ordered::array();
  for (const BackupMessage& message : messages) list.push_back(MessageObject(message));
  ordered whole = {{"count", messages.size()}, {"smses", std::move(list)}};
  // Text that is not valid UTF-16 (a lone half) is replaced rather than refused.
  return whole.dump(2, ' ', false, ordered::error_handler_t::replace) + "\n";
}

BackupReadResult ReadBackupJson(std::string_view text) {
  BackupReadResult result;
  json whole;
  PositionKeepingParser parser(&whole);
  if (!json::sax_parse(text.begin(), text.end(), &parser) || whole.is_discarded()) {
    result.error = Position(text, parser.ErrorByte()) + ": " + parser.ErrorText();
    return result;
  }
  const json* list = &whole;
  if (whole.is_object()) {
    auto found = whole.find("smses");
    if (found == whole.end() || !found->is_array()) {
      result.error = "the file holds no \"smses\" list";
      return result;
    }
    list = &*found;
  } else if (!whole.is_array()) {
    result.error = "the file holds neither an object with \"smses\" nor a list";
    return result;
  }
  for (size_t i = 0; i < list->size(); ++i) {
    BackupMessage message;
    if (!ReadMessage((*list)[i], i, &message, &result.error)) {
      result.messages.clear();
      return result;
    }
    result.messages.push_back(std::move(message));
  }
  result.ok = true;
  return result;
}

}  // namespace brevalo
