// The program runs once per device. The first start holds the named mutex "VELMORA_EXE_MUTEX"
// for its whole run; a later start finds it taken, asks the running program's main window to
// show itself (as a double click on its tray icon would) and ends without a word.
#pragma once

#include <memory>
#include <string_view>

#include "device/device_paths.h"
#include "device/named_mutex.h"

namespace brevalo {

inline constexpr std::u16string_view kInstanceMutexName = u"VELMORA_EXE_MUTEX";
// The main window as other processes find it in the device's window directory.
inline constexpr std::u16string_view kMainWindowClass = u"Dialog";
inline constexpr std::u16string_view kMainWindowTitle = u"Brevalo";

struct InstanceClaim {
  enum class Outcome {
    kFirst,       // this process runs the program; `mutex` is held until it ends
    kHandedOver,  // another process runs it and was asked to show itself (if its window exists)
    kFailed,      // the mutex could not be made: nothing may run
  };
  Outcome outcome = Outcome::kFailed;
  std::unique_ptr<NamedMutex> mutex;
  bool posted = false;  // kHandedOver: the running window took the request
};

InstanceClaim ClaimSingleInstance(const Device& device);

}  // namespace brevalo
