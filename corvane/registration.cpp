#include "corvane/registration.h"

#include "corvane/corvane_module.h"
#include "device/mail_rule_client.h"

namespace brevalo {
namespace {

std::u16string ClassKey() { return u"\\CLSID\\" + FormatGuid(CLSID_CorvaneRuleClient); }

}  // namespace

HRESULT RegisterRuleClient(Registry& registry) {
  const std::u16string classKey = ClassKey();
  const std::u16string serverKey = classKey + u"\\InprocServer32";
  // The server is named without a path: the service finds it like any other module.
  bool ok = registry.CreateKey(RegRoot::ClassesRoot, classKey) &&
            registry.CreateKey(RegRoot::ClassesRoot, serverKey) &&
            registry.SetString(RegRoot::ClassesRoot, serverKey, u"", u"corvane.dll") &&
            registry.CreateKey(RegRoot::LocalMachine, kSmsRulesKey) &&
            registry.SetDword(RegRoot::LocalMachine, kSmsRulesKey,
                              FormatGuid(CLSID_CorvaneRuleClient), 1);
  return ok ? S_OK : E_FAIL;
}

HRESULT UnregisterRuleClient(Registry& registry) {
  registry.DeleteKey(RegRoot::ClassesRoot, ClassKey());
  if (!registry.KeyExists(RegRoot::LocalMachine, kSmsRulesKey) &&
      !registry.CreateKey(RegRoot::LocalMachine, kSmsRulesKey)) {
    return E_FAIL;
  }
  registry.DeleteValue(RegRoot::LocalMachine, kSmsRulesKey, FormatGuid(CLSID_CorvaneRuleClient));
  return S_OK;
}

}  // namespace brevalo
