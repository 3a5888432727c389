// The device registry, kept in DIR/registry.reg in the .reg text format. Every change is written
// through at once (temporary file + rename under an exclusive file lock, after re-reading what
// another process may have written), so concurrent writers lose nothing and a killed writer
// leaves the old or the new file, never a torn one. A damaged file is reported with its name and
// line and is never overwritten.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevalo {

enum class RegRoot { CurrentUser, LocalMachine, ClassesRoot };

inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

struct RegValue {
  uint32_t type = REG_SZ;
  std::u16string text;          // REG_SZ
  uint32_t dword = 0;           // REG_DWORD
  std::vector<uint8_t> bytes;   // REG_BINARY
};

// Key paths are relative to the root, components separated by "\", a leading "\" allowed, names
// compared case-insensitively. Value name u"" is the key's default value.
class Registry {
 public:
  explicit Registry(std::filesystem::path file);
  ~Registry();
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  // Reads the file (a missing file is an empty registry). False when it is damaged; LastError()
  // then names the file and line, and every change is refused until the file is repaired.
  bool Load();
  const std::string& LastError() const;

  bool CreateKey(RegRoot root, std::u16string_view key);  // with its missing parents
  bool KeyExists(RegRoot root, std::u16string_view key);
  bool DeleteKey(RegRoot root, std::u16string_view key);  // with all sub-keys
  std::vector<std::u16string> SubKeys(RegRoot root, std::u16string_view key);
  std::vector<std::u16string> ValueNames(RegRoot root, std::u16string_view key);

  std::optional<RegValue> Query(RegRoot root, std::u16string_view key, std::u16string_view name);
  std::optional<std::u16string> QueryString(RegRoot root, std::u16string_view key,
                                            std::u16string_view name);
  std::optional<uint32_t> QueryDword(RegRoot root, std::u16string_view key,
                                     std::u16string_view name);

  // Setting a value creates its key.
  bool Set(RegRoot root, std::u16string_view key, std::u16string_view name, const RegValue& value);
  bool SetString(RegRoot root, std::u16string_view key, std::u16string_view name,
                 std::u16string_view text);
  bool SetDword(RegRoot root, std::u16string_view key, std::u16string_view name, uint32_t value);
  bool SetBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                 const std::vector<uint8_t>& bytes);
  bool DeleteValue(RegRoot root, std::u16string_view key, std::u16string_view name);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace brevalo
