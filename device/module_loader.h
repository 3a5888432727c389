// Libraries of the device loaded by name, as the program loads sms.dll, phone.dll and
// cellcore.dll: a bare name is looked for in the program folder, then in \Windows\, then in the
// folders of the loader's system path (HKEY_LOCAL_MACHINE\Loader "SystemPath", device folders
// separated by ";", where installers add the folders of libraries other processes load by
// name, such as a rule client the messaging service activates); a name with a path is taken
// as given; device paths match case-insensitively. Each library is mapped
// once per loader and counted, entry points are found by name, and a missing library or entry
// point is reported (an empty handle or nullptr and LastError()), so it is never called.
// Safe to use from several threads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_paths.h"
#include "device/registry.h"

namespace brevalo {

inline constexpr std::u16string_view kLoaderKey = u"Loader";
inline constexpr std::u16string_view kSystemPathValue = u"SystemPath";

// The folders of the system path, each with a trailing backslash; relative or empty entries
// are left out. None when the value is missing.
std::vector<std::u16string> ReadSystemPath(Registry& registry);
// Adds `folder` at the end of the system path unless it is there already (case-insensitively).
bool AddToSystemPath(Registry& registry, std::u16string_view folder);

// Names one loaded library of one loader; 0 is none. A handle that has been unloaded stays
// invalid: it is never reused for another library.
struct ModuleHandle {
  uint32_t id = 0;
  explicit operator bool() const { return id != 0; }
  friend bool operator==(ModuleHandle, ModuleHandle) = default;
};

class ModuleLoader {
 public:
  static constexpr std::u16string_view kWindowsFolder = u"\\Windows\\";

  // programFolder is a device path ("\Program Files\Velmora\"), the trailing backslash may be
  // left out; an empty one means \Windows\ alone.
  ModuleLoader(const Device& device, std::u16string_view programFolder);
  // Unmaps every library still loaded, except pinned ones: pointers into them end here.
  ~ModuleLoader();
  ModuleLoader(const ModuleLoader&) = delete;
  ModuleLoader& operator=(const ModuleLoader&) = delete;

  // Folders searched after \Windows\ for bare names (ReadSystemPath gives the device's).
  void SetSystemPath(std::vector<std::u16string> folders);

  // The device path of the library the name stands for, where it exists; nothing otherwise.
  std::optional<std::u16string> Locate(std::u16string_view name) const;

  // Maps the library, or counts one more use of it when this loader has it already.
  ModuleHandle Load(std::u16string_view name);
  // The entry point called `name`, or nullptr when the library lacks it or the handle is stale.
  void* Symbol(ModuleHandle module, const char* name);
  template <typename Function>
  Function SymbolAs(ModuleHandle module, const char* name) {
    return reinterpret_cast<Function>(Symbol(module, name));
  }
  // Takes back one Load; the library is unmapped after the last. False for a stale handle.
  bool Unload(ModuleHandle module);
  // Keeps the library mapped for the rest of the process, whatever Unload and the destructor
  // do later: for libraries whose objects may outlive the loader.
  bool Pin(ModuleHandle module);

  // The device path a handle was loaded from; empty for a stale handle.
  std::u16string DevicePathOf(ModuleHandle module) const;
  bool IsLoaded(ModuleHandle module) const;
  // Why the most recent failed call failed, naming the library or the entry point.
  std::string LastError() const;

 private:
  struct Library {
    std::filesystem::path hostPath;  // canonical, so two spellings of one file share a mapping
    std::u16string devicePath;
    void* native = nullptr;
    uint32_t uses = 0;
    bool pinned = false;
  };

  std::optional<std::u16string> LocateLocked(std::u16string_view name) const;
  void Fail(std::string why);

  const Device& device_;
  std::u16string programFolder_;
  std::vector<std::u16string> systemPath_;
  mutable std::mutex mutex_;
  std::map<uint32_t, Library> libraries_;
  uint32_t nextId_ = 1;
  std::string lastError_;
};

}  // namespace brevalo
