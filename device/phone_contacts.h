// The phone's contact list, DIR/phone/contacts.vcf. Readers see the old or the new file, never
// a torn one: every change writes a temporary file and renames it, under an exclusive lock so
// that two writers of one device do not lose each other's contacts.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "device/device_paths.h"
#include "device/vcard.h"

namespace brevalo {

class PhoneContacts {
 public:
  static std::filesystem::path FileOf(const Device& device);

  // Every contact of the file in file order; none for a missing file. Nothing, with *error
  // set, when the file exists but cannot be read.
  static std::optional<std::vector<Contact>> Load(const Device& device, std::string* error);
  // Replaces the file with these contacts.
  static bool Save(const Device& device, const std::vector<Contact>& contacts, std::string* error);
  // Appends one contact to what the file holds now.
  static bool Add(const Device& device, const Contact& contact, std::string* error);

  // The contacts a new device starts with.
  static std::vector<Contact> Samples();
};

}  // namespace brevalo
