#include "device/screen_remote_outline.h"

#include <algorithm>

namespace brevalo {
namespace {

std::string Str(const nlohmann::json& object, const char* name) {
  auto found = object.find(name);
  return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

bool Flag(const nlohmann::json& object, const char* name) {
  auto found = object.find(name);
  return found != object.end() && found->is_boolean() && found->get<bool>();
}

long long Int(const nlohmann::json& object, const char* name) {
  auto found = object.find(name);
  return found != object.end() && found->is_number_integer() ? found->get<long long>() : 0;
}

const nlohmann::json& Field(const nlohmann::json& object, const char* name) {
  static const nlohmann::json kNull;
  auto found = object.find(name);
  return found != object.end() ? *found : kNull;
}

void OutlineControl(const nlohmann::json& control, std::string* out) {
  std::string kind = Str(control, "kind");
  *out += Flag(control, "focused") ? "> " : "  ";
  *out += "[" + kind + " " + std::to_string(Int(control, "id")) + "] ";
  if (kind == "checkbox" || kind == "radio") *out += Flag(control, "checked") ? "(x) " : "( ) ";
  *out += "\"" + Str(control, "text") + "\"";
  if (!Flag(control, "enabled")) *out += " (gray)";
  if (!Flag(control, "visible")) *out += " (hidden)";
  *out += "\n";
  auto rows = control.find("rows");
  if (rows == control.end() || !rows->is_array() || kind == "spin") return;
  for (const nlohmann::json& row : *rows) {
    long long depth = Int(row, "depth");
    *out += "      " + std::string(static_cast<size_t>(std::clamp(depth, 0LL, 20LL)) * 2, ' ');
    *out += Flag(row, "selected") ? "* " : "- ";
    *out += Str(row, "text") + "\n";
  }
}

}  // namespace

std::string OutlineOfScreen(const nlohmann::json& screen) {
  if (!screen.is_object()) return "(no screen)\n";
  if (Flag(screen, "closed")) return "Screen closed\n";
  std::string out;
  if (Flag(screen, "home")) {
    out += "Home screen";
    if (Field(screen, "unread").is_number_integer()) {
      out += ", " + std::to_string(Int(screen, "unread")) + " unread";
    }
    out += "\n";
  } else {
    out += "Window: " + Str(screen, "title") + (Field(screen, "enabled") == false ? " (disabled)" : "") + "\n";
  }
  if (screen.contains("tray") && screen["tray"].is_array() && !screen["tray"].empty()) {
    out += "Tray:";
    for (const auto& icon : screen["tray"]) out += " [" + std::to_string(Int(icon, "icon")) + " " + Str(icon, "tip") + "]";
    out += "\n";
  }
  if (screen.contains("controls") && screen["controls"].is_array()) {
    for (const auto& control : screen["controls"]) OutlineControl(control, &out);
  }
  if (screen.contains("menu") && screen["menu"].is_object()) {
    out += "Menu:\n";
    for (const auto& item : Field(screen["menu"], "items")) {
      if (Flag(item, "separator")) {
        out += "    ----\n";
        continue;
      }
      out += Flag(item, "selected") ? "  > " : "    ";
      if (Flag(item, "checked")) out += Flag(item, "radio") ? "(o) " : "[x] ";
      out += Str(item, "text");
      if (Flag(item, "submenu")) out += " >";
      if (!Flag(item, "enabled")) out += " (gray)";
      out += "\n";
    }
  }
  if (screen.contains("messageBox") && screen["messageBox"].is_object()) {
    const auto& box = screen["messageBox"];
    out += "Message box \"" + Str(box, "caption") + "\": " + Str(box, "text") + "\n";
  }
  if (screen.contains("popup") && screen["popup"].is_object()) {
    out += "Pop-up: " + Str(screen["popup"], "text") + "\n";
  }
  if (screen.contains("softKeys") && screen["softKeys"].is_object()) {
    const auto& keys = screen["softKeys"];
    auto label = [&](const char* side) {
      const nlohmann::json& key = Field(keys, side);
      std::string text = Str(key, "label");
      return key.is_object() && !Flag(key, "enabled") && !text.empty() ? text + " (gray)" : text;
    };
    out += "Soft keys: [" + label("left") + "] [" + label("right") + "]\n";
  }
  return out;
}

}  // namespace brevalo
