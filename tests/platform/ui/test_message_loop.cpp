// The message queue, timers, modal loops, quit and cross-thread sends.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/sys/clock.h"
#include "platform/sys/event.h"
#include "platform/ui/app.h"
#include "platform/ui/dialog.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/window.h"

using namespace ui;

namespace {

class Recorder : public Window {
 public:
  std::vector<std::pair<uint32_t, WParam>> got;
  std::vector<uintptr_t> timers;
  bool throwOnUser = false;
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override {
    if (msg >= WM_USER) {
      got.emplace_back(msg, w);
      if (throwOnUser) throw std::runtime_error("handler failed");
      return static_cast<LResult>(w + 1);
    }
    return Window::WindowProc(msg, w, l);
  }
  void OnTimer(uintptr_t id) override { timers.push_back(id); }
};

class LoopTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TestDriver::Start()); }
  void TearDown() override { TestDriver::Stop(); }
  TestDriver d;
};

DialogTemplate SmallTemplate() {
  DialogTemplate t;
  t.cx = 100;
  t.cy = 60;
  t.style = WS_POPUP | WS_CAPTION;
  t.caption = "Small";
  return t;
}

}  // namespace

TEST_F(LoopTest, PostedMessagesArriveInOrderAndSendReturnsTheResult) {
  Recorder w;
  ASSERT_TRUE(w.Create("Test", "w", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50), nullptr));
  for (int i = 0; i < 5; ++i) w.PostMessage(WM_USER + 1, static_cast<WParam>(i));
  EXPECT_EQ(w.SendMessage(WM_USER + 2, 41), 42);
  d.Settle();
  ASSERT_EQ(w.got.size(), 6u);
  EXPECT_EQ(w.got[0].first, WM_USER + 2u);  // a send is handled at once
  for (int i = 0; i < 5; ++i) EXPECT_EQ(w.got[static_cast<size_t>(i + 1)].second, static_cast<WParam>(i));
}

TEST_F(LoopTest, TimersFireOnTheProgramClockOncePerPeriodAndStopWhenKilled) {
  Recorder w;
  ASSERT_TRUE(w.Create("Test", "w", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50), nullptr));
  w.SetTimer(1, 1000);
  w.SetTimer(2, 300);
  d.Advance(999);
  EXPECT_EQ(std::count(w.timers.begin(), w.timers.end(), 1u), 0);
  d.Advance(1);
  EXPECT_EQ(std::count(w.timers.begin(), w.timers.end(), 1u), 1);
  EXPECT_EQ(std::count(w.timers.begin(), w.timers.end(), 2u), 3);
  d.Advance(10000);
  EXPECT_EQ(std::count(w.timers.begin(), w.timers.end(), 1u), 11);
  EXPECT_TRUE(w.KillTimer(1));
  EXPECT_FALSE(w.KillTimer(1));
  d.Advance(5000);
  EXPECT_EQ(std::count(w.timers.begin(), w.timers.end(), 1u), 11);
}

TEST_F(LoopTest, FaultsNeitherCrashNorHang) {
  // A handler that throws: the message counts as handled, the loop goes on.
  auto* w = new Recorder;
  ASSERT_TRUE(w->Create("Test", "w", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50), nullptr));
  w->throwOnUser = true;
  const int faults = HandlerFaultCount();
  EXPECT_EQ(w->SendMessage(WM_USER + 3, 1), 0);
  w->PostMessage(WM_USER + 4);
  d.Settle();
  EXPECT_EQ(HandlerFaultCount(), faults + 2);
  // A window destroyed while messages for it are queued, and its timers.
  const WindowHandle h = w->Handle();
  w->throwOnUser = false;
  w->SetTimer(5, 10);
  w->PostMessage(WM_USER + 5);
  delete w;
  EXPECT_FALSE(PostMessageTo(h, WM_USER + 6));
  EXPECT_EQ(SendMessageTo(h, WM_USER + 6), 0);
  d.Advance(100);
  d.Settle();
  // A timer set on a destroyed window is refused.
  Recorder gone;
  EXPECT_EQ(gone.SetTimer(1, 10), 0u);
}

