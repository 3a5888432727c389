// The document's file system lets the program down while messages come in: it fills up, or the
// document is deleted or replaced behind the program's back. The phone's copy of a message may
// go only when the document holds it, so whatever the document could not hold stays in the
// phone's inbox, and the user is told once, with an Error box, to look at the file and the free
// space.
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/intake_device_fixture.h"

namespace brevalo {
namespace {

using testing::Delivery;
using testing::TextCounts;

int Count(const TextCounts& counts, const std::u16string& text) {
  auto found = counts.find(text);
  return found == counts.end() ? 0 : found->second;
}

// About two hundred characters, as a long SMS of two parts: a message costs the document and its
// journal a few hundred bytes each, so the space a full file system still has within pages it
// gave out runs out after a few messages.
std::u16string LongishText(const std::string& what, int number) {
  std::string text = what + " " + std::to_string(number) + ":";
  while (text.size() < 200) text += " the report is due on Friday, call me back";
  return FromUtf8(text);
}

// Where every message sent ended up.
struct Whereabouts {
  int inPhone = 0;
  int inDocument = 0;
  int lost = 0;
  std::vector<std::string> lostTexts;
};

Whereabouts Locate(const std::vector<std::u16string>& sent, const TextCounts& phone,
                   const TextCounts& document) {
  Whereabouts where;
  for (const std::u16string& text : sent) {
    const int p = Count(phone, text);
    const int d = Count(document, text);
    where.inPhone += p > 0;
    where.inDocument += d > 0;
    if (p + d == 0) {
      ++where.lost;
      where.lostTexts.push_back(ToUtf8(text));
    }
  }
  return where;
}

class IntakeFullDiskTest : public testing::IntakeDeviceTest {
 protected:
  void SetUp() override {
    IntakeDeviceTest::SetUp();
    if (HasFatalFailure()) return;
    std::filesystem::create_directories(DocumentsFolder());
    if (::mount("tmpfs", DocumentsFolder().c_str(), "tmpfs", 0, "size=2m") != 0) {
      GTEST_SKIP() << "a 2 MB tmpfs cannot be mounted on " << DocumentsFolder() << " ("
                   << std::strerror(errno) << "); mounting needs root or CAP_SYS_ADMIN";
    }
    mounted_ = true;
  }
  void TearDown() override {
    // The program goes first: it holds files on the mount.
    IntakeDeviceTest::TearDown();
    if (mounted_) ::umount2(DocumentsFolder().c_str(), MNT_DETACH);
  }

  // Takes every byte the file system has left, down to the last one.
  void FillTheDisk() {
    int fd = ::open(Filler().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    std::vector<char> block(64 * 1024, 'x');
    for (size_t size = block.size(); size > 0; size /= 2) {
      while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
      }
    }
    const bool stillTakes = ::write(fd, "x", 1) == 1;
    ::close(fd);
    ASSERT_FALSE(stillTakes) << "the file system still takes bytes";
  }
  std::filesystem::path Filler() { return DocumentsFolder() / "filler.bin"; }

  // Sends `count` messages, each told apart by `what` and its number.
  std::vector<Delivery> SendMessages(const std::string& what, int count,
                                     std::vector<std::u16string>* sent) {
    std::vector<Delivery> deliveries;
    for (int i = 0; i < count; ++i) {
      sent->push_back(LongishText(what, i));
      deliveries.push_back(Deliver(u"+15550100", sent->back()));
      EXPECT_TRUE(deliveries.back().outcome) << deliveries.back().error;
    }
    return deliveries;
  }

