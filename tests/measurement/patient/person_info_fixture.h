#pragma once
// The patient screen on the offscreen backend: skins registered, a fresh data store, and every
// message box answered by a script of answers while its text is recorded.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "controls/skin_loader.h"
#include "patient_folder.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/resources.h"
#include "platform/ui/test_driver.h"

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ui::TestDriver::Start(800, 600));
    AppSettings.LanguageIndex = 1;
    AppSettings.LayoutScale = 1.0f;
    AppSettings.LargeScreen = 0;
    ui::Resources::Clear();
    RegisterSkinBitmaps("/nonexistent/");
    ui::SetMessageBoxHandler([this](ui::Window*, const std::string& text, const std::string&, unsigned type) {
      std::lock_guard<std::mutex> g(mutex_);
      boxes_.push_back(text);
      types_.push_back(type);
      if (answers_.empty()) return static_cast<int>(ui::IDOK);
      const int a = answers_.front();
      answers_.pop_front();
      return a;
    });
  }
  void TearDown() override {
    ui::SetMessageBoxHandler({});
    ui::TestDriver::Stop();
    AppSettings.LanguageIndex = 0;
  }
  std::vector<std::string> Boxes() {
    std::lock_guard<std::mutex> g(mutex_);
    return boxes_;
  }
  std::string LastBox() {
    std::lock_guard<std::mutex> g(mutex_);
    return boxes_.empty() ? std::string() : boxes_.back();
  }
  unsigned LastType() {
    std::lock_guard<std::mutex> g(mutex_);
    return types_.empty() ? 0u : types_.back();
  }
  void ClearBoxes() {
    std::lock_guard<std::mutex> g(mutex_);
    boxes_.clear();
    types_.clear();
  }
  void Answer(int a) {
    std::lock_guard<std::mutex> g(mutex_);
    answers_.push_back(a);
  }
  static std::string PngPath(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::current_path() / "png";
    std::filesystem::create_directories(dir);
    return (dir / (name + ".png")).string();
  }

  PatientFolder folder;
  ui::TestDriver d;

 private:
  std::mutex mutex_;
  std::vector<std::string> boxes_;
  std::vector<unsigned> types_;
  std::deque<int> answers_;
};
