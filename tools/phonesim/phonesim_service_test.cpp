// The road of an incoming SMS across processes: phonesim sms-in, the running phonesim serve
// with corvane.dll loaded from the device, and a program side of the channel run from here.
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "channel/channel_objects.h"
#include "channel/channel_reader.h"
#include "device/kernel_wait.h"
#include "tools/phonesim/phonesim_test_device.h"

namespace brevalo {
namespace {

using testing::PhonesimDevice;

class PhonesimServiceTest : public PhonesimDevice {
 protected:
  nlohmann::json SmsIn(const std::string& from, const std::string& text) {
    testing::PhonesimRun run = Phonesim("--json sms-in --from '" + from + "' --text '" + text + "'");
    EXPECT_EQ(run.code, 0) << lastError_;
    return run.Json();
  }
  size_t InboxSize() {
    return Phonesim("--json store list --folder inbox").Json()["messages"].size();
  }
};

// A program side that answers every message with delete after `delayMs`.
class AnsweringProgram {
 public:
  AnsweringProgram(const Device& device, int delayMs) : reader_(ChannelReader::Open(device)) {
    thread_ = std::thread([this, delayMs] {
      reader_->Run([this, delayMs](const SlotMessage& message) {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        {
          std::lock_guard<std::mutex> hold(mutex_);
          last_ = message;
        }
        reader_->AnswerDelete(message.ticket);
        ++received_;
        return true;
      });
    });
  }
  ~AnsweringProgram() {
    reader_->Stop();
    thread_.join();
  }
  int received() const { return received_; }
  SlotMessage last() {
    std::lock_guard<std::mutex> hold(mutex_);
    return last_;
  }

