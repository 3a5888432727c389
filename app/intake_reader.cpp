#include "app/intake_reader.h"

#include "channel/channel_reader.h"

namespace brevalo {

IntakeReader::IntakeReader() = default;

IntakeReader::~IntakeReader() { Stop(); }

bool IntakeReader::Start(const Device& device, Deliver deliver) {
  if (reader_) return false;
  reader_ = ChannelReader::Open(device);
  if (!reader_) return false;
  deliver_ = std::move(deliver);
  ended_ = false;
  thread_ = std::thread([this] {
    reader_->Run([this](const SlotMessage& message) { return deliver_(message) != 0; });
    ended_ = true;
  });
  return true;
}

void IntakeReader::Retry() {
  if (reader_) reader_->Wake();
}

bool IntakeReader::AnswerDelete(uint64_t ticket) { return reader_ && reader_->AnswerDelete(ticket); }

void IntakeReader::Stop(const WaitUntil& waitUntil) {
  if (!reader_) return;
  reader_->Stop();
  if (thread_.joinable()) {
    if (waitUntil) waitUntil([this] { return ended_.load(); });
    thread_.join();
  }
  // The running flag stays 0 once the reader is gone.
  reader_.reset();
}

}  // namespace brevalo