  bool mounted_ = false;
};

int Deleted(const std::vector<Delivery>& deliveries) {
  int deleted = 0;
  for (const Delivery& delivery : deliveries) deleted += delivery.Deleted();
  return deleted;
}

TEST_F(IntakeFullDiskTest, WhatTheDocumentCannotHoldStaysInThePhoneAndTheUserIsToldOnce) {
  StartReceivingIntoANewDocument();
  std::vector<std::u16string> sent;
  std::vector<Delivery> before = SendMessages("Before the disk filled", 2, &sent);
  ASSERT_EQ(Deleted(before), 2) << "with room on the disk the document holds them";

  FillTheDisk();
  std::vector<Delivery> full = SendMessages("On a full disk", 40, &sent);
  const int deletedWhileFull = Deleted(full);
  EXPECT_LT(deletedWhileFull, 40) << "a full disk held every message";

  nlohmann::json box = MessageBoxWithin();
  ASSERT_FALSE(box.is_null()) << "no Error box told the user";
  EXPECT_EQ(box["caption"], "Error");
  EXPECT_EQ(box["text"], testing::kSaveFailureText);
  EXPECT_EQ(StatusLine(), testing::kSaveFailureStatus);
  ASSERT_TRUE(Phonesim("key Action"));
  // The disk is still full: more of the same failure brings no second box.
  std::vector<Delivery> stillFull = SendMessages("Still full", 2, &sent);
  EXPECT_EQ(Deleted(stillFull), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(Screen().value_or(nlohmann::json())["messageBox"].is_null())
      << "a second box came for the same failure";

  // With room again, the next message is held and leaves the phone as the user asked.
  std::filesystem::remove(Filler());
  std::vector<Delivery> after = SendMessages("After the disk was freed", 1, &sent);
  EXPECT_EQ(Deleted(after), 1);
  EndProgram();

  const std::optional<TextCounts> document = DocumentTexts();
  ASSERT_TRUE(document) << "the document no longer opens";
  const TextCounts phone = PhoneInbox();
  Whereabouts where = Locate(sent, phone, *document);
  std::printf(
      "full disk: sent %zu, deleted while full %d, in the phone %d, in the document %d, lost %d\n",
      sent.size(), deletedWhileFull, where.inPhone, where.inDocument, where.lost);
  EXPECT_EQ(where.lost, 0) << ::testing::PrintToString(where.lostTexts);
  full.insert(full.end(), stillFull.begin(), stillFull.end());
  for (size_t i = 0; i < full.size(); ++i) {
    const std::u16string& text = sent[before.size() + i];
    if (full[i].Deleted()) {
      EXPECT_EQ(Count(*document, text), 1) << ToUtf8(text) << " left the phone";
    } else {
      EXPECT_EQ(Count(phone, text), 1) << ToUtf8(text) << " was said to be kept";
    }
  }
  testing::ShellResult check = CheckDocument();
  EXPECT_EQ(check.code, 0)
      << "a message the disk could not take must not leave a node behind that names "
         "no record; kvt check says:\n"
      << check.out << check.err;
}

// Close cannot write the index on a full disk; what the journal holds must survive that.
TEST_F(IntakeFullDiskTest, AMessageHeldBeforeTheDiskFilledSurvivesACloseThatCannotSave) {
  StartReceivingIntoANewDocument();
  std::vector<std::u16string> sent;
  std::vector<Delivery> held = SendMessages("Held", 5, &sent);
  ASSERT_EQ(Deleted(held), 5);

  FillTheDisk();
  ASSERT_TRUE(program_);
  program_->Terminate(30000);
  program_.reset();
  std::filesystem::remove(Filler());

  const std::optional<TextCounts> document = DocumentTexts();
  ASSERT_TRUE(document) << "the document no longer opens";
  for (const std::u16string& text : sent) {
    EXPECT_EQ(Count(*document, text), 1)
        << ToUtf8(text) << " left the phone and is not in the document";
  }
  StartProgram();
  EndProgram();
  const std::optional<TextCounts> reopened = DocumentTexts();
  ASSERT_TRUE(reopened);
  for (const std::u16string& text : sent) {
    EXPECT_EQ(Count(*reopened, text), 1) << ToUtf8(text) << " after the next open and close";
  }
}

class IntakeVanishedDocumentTest : public testing::IntakeDeviceTest {
 protected:
  void SetUp() override {
    IntakeDeviceTest::SetUp();
    if (HasFatalFailure()) return;
    StartReceivingIntoANewDocument();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(Deliver(u"+15550100", u"filed while the document was there").Deleted());
  }

  // Messages sent while the document is not what the program opened: each must stay in the
  // phone's inbox, and the user must be told.
  void ExpectEveryMessageKept() {
    std::vector<std::u16string> sent;
    for (int i = 0; i < 3; ++i) {
      sent.push_back(LongishText("While the document was gone", i));
      Delivery delivery = Deliver(u"+15550100", sent.back());
      ASSERT_TRUE(delivery.outcome) << delivery.error;
      EXPECT_FALSE(delivery.outcome->deleted) << ToUtf8(sent.back()) << " left the phone";
    }
    const TextCounts phone = PhoneInbox();
    for (const std::u16string& text : sent) EXPECT_EQ(Count(phone, text), 1) << ToUtf8(text);
    nlohmann::json box = MessageBoxWithin();
    ASSERT_FALSE(box.is_null()) << "no Error box told the user";
    EXPECT_EQ(box["caption"], "Error");
    EXPECT_EQ(box["text"], testing::kSaveFailureText);
    EXPECT_EQ(StatusLine(), testing::kSaveFailureStatus);
    ASSERT_TRUE(Phonesim("key Action"));
  }
};

TEST_F(IntakeVanishedDocumentTest, ADeletedDocumentLetsNoMessageLeaveThePhone) {
  ASSERT_TRUE(std::filesystem::remove(DocumentFile()));
  ExpectEveryMessageKept();
  EndProgram();
  EXPECT_FALSE(std::filesystem::exists(DocumentFile()))
      << "closing made a document at the path again";
}

TEST_F(IntakeVanishedDocumentTest, AReplacedDocumentLetsNoMessageLeaveThePhoneAndIsLeftAlone) {
  ASSERT_TRUE(Kvt("new '\\My Documents\\other.kvt'"));
  ASSERT_TRUE(
      Kvt("add '\\My Documents\\other.kvt' --folder '\\Notes' --from 5550199 --text 'the other "
          "document'"));
  std::filesystem::rename(DocumentsFolder() / "other.kvt", DocumentFile());
  ExpectEveryMessageKept();
  EndProgram();

  std::optional<TextCounts> replacement = DocumentTexts();
  ASSERT_TRUE(replacement) << "the file put in place of the document no longer opens";
  EXPECT_EQ(*replacement, (TextCounts{{u"the other document", 1}}))
      << "the program wrote into a document it had not opened";
  testing::ShellResult check = CheckDocument();
  EXPECT_EQ(check.code, 0) << check.out << check.err;
}

}  // namespace
}  // namespace brevalo