TEST_F(LoopTest, SendFromAWorkerIsHandledOnTheUiThreadAndInUiWaits) {
  Recorder w;
  ASSERT_TRUE(w.Create("Test", "w", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50), nullptr));
  const auto ui = std::this_thread::get_id();
  std::atomic<bool> onUi{false};
  sys::Event done(true);
  std::thread t([&] {
    // The UI thread is blocked in an event wait: its wait pump must serve this send.
    LResult r = w.SendMessage(WM_USER + 7, 9);
    onUi = r == 10;
    RunOnUiThread([&] { onUi = onUi && std::this_thread::get_id() == ui; });
    done.Set();
  });
  EXPECT_TRUE(done.Wait(sys::kWaitForever));
  t.join();
  EXPECT_TRUE(onUi.load());
  ASSERT_EQ(w.got.size(), 1u);
}

TEST_F(LoopTest, AWorkerThatCreatesAWindowHasItMadeOnTheUiThread) {
  std::atomic<Window*> made{nullptr};
  std::thread t([&] {
    auto* w = new Window;
    w->SetAutoDelete(true);
    w->Create("Test", "from worker", WS_POPUP | WS_VISIBLE, Rect(0, 0, 40, 40), nullptr);
    w->SetWindowText("renamed");
    made = w;
  });
  // The worker's requests wait for the UI thread to serve them.
  EXPECT_TRUE(d.RunUntil([&] { return made.load() != nullptr; }));
  t.join();
  EXPECT_TRUE(made.load()->IsWindow());
  EXPECT_EQ(FindWindow("", "renamed"), made.load());
}

TEST_F(LoopTest, ASendToAGoneUiThreadReturnsAtOnce) {
  Recorder w;
  ASSERT_TRUE(w.Create("Test", "w", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50), nullptr));
  const WindowHandle h = w.Handle();
  std::atomic<int> stage{0};
  std::thread t([&] {
    while (stage.load() == 0) std::this_thread::yield();
    stage = SendMessageTo(h, WM_USER + 7, 1) == 0 ? 2 : 3;
  });
  w.DestroyWindow();
  TestDriver::Stop();
  stage = 1;
  t.join();
  EXPECT_EQ(stage.load(), 2);
  ASSERT_TRUE(TestDriver::Start());
}

TEST_F(LoopTest, QuitLeavesEveryNestedModalLoop) {
  // Three modal dialogs, each opening the next from its initialisation; the innermost quits.
  std::vector<int> results;
  struct Nested : Dialog {
    int depth;
    std::vector<int>* results;
    Nested(int dp, std::vector<int>* r) : Dialog(SmallTemplate()), depth(dp), results(r) {}
    bool OnInitDialog() override {
      Dialog::OnInitDialog();
      PostMessage(WM_USER + 1);
      return true;
    }
    LResult WindowProc(uint32_t msg, WParam w, LParam l) override {
      if (msg == WM_USER + 1) {
        if (depth < 3) {
          Nested inner(depth + 1, results);
          results->push_back(inner.DoModal());
          // After a quit, a further modal screen returns at once too.
          Nested again(9, results);
          results->push_back(again.DoModal());
        } else {
          PostQuitMessage(7);
        }
        return 0;
      }
      return Dialog::WindowProc(msg, w, l);
    }
  };
  Nested outer(1, &results);
  results.push_back(outer.DoModal());
  ASSERT_EQ(results.size(), 5u);
  for (int r : results) EXPECT_EQ(r, kModalQuit);
  EXPECT_FALSE(IsQuitPending());
  EXPECT_EQ(QuitCode(), 7);
  EXPECT_EQ(LoopDepth(), 0);
}

TEST_F(LoopTest, PreTranslateHooksSeeMessagesFirstAndCanSwallowThem) {
  Recorder w;
  ASSERT_TRUE(w.Create("Test", "w", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50), nullptr));
  int seen = 0;
  const int tok = AddPreTranslateHook([&](Message& m) {
    if (m.message == WM_USER + 1) {
      ++seen;
      return m.wParam == 13;  // swallow one of them
    }
    return false;
  });
  w.PostMessage(WM_USER + 1, 12);
  w.PostMessage(WM_USER + 1, 13);
  d.Settle();
  RemovePreTranslateHook(tok);
  EXPECT_EQ(seen, 2);
  ASSERT_EQ(w.got.size(), 1u);
  EXPECT_EQ(w.got[0].second, 12u);
}

