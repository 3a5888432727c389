#include "store/body_codec.h"

#include <zlib.h>

#include <algorithm>

#include "store/store_format.h"

namespace brevalo {
namespace {

constexpr int kCompressionLevel = 5;
// Most message bodies compress into this area with one call; larger ones get an area that
// deflateBound says is always enough, so the single finishing call still completes.
constexpr size_t kCompressArea = 2048;
// Deflate cannot shrink data by more than about 1032:1; a text size beyond that is damage.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr size_t kSizeWord = 4;

bool FitsFile(StoreFile& file, uint64_t offset, uint64_t size) {
  auto fileSize = file.Size();
  return fileSize && offset <= *fileSize && size <= *fileSize - offset;
}

std::optional<StoredBody> ReadBytes(StoreFile& file, uint64_t offset, size_t headSize,
                                    uint64_t payloadSize) {
  if (!FitsFile(file, offset, headSize + payloadSize)) return std::nullopt;
  StoredBody body;
  body.bytes.resize(headSize + payloadSize);
  if (file.ReadAt(offset, body.bytes.data(), body.bytes.size()) != body.bytes.size()) {
    return std::nullopt;
  }
  return body;
}

// One deflate and one inflate state per thread, reset for every body: setting a state up anew
// costs a quarter of a megabyte of fresh memory each time, far more than compressing a message.
// A reset stream produces exactly the bytes of a new one.
class ZlibStreams {
 public:
  ZlibStreams() {
    deflateReady_ = deflateInit(&deflater_, kCompressionLevel) == Z_OK;
    inflateReady_ = inflateInit(&inflater_) == Z_OK;
  }
  ~ZlibStreams() {
    if (deflateReady_) deflateEnd(&deflater_);
    if (inflateReady_) inflateEnd(&inflater_);
  }
  ZlibStreams(const ZlibStreams&) = delete;
  ZlibStreams& operator=(const ZlibStreams&) = delete;

  z_stream* Deflater() {
    return deflateReady_ && deflateReset(&deflater_) == Z_OK ? &deflater_ : nullptr;
  }
  z_stream* Inflater() {
    return inflateReady_ && inflateReset(&inflater_) == Z_OK ? &inflater_ : nullptr;
  }

  static ZlibStreams& ForThisThread() {
    thread_local ZlibStreams streams;
    return streams;
  }

 private:
  z_stream deflater_{};
  z_stream inflater_{};
  bool deflateReady_ = false;
  bool inflateReady_ = false;
};

std::string Inflate(const uint8_t* data, size_t size, uint32_t textSize) {
  std::string text(textSize, '\0');
  if (textSize == 0) return text;
  z_stream* inflater = ZlibStreams::ForThisThread().Inflater();
  if (!inflater) return text;
  z_stream& stream = *inflater;
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = reinterpret_cast<Bytef*>(text.data());
  stream.avail_out = textSize;
  // A stream that does not end cleanly still yields what was decompressed before the damage.
  inflate(&stream, Z_NO_FLUSH);
  return text;
}

}  // namespace

std::optional<StoredBody> CompressBody(std::string_view ansiText) {
  if (ansiText.size() > kMaxBodyTextSize) return std::nullopt;
  z_stream* deflater = ZlibStreams::ForThisThread().Deflater();
  if (!deflater) return std::nullopt;
  z_stream& stream = *deflater;
  size_t area = std::max<size_t>(kCompressArea, deflateBound(&stream, ansiText.size()));
  StoredBody body;
  body.bytes.resize(2 * kSizeWord + area);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(ansiText.data()));
  stream.avail_in = static_cast<uInt>(ansiText.size());
  stream.next_out = body.bytes.data() + 2 * kSizeWord;
  stream.avail_out = static_cast<uInt>(area);
  int result = deflate(&stream, Z_FINISH);
  uLong compressed = stream.total_out;
  if (result != Z_STREAM_END) return std::nullopt;
  body.bytes.resize(2 * kSizeWord + compressed);
  EncodeFixed32(body.bytes.data(), static_cast<uint32_t>(compressed));
  EncodeFixed32(body.bytes.data() + kSizeWord, static_cast<uint32_t>(ansiText.size()));
  return body;
}

std::optional<StoredBody> ReadStoredBody(StoreFile& file, uint64_t offset, uint32_t format) {
  if (format == kBodyCompressed) {
    uint8_t sizes[2 * kSizeWord];
    if (file.ReadAt(offset, sizes, sizeof sizes) != sizeof sizes) return std::nullopt;
    uint32_t compressed = DecodeFixed32(sizes);
    uint32_t textSize = DecodeFixed32(sizes + kSizeWord);
    if (textSize > kMaxBodyTextSize || textSize > uint64_t{compressed} * kMaxInflateRatio + 1024) {
      return std::nullopt;
    }
    return ReadBytes(file, offset, sizeof sizes, compressed);
  }
  if (format == kBodyScrambled0 || format == kBodyScrambled1) {
    uint8_t length[kSizeWord];
    if (file.ReadAt(offset, length, sizeof length) != sizeof length) return std::nullopt;
    uint32_t size = DecodeFixed32(length);
    if (size > kMaxBodyTextSize) return std::nullopt;
    return ReadBytes(file, offset, sizeof length, size);
  }
  return StoredBody{};
}

bool InflatesWhole(const StoredBody& body) {
  const std::vector<uint8_t>& bytes = body.bytes;
  if (bytes.size() < 2 * kSizeWord) return false;
  const uint32_t textSize = DecodeFixed32(bytes.data() + kSizeWord);
  z_stream* inflater = ZlibStreams::ForThisThread().Inflater();
  if (!inflater) return false;
  std::string text(textSize + 1, '\0');  // one more, so that a longer stream shows
  z_stream& stream = *inflater;
  stream.next_in = const_cast<Bytef*>(bytes.data() + 2 * kSizeWord);
  stream.avail_in = static_cast<uInt>(bytes.size() - 2 * kSizeWord);
  stream.next_out = reinterpret_cast<Bytef*>(text.data());
  stream.avail_out = static_cast<uInt>(text.size());
  return inflate(&stream, Z_FINISH) == Z_STREAM_END && stream.total_out == textSize &&
         stream.avail_in == 0;
}

std::string DecodeBody(const StoredBody& body, uint32_t format, uint32_t recordKey) {
  const std::vector<uint8_t>& bytes = body.bytes;
  if (format == kBodyCompressed && bytes.size() >= 2 * kSizeWord) {
    uint32_t textSize = DecodeFixed32(bytes.data() + kSizeWord);
    return Inflate(bytes.data() + 2 * kSizeWord, bytes.size() - 2 * kSizeWord, textSize);
  }
  if ((format == kBodyScrambled0 || format == kBodyScrambled1) && bytes.size() >= kSizeWord) {
    std::vector<uint8_t> text(bytes.begin() + kSizeWord, bytes.end());
    ScrambleText(recordKey, text.data(), text.size());
    return std::string(text.begin(), text.end());
  }
  return {};
}

std::u16string BodyTextToUtf16(const CodePage& codePage, std::string_view ansiText) {
  return codePage.ToUtf16(ansiText.substr(0, ansiText.find('\0')));
}

std::string BodyTextFromUtf16(const CodePage& codePage, std::u16string_view text) {
  std::string ansi = codePage.FromUtf16(text);
  ansi.push_back('\0');
  return ansi;
}

}  // namespace brevalo
