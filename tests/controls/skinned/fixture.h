#pragma once
// Offscreen screens with the manual clock, the skin registered, English at layout scale 1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/app_settings.h"
#include "controls/skin_loader.h"
#include "platform/ui/dialog.h"
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "platform/ui/test_driver.h"

class SkinnedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ui::TestDriver::Start(800, 600));
    AppSettings.LanguageIndex = 1;
    AppSettings.LayoutScale = 1.0f;
    ui::Resources::Clear();
    RegisterSkinBitmaps("/nonexistent/");  // drawn by the generator
    ClearSkinLoadFailures();
  }
  void TearDown() override {
    ui::SetMessageBoxHandler({});
    ui::TestDriver::Stop();
    AppSettings.LanguageIndex = 0;
  }
  // Where the looks are saved for people to inspect.
  static std::string PngPath(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::current_path() / "png";
    std::filesystem::create_directories(dir);
    return (dir / (name + ".png")).string();
  }
  // The screen pixel at a point of a window's client area.
  draw::Color At(const draw::Bitmap& screen, ui::Window* w, int x, int y) {
    const ui::Point o = w->ClientOrigin();
    return screen.GetPixel(o.x + x, o.y + y);
  }
  ui::TestDriver d;
};

inline int ColourDistance(draw::Color a, draw::Color b) {
  return std::abs(draw::GetRValue(a) - draw::GetRValue(b)) + std::abs(draw::GetGValue(a) - draw::GetGValue(b)) +
         std::abs(draw::GetBValue(a) - draw::GetBValue(b));
}
