#include "alert/alert_samples.h"

#include <cmath>
#include <cstdint>

#include "alert/bitmap.h"
#include "alert/little_endian.h"
#include "alert/pixel_canvas.h"
#include "alert/skin_artwork.h"

namespace brevalo {
namespace {

constexpr int kRate = 22050;

// Notes of `ms` each, every one fading out; frequency 0 is a rest.
std::vector<int16_t> Melody(const std::vector<double>& notes, int ms) {
  std::vector<int16_t> samples;
  const int length = kRate * ms / 1000;
  for (double hz : notes) {
    for (int i = 0; i < length; ++i) {
      double fade = 1.0 - static_cast<double>(i) / length;
      double wave = hz > 0 ? std::sin(2.0 * M_PI * hz * i / kRate) : 0.0;
      samples.push_back(static_cast<int16_t>(wave * fade * 9000.0));
    }
  }
  return samples;
}

// A head and shoulders on a coloured ground, with a band in the person's own colour.
Bitmap Portrait(uint32_t ground, uint32_t shirt) {
  Bitmap b(60, 60, ground);
  PaintWhere(b, [](int x, int y) { return InEllipse(x, y, 8, 38, 52, 80); },
             [shirt](int, int y) { return MixColor(shirt, 0x000000, (y - 38) / 60.0); });
  PaintWhere(b, [](int x, int y) { return InEllipse(x, y, 19, 10, 41, 36); },
             [](int, int y) { return MixColor(Rgb(250, 214, 180), Rgb(222, 170, 130), (y - 10) / 26.0); });
  PaintWhere(b, [](int x, int y) { return InEllipse(x, y, 18, 7, 42, 22) && y < 17; },
             [](int, int) { return Rgb(70, 45, 30); });
  return b;
}

}  // namespace

std::string EncodeWav(const std::vector<int16_t>& samples, int rate) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::string out = "RIFF";
  AppendLe32(out, 36 + dataBytes);
  out += "WAVEfmt ";
  AppendLe32(out, 16);
  AppendLe16(out, 1);  // PCM
  AppendLe16(out, 1);  // mono
  AppendLe32(out, static_cast<uint32_t>(rate));
  AppendLe32(out, static_cast<uint32_t>(rate) * 2);
  AppendLe16(out, 2);
  AppendLe16(out, 16);
  out += "data";
  AppendLe32(out, dataBytes);
  for (int16_t s : samples) AppendLe16(out, static_cast<uint16_t>(s));
  return out;
}

std::vector<SampleFile> AlertSampleFiles() {
  std::vector<SampleFile> files;
  for (const SampleSkin& skin : SampleSkins()) {
    files.push_back({u"skins\\" + skin.name + u".cfg", skin.cfg});
    files.push_back({u"skins\\" + skin.name + u".bmp", EncodeBmp(skin.bitmap)});
  }
  files.push_back({u"sounds\\Chime.wav", EncodeWav(Melody({1318.5, 1046.5, 784.0}, 180), kRate)});
  files.push_back({u"sounds\\Bell.wav", EncodeWav(Melody({880.0, 0.0, 880.0}, 140), kRate)});
  files.push_back({u"sounds\\Rise.wav", EncodeWav(Melody({523.3, 659.3, 784.0, 1046.5}, 120), kRate)});
  // Named after the device's sample contacts, whose display names are the pop-up's sender line.
  // Named as the pop-up looks a contact's photo up: by the sender line, the display name
  // without its blanks.
  files.push_back({u"photo\\AnnLee.bmp", EncodeBmp(Portrait(Rgb(120, 190, 230), Rgb(200, 60, 90)))});
  files.push_back({u"photo\\BobStone.bmp", EncodeBmp(Portrait(Rgb(170, 220, 150), Rgb(40, 80, 160)))});
  files.push_back({u"photo\\Unknown.bmp", EncodeBmp(Portrait(Rgb(200, 200, 200), Rgb(110, 110, 110)))});
  return files;
}

}  // namespace brevalo
