// The send queue and its thread: messages handed over by the compose window and the filters'
// replies wait here until the send thread passes them to the phone's SMS library (sms.dll,
// loaded by name), and each outcome goes back to a SendResultSink, the main window.
//
// The queue is guarded by the device's mutex "SMS_SEND_THREAD_MUTEX"; the thread sleeps on the
// auto-reset event "SMS_SEND_THREAD_EVENT", which Enqueue and Wake signal. Results are delivered
// with the mutex released, so the receiver's thread may enqueue while it handles one.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <thread>
#include <vector>

#include "device/device_paths.h"
#include "device/module_loader.h"
#include "device/named_event.h"
#include "device/named_mutex.h"
#include "device/sms_library.h"
#include "send/send_record.h"

namespace brevalo {

inline constexpr std::u16string_view kSmsLibraryName = u"sms.dll";
inline constexpr std::u16string_view kSendThreadEvent = u"SMS_SEND_THREAD_EVENT";
inline constexpr std::u16string_view kSendThreadMutex = u"SMS_SEND_THREAD_MUTEX";
inline constexpr char16_t kSmsProtocol[] = u"Microsoft Text SMS Protocol";

// The longest number an address holds; a longer one is refused rather than cut, so that no
// message goes to a number the user did not write.
inline constexpr size_t kMaxAddressLength = SMS_MAX_ADDRESS_LENGTH - 1;

// The library's entry points as bound by name; all three present or the set is unusable.
struct SmsEntryPoints {
  SmsOpenFunction open = nullptr;
  SmsSendMessageFunction send = nullptr;
  SmsCloseFunction close = nullptr;
  bool Complete() const { return open && send && close; }
};

// Message class and status report option for the flags of a record.
TEXT_PROVIDER_SPECIFIC_DATA ProviderDataFor(uint32_t flags);

// Sends `text` to the number in address->ptsAddress on the open `handle`, trying the address
// types unknown, national, international, network-specific and alphanumeric in turn. 1 when one
// was accepted, else 0. Used by the send thread and by group sending.
int SendToOneNumber(const SmsEntryPoints& sms, SMS_HANDLE handle, SMS_ADDRESS* address,
                    const TEXT_PROVIDER_SPECIFIC_DATA& providerData, std::u16string_view text);

// Sends the record to every number of its recipient list on the open `handle`: the result of
// the last entry that held a number, 0 when none did. An entry whose number is longer than an
// address holds counts as a failed number.
int SendToRecipients(const SmsEntryPoints& sms, SMS_HANDLE handle, const SendRecord& record);

class SmsTransport {
 public:
  using Clock = std::function<SYSTEMTIME()>;
  // Waits on the stopping thread until the condition holds; the main window handles the
  // results sent to it meanwhile, so that a delivery under way can finish.
  using WaitUntil = std::function<void(const std::function<bool()>& ended)>;

  // `loader` must outlive the transport; `clock` gives local time (injectable for tests).
  SmsTransport(const Device& device, ModuleLoader& loader, Clock clock = GetLocalTime);
  ~SmsTransport();
  SmsTransport(const SmsTransport&) = delete;
  SmsTransport& operator=(const SmsTransport&) = delete;

  // Loads sms.dll, creates the event and the mutex, binds the entry points and starts the send
  // thread, in this order; false at the first step that fails, and the transport stays
  // stopped. `sink` must outlive Stop. Once only.
  bool Start(SendResultSink* sink);
  bool Running() const { return running_.load(); }

  // Copies the record into the queue and wakes the thread. With `sendTime` the message waits
  // for that minute. `node` is the message's draft, which must be in the open document's tree
  // now. Records queued while stopped are never sent.
  void Enqueue(std::u16string_view recipients, std::u16string_view text, uint32_t flags,
               const SYSTEMTIME* sendTime, TreeNode* node);
  // The clock of timed messages: the main window calls it every 1500 ms.
  void Wake();

  // Ends the thread and releases the library; queued records are dropped. With `waitUntil`
  // the caller's thread keeps serving deliveries while the thread ends; without it the caller
  // must not be the thread that results are delivered to.
  void Stop(const WaitUntil& waitUntil = {});

  // For group sending: the bound entry points while running.
  const SmsEntryPoints& EntryPoints() const { return sms_; }
  size_t QueuedCount();

 private:
  bool CreateKernelObjects();
  bool Bind();
  void ThreadMain();
  void Pass();
  bool IsDue(const SendRecord& record, const SYSTEMTIME& now) const;
  void Lock();
  void Unlock();

  const Device& device_;
  ModuleLoader& loader_;
  Clock clock_;
  SendResultSink* sink_ = nullptr;
  ModuleHandle library_;
  std::unique_ptr<NamedEvent> event_;
  std::unique_ptr<NamedMutex> mutex_;
  SmsEntryPoints sms_;
  std::atomic<bool> running_{false};
  std::atomic<bool> threadEnded_{true};
  std::thread thread_;
  std::vector<std::unique_ptr<SendRecord>> queue_;
};

}  // namespace brevalo
