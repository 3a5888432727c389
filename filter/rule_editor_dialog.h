// The Rule Editor ("Rule Editor"): Rule 1 and, when its box is ticked, Rule 2, each an Object
// spinner, a Judge spinner, a Content edit and "From Contact...", which puts a contact's
// number into the content.
#pragma once

#include "filter/filter.h"
#include "filter/filter_edit_form.h"
#include "send/contact_directory.h"

namespace brevalo {

class PhoneScreen;

enum RuleEditorControl : int {
  IDC_RULE1_OBJECT = 1201,
  IDC_RULE1_JUDGE = 1202,
  IDC_RULE1_CONTENT = 1203,
  IDC_RULE1_CONTACT = 1204,
  IDC_RULE2_ON = 1210,
  IDC_RULE2_OBJECT = 1211,
  IDC_RULE2_JUDGE = 1212,
  IDC_RULE2_CONTENT = 1213,
  IDC_RULE2_CONTACT = 1214,
};

// Modal; IDOK once the filter's conditions were replaced, IDCANCEL otherwise. In
// EDIT_FAST_CREATE the contact picker for Rule 1 opens by itself, and its Cancel cancels.
int RunRuleEditor(PhoneScreen& screen, Filter& filter, FilterEditMode mode, ContactDirectory& contacts);

}  // namespace brevalo
