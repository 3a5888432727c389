#include "device/screen_remote_protocol.h"

#include <limits>

#include "device/code_page.h"

namespace brevalo {
namespace {

// Deeper nesting than any request needs only costs memory and stack; refuse it before parsing.
constexpr int kMaxNesting = 16;

bool NestingWithin(std::string_view line, int limit) {
  int depth = 0;
  bool inString = false;
  bool escaped = false;
  for (char c : line) {
    if (inString) {
      if (escaped) escaped = false;
      else if (c == '\\') escaped = true;
      else if (c == '"') inString = false;
      continue;
    }
    if (c == '"') inString = true;
    else if (c == '[' || c == '{') {
      if (++depth > limit) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

std::string Dump(const nlohmann::json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool Fail(std::string* error, std::string_view reason) {
  if (error) *error = reason;
  return false;
}

bool ParseKeys(const nlohmann::json& request, ScreenRequest* out, std::string* error) {
  auto keys = request.find("keys");
  if (keys == request.end() || !keys->is_array()) return Fail(error, "\"keys\" must be an array");
  if (keys->empty()) return Fail(error, "\"keys\" is empty");
  if (keys->size() > kMaxKeysPerRequest) return Fail(error, "too many keys");
  for (const nlohmann::json& name : *keys) {
    if (!name.is_string()) return Fail(error, "a key name must be a string");
    std::optional<PhoneKey> key = PhoneKeyNamed(name.get_ref<const std::string&>());
    if (!key) return Fail(error, "unknown key \"" + name.get<std::string>() + "\"");
    out->keys.push_back(*key);
  }
  auto hold = request.find("hold");
  if (hold != request.end()) {
    if (!hold->is_boolean()) return Fail(error, "\"hold\" must be true or false");
    out->hold = hold->get<bool>();
  }
  return true;
}

bool ParseText(const nlohmann::json& request, ScreenRequest* out, std::string* error) {
  auto text = request.find("text");
  if (text == request.end() || !text->is_string()) return Fail(error, "\"text\" must be a string");
  out->text = FromUtf8(text->get_ref<const std::string&>());
  return true;
}

// A window message parameter: any 32-bit value, given signed or unsigned.
std::optional<uint32_t> Parameter(const nlohmann::json& object, const char* name, bool* present) {
  auto field = object.find(name);
  *present = field != object.end();
  if (!*present) return 0u;
  if (field->is_number_unsigned()) {
    uint64_t value = field->get<uint64_t>();
    if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    return static_cast<uint32_t>(value);
  }
  if (field->is_number_integer()) {
    int64_t value = field->get<int64_t>();
    if (value < std::numeric_limits<int32_t>::min()) return std::nullopt;
    return static_cast<uint32_t>(value);
  }
  return std::nullopt;
}

}  // namespace

std::optional<nlohmann::json> ParseJsonObjectLine(std::string_view line, std::string* error) {
  if (line.size() > kMaxScreenRequestBytes) {
    Fail(error, "request too long");
    return std::nullopt;
  }
  if (!NestingWithin(line, kMaxNesting)) {
    Fail(error, "request nested too deeply");
    return std::nullopt;
  }
  nlohmann::json value = nlohmann::json::parse(line.begin(), line.end(), nullptr, false);
  if (value.is_discarded() || !value.is_object()) {
    Fail(error, "not a JSON object");
    return std::nullopt;
  }
  return value;
}

std::optional<ScreenRequest> ParseScreenRequest(std::string_view line, std::string* error) {
  std::optional<nlohmann::json> request = ParseJsonObjectLine(line, error);
  if (!request) return std::nullopt;
  auto op = request->find("op");
  if (op == request->end() || !op->is_string()) {
    Fail(error, "\"op\" must be a string");
    return std::nullopt;
  }
  const std::string& name = op->get_ref<const std::string&>();
  ScreenRequest out;
  bool ok = true;
  if (name == "key") {
    out.op = ScreenOp::Key;
    ok = ParseKeys(*request, &out, error);
  } else if (name == "type") {
    out.op = ScreenOp::Type;
    ok = ParseText(*request, &out, error);
  } else if (name == "screenshot") {
    out.op = ScreenOp::Screenshot;
  } else if (name == "ui") {
    out.op = ScreenOp::Ui;
  } else {
    ok = Fail(error, "unknown op \"" + name + "\"");
  }
  if (!ok) return std::nullopt;
  return out;
}

std::optional<WindowPost> ParseWindowPost(std::string_view line, std::string* error) {
  std::optional<nlohmann::json> request = ParseJsonObjectLine(line, error);
  if (!request) return std::nullopt;
  bool present = false;
  WindowPost post;
  std::optional<uint32_t> message = Parameter(*request, "post", &present);
  if (!present || !message) {
    Fail(error, "\"post\" must be a 32-bit message number");
    return std::nullopt;
  }
  post.message = *message;
  std::optional<uint32_t> wParam = Parameter(*request, "wParam", &present);
  std::optional<uint32_t> lParam = Parameter(*request, "lParam", &present);
  if (!wParam || !lParam) {
    Fail(error, "\"wParam\" and \"lParam\" must be 32-bit integers");
    return std::nullopt;
  }
  post.wParam = *wParam;
  post.lParam = static_cast<int32_t>(*lParam);
  return post;
}

std::string ScreenAnswerOk(const nlohmann::json& fields) {
  nlohmann::json answer = fields.is_object() ? fields : nlohmann::json::object();
  answer.erase("error");
  answer["ok"] = true;
  return Dump(answer);
}

std::string ScreenAnswerError(std::string_view error) {
  return Dump({{"ok", false}, {"error", std::string(error)}});
}

std::string FormatKeyRequest(const std::vector<PhoneKey>& keys, bool hold) {
  nlohmann::json names = nlohmann::json::array();
  for (PhoneKey key : keys) names.push_back(std::string(PhoneKeyName(key)));
  nlohmann::json request = {{"op", "key"}, {"keys", names}};
  if (hold) request["hold"] = true;
  return Dump(request);
}

std::string FormatTypeRequest(std::u16string_view text) {
  return Dump({{"op", "type"}, {"text", ToUtf8(text)}});
}

std::string FormatSimpleRequest(ScreenOp op) {
  return Dump({{"op", op == ScreenOp::Screenshot ? "screenshot" : "ui"}});
}

std::string FormatWindowPost(const WindowPost& post) {
  return Dump({{"post", post.message}, {"wParam", post.wParam}, {"lParam", post.lParam}});
}

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t chunk = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) chunk |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) chunk |= static_cast<uint8_t>(bytes[i + 2]);
    out += kAlphabet[(chunk >> 18) & 63];
    out += kAlphabet[(chunk >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(chunk >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[chunk & 63] : '=';
  }
  return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i < text.size(); i += 4) {
    bool last = i + 4 == text.size();
    int padding = 0;
    uint32_t chunk = 0;
    for (size_t j = 0; j < 4; ++j) {
      char c = text[i + j];
      if (c == '=' && last && j >= 2) {
        ++padding;
        chunk <<= 6;
        continue;
      }
      int sextet = SextetOf(c);
      if (sextet < 0 || padding > 0) return std::nullopt;
      chunk = (chunk << 6) | static_cast<uint32_t>(sextet);
    }
    out += static_cast<char>((chunk >> 16) & 0xFF);
    if (padding < 2) out += static_cast<char>((chunk >> 8) & 0xFF);
    if (padding < 1) out += static_cast<char>(chunk & 0xFF);
  }
  return out;
}

}  // namespace brevalo
