// Any text as a recipient list (typed by the user or made from contacts): every number handed
// to the SMS library is terminated, fits its address, is not empty and holds none of the
// characters that are dropped; the display name, the title and the recorded body stay bounded.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/sent_message_recorder.h"
#include "send/recipients.h"
#include "send/sms_transport.h"
#include "store/node_title.h"

namespace {

using namespace brevalo;

size_t g_calls = 0;

HRESULT FakeSend(SMS_HANDLE, const SMS_ADDRESS*, const SMS_ADDRESS* to, const SYSTEMTIME*,
                 const uint8_t*, DWORD, const uint8_t*, DWORD providerSize, SMS_DATA_ENCODING,
                 DWORD, SMS_MESSAGE_ID*) {
  ++g_calls;
  if (providerSize != sizeof(TEXT_PROVIDER_SPECIFIC_DATA)) std::abort();
  size_t length = 0;
  while (length < SMS_MAX_ADDRESS_LENGTH && to->ptsAddress[length] != 0) ++length;
  if (length == 0 || length == SMS_MAX_ADDRESS_LENGTH) std::abort();
  for (size_t i = 0; i < length; ++i) {
    const char16_t c = to->ptsAddress[i];
    if (c == u' ' || c == u'(' || c == u')' || c == u'-' || c == u'<' || c == u'>' || c == u';') {
      std::abort();
    }
  }
  // Refuse some address types so that every fallback runs.
  return to->smsatAddressType == SMSAT_ALPHANUMERIC ? S_OK : SMS_E_ADDRESS_REJECTED;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SendRecord record;
  for (size_t i = 0; i + 1 < size; i += 2) {
    record.recipients.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  record.text = record.recipients;
  SmsEntryPoints sms;
  sms.send = FakeSend;
  g_calls = 0;
  const int result = SendToRecipients(sms, 1, record);
  if (result != 0 && result != 1) std::abort();
  if (g_calls % 5 != 0) std::abort();

  const RecipientName name = RecipientDisplayName(record.recipients);
  if (name.name.size() > record.recipients.size()) std::abort();
  if (name.number.find_first_of(u" ()-;>") != std::u16string::npos) std::abort();

  const std::u16string title = BuildTitle(SentTitleContact(record.recipients), record.text,
                                          u"1/1/26 0:00", kTitleContactTime, 10);
  if (title.size() > kTitleCapacity) std::abort();
  const CodePage page;
  if (page.FromUtf16(SentContent(page, record.recipients, record.text)).size() >=
      kSentContentCapacity) {
    std::abort();
  }
  return 0;
}
