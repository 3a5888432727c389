// What a test reads back from the phone's message store.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/phone_database.h"

namespace brevalo::testing {

// The texts of `folder`, oldest first.
inline std::vector<std::u16string> PhoneFolderTexts(PhoneDatabase& phone, PhoneFolder folder) {
  std::vector<PhoneMessage> messages;
  EXPECT_TRUE(phone.ListMessages(folder, &messages));
  std::vector<std::u16string> texts;
  for (const PhoneMessage& message : messages) texts.push_back(message.text);
  return texts;
}

}  // namespace brevalo::testing
