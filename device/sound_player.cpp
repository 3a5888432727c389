#include "device/sound_player.h"

#include <alsa/asoundlib.h>
#include <sndfile.h>

#include <cmath>
#include <vector>

#include "device/utf8_codec.h"

namespace brevalo {
namespace {

constexpr int kBeepRate = 22050;
constexpr int kBeepMs = 150;
constexpr double kBeepHz = 880.0;
constexpr sf_count_t kChunkFrames = 1024;

// ALSA prints every failed open to stderr; without a sound card that is every sound.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// An output stream of the machine's default device, or none: then the sound is silence.
class PcmOutput {
 public:
  PcmOutput(int channels, int rate) {
    snd_lib_error_set_handler(QuietAlsa);
    if (snd_pcm_open(&pcm_, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) {
      pcm_ = nullptr;
      return;
    }
    if (snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                           static_cast<unsigned>(channels), static_cast<unsigned>(rate), 1,
                           200000) < 0) {
      snd_pcm_close(pcm_);
      pcm_ = nullptr;
    }
  }
  ~PcmOutput() {
    if (pcm_ == nullptr) return;
    snd_pcm_drain(pcm_);
    snd_pcm_close(pcm_);
  }
  PcmOutput(const PcmOutput&) = delete;
  PcmOutput& operator=(const PcmOutput&) = delete;

  bool open() const { return pcm_ != nullptr; }
  void Write(const int16_t* frames, snd_pcm_uframes_t count) {
    while (count > 0) {
      snd_pcm_sframes_t written = snd_pcm_writei(pcm_, frames, count);
      if (written < 0 && snd_pcm_recover(pcm_, static_cast<int>(written), 1) < 0) return;
      if (written <= 0) continue;
      count -= static_cast<snd_pcm_uframes_t>(written);
      frames += static_cast<size_t>(written) * static_cast<size_t>(channels_);
    }
  }
  void SetChannels(int channels) { channels_ = channels; }

 private:
  snd_pcm_t* pcm_ = nullptr;
  int channels_ = 1;
};

}  // namespace

// What one playback thread plays: an opened sound file or a generated tone.
struct SoundPlayer::Playback {
  SNDFILE* file = nullptr;
  SF_INFO info{};
  std::vector<int16_t> tone;

  ~Playback() {
    if (file != nullptr) sf_close(file);
  }

  void Run(const std::atomic<bool>& stop) {
    int channels = file != nullptr ? info.channels : 1;
    int rate = file != nullptr ? info.samplerate : kBeepRate;
    PcmOutput out(channels, rate);
    if (!out.open()) return;  // no sound device: silence
    out.SetChannels(channels);
    if (file == nullptr) {
      out.Write(tone.data(), tone.size());
      return;
    }
    std::vector<int16_t> buffer(static_cast<size_t>(kChunkFrames * channels));
    while (!stop.load()) {
      sf_count_t frames = sf_readf_short(file, buffer.data(), kChunkFrames);
      if (frames <= 0) break;
      out.Write(buffer.data(), static_cast<snd_pcm_uframes_t>(frames));
    }
  }
};

SoundPlayer::SoundPlayer(const Device& device) : device_(device), log_(device) {}

SoundPlayer::~SoundPlayer() {
  std::lock_guard guard(mutex_);
  StopPlaying();
}

bool SoundPlayer::PlayFile(std::u16string_view devicePath, std::string_view reason) {
  auto playback = std::make_unique<Playback>();
  std::optional<std::filesystem::path> host =
      devicePath.empty() ? std::nullopt : device_.HostPath(devicePath);
  if (host) {
    playback->file = sf_open(host->c_str(), SFM_READ, &playback->info);
    // A file with no sound in it plays as silence, like one that cannot be read.
    if (playback->file != nullptr && (playback->info.channels < 1 || playback->info.samplerate < 1)) {
      sf_close(playback->file);
      playback->file = nullptr;
    }
  }
  bool played = playback->file != nullptr;
  log_.Append("sound", {{"file", Utf16ToUtf8(devicePath, 0xFFFD)},
                        {"reason", std::string(reason)},
                        {"played", played}});
  std::lock_guard guard(mutex_);
  StopPlaying();
  if (played) Start(std::move(playback));
  return played;
}

void SoundPlayer::Beep(std::string_view reason) {
  log_.Append("beep", {{"reason", std::string(reason)}});
  auto playback = std::make_unique<Playback>();
  const int samples = kBeepRate * kBeepMs / 1000;
  playback->tone.resize(static_cast<size_t>(samples));
  for (int i = 0; i < samples; ++i) {
    double wave = std::sin(2.0 * M_PI * kBeepHz * i / kBeepRate);
    playback->tone[static_cast<size_t>(i)] = static_cast<int16_t>(wave * 8000.0);
  }
  std::lock_guard guard(mutex_);
  StopPlaying();
  Start(std::move(playback));
}

// REQUIRES: mutex_ held.
void SoundPlayer::StopPlaying() {
  if (stop_) stop_->store(true);
  if (thread_.joinable()) thread_.join();
  stop_.reset();
}

// REQUIRES: mutex_ held and nothing playing.
void SoundPlayer::Start(std::unique_ptr<Playback> playback) {
  stop_ = std::make_shared<std::atomic<bool>>(false);
  thread_ = std::thread([stop = stop_, playback = std::move(playback)] { playback->Run(*stop); });
}

}  // namespace brevalo