TEST_F(LoopTest, QueuedMouseInputOfAWindowCanBeDropped) {
  struct Clicks : Window {
    int downs = 0;
    void OnLButtonDown(unsigned, Point) override { ++downs; }
  } w;
  ASSERT_TRUE(w.Create("Test", "w", WS_POPUP | WS_VISIBLE, Rect(10, 10, 60, 60), nullptr));
  w.PostMessage(WM_LBUTTONDOWN, 0, MakePointLParam(5, 5));
  w.PostMessage(WM_USER + 1);
  RemoveMouseMessages(&w);
  d.Settle();
  EXPECT_EQ(w.downs, 0);
  d.ClickAt(Point(20, 20));
  EXPECT_EQ(w.downs, 1);
}

TEST_F(LoopTest, AModalDialogDisablesItsOwnerUntilItEnds) {
  Dialog owner(SmallTemplate());
  ASSERT_TRUE(owner.CreateModeless());
  owner.ShowWindow(SW_SHOW);
  bool ownerDisabledMeanwhile = false;
  struct Child : Dialog {
    Child() : Dialog(SmallTemplate()) {}
  } child;
  const bool ok = d.RunScript([&] { child.DoModal(); },
                              [&](TestDriver& s) {
                                RunOnUiThread([&] { ownerDisabledMeanwhile = !owner.IsWindowEnabled(); });
                                s.Key(0x1B);  // Escape cancels
                              });
  EXPECT_TRUE(ok);
  EXPECT_TRUE(ownerDisabledMeanwhile);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_EQ(child.ModalResult(), IDCANCEL);
}

TEST_F(LoopTest, HotKeysReachTheirWindowOrTheApplicationHooksWhateverHasTheFocus) {
  struct HotWindow : Window {
    std::vector<WParam> hot;
    std::vector<WParam> keys;
    LResult WindowProc(uint32_t msg, WParam w, LParam l) override {
      if (msg == WM_HOTKEY) hot.push_back(w);
      if (msg == WM_KEYDOWN) keys.push_back(w);
      return Window::WindowProc(msg, w, l);
    }
  } a, b;
  ASSERT_TRUE(a.Create("Test", "a", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50), nullptr));
  ASSERT_TRUE(b.Create("Test", "b", WS_POPUP | WS_VISIBLE, Rect(60, 0, 110, 50), nullptr));
  b.SetFocus();
  ASSERT_TRUE(RegisterHotKey(&a, 7, 0, 0x70));   // F1
  EXPECT_FALSE(RegisterHotKey(&b, 8, 0, 0x70));  // taken
  ASSERT_TRUE(RegisterHotKey(nullptr, 9, 2, 'H'));
  int appHot = 0;
  const int tok = AddPreTranslateHook([&](Message& m) {
    if (m.message == WM_HOTKEY && m.hwnd == 0 && m.wParam == 9) ++appHot;
    return false;
  });
  d.Key(0x70);
  d.Key('H', false, true);
  d.Key('H');
  RemovePreTranslateHook(tok);
  EXPECT_EQ(a.hot, std::vector<WParam>{7});
  EXPECT_EQ(appHot, 1);
  EXPECT_EQ(b.keys, std::vector<WParam>{'H'});
  EXPECT_TRUE(UnregisterHotKey(&a, 7));
  d.Key(0x70);
  EXPECT_EQ(a.hot.size(), 1u);
}

TEST_F(LoopTest, AControlsOwnColourAnswerComesBeforeItsParents) {
  struct Label : Window {
    draw::Brush own = draw::Brush::Solid(RGB(1, 2, 3));
    const draw::Brush* CtlColorReflect(draw::DC&, int) override { return &own; }
    const draw::Brush* Ask(draw::DC& dc) { return QueryCtlColor(dc, CTLCOLOR_STATIC); }
  };
  struct Parent : Window {
    int asked = 0;
    const draw::Brush* OnCtlColor(draw::DC&, Window*, int) override {
      ++asked;
      return nullptr;
    }
  } parent;
  ASSERT_TRUE(parent.Create("Test", "p", WS_POPUP | WS_VISIBLE, Rect(0, 0, 100, 100), nullptr));
  Label label;
  ASSERT_TRUE(label.Create("Test", "l", WS_CHILD | WS_VISIBLE, Rect(0, 0, 10, 10), &parent));
  draw::DC dc;
  EXPECT_EQ(label.Ask(dc), &label.own);
  EXPECT_EQ(parent.asked, 0);
}
