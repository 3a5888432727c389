// The class of the test server (com_test_server.cpp): a counter that the tests activate
// through the registry. Shared by the server and the tests, as a real server's header would be.
#pragma once

#include <cstdint>

#include "device/unknown.h"

namespace brevalo::testing {

constexpr CLSID CLSID_TestCounter{0x6B1E0C2A, 0x94D3, 0x4F71,
                                  {0x8A, 0x5C, 0x21, 0x7E, 0x0D, 0x93, 0xB4, 0x6F}};
constexpr IID IID_ITestCounter{0x6B1E0C2B, 0x94D3, 0x4F71,
                               {0x8A, 0x5C, 0x21, 0x7E, 0x0D, 0x93, 0xB4, 0x6F}};

// Classes the server answers for badly, to see that the device does not pass the damage on:
// one fails and leaves a stray pointer behind, one succeeds without handing out anything.
constexpr CLSID CLSID_TestSloppy{0x6B1E0C2C, 0x94D3, 0x4F71,
                                 {0x8A, 0x5C, 0x21, 0x7E, 0x0D, 0x93, 0xB4, 0x6F}};
constexpr CLSID CLSID_TestHollow{0x6B1E0C2D, 0x94D3, 0x4F71,
                                 {0x8A, 0x5C, 0x21, 0x7E, 0x0D, 0x93, 0xB4, 0x6F}};

class ITestCounter : public IUnknown {
 public:
  // The counter's value after adding one.
  virtual int32_t Increment() = 0;

 protected:
  ~ITestCounter() = default;
};

// Objects of the server alive now (factories and counters), exported for the tests.
using TestServerLiveObjectsFunction = int32_t (*)();
constexpr const char* kTestServerLiveObjects = "TestServerLiveObjects";

// The host file the plain test library (com_test_module.cpp) was mapped from.
using TestModuleFileFunction = const char* (*)();
constexpr const char* kTestModuleFile = "TestModuleFile";

}  // namespace brevalo::testing
