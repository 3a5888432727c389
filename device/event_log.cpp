#include "device/event_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <system_error>

#include "device/utf8_codec.h"

namespace brevalo {

EventLog::EventLog(const Device& device) : file_(device.LogDir() / "events.jsonl") {}

std::string EventLog::NowIso8601() {
  using namespace std::chrono;
  auto now = system_clock::now();
  auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(millis / 1000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                static_cast<int>(millis % 1000));
  return text;
}

bool EventLog::Append(std::string_view kind, const nlohmann::json& fields) const {
  nlohmann::ordered_json event;
  event["time"] = NowIso8601();
  event["kind"] = std::string(kind);
  if (fields.is_object()) {
    for (auto it = fields.begin(); it != fields.end(); ++it) {
      if (it.key() != "time" && it.key() != "kind") event[it.key()] = *it;
    }
  } else if (!fields.is_null()) {
    event["value"] = fields;
  }
  // Replacing bad UTF-8 instead of refusing it: a library's debug line must not vanish
  // because it carried a stray byte.
  std::string line = event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  line.push_back('\n');

  std::error_code error;
  std::filesystem::create_directories(file_.parent_path(), error);
  int fd = open(file_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // One write per line: with O_APPEND the kernel places it whole at the end, whoever else is
  // appending. A short write would leave a torn line that readers skip.
  ssize_t written;
  do {
    written = write(fd, line.data(), line.size());
  } while (written < 0 && errno == EINTR);
  close(fd);
  return written == static_cast<ssize_t>(line.size());
}

bool EventLog::AppendDebugOutput(std::u16string_view source, std::u16string_view text) const {
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r')) text.remove_suffix(1);
  return Append("debug",
                {{"source", Utf16ToUtf8(source, 0xFFFD)}, {"text", Utf16ToUtf8(text, 0xFFFD)}});
}

std::vector<nlohmann::json> EventLog::Read(const Reporter& reporter) const {
  std::ifstream in(file_, std::ios::binary);
  if (!in) return {};
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ParseLines(text, reporter);
}

namespace {

const char* Damage(const nlohmann::json& event) {
  if (event.is_discarded()) return "not JSON";
  if (!event.is_object()) return "not an object";
  auto time = event.find("time");
  if (time == event.end() || !time->is_string()) return "no time";
  auto kind = event.find("kind");
  if (kind == event.end() || !kind->is_string()) return "no kind";
  return nullptr;
}

}  // namespace

std::vector<nlohmann::json> EventLog::ParseLines(std::string_view text, const Reporter& reporter) {
  std::vector<nlohmann::json> events;
  size_t lineNumber = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) break;  // unfinished last line
    ++lineNumber;
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    nlohmann::json event = nlohmann::json::parse(line, nullptr, false);
    if (const char* reason = Damage(event)) {
      if (reporter) reporter(lineNumber, line, reason);
      continue;
    }
    events.push_back(std::move(event));
  }
  return events;
}

}  // namespace brevalo
