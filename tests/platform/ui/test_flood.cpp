// A serial reader's flood of WM_USER+7 sends while a message box sits over a modal screen.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/test_driver.h"

using namespace ui;

namespace {

constexpr int kBytes = 10000;

DialogTemplate Template(const char* caption) {
  DialogTemplate t;
  t.cx = 200;
  t.cy = 120;
  t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_CENTER;
  t.caption = caption;
  return t;
}

struct Owner : Dialog {
  Owner() : Dialog(Template("owner")) {}
  std::vector<size_t> ticksAt;  // bytes the screen had received at each tick
  const std::vector<int>* bytes = nullptr;
  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    SetTimer(1, 100);
    return true;
  }
  void OnTimer(uintptr_t) override { ticksAt.push_back(bytes ? bytes->size() : 0); }
};

struct Screen : Dialog {
  Screen() : Dialog(Template("screen")) {}
  std::vector<int> bytes;
  std::vector<size_t> ticksAt;
  int boxResult = 0;
  std::thread reader;
  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    SetTimer(2, 100);
    PostMessage(WM_USER + 100);
    return true;
  }
  void OnTimer(uintptr_t) override { ticksAt.push_back(bytes.size()); }
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override {
    if (msg == WM_USER + 7) {
      bytes.push_back(static_cast<int>(w));
      return 0;
    }
    if (msg == WM_USER + 100) {
      const WindowHandle me = Handle();
      reader = std::thread([me] {
        for (int i = 0; i < kBytes; ++i) {
          SendMessageTo(me, WM_USER + 7, static_cast<WParam>(i));
          // The program clock moves on while the bytes stream in.
          if (i % 1000 == 999) sys::Clock::Advance(150);
        }
      });
      boxResult = MessageBox(this, "Receiving...", "", MB_OK);
      return 0;
    }
    return Dialog::WindowProc(msg, w, l);
  }
};

}  // namespace

TEST(Flood, SentBytesArriveCompleteAndInOrderWhileTimersOfBothScreensKeepFiring) {
  ASSERT_TRUE(TestDriver::Start());
  {
    Owner owner;
    ASSERT_TRUE(owner.CreateModeless());
    Screen screen;
    screen.SetParentWindow(&owner);
    owner.bytes = &screen.bytes;
    TestDriver d;
    bool boxSeen = false;
    const bool ok = d.RunScript([&] { screen.DoModal(); },
                                [&](TestDriver& s) {
                                  EXPECT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }));
                                  boxSeen = s.MessageBoxText() == "Receiving...";
                                  EXPECT_TRUE(s.RunUntil([&] { return screen.bytes.size() == kBytes; }, 30000));
                                  EXPECT_TRUE(s.AnswerMessageBox(IDOK));
                                  s.Key(VK_ESCAPE);
                                },
                                60000);
    screen.reader.join();
    EXPECT_TRUE(ok);
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(screen.boxResult, IDOK);
    ASSERT_EQ(screen.bytes.size(), static_cast<size_t>(kBytes));
    for (int i = 0; i < kBytes; ++i) {
      ASSERT_EQ(screen.bytes[static_cast<size_t>(i)], i) << "byte " << i;
    }
    // Both timers fired while the bytes were still arriving, not only afterwards.
    auto during = [](const std::vector<size_t>& at) {
      int n = 0;
      for (size_t v : at) n += v > 0 && v < static_cast<size_t>(kBytes);
      return n;
    };
    EXPECT_GE(during(screen.ticksAt), 5);
    EXPECT_GE(during(owner.ticksAt), 5);
    EXPECT_TRUE(owner.IsWindowEnabled());
  }
  TestDriver::Stop();
}
