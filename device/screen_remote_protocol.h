// The screen's remote control and the window directory speak one JSON object a line each way.
//
// Screen requests (DIR/run/screen.sock):
//   {"op":"key","keys":["Soft1","Down","Action"],"hold":false}
//   {"op":"type","text":"UTF-8 text"}
//   {"op":"screenshot"}   -> {"ok":true,"png":"<base64>"}
//   {"op":"ui"}           -> {"ok":true,"screen":{...}}
// Window directory posts (DIR/run/window-<hash>.sock):
//   {"post":1274,"wParam":0,"lParam":515}
// Every answer carries "ok" and, when it is false, "error".
//
// The parsers read what any local process may write, so they accept any bytes: a line that is
// not one of the requests above is refused with a reason, never trusted in part.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "device/screen_remote_keys.h"

namespace brevalo {

// Longest request line the screen reads; a longer one is refused whole.
inline constexpr size_t kMaxScreenRequestBytes = 1 << 20;
inline constexpr size_t kMaxKeysPerRequest = 256;

enum class ScreenOp { Key, Type, Screenshot, Ui };

struct ScreenRequest {
  ScreenOp op = ScreenOp::Ui;
  std::vector<PhoneKey> keys;  // Key
  bool hold = false;           // Key: held long enough to repeat, then released
  std::u16string text;         // Type
};

struct WindowPost {
  uint32_t message = 0;
  uint32_t wParam = 0;
  int32_t lParam = 0;
};

// Nothing, with *error set, for anything but a well-formed request.
std::optional<ScreenRequest> ParseScreenRequest(std::string_view line, std::string* error);
std::optional<WindowPost> ParseWindowPost(std::string_view line, std::string* error);

// One answer line without its line end. Fields named "ok" or "error" in `fields` are replaced.
std::string ScreenAnswerOk(const nlohmann::json& fields = nlohmann::json::object());
std::string ScreenAnswerError(std::string_view error);

// The request lines the clients send.
std::string FormatKeyRequest(const std::vector<PhoneKey>& keys, bool hold);
std::string FormatTypeRequest(std::u16string_view text);
std::string FormatSimpleRequest(ScreenOp op);  // Screenshot or Ui
std::string FormatWindowPost(const WindowPost& post);

// An object parsed from a line, or nothing for bytes that are not a JSON object (too deep,
// too long, not UTF-8, trailing garbage).
std::optional<nlohmann::json> ParseJsonObjectLine(std::string_view line, std::string* error);

std::string Base64Encode(std::string_view bytes);
// Nothing for text that is not padded standard base64.
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace brevalo
