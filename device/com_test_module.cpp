// A plain device library with one entry point and no COM exports, for the module-loading tests.
#include <dlfcn.h>

#include "device/com_test_server.h"

extern "C" const char* TestModuleFile() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&TestModuleFile), &info) == 0) return "";
  return info.dli_fname != nullptr ? info.dli_fname : "";
}
