// What the main window's tests share: a throw-away device with its screen, its registry for the
// settings a test starts with, the window started on it, and keys pressed as a person would.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "device/registry.h"
#include "ui/ui_test_support.h"

namespace brevalo::testing {

class MainWindowFixture : public ::testing::Test {
 protected:
  PhoneScreen& screen() { return fixture_.screen(); }
  const Device& device() { return fixture_.device(); }
  Registry& registry() {
    if (!registry_) {
      registry_ = std::make_unique<Registry>(device().RegistryFile());
      registry_->Load();
    }
    return *registry_;
  }
  void SetSetting(std::u16string_view name, uint32_t value) {
    ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, kSettingsKey, name, value));
  }
  // Writes the document at `path` with no folder in it but what `fill` adds, and makes it the
  // last open file, which the window opens at its start.
  void WriteLastDocument(std::u16string_view path, const std::function<void(OpenDocument&)>& fill) {
    std::filesystem::create_directories(device().FsRoot() / "My Documents");
    PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device()));
    InMemoryIndexOffsetMemory offsets;
    CodePage page;
    OpenDocument doc(files, offsets, page);
    ASSERT_TRUE(doc.New(path, StoreHeader{}, false));
    for (int index : {kDrafts, kSentBox, kInbox}) doc.RemoveNode(*doc.SpecialFolder(index));
    doc.Store().SetTreeChanged();
    fill(doc);
    ASSERT_TRUE(doc.Close());
    ASSERT_TRUE(registry().SetString(RegRoot::CurrentUser, kSettingsKey, u"LastOpenFile", path));
  }
  MainWindow& Start() {
    window_ = std::make_unique<MainWindow>(screen());
    window_->Create();
    Drain();
    return *window_;
  }
  // The message view that the next key opens (reading the message) is closed with Back once it
  // shows.
  void CloseViewWhenItOpens() {
    WhenReady([this] {
      PhoneWindow* top = screen().TopWindow();
      return top && top->Title() == "Content" && !screen().OpenMessageBox();
    }, [this] {
      screen().PressKey(PhoneKey::Back);
      screen().ReleaseKey(PhoneKey::Back);
    });
  }
  void Press(PhoneKey key) {
    screen().PressKey(key);
    screen().ReleaseKey(key);
    Drain();
  }

  ScreenFixture fixture_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace brevalo::testing
