// Registering the rule client with the device: its COM class and its place among the
// messaging service's SMS rule clients.
#pragma once

#include "device/hresult.h"
#include "device/registry.h"

namespace brevalo {

// S_OK, or E_FAIL when any key or value cannot be written.
HRESULT RegisterRuleClient(Registry& registry);
// S_OK when the rules key could be opened (or made), else E_FAIL.
HRESULT UnregisterRuleClient(Registry& registry);

}  // namespace brevalo
