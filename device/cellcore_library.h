// The phone's cellular library (cellcore.dll on the device): dialling. A call placed through
// it is written to the device's call log and as a "call" event to the device's event log
// ({"kind": "call", "number": ..., "calledParty": ...}); no line is really opened.
// The library finds its device as the SMS library does (device/sms_library.h).
#pragma once

#include <cstdint>

namespace brevalo {

using TapiResult = int32_t;

inline constexpr TapiResult TAPIERR_CONNECTED = 0;
inline constexpr TapiResult TAPIERR_DROPPED = -1;
inline constexpr TapiResult TAPIERR_NOREQUESTRECIPIENT = -2;
inline constexpr TapiResult TAPIERR_REQUESTQUEUEFULL = -3;
inline constexpr TapiResult TAPIERR_INVALDESTADDRESS = -4;

// The longest number the library dials, without its terminator; a longer or unterminated one is
// refused before anything past it is read.
inline constexpr int kTapiMaxDestAddressSize = 80;

// TAPIERR_CONNECTED (0) once the call is logged; TAPIERR_INVALDESTADDRESS for no number, an
// empty or too long one; TAPIERR_NOREQUESTRECIPIENT when the device's logs cannot be written.
using TapiRequestMakeCallFunction = TapiResult (*)(const char16_t* destAddress,
                                                   const char16_t* appName,
                                                   const char16_t* calledParty,
                                                   const char16_t* comment);

inline constexpr const char* kTapiRequestMakeCall = "tapiRequestMakeCallW";

}  // namespace brevalo
