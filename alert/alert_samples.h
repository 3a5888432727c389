// The sample files `phonesim install` puts into the program folder: skins (a .cfg with its
// .bmp each), ring tones for the random ring and contact photos named after the device's sample
// contacts. All of them drawn or synthesised here.
#pragma once

#include <string>
#include <vector>

namespace brevalo {

struct SampleFile {
  std::u16string path;  // relative to the program folder: "skins\Ocean.cfg"
  std::string bytes;
};

std::vector<SampleFile> AlertSampleFiles();

// A 16-bit mono PCM WAV file of `samples` at `rate` samples a second.
std::string EncodeWav(const std::vector<int16_t>& samples, int rate);

}  // namespace brevalo
