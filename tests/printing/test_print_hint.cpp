// The print hint: texts, the keys it swallows, and the screens' WM_PRINT_PROGRESS handling.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "core/app_settings.h"
#include "core/layout.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/resources.h"
#include "platform/ui/styles.h"
#include "platform/ui/test_driver.h"
#include "controls/xp_group_box.h"
#include "printing/print_hint_dlg.h"

namespace {

TEST(PrintHintLogic, TextsInEveryLanguage) {
  EXPECT_STREQ(PrintHintText(0), "正在打印，请稍候......");
  EXPECT_STREQ(PrintHintText(1), "Printing......");
  EXPECT_STREQ(PrintHintText(2), "Imprimiendo......");
  EXPECT_STREQ(PrintHintText(3), "Impression......");
  EXPECT_STREQ(PrintHintText(4), "Друк...");
  EXPECT_STREQ(PrintHintText(9), "Printing......");
}

TEST(PrintHintLogic, OnlyEscapeAndEnterKeyDownsAreSwallowed) {
  struct Case {
    uint32_t message;
    unsigned key;
    bool swallowed;
  } cases[] = {
      {ui::WM_KEYDOWN, ui::VK_ESCAPE, true}, {ui::WM_KEYDOWN, ui::VK_RETURN, true},
      {ui::WM_KEYUP, ui::VK_ESCAPE, false},  {ui::WM_KEYDOWN, ui::VK_SPACE, false},
      {ui::WM_CHAR, 0x1B, false},            {ui::WM_SYSKEYDOWN, ui::VK_RETURN, false},
      {ui::WM_LBUTTONDOWN, 0, false},
  };
  for (const Case& c : cases) {
    ui::Message m;
    m.message = c.message;
    m.wParam = c.key;
    EXPECT_EQ(PrintHintSwallowsKey(m), c.swallowed) << std::hex << c.message << " " << c.key;
  }
  EXPECT_EQ(WM_PRINT_PROGRESS, 0x0400u + 176);
}

class PrintHintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ui::TestDriver::Start(800, 600));
    saved_ = AppSettings;
    AppSettings.LanguageIndex = 1;
    AppSettings.LayoutScale = 1.25f;
  }
  void TearDown() override {
    AppSettings = saved_;
    ui::TestDriver::Stop();
  }
  AppSettingsValues saved_;
  ui::TestDriver d_;
};

TEST_F(PrintHintTest, EscapeAndEnterDoNotCloseTheHint) {
  // A plain dialog on the same template closes on Escape; the hint does not.
  RegisterPrintHintResources();
  {
    ui::Dialog plain(IDD_PRINT_HINT);
    ASSERT_TRUE(plain.CreateModeless(nullptr));
    d_.Settle();
    d_.Key(ui::VK_ESCAPE);
    EXPECT_TRUE(plain.IsEnded() || !plain.IsWindowVisible()) << "the check below would prove nothing";
    plain.DestroyWindow();
  }
  std::unique_ptr<CPrintHintDlg> hint = ShowPrintHint();
  ASSERT_NE(hint, nullptr);
  d_.Settle();
  EXPECT_EQ(d_.Text(IDC_PRINT_HINT_TEXT), "Printing......");
  for (unsigned key : {ui::VK_ESCAPE, ui::VK_RETURN, ui::VK_ESCAPE}) {
    d_.Key(key);
    EXPECT_FALSE(hint->IsEnded());
    EXPECT_TRUE(hint->IsWindowVisible());
  }
  hint->DestroyWindow();
}

TEST_F(PrintHintTest, LaidOutCentredInTheLanguageWithTheSharedFont) {
  AppSettings.LanguageIndex = 0;
  std::unique_ptr<CPrintHintDlg> hint = ShowPrintHint();
  ASSERT_NE(hint, nullptr);
  d_.Settle();
  EXPECT_EQ(d_.Text(IDC_PRINT_HINT_TEXT), "正在打印，请稍候......");
  const ui::Rect r = hint->GetWindowRect();
  EXPECT_EQ(r.Width(), 545) << "218 units = 436 pixels, times 1.25";
  EXPECT_NEAR(r.left + r.Width() / 2, 400, 1);
  EXPECT_NEAR(r.top + r.Height() / 2, 300, 1);
  ui::Window* label = hint->GetDlgItem(IDC_PRINT_HINT_TEXT);
  ASSERT_NE(label, nullptr);
  ASSERT_NE(label->GetFont(), nullptr);
  EXPECT_EQ(*label->GetFont(), SharedDialogFont());
  // The screen frame runs round the hint.
  draw::Bitmap screen = d_.Screen();
  EXPECT_EQ(screen.GetPixel(r.left + 1, r.top + r.Height() / 2), kDialogFrameColor);
  if (const char* shot = std::getenv("QUORVEX_PRINT_HINT_SHOT")) d_.SaveScreenshot(shot);
  hint->DestroyWindow();
}

TEST_F(PrintHintTest, TheFrameIsTheSkinnedGroupBox) {
  std::unique_ptr<CPrintHintDlg> hint = ShowPrintHint();
  ASSERT_NE(hint, nullptr);
  d_.Settle();
  ui::Window* group = hint->GetDlgItem(IDC_PRINT_HINT_GROUP);
  ASSERT_NE(group, nullptr);
  EXPECT_NE(dynamic_cast<CXPGroupBox*>(group), nullptr);
  hint->DestroyWindow();
}

// A screen of the first convention: the hint comes and goes with WM_PRINT_PROGRESS.
class ListScreen : public ui::Window {
 public:
  PrintHintHolder holder;
  int shownCount = 0;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override {
    if (msg == WM_PRINT_PROGRESS) {
      if (w == 1) {
        holder.Show();
        ++shownCount;
      } else {
        holder.Hide();
      }
      return 0;
    }
    return ui::Window::WindowProc(msg, w, l);
  }
};

TEST_F(PrintHintTest, APrintThreadShowsAndRemovesTheHintThroughItsScreen) {
  ListScreen screen;
  ASSERT_TRUE(screen.Create("Dialog", "list", ui::WS_POPUP | ui::WS_VISIBLE, ui::Rect(0, 0, 640, 480), nullptr));
  std::atomic<int> step{0};
  std::thread printer([&] {
    PostPrintProgress(&screen, 1);
    PostPrintProgress(&screen, 1);  // a second start keeps the one hint
    while (step.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    PostPrintProgress(&screen, 0);
  });
  EXPECT_TRUE(d_.RunUntil([&] { return screen.shownCount == 2; }));
  EXPECT_TRUE(screen.holder.IsShown());
  EXPECT_EQ(d_.Text(IDC_PRINT_HINT_TEXT), "Printing......");
  d_.Key(ui::VK_RETURN);
  EXPECT_TRUE(screen.holder.IsShown());
  step = 1;
  EXPECT_TRUE(d_.RunUntil([&] { return !screen.holder.IsShown(); }));
  printer.join();
  EXPECT_EQ(d_.Find(IDC_PRINT_HINT_TEXT), nullptr);
  EXPECT_FALSE(PostPrintProgress(nullptr, 1));
  screen.DestroyWindow();
}

}  // namespace
