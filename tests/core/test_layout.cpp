#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "core/layout.h"
#include "platform/ui/message_box.h"

namespace {

TEST(LayoutTest, ScaleFromTheScreenSize) {
  struct Case { int w, h; float scale; int large; };
  const Case cases[] = {{640, 480, 1.0f, 0},  {800, 600, 1.25f, 1}, {1024, 768, 1.25f, 1},
                        {320, 240, 1.25f, 1}, {640, 600, 1.25f, 1}, {480, 640, 1.25f, 1}};
  AppSettingsValues saved = AppSettings;
  for (const auto& c : cases) {
    CheckScreenSize(c.w, c.h);
    EXPECT_EQ(AppSettings.LayoutScale, c.scale) << c.w << "x" << c.h;
    EXPECT_EQ(AppSettings.LargeScreen, c.large) << c.w << "x" << c.h;
  }
  AppSettings = saved;
}

TEST(LayoutTest, EachEdgeIsScaledAndTruncatedOnItsOwn) {
  struct Case { draw::Rect in; float scale; draw::Rect out; };
  const Case cases[] = {
      {{10, 10, 75, 30}, 1.25f, {12, 12, 93, 37}},   // width 81, height 25
      {{3, 3, 6, 6}, 1.25f, {3, 3, 7, 7}},           // width 4, not 3 x 1.25 = 3
      {{-3, -3, 5, 5}, 1.25f, {-3, -3, 6, 6}},       // -3.75 truncates toward zero
      {{-8, 0, 0, 8}, 1.25f, {-10, 0, 0, 10}},
      {{10, 10, 75, 30}, 1.0f, {10, 10, 75, 30}},
      {{0, 0, 640, 480}, 1.25f, {0, 0, 800, 600}},
  };
  for (const auto& c : cases) {
    draw::Rect r = ScaleRectEdges(c.in, c.scale);
    EXPECT_EQ(r, c.out) << c.in.left << "," << c.in.top << "," << c.in.right << "," << c.in.bottom;
  }
}

TEST(LayoutTest, SharedDialogFont) {
  draw::Font small = MakeSharedDialogFont(1.0f), large = MakeSharedDialogFont(1.25f);
  EXPECT_EQ(small.face, "Arial");
  EXPECT_EQ(small.height, 16);  // positive: the cell height
  EXPECT_EQ(large.height, 20);
  EXPECT_EQ(large.weight, draw::kFontWeightNormal);
  EXPECT_FALSE(large.italic || large.underline || large.strikeOut);
}

TEST(LayoutTest, FrameRunsAlongTheClientEdges) {
  auto lines = DialogFrameLines(draw::Rect(0, 0, 640, 480));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].from, draw::Point(0, 0));
  EXPECT_EQ(lines[0].to, draw::Point(640, 0));
  EXPECT_EQ(lines[1].to, draw::Point(640, 480));
  EXPECT_EQ(lines[2].to, draw::Point(0, 480));
  EXPECT_EQ(lines[3].to, draw::Point(0, 0));
}

bool g_raised = false;
bool RaiseFound(const char* title) {
  g_raised = std::string(title) == "On-Screen Keyboard";
  return true;
}

TEST(LayoutTest, ARunningKeyboardIsRaisedNotStartedAgain) {
  SetForeignWindowRaiser(&RaiseFound);
  EXPECT_EQ(ShowOnScreenKeyboard(), 1);
  EXPECT_TRUE(g_raised);
  SetForeignWindowRaiser(nullptr);
}

bool RaiseNone(const char*) { return false; }

TEST(LayoutTest, WithoutAKeyboardProgramTheOperatorIsToldItIsNotAvailable) {
  // No keyboard program anywhere: an empty PATH, no override, none beside the test program.
  const char* path = std::getenv("PATH");
  const std::string savedPath = path ? path : "";
  setenv("PATH", "/nonexistent-quorvex-bin", 1);
  unsetenv("QUORVEX_HELPER_KEYBOARD");
  SetForeignWindowRaiser(&RaiseNone);
  AppSettingsValues saved = AppSettings;
  std::vector<std::pair<std::string, unsigned>> boxes;
  ui::SetMessageBoxHandler([&](ui::Window*, const std::string& text, const std::string&, unsigned type) {
    boxes.emplace_back(text, type);
    return 1;
  });
  const std::pair<int, const char*> cases[] = {{1, "This function is not available."},
                                               {3, "Cette fonction n'est pas disponible."}};
  for (const auto& [language, text] : cases) {
    AppSettings.LanguageIndex = static_cast<unsigned char>(language);
    boxes.clear();
    EXPECT_EQ(ShowOnScreenKeyboard(), 1);
    ASSERT_EQ(boxes.size(), 1u) << language;
    EXPECT_EQ(boxes[0].first, text);
    EXPECT_EQ(boxes[0].second, static_cast<unsigned>(ui::MB_ICONINFORMATION));
  }
  // With a keyboard program installed nothing is said.
  setenv("QUORVEX_HELPER_KEYBOARD", "true", 1);
  setenv("PATH", savedPath.c_str(), 1);
  boxes.clear();
  EXPECT_EQ(ShowOnScreenKeyboard(), 1);
  EXPECT_TRUE(boxes.empty());
  unsetenv("QUORVEX_HELPER_KEYBOARD");
  ui::SetMessageBoxHandler(nullptr);
  SetForeignWindowRaiser(nullptr);
  AppSettings = saved;
}

}  // namespace
