// The SMS rule client: hands every incoming message to the program over the channel and, when
// the program answers within a second, deletes it from the phone's inbox.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "channel/channel_writer.h"
#include "device/mail_rule_client.h"

namespace brevalo {

class RuleClient final : public IMailRuleClient {
 public:
  // Reference count 1; opens the channel objects, which it keeps for its lifetime. Without them
  // messages are still processed, just never handed over.
  RuleClient();

  HRESULT QueryInterface(const IID& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  HRESULT Initialize(IMsgStore* store, MRCACCESS* access) override;
  HRESULT ProcessMessage(IMsgStore* store, ULONG messageIdSize, const ENTRYID* messageId,
                         ULONG folderIdSize, const ENTRYID* folderId, ULONG* eventType,
                         MRCHANDLED* handled) override;

 private:
  ~RuleClient();
  HRESULT DeleteMessage(IMsgStore* store, ULONG messageIdSize, const ENTRYID* messageId,
                        ULONG folderIdSize, const ENTRYID* folderId, ULONG* eventType,
                        MRCHANDLED* handled);

  std::atomic<int32_t> references_{1};
  std::unique_ptr<ChannelWriter> channel_;
};

}  // namespace brevalo
