#include "send/sms_transport.h"

#include <array>

#include "device/kernel_wait.h"
#include "filter/normalize_number.h"
#include "store/folder_tree.h"

namespace brevalo {
namespace {

constexpr std::array<SMS_ADDRESS_TYPE, 5> kAddressTypes = {
    SMSAT_UNKNOWN, SMSAT_NATIONAL, SMSAT_INTERNATIONAL, SMSAT_NETWORKSPECIFIC, SMSAT_ALPHANUMERIC};

bool SameMinute(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
         a.wMinute == b.wMinute;
}

// Sends to one recipient entry; nothing (no number in it) leaves `result` as it was.
void SendToEntry(const SmsEntryPoints& sms, SMS_HANDLE handle, std::u16string_view entry,
                 const TEXT_PROVIDER_SPECIFIC_DATA& providerData, std::u16string_view text,
                 int* result) {
  // The number is taken from the whole entry, so a long name before it does not matter; only
  // a number longer than the address holds is refused.
  std::u16string number(entry.size() + 1, u'\0');
  size_t length = NormalizeNumber(entry, number.data(), number.size());
  if (length == 0) return;
  if (length > kMaxAddressLength) {
    *result = 0;
    return;
  }
  SMS_ADDRESS address{};
  std::copy_n(number.data(), length, address.ptsAddress);
  *result = SendToOneNumber(sms, handle, &address, providerData, text);
}

}  // namespace

TEXT_PROVIDER_SPECIFIC_DATA ProviderDataFor(uint32_t flags) {
  TEXT_PROVIDER_SPECIFIC_DATA data{};
  data.dwMessageOptions =
      (flags & SEND_STATUS_REPORT) ? PS_MESSAGE_OPTION_STATUSREPORT : PS_MESSAGE_OPTION_NONE;
  data.psMessageClass = (flags & SEND_FLASH) ? PS_MESSAGE_CLASS0 : PS_MESSAGE_CLASS1;
  return data;
}

int SendToOneNumber(const SmsEntryPoints& sms, SMS_HANDLE handle, SMS_ADDRESS* address,
                    const TEXT_PROVIDER_SPECIFIC_DATA& providerData, std::u16string_view text) {
  const auto* data = reinterpret_cast<const uint8_t*>(text.data());
  const auto size = static_cast<DWORD>(text.size() * sizeof(char16_t));
  for (SMS_ADDRESS_TYPE type : kAddressTypes) {
    address->smsatAddressType = type;
    SMS_MESSAGE_ID id = 0;
    HRESULT hr = sms.send(handle, nullptr, address, nullptr, data, size,
                          reinterpret_cast<const uint8_t*>(&providerData), sizeof(providerData),
                          SMSDE_OPTIMAL, SMS_OPTION_DELIVERY_NONE, &id);
    if (hr >= 0) return 1;
  }
  return 0;
}

int SendToRecipients(const SmsEntryPoints& sms, SMS_HANDLE handle, const SendRecord& record) {
  const TEXT_PROVIDER_SPECIFIC_DATA providerData = ProviderDataFor(record.flags);
  std::u16string_view rest = record.recipients;
  int result = 0;
  while (true) {
    size_t end = rest.find(u';');
    SendToEntry(sms, handle, rest.substr(0, end), providerData, record.text, &result);
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return result;
}

// ---- SmsTransport ---------------------------------------------------------------------------

SmsTransport::SmsTransport(const Device& device, ModuleLoader& loader, Clock clock)
    : device_(device), loader_(loader), clock_(std::move(clock)) {}

SmsTransport::~SmsTransport() { Stop(); }

bool SmsTransport::Start(SendResultSink* sink) {
  if (running_.load() || library_) return false;
  library_ = loader_.Load(kSmsLibraryName);
  if (!library_) return false;
  if (!CreateKernelObjects() || !Bind()) {
    // Stopped, without holding a library it cannot use.
    loader_.Unload(library_);
    library_ = {};
    return false;
  }
  sink_ = sink;
  running_ = true;
  threadEnded_ = false;
  thread_ = std::thread([this] { ThreadMain(); });
  return true;
}

bool SmsTransport::CreateKernelObjects() {
  event_ = NamedEvent::Create(device_, kSendThreadEvent, false, false);
  if (!event_) return false;
  mutex_ = NamedMutex::Create(device_, kSendThreadMutex, false);
  return mutex_ != nullptr;
}

bool SmsTransport::Bind() {
  SmsEntryPoints bound;
  bound.open = loader_.SymbolAs<SmsOpenFunction>(library_, kSmsOpen);
  bound.send = loader_.SymbolAs<SmsSendMessageFunction>(library_, kSmsSendMessage);
  bound.close = loader_.SymbolAs<SmsCloseFunction>(library_, kSmsClose);
  // A library without one of them is not used at all: no call may reach a missing one.
  if (!bound.Complete()) return false;
  // The device's libraries work on the device of the process that tells them which one.
  if (auto setDevice = loader_.SymbolAs<SetDeviceFolderFunction>(library_, kSetDeviceFolder)) {
    setDevice(device_.Dir().c_str());
  }
  sms_ = bound;
  return true;
}

void SmsTransport::Lock() {
  if (mutex_) mutex_->Wait(INFINITE);
}

void SmsTransport::Unlock() {
  if (mutex_) mutex_->Release();
}

void SmsTransport::Enqueue(std::u16string_view recipients, std::u16string_view text,
                           uint32_t flags, const SYSTEMTIME* sendTime, TreeNode* node) {
  auto record = std::make_unique<SendRecord>();
  record->recipients = recipients;
  record->text = text;
  record->flags = flags;
  record->node = node;
  record->nodeOffset = node != nullptr ? node->Data().offset : 0;
  if (sendTime != nullptr) {
    record->sendTime = *sendTime;
    record->flags |= SEND_TIMED;
  }
  Lock();
  queue_.push_back(std::move(record));
  Unlock();
  if (event_) event_->Set();
}

void SmsTransport::Wake() {
  if (running_.load() && event_) event_->Set();
}

size_t SmsTransport::QueuedCount() {
  Lock();
  size_t count = queue_.size();
  Unlock();
  return count;
}

void SmsTransport::Stop(const WaitUntil& waitUntil) {
  running_ = false;
  if (thread_.joinable()) {
    event_->Set();
    if (waitUntil) waitUntil([this] { return threadEnded_.load(); });
    thread_.join();
  }
  sms_ = {};
  sink_ = nullptr;
  if (library_) loader_.Unload(library_);
  library_ = {};
  queue_.clear();
}

void SmsTransport::ThreadMain() {
  while (running_.load()) {
    event_->Wait(INFINITE);
    // Woken to stop: the window the results would go to is going away.
    if (!running_.load()) break;
    Pass();
  }
  threadEnded_ = true;
}

bool SmsTransport::IsDue(const SendRecord& record, const SYSTEMTIME& now) const {
  return (record.flags & SEND_TIMED) == 0 || SameMinute(record.sendTime, now);
}

// Newest first. The library is opened for the first due record and closed at the end; when it
// will not open, every record stays for the next wake-up. Each result is delivered with the
// queue unlocked: only this thread removes records and others only append, so the records
// below the current one keep their places meanwhile.
void SmsTransport::Pass() {
  Lock();
  const SYSTEMTIME now = clock_();
  SMS_HANDLE handle = 0;
  bool open = false;
  for (size_t i = queue_.size(); i-- > 0 && running_.load();) {
    if (!IsDue(*queue_[i], now)) continue;
    if (!open) {
      if (sms_.open(kSmsProtocol, SMS_MODE_SEND, &handle, nullptr) != S_OK) break;
      open = true;
    }
    const int result = SendToRecipients(sms_, handle, *queue_[i]);
    std::unique_ptr<SendRecord> record = std::move(queue_[i]);
    queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(i));
    Unlock();
    if (sink_ != nullptr) sink_->DeliverResult(*record, result);
    Lock();
  }
  if (open) sms_.close(handle);
  Unlock();
}

}  // namespace brevalo
