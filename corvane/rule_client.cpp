#include "corvane/rule_client.h"

#include "corvane/corvane_module.h"
#include "device/code_page.h"
#include "device/mapi_memory.h"

namespace brevalo {
namespace {

void Debug(const std::u16string& line) { CorvaneModule::Instance().Debug(line); }

// One property of the message, in a buffer of the store that the holder frees.
class MessageProperty {
 public:
  MessageProperty() = default;
  ~MessageProperty() { MAPIFreeBuffer(value_); }
  MessageProperty(const MessageProperty&) = delete;
  MessageProperty& operator=(const MessageProperty&) = delete;

  HRESULT Read(IMessage* message, ULONG tag) {
    SizedSPropTagArray<1> tags{1, {tag}};
    ULONG count = 0;
    return message->GetProps(tags.get(), MAPI_UNICODE, &count, &value_);
  }

  // A property the message lacks comes back as an error value: it reads as empty text.
  std::u16string Text() const {
    if (value_ == nullptr || PROP_TYPE(value_->ulPropTag) != PT_UNICODE ||
        value_->Value.lpszW == nullptr) {
      return u"";
    }
    return value_->Value.lpszW;
  }

  FILETIME Time() const {
    if (value_ == nullptr || PROP_TYPE(value_->ulPropTag) != PT_SYSTIME) return FILETIME{0, 0};
    return value_->Value.ft;
  }

 private:
  SPropValue* value_ = nullptr;
};

// Releases the object it holds.
template <typename Interface>
class Held {
 public:
  ~Held() {
    if (object_ != nullptr) object_->Release();
  }
  IUnknown** Out() { return reinterpret_cast<IUnknown**>(&object_); }
  Interface* operator->() const { return object_; }
  Interface* get() const { return object_; }

 private:
  Interface* object_ = nullptr;
};

}  // namespace

RuleClient::RuleClient() : channel_(ChannelWriter::Open(CorvaneModule::Instance().CurrentDevice())) {
  CorvaneModule::Instance().ObjectMade();
}

RuleClient::~RuleClient() { CorvaneModule::Instance().ObjectFreed(); }

HRESULT RuleClient::QueryInterface(const IID& iid, void** object) {
  if (object == nullptr) return E_INVALIDARG;
  if (iid == IID_IUnknown || iid == IID_IMailRuleClient) {
    *object = static_cast<IMailRuleClient*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

uint32_t RuleClient::AddRef() {
  int32_t count = ++references_;
  Debug(u"CMailRuleClient reference is now " + FromUtf8(std::to_string(count)) + u"\r\n");
  return static_cast<uint32_t>(count);
}

uint32_t RuleClient::Release() {
  int32_t count = --references_;
  Debug(u"CMailRuleClient reference is now " + FromUtf8(std::to_string(count)) + u"\r\n");
  if (count == 0) {
    Debug(u"CMailRuleClient Deleted!\r\n");
    channel_.reset();
    delete this;
  }
  return static_cast<uint32_t>(count);
}

HRESULT RuleClient::Initialize(IMsgStore*, MRCACCESS* access) {
  if (access != nullptr) *access = MRC_ACCESS_WRITE_DELETE;
  return S_OK;
}

HRESULT RuleClient::ProcessMessage(IMsgStore* store, ULONG messageIdSize,
                                   const ENTRYID* messageId, ULONG folderIdSize,
                                   const ENTRYID* folderId, ULONG* eventType,
                                   MRCHANDLED* handled) {
  if (store == nullptr || handled == nullptr || eventType == nullptr) return E_INVALIDARG;
  Held<IMessage> message;
  ULONG type = 0;
  HRESULT result = store->OpenEntry(messageIdSize, messageId, nullptr, 0, &type, message.Out());
  if (FAILED(result) || message.get() == nullptr || type != MAPI_MESSAGE) {
    Debug(u"Unable to get the message!\r\n");
    return FAILED(result) ? result : MAPI_E_INVALID_ENTRYID;
  }
  MessageProperty text, sender, time;
  if (FAILED(result = text.Read(message.get(), PR_SUBJECT))) {
    Debug(u"Unable to get the message body!\r\n");
    return result;
  }
  if (FAILED(result = sender.Read(message.get(), PR_SENDER_EMAIL_ADDRESS))) {
    Debug(u"Couldn't get the sender's address!\r\n");
    return result;
  }
  result = time.Read(message.get(), PR_MESSAGE_DELIVERY_TIME);
  if (channel_ != nullptr) {
    ChannelWriter::HandOverResult handOver =
        channel_->HandOver(text.Text(), sender.Text(), time.Time());
    if (handOver.deleteAnswered) {
      return DeleteMessage(store, messageIdSize, messageId, folderIdSize, folderId, eventType,
                           handled);
    }
  }
  *handled = MRC_NOT_HANDLED;
  return result;
}

HRESULT RuleClient::DeleteMessage(IMsgStore* store, ULONG messageIdSize,
                                  const ENTRYID* messageId, ULONG folderIdSize,
                                  const ENTRYID* folderId, ULONG* eventType,
                                  MRCHANDLED* handled) {
  // Whatever goes wrong below, the message stays in the inbox: say so.
  *handled = MRC_NOT_HANDLED;
  Held<IMAPIFolder> folder;
  ULONG type = 0;
  HRESULT result = store->OpenEntry(folderIdSize, folderId, nullptr, 0, &type, folder.Out());
  if (FAILED(result) || folder.get() == nullptr || type != MAPI_FOLDER) {
    Debug(u"Couldn't get the folder!\r\n");
    return FAILED(result) ? result : MAPI_E_INVALID_ENTRYID;
  }
  SBinary entry{messageIdSize, const_cast<BYTE*>(reinterpret_cast<const BYTE*>(messageId))};
  ENTRYLIST list{1, &entry};
  result = folder->DeleteMessages(&list, 0, nullptr, 0);
  if (FAILED(result)) {
    Debug(u"Couldn't delete messages!\r\n");
    return result;
  }
  *eventType = fnevObjectDeleted;
  *handled = MRC_HANDLED_DONTCONTINUE;
  return result;
}

}  // namespace brevalo
