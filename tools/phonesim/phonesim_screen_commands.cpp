// phonesim key|type|screenshot|ui: the screen worked like a person does, through the screen's
// remote control. Each command returns once the screen has handled what it was given.
#include <fstream>
#include <iostream>

#include "device/code_page.h"
#include "device/screen_remote_client.h"
#include "device/screen_remote_outline.h"
#include "device/screen_remote_protocol.h"
#include "device/screen_remote_server.h"
#include "tools/phonesim/phonesim_command.h"

namespace brevalo {
namespace {

// Long enough for a key that opens a slow window, short enough that a hung screen is noticed.
constexpr int kScreenTimeoutMs = 20000;

struct ScreenArgs {
  std::vector<std::string> keys;
  bool hold = false;
  std::string text;
  std::string file;
};

std::optional<nlohmann::json> Call(PhonesimContext& ctx, const std::string& request, std::string* error) {
  Device device = ctx.DeviceFolder();
  // A socket file left by a screen that died counts as no screen.
  if (!LineServerListening(ScreenSocketPath(device))) {
    *error = "no phone screen runs on the device " + device.Dir().string();
    return std::nullopt;
  }
  return CallScreen(device, request, kScreenTimeoutMs, error);
}

void PrintScreen(const nlohmann::json& answer, bool json) {
  const nlohmann::json& screen = answer.contains("screen") ? answer["screen"] : answer;
  if (json) std::cout << screen.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  else std::cout << OutlineOfScreen(screen);
}

int Keys(PhonesimContext& ctx, const ScreenArgs& args) {
  std::vector<PhoneKey> keys;
  for (const std::string& name : args.keys) {
    std::optional<PhoneKey> key = PhoneKeyNamed(name);
    if (!key) return PhonesimFail("unknown key \"" + name + "\"");
    keys.push_back(*key);
  }
  std::string error;
  std::optional<nlohmann::json> answer = Call(ctx, FormatKeyRequest(keys, args.hold), &error);
  if (!answer) return PhonesimFail(error);
  if (ctx.json) PrintScreen(*answer, true);
  return kPhonesimOk;
}

int Type(PhonesimContext& ctx, const ScreenArgs& args) {
  std::string error;
  std::optional<nlohmann::json> answer = Call(ctx, FormatTypeRequest(FromUtf8(args.text)), &error);
  if (!answer) return PhonesimFail(error);
  if (ctx.json) PrintScreen(*answer, true);
  return kPhonesimOk;
}

int Screenshot(PhonesimContext& ctx, const ScreenArgs& args) {
  std::string error;
  std::optional<nlohmann::json> answer = Call(ctx, FormatSimpleRequest(ScreenOp::Screenshot), &error);
  if (!answer) return PhonesimFail(error);
  auto png = answer->find("png");
  std::optional<std::string> bytes;
  if (png != answer->end() && png->is_string()) bytes = Base64Decode(png->get_ref<const std::string&>());
  if (!bytes) return PhonesimFail("the screen answered without a picture");
  std::ofstream out(args.file, std::ios::binary | std::ios::trunc);
  out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
  out.close();
  if (!out) return PhonesimFail("cannot write " + args.file);
  return kPhonesimOk;
}

int Ui(PhonesimContext& ctx) {
  std::string error;
  std::optional<nlohmann::json> answer = Call(ctx, FormatSimpleRequest(ScreenOp::Ui), &error);
  if (!answer) return PhonesimFail(error);
  PrintScreen(*answer, ctx.json);
  return kPhonesimOk;
}

void AddScreenCommands(CLI::App& app, PhonesimContext& ctx) {
  static ScreenArgs args;
  CLI::App* key = app.add_subcommand("key", "press phone keys one after the other");
  key->add_option("keys", args.keys,
                  "Soft1 Soft2 Back Action Up Down Left Right 0..9 Star Hash VolumeUp VolumeDown Record Home")
      ->required();
  key->add_flag("--hold", args.hold, "hold each key long enough to repeat");
  Bind(key, [&ctx] { return Keys(ctx, args); });

  CLI::App* type = app.add_subcommand("type", "type text into the focused edit");
  type->add_option("text", args.text, "the text (UTF-8)")->required();
  Bind(type, [&ctx] { return Type(ctx, args); });

  CLI::App* shot = app.add_subcommand("screenshot", "save what the screen shows as a PNG file");
  shot->add_option("file", args.file, "FILE.png")->required();
  Bind(shot, [&ctx] { return Screenshot(ctx, args); });

  CLI::App* ui = app.add_subcommand("ui", "print what the screen shows (--json for all of it)");
  Bind(ui, [&ctx] { return Ui(ctx); });
}

PHONESIM_COMMANDS(AddScreenCommands);

}  // namespace
}  // namespace brevalo
