// phonesim contacts list|add: the phone's contact list, DIR/phone/contacts.vcf.
#include <iostream>

#include "device/code_page.h"
#include "device/phone_contacts.h"
#include "tools/phonesim/phonesim_command.h"
#include "tools/phonesim/phonesim_support.h"

namespace brevalo {
namespace {

struct ContactArgs {
  std::string name;
  std::string mobile;
  std::string home;
  std::string work;
  std::string categories;
};

nlohmann::json ContactJson(const Contact& contact) {
  nlohmann::json categories = nlohmann::json::array();
  for (const std::u16string& category : contact.categories) categories.push_back(ToUtf8(category));
  auto number = [](const std::u16string& text) {
    return text.empty() ? nlohmann::json(nullptr) : nlohmann::json(ToUtf8(text));
  };
  return {{"name", ToUtf8(contact.name)},
          {"mobile", number(contact.mobile)},
          {"home", number(contact.home)},
          {"work", number(contact.work)},
          {"categories", categories}};
}

int List(PhonesimContext& ctx) {
  if (!RequireDevice(ctx.DeviceFolder().Dir())) return kPhonesimFailure;
  std::string error;
  std::optional<std::vector<Contact>> contacts = PhoneContacts::Load(ctx.DeviceFolder(), &error);
  if (!contacts) return PhonesimFail(error);
  nlohmann::json out = nlohmann::json::array();
  for (const Contact& contact : *contacts) {
    if (ctx.json) {
      out.push_back(ContactJson(contact));
      continue;
    }
    std::cout << ToUtf8(contact.name);
    if (!contact.mobile.empty()) std::cout << "  M " << ToUtf8(contact.mobile);
    if (!contact.home.empty()) std::cout << "  H " << ToUtf8(contact.home);
    if (!contact.work.empty()) std::cout << "  W " << ToUtf8(contact.work);
    if (!contact.categories.empty()) std::cout << "  [" << ToUtf8(CategoriesText(contact)) << "]";
    std::cout << "\n";
  }
  if (ctx.json) PrintJson({{"contacts", out}});
  return kPhonesimOk;
}

// "Work, Friends" or "Work,Friends": the pieces between commas without their blanks.
std::vector<std::u16string> SplitCategories(const std::string& text) {
  std::vector<std::u16string> categories;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = std::min(text.find(',', start), text.size());
    std::string piece = text.substr(start, comma - start);
    start = comma + 1;
    size_t first = piece.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    piece = piece.substr(first, piece.find_last_not_of(' ') - first + 1);
    categories.push_back(FromUtf8(piece));
  }
  return categories;
}

int Add(PhonesimContext& ctx, const ContactArgs& args) {
  if (args.name.empty()) {
    PhonesimFail("--name must not be empty");
    return kPhonesimUsage;
  }
  if (!RequireDevice(ctx.DeviceFolder().Dir())) return kPhonesimFailure;
  Contact contact{FromUtf8(args.name), FromUtf8(args.mobile), FromUtf8(args.home),
                  FromUtf8(args.work), SplitCategories(args.categories)};
  std::string error;
  if (!PhoneContacts::Add(ctx.DeviceFolder(), contact, &error)) return PhonesimFail(error);
  if (ctx.json) PrintJson(ContactJson(contact));
  else std::cout << "contact " << args.name << " added\n";
  return kPhonesimOk;
}

void AddContactCommands(CLI::App& app, PhonesimContext& ctx) {
  static ContactArgs args;
  CLI::App* contacts = app.add_subcommand("contacts", "the phone's contact list");
  contacts->require_subcommand(1);
  CLI::App* list = contacts->add_subcommand("list", "list the contacts in file order");
  Bind(list, [&ctx] { return List(ctx); });
  CLI::App* add = contacts->add_subcommand("add", "add a contact");
  add->add_option("--name", args.name, "the display name")->required();
  add->add_option("--mobile", args.mobile, "mobile number");
  add->add_option("--home", args.home, "home number");
  add->add_option("--work", args.work, "work number");
  add->add_option("--categories", args.categories, "categories separated by commas");
  Bind(add, [&ctx] { return Add(ctx, args); });
}

PHONESIM_COMMANDS(AddContactCommands);

}  // namespace
}  // namespace brevalo
