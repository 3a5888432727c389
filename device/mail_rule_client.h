// The interface the messaging service calls on each SMS rule client it has loaded: once to
// learn the access the client needs, then once per incoming message, before the inbox shows it.
// Declared like every COM interface of the device: only the calls are virtual, in slot order.
#pragma once

#include "device/mapi_interfaces.h"
#include "device/mapi_types.h"
#include "device/unknown.h"

namespace brevalo {

constexpr IID IID_IMailRuleClient{0x96D2552D, 0xB83B, 0x4B48,
                                  {0x8E, 0x89, 0xDC, 0xC2, 0x65, 0x12, 0xDB, 0xA4}};

// The access a rule client asks for in Initialize.
using MRCACCESS = ULONG;
inline constexpr MRCACCESS MRC_ACCESS_NONE = 0;
inline constexpr MRCACCESS MRC_ACCESS_READ = 1;
inline constexpr MRCACCESS MRC_ACCESS_WRITE_DELETE = 2;

// What a rule client did with a message.
using MRCHANDLED = ULONG;
inline constexpr MRCHANDLED MRC_NOT_HANDLED = 0;
inline constexpr MRCHANDLED MRC_HANDLED_CONTINUE = 1;
inline constexpr MRCHANDLED MRC_HANDLED_DONTCONTINUE = 2;

// The event a rule client reports for the message.
inline constexpr ULONG fnevObjectDeleted = 8;

class IMailRuleClient : public IUnknown {
 public:
  virtual HRESULT Initialize(IMsgStore* store, MRCACCESS* access) = 0;
  // `messageId` names the new message, `folderId` the folder it was put into.
  virtual HRESULT ProcessMessage(IMsgStore* store, ULONG messageIdSize, const ENTRYID* messageId,
                                 ULONG folderIdSize, const ENTRYID* folderId, ULONG* eventType,
                                 MRCHANDLED* handled) = 0;

 protected:
  IMailRuleClient() = default;
  IMailRuleClient(const IMailRuleClient&) = default;
  IMailRuleClient& operator=(const IMailRuleClient&) = default;
  ~IMailRuleClient() = default;
};

// The SMS rule clients the service loads: one value per class identifier, REG_DWORD 1.
inline constexpr std::u16string_view kSmsRulesKey = u"\\Software\\Microsoft\\Inbox\\Svc\\SMS\\Rules";

}  // namespace brevalo
