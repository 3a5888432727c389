// phonesim reg query|set|delete: the device registry from the shell.
#include <cstdio>
#include <iostream>

#include <nlohmann/json.hpp>

#include "device/code_page.h"
#include "device/registry.h"
#include "device/registry_tree.h"
#include "tools/phonesim/phonesim_command.h"

namespace brevalo {
namespace {

struct RegArgs {
  std::string key;
  std::string value;
  std::string type;
  std::string data;
  bool hasValue = false;
};

// "HKEY_CURRENT_USER\Software\Velmora" or "HKCU\Software\Velmora".
bool SplitKey(const std::string& text, RegRoot* root, std::u16string* path) {
  std::u16string key = FromUtf8(text);
  size_t slash = key.find(u'\\');
  std::u16string rootName = key.substr(0, slash);
  static const std::pair<const char16_t*, RegRoot> kShort[] = {
      {u"HKCU", RegRoot::CurrentUser}, {u"HKLM", RegRoot::LocalMachine},
      {u"HKCR", RegRoot::ClassesRoot}};
  std::optional<RegRoot> found = RegistryTree::RootNamed(rootName);
  for (const auto& [name, value] : kShort) {
    if (rootName == name) found = value;
  }
  if (!found) return false;
  *root = *found;
  *path = slash == std::u16string::npos ? u"" : key.substr(slash + 1);
  return true;
}

const char* TypeName(uint32_t type) {
  return type == REG_DWORD ? "REG_DWORD" : type == REG_BINARY ? "REG_BINARY" : "REG_SZ";
}

std::string DataText(const RegValue& value) {
  if (value.type == REG_DWORD) return std::to_string(value.dword);
  if (value.type == REG_BINARY) {
    std::string hex;
    char byte[4];
    for (uint8_t b : value.bytes) {
      std::snprintf(byte, sizeof byte, hex.empty() ? "%02x" : ",%02x", b);
      hex += byte;
    }
    return hex;
  }
  return ToUtf8(value.text);
}

std::optional<RegValue> ParseData(const std::string& type, const std::string& data) {
  RegValue value;
  std::string upper;
  for (char c : type) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "REG_SZ" || upper == "SZ") {
    value.type = REG_SZ;
    value.text = FromUtf8(data);
    return value;
  }
  if (upper == "REG_DWORD" || upper == "DWORD") {
    char* end = nullptr;
    unsigned long long number = std::strtoull(data.c_str(), &end, 0);
    if (data.empty() || *end != '\0' || number > 0xFFFFFFFFull || data[0] == '-') return std::nullopt;
    value.type = REG_DWORD;
    value.dword = static_cast<uint32_t>(number);
    return value;
  }
  if (upper == "REG_BINARY" || upper == "BINARY") {
    value.type = REG_BINARY;
    std::string digits;
    for (char c : data) {
      if (c == ',' || c == ' ') continue;
      if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
      digits += c;
    }
    if (digits.size() % 2 != 0) return std::nullopt;
    for (size_t i = 0; i < digits.size(); i += 2) {
      value.bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return value;
  }
  return std::nullopt;
}

int Query(PhonesimContext& ctx, const RegArgs& args) {
  RegRoot root;
  std::u16string path;
  if (!SplitKey(args.key, &root, &path)) return PhonesimFail(args.key + ": unknown root key");
  Registry registry(ctx.DeviceFolder().RegistryFile());
  if (!registry.Load()) return PhonesimFail(registry.LastError());
  if (!registry.KeyExists(root, path)) return PhonesimFail(args.key + ": no such key");
  std::vector<std::u16string> names;
  if (args.hasValue) {
    names.push_back(FromUtf8(args.value));
  } else {
    names = registry.ValueNames(root, path);
  }
  nlohmann::json values = nlohmann::json::array();
  for (const std::u16string& name : names) {
    std::optional<RegValue> value = registry.Query(root, path, name);
    if (!value) return PhonesimFail(args.key + ": no value \"" + ToUtf8(name) + "\"");
    nlohmann::json item = {{"name", ToUtf8(name)}, {"type", TypeName(value->type)}};
    if (value->type == REG_DWORD) item["data"] = value->dword;
    else item["data"] = DataText(*value);
    values.push_back(item);
    if (!ctx.json) {
      std::cout << (name.empty() ? std::string("@") : "\"" + ToUtf8(name) + "\"") << " "
                << TypeName(value->type) << " " << DataText(*value) << "\n";
    }
  }
  nlohmann::json subkeys = nlohmann::json::array();
  for (const std::u16string& sub : registry.SubKeys(root, path)) {
    subkeys.push_back(ToUtf8(sub));
    if (!ctx.json && !args.hasValue) std::cout << "[" << ToUtf8(sub) << "]\n";
  }
  if (ctx.json) {
    std::cout << nlohmann::json{{"key", args.key}, {"values", values}, {"subkeys", subkeys}}.dump(
                     2, ' ', false, nlohmann::json::error_handler_t::replace)
              << "\n";
  }
  return kPhonesimOk;
}

int Set(PhonesimContext& ctx, const RegArgs& args) {
  RegRoot root;
  std::u16string path;
  if (!SplitKey(args.key, &root, &path)) return PhonesimFail(args.key + ": unknown root key");
  std::optional<RegValue> value = ParseData(args.type, args.data);
  if (!value) {
    PhonesimFail("\"" + args.data + "\" is not " + args.type +
                 " data (types: REG_SZ, REG_DWORD, REG_BINARY)");
    return kPhonesimUsage;
  }
  Registry registry(ctx.DeviceFolder().RegistryFile());
  if (!registry.Set(root, path, FromUtf8(args.value), *value)) {
    return PhonesimFail(registry.LastError().empty() ? args.key + ": cannot set the value"
                                                     : registry.LastError());
  }
  return kPhonesimOk;
}

int Delete(PhonesimContext& ctx, const RegArgs& args) {
  RegRoot root;
  std::u16string path;
  if (!SplitKey(args.key, &root, &path)) return PhonesimFail(args.key + ": unknown root key");
  Registry registry(ctx.DeviceFolder().RegistryFile());
  bool done = args.hasValue ? registry.DeleteValue(root, path, FromUtf8(args.value))
                            : registry.DeleteKey(root, path);
  if (!done) {
    return PhonesimFail(registry.LastError().empty()
                            ? args.key + (args.hasValue ? ": no such value" : ": no such key")
                            : registry.LastError());
  }
  return kPhonesimOk;
}

void AddRegistryCommands(CLI::App& app, PhonesimContext& ctx) {
  static RegArgs args;
  CLI::App* reg = app.add_subcommand("reg", "read and change the device registry");
  reg->require_subcommand(1);
  CLI::App* query = reg->add_subcommand("query", "show a key's values and sub-keys, or one value");
  query->add_option("KEY", args.key, "HKEY_CURRENT_USER\\Software\\Velmora (or HKCU\\...)")->required();
  query->add_option("VALUE", args.value, "one value's name (\"\" for the default value)")
      ->each([](const std::string&) { args.hasValue = true; });
  Bind(query, [&ctx] { return Query(ctx, args); });

  CLI::App* set = reg->add_subcommand("set", "set a value, creating its key");
  set->add_option("KEY", args.key)->required();
  set->add_option("VALUE", args.value)->required();
  set->add_option("TYPE", args.type, "REG_SZ, REG_DWORD or REG_BINARY")->required();
  set->add_option("DATA", args.data, "text, a number (0x.. for hex) or hex bytes 01,ff")->required();
  Bind(set, [&ctx] { return Set(ctx, args); });

  CLI::App* remove = reg->add_subcommand("delete", "delete a value, or a key with its sub-keys");
  remove->add_option("KEY", args.key)->required();
  remove->add_option("VALUE", args.value)->each([](const std::string&) { args.hasValue = true; });
  Bind(remove, [&ctx] { return Delete(ctx, args); });
}

PHONESIM_COMMANDS(AddRegistryCommands);

}  // namespace
}  // namespace brevalo
