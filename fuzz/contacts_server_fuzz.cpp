// Any bytes as the phone's contact file, read the whole way a program reads it: the vCard
// reader, the contacts server's objects, the directory and the picker's rows. Nothing fails,
// every category index is valid, and every listed row shows a number that exists.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/contacts_objects.h"
#include "send/contact_picker_model.h"
#include "send/phone_contacts_loader.h"

namespace {

void CheckDirectory(const brevalo::ContactDirectory& directory) {
  for (const brevalo::DirectoryContact& contact : directory.Contacts()) {
    for (size_t category : contact.categories) {
      if (category >= directory.Categories().size()) std::abort();
      if (directory.Categories()[category].empty()) std::abort();
    }
  }
}

void CheckRows(brevalo::ContactPickerModel& model) {
  for (size_t row = 0; row < model.Rows().size(); ++row) {
    if (model.Number(row).empty()) std::abort();
    model.CycleNumber(row);
    if (model.Number(row).empty()) std::abort();
  }
  model.SetAllChecked(true);
  if (!model.CheckedEntries(SIZE_MAX)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  void* object = nullptr;
  auto reader = [&text] { return std::optional(brevalo::ParseVCards(text)); };
  if (brevalo::FAILED(brevalo::CreateContactsApplication(reader, brevalo::IID_IContactsApplication,
                                                &object))) {
    std::abort();
  }
  auto* application = static_cast<brevalo::IContactsApplication*>(object);
  brevalo::ContactDirectory directory([application](brevalo::ContactDirectory& into) {
    if (brevalo::FAILED(application->Logon(0)) || brevalo::FAILED(brevalo::ReadContactItems(*application, into))) {
      std::abort();
    }
  });
  directory.EnsureLoaded();
  application->Release();
  if (directory.Contacts().size() != brevalo::ParseVCards(text).size()) std::abort();
  CheckDirectory(directory);
  brevalo::ContactPickerModel model(directory, brevalo::PickerMode::kMultiple);
  model.Fill(std::nullopt);
  CheckRows(model);
  if (!directory.Categories().empty()) {
    model.Fill(directory.Categories().size() - 1);
    CheckRows(model);
  }
  if (brevalo::ContactsObjectsAlive() != 0) std::abort();
  return 0;
}
