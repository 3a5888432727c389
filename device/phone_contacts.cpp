#include "device/phone_contacts.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "device/file_replace.h"

namespace brevalo {
namespace fs = std::filesystem;

namespace {

bool Fail(std::string* error, const fs::path& file, const char* what) {
  if (error != nullptr) *error = file.string() + ": " + what + ": " + std::strerror(errno);
  return false;
}

bool WriteThrough(const fs::path& file, const std::string& text, std::string* error) {
  std::error_code ignored;
  fs::create_directories(file.parent_path(), ignored);
  return ReplaceFileContents(file, text) || Fail(error, file, "cannot write");
}

}  // namespace

fs::path PhoneContacts::FileOf(const Device& device) { return device.PhoneDir() / "contacts.vcf"; }

std::optional<std::vector<Contact>> PhoneContacts::Load(const Device& device, std::string* error) {
  fs::path file = FileOf(device);
  int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::vector<Contact>{};
    Fail(error, file, "cannot read");
    return std::nullopt;
  }
  std::string text;
  char buffer[65536];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      Fail(error, file, "cannot read");
      close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return ParseVCards(text);
}

bool PhoneContacts::Save(const Device& device, const std::vector<Contact>& contacts,
                         std::string* error) {
  fs::path file = FileOf(device);
  std::error_code ignored;
  fs::create_directories(file.parent_path(), ignored);
  FileChangeLock lock(file);
  if (!lock.held()) return Fail(error, file, "cannot lock");
  return WriteThrough(file, FormatVCards(contacts), error);
}

bool PhoneContacts::Add(const Device& device, const Contact& contact, std::string* error) {
  fs::path file = FileOf(device);
  std::error_code ignored;
  fs::create_directories(file.parent_path(), ignored);
  FileChangeLock lock(file);
  if (!lock.held()) return Fail(error, file, "cannot lock");
  std::optional<std::vector<Contact>> contacts = Load(device, error);
  if (!contacts) return false;
  contacts->push_back(contact);
  return WriteThrough(file, FormatVCards(*contacts), error);
}

std::vector<Contact> PhoneContacts::Samples() {
  return {
      {u"Ann Lee", u"+8613800138000", u"", u"", {u"Friends"}},
      {u"Bob Stone", u"13911112222", u"", u"+86105550100", {u"Work", u"Friends"}},
      {u"Chen Wei", u"", u"0105550123", u"", {u"Family"}},
      {u"Dora Klein", u"+491701234567", u"+49305550199", u"+49305550100", {}},
      {u"\u738b\u82b3", u"13700001111", u"", u"", {u"Family"}},
  };
}

}  // namespace brevalo