 private:
  std::unique_ptr<ChannelReader> reader_;
  std::thread thread_;
  std::atomic<int> received_{0};
  std::mutex mutex_;
  SlotMessage last_;
};

TEST_F(PhonesimServiceTest, WithNobodyListeningFiveWaitAndTheSixthIsDroppedButAnnounced) {
  MakeDeviceWithCorvane();
  StartService();
  for (int i = 1; i <= 5; ++i) {
    nlohmann::json outcome = SmsIn("1380000000" + std::to_string(i), "message " + std::to_string(i));
    EXPECT_EQ(outcome["outcome"], "kept");
    EXPECT_EQ(outcome["handled"], false);
  }
  // Opened without setting the running flag: this is not a program, only a look inside.
  auto objects = ChannelObjects::Open(device());
  ASSERT_TRUE(objects);
  EXPECT_EQ(objects->Buffer()->count, 5u);
  EXPECT_EQ(objects->available->Wait(0), WAIT_OBJECT_0);
  EXPECT_EQ(objects->available->Wait(0), WAIT_TIMEOUT);  // auto-reset

  nlohmann::json sixth = SmsIn("10086", "sixth");
  EXPECT_EQ(sixth["outcome"], "kept");
  EXPECT_EQ(objects->Buffer()->count, 5u);
  EXPECT_EQ(objects->available->Wait(0), WAIT_OBJECT_0);
  EXPECT_EQ(InboxSize(), 6u);

  // The program starting late finds the counters set and the five messages waiting.
  auto reader = ChannelReader::Open(device());
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->Buffer()->capacity, 5u);
  std::vector<std::u16string> bodies;
  objects->available->Set();
  reader->ReceiveOnce(1000, [&](const SlotMessage& message) {
    bodies.push_back(message.body);
    return true;
  });
  ASSERT_EQ(bodies.size(), 5u);
  EXPECT_EQ(bodies.front(), u"message 1");
  EXPECT_EQ(bodies.back(), u"message 5");
  EXPECT_EQ(reader->Buffer()->count, 0u);
}

TEST_F(PhonesimServiceTest, AProgramAnsweringAtOnceGetsTheMessageDeleted) {
  MakeDeviceWithCorvane();
  StartService();
  AnsweringProgram program(device(), 0);
  nlohmann::json outcome = SmsIn("+8613800138000", "Dinner at eight?");
  EXPECT_EQ(outcome["outcome"], "deleted");
  EXPECT_EQ(outcome["handled"], true);
  EXPECT_EQ(InboxSize(), 0u);
  EXPECT_EQ(program.received(), 1);
  std::ifstream log(dir_ / "serve.log");
  std::string served((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(served.find("from +8613800138000: deleted, handled"), std::string::npos) << served;
  EXPECT_EQ(Phonesim("sms-in --from 10086 --text again").out,
            "message " + std::to_string(outcome["id"].get<int>() + 1) +
                " deleted from the inbox (handled by a rule client)\n");
}

TEST_F(PhonesimServiceTest, AThousandCharacterSmsReachesTheProgramWhole) {
  MakeDeviceWithCorvane();
  StartService();
  AnsweringProgram program(device(), 0);
  std::string text;
  for (int i = 0; i < 1000; ++i) text += static_cast<char>('a' + i % 26);
  nlohmann::json outcome = SmsIn("+8613800138000", text);
  EXPECT_EQ(outcome["outcome"], "deleted");
  SlotMessage message = program.last();
  EXPECT_EQ(message.body, std::u16string(text.begin(), text.end()));
  EXPECT_TRUE(message.bodyWhole);
  EXPECT_EQ(message.sender, u"+8613800138000");
}

TEST_F(PhonesimServiceTest, AProgramAnsweringAfterTheSecondLeavesTheMessage) {
  MakeDeviceWithCorvane();
  StartService();
  AnsweringProgram program(device(), 1300);
  nlohmann::json outcome = SmsIn("10086", "late");
  EXPECT_EQ(outcome["outcome"], "kept");
  EXPECT_EQ(outcome["handled"], false);
  EXPECT_EQ(InboxSize(), 1u);
}

TEST_F(PhonesimServiceTest, RegistrationsMadeWhileTheServiceRunsAreFollowed) {
  ASSERT_EQ(Phonesim("init").code, 0);
  ASSERT_EQ(Phonesim("install").code, 0);
  StartService();
  nlohmann::json status = Phonesim("--json status").Json();
  EXPECT_EQ(status["service"], true);
  EXPECT_EQ(status["ruleClients"].size(), 0u);
  EXPECT_TRUE(status["unread"].is_null());

  ASSERT_EQ(Phonesim("register-corvane").code, 0);
  {
    AnsweringProgram program(device(), 0);
    EXPECT_EQ(SmsIn("10086", "now handled")["outcome"], "deleted");
  }
  EXPECT_EQ(Phonesim("--json status").Json()["ruleClients"],
            nlohmann::json::array({"{20F58816-51E4-418D-92DD-8390021DCDCA}"}));

  ASSERT_EQ(Phonesim("unregister-corvane").code, 0);
  EXPECT_EQ(Phonesim("--json status").Json()["ruleClients"].size(), 0u);
  AnsweringProgram program(device(), 0);
  EXPECT_EQ(SmsIn("10086", "nobody takes it")["outcome"], "kept");
  EXPECT_EQ(program.received(), 0);
}

// The service maps corvane.dll while it runs. A new build installed over it must take the name
// as a new file: written in place, the mapped code would change under the running service.
TEST_F(PhonesimServiceTest, InstallingAgainReplacesTheLoadedRuleClientInsteadOfWritingIntoIt) {
  MakeDeviceWithCorvane();
  StartService();
  AnsweringProgram program(device(), 0);
  EXPECT_EQ(SmsIn("10086", "before")["outcome"], "deleted");  // corvane.dll is loaded now
  const std::string library = (device().FsRoot() / "Program Files" / "Velmora" / "corvane.dll").string();
  struct stat loaded {};
  ASSERT_EQ(stat(library.c_str(), &loaded), 0);

  ASSERT_EQ(Phonesim("install").code, 0) << lastError_;
  struct stat installed {};
  ASSERT_EQ(stat(library.c_str(), &installed), 0);
  EXPECT_NE(installed.st_ino, loaded.st_ino) << "the loaded file was written over";
  EXPECT_FALSE(std::filesystem::exists(library + ".partial"));
  EXPECT_EQ(SmsIn("10086", "after")["outcome"], "deleted");
  EXPECT_EQ(Phonesim("--json status").Json()["service"], true);
}

TEST_F(PhonesimServiceTest, OneServicePerDeviceCleanEndAndClearErrorsWithoutOne) {
  ASSERT_EQ(Phonesim("init").code, 0);
  EXPECT_EQ(Phonesim("sms-in --from 1 --text x").code, 1);
  EXPECT_NE(lastError_.find("no messaging service runs"), std::string::npos) << lastError_;
  EXPECT_EQ(Phonesim("--json status").Json()["service"], false);

  StartService();
  EXPECT_TRUE(std::filesystem::exists(dir_ / "run" / "service.pid"));
  EXPECT_EQ(Phonesim("serve").code, 1);
  EXPECT_NE(lastError_.find("already runs"), std::string::npos) << lastError_;
  EXPECT_EQ(Phonesim("sms-in --from 1 --text x --time yesterday").code, 2);
  EXPECT_EQ(Phonesim("sms-in --from '' --text x").code, 2);

  EXPECT_EQ(StopService(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "run" / "service.pid"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "run" / "service.sock"));
  // A service killed outright leaves its files; the next one takes over.
  StartService();
  kill(servicePid_, SIGKILL);
  waitpid(servicePid_, nullptr, 0);
  servicePid_ = -1;
  StartService();
  EXPECT_EQ(Phonesim("--json sms-in --from 1 --text x").Json()["outcome"], "kept");
}

}  // namespace
}  // namespace brevalo
