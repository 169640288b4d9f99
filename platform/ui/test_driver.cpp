#include "platform/ui/test_driver.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "platform/ui/detail/context.h"
#include "platform/ui/input.h"
#include "platform/ui/window.h"

namespace ui {

using detail::Ctx;

template <class T>
T TestDriver::OnUi(const std::function<T()>& fn) {
  T r{};
  RunOnUiThread([&] { r = fn(); });
  return r;
}

bool TestDriver::Start(int width, int height) {
  sys::Clock::UseManual();
  InitOptions o;
  o.backend = BackendKind::Offscreen;
  o.width = width;
  o.height = height;
  return Init(o);
}

void TestDriver::Stop() { Shutdown(); }

void TestDriver::Settle() {
  if (IsUiThread()) {
    PumpPending();
    return;
  }
  auto& c = Ctx();
  // Two idle passes after this point: the UI thread found nothing more to do.
  uint64_t start;
  {
    std::lock_guard<std::mutex> g(c.mu);
    start = c.idleCount.load();
  }
  detail::Wake();
  std::unique_lock<std::mutex> lk(c.mu);
  c.idleCv.wait_for(lk, std::chrono::seconds(10), [&] { return c.idleCount.load() >= start + 2 || !c.alive.load(); });
}

bool TestDriver::RunScript(const std::function<void()>& body, const std::function<void(TestDriver&)>& script,
                           int64_t realLimitMs) {
  std::atomic<bool> scriptDone{false};
  std::atomic<bool> bodyDone{false};
  std::atomic<bool> gaveUp{false};
  std::thread t([&] {
    TestDriver d;
    // Let the body reach its loop first.
    d.Settle();
    script(d);
    scriptDone = true;
    detail::Wake();
    // A body still running when the script is over (a screen the script failed to close)
    // is ended by a quit, so a failing test reports instead of hanging.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(realLimitMs);
    while (!bodyDone.load() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!bodyDone.load()) {
      gaveUp = true;
      PostQuitMessage(-1);
    }
  });
  body();
  bodyDone = true;
  // The body ended; serve the script until it finishes too.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(realLimitMs);
  while (!scriptDone.load() && std::chrono::steady_clock::now() < deadline) {
    PumpPending();
    {
      auto& c = Ctx();
      std::lock_guard<std::mutex> g(c.mu);
      c.idleCount++;
    }
    Ctx().idleCv.notify_all();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const bool ok = scriptDone.load() && !gaveUp.load();
  if (scriptDone.load()) {
    t.join();
  } else {
    t.detach();
  }
  if (gaveUp.load() && LoopDepth() == 0) {
    // The quit that ended the body is spent.
    Ctx().quit = false;
  }
  return ok;
}

namespace {
Window* FindIn(Window* w, int id) {
  for (Window* ch : w->Children()) {
    if (ch->GetDlgCtrlID() == id && ch->IsWindow()) return ch;
  }
  for (Window* ch : w->Children()) {
    if (Window* f = FindIn(ch, id)) return f;
  }
  return nullptr;
}
}  // namespace

Window* TestDriver::Find(int id) {
  return OnUi<Window*>([id]() -> Window* {
    if (Window* a = Window::GetActiveWindow()) {
      if (Window* f = FindIn(a, id)) return f;
    }
    auto tl = TopLevelWindows();
    for (auto it = tl.rbegin(); it != tl.rend(); ++it) {
      if (!(*it)->IsWindowVisible()) continue;
      if (Window* f = FindIn(*it, id)) return f;
    }
    return nullptr;
  });
}

Window* TestDriver::TopWindow() {
  return OnUi<Window*>([]() -> Window* {
    auto tl = TopLevelWindows();
    for (auto it = tl.rbegin(); it != tl.rend(); ++it) {
      if ((*it)->IsWindowVisible()) return *it;
    }
    return nullptr;
  });
}

Window* TestDriver::ActiveWindow() {
  return OnUi<Window*>([] { return Window::GetActiveWindow(); });
}

bool TestDriver::Press(int id) { return Press(Find(id)); }

bool TestDriver::Press(Window* w) {
  if (!w) return false;
  Point p;
  const bool ok = OnUi<bool>([&] {
    if (!w->IsWindow() || !w->IsWindowVisible() || !w->IsWindowEnabled()) return false;
    p = w->GetWindowRect().Center();
    // The click must land on the control, not on something covering it.
    Window* hit = WindowFromPoint(p);
    return hit == w || w->IsChild(hit) || Window::GetCapture() != nullptr;
  });
  if (!ok) return false;
  ClickAt(p);
  return true;
}

void TestDriver::MoveTo(Point screen) {
  InputEvent e;
  e.kind = InputEvent::Kind::MouseMove;
  e.pt = screen;
  InjectInput(e);
  Settle();
}

void TestDriver::ClickAt(Point screen, int button) {
  InputEvent e;
  e.kind = InputEvent::Kind::MouseMove;
  e.pt = screen;
  InjectInput(e);
  e.kind = InputEvent::Kind::MouseDown;
  e.button = button;
  InjectInput(e);
  Settle();
  e.kind = InputEvent::Kind::MouseUp;
  InjectInput(e);
  Settle();
}

void TestDriver::DoubleClickAt(Point screen) {
  ClickAt(screen);
  InputEvent e;
  e.pt = screen;
  e.kind = InputEvent::Kind::MouseDown;
  e.clicks = 2;
  InjectInput(e);
  Settle();
  e.kind = InputEvent::Kind::MouseUp;
  InjectInput(e);
  Settle();
}

void TestDriver::Type(const std::string& utf8) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.c_str());
  while (*p) {
    unsigned cp = *p;
    int extra = cp >= 0xF0 ? 3 : cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
    if (extra) cp &= (0x3F >> extra);
    ++p;
    for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p) cp = (cp << 6) | (*p & 0x3F);
    InputEvent e;
    e.kind = InputEvent::Kind::Char;
    e.ch = cp;
    InjectInput(e);
  }
  Settle();
}

void TestDriver::Key(unsigned vk, bool shift, bool ctrl, bool alt) {
  InputEvent e;
  e.kind = InputEvent::Kind::KeyDown;
  e.vk = vk;
  e.shift = shift;
  e.ctrl = ctrl;
  e.alt = alt;
  InjectInput(e);
  e.kind = InputEvent::Kind::KeyUp;
  InjectInput(e);
  Settle();
}

void TestDriver::Advance(int64_t ms) {
  const int64_t target = sys::Clock::TickMs() + ms;
  for (int guard = 0; guard < 1000000; ++guard) {
    Settle();
    const int64_t now = sys::Clock::TickMs();
    if (now >= target) break;
    int64_t next = OnUi<int64_t>([] {
      int64_t t = detail::NextTimerDue();
      const int64_t h = detail::NextHoverDue();
      if (h >= 0 && (t < 0 || h < t)) t = h;
      return t;
    });
    if (next < 0 || next > target) next = target;
    if (next <= now) next = now + 1;
    sys::Clock::Advance(next - now);
  }
  Settle();
}

bool TestDriver::RunUntil(const std::function<bool()>& cond, int64_t realLimitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(realLimitMs);
  for (;;) {
    Settle();
    if (OnUi<bool>(cond)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    if (IsUiThread()) {
      // Let other threads' sends and posts arrive.
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      detail::ServeSent();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

std::string TestDriver::Text(int id) {
  Window* w = Find(id);
  return w ? w->GetWindowText() : std::string();
}

int TestDriver::Check(int id) {
  Window* w = Find(id);
  return w ? static_cast<int>(w->SendMessage(BM_GETCHECK)) : -1;
}

bool TestDriver::Enabled(int id) {
  Window* w = Find(id);
  return w && OnUi<bool>([w] { return w->IsWindowEnabled(); });
}

bool TestDriver::Visible(int id) {
  Window* w = Find(id);
  return w && OnUi<bool>([w] { return w->IsWindowVisible(); });
}

Window* TestDriver::MessageBox() {
  return OnUi<Window*>([]() -> Window* {
    auto tl = TopLevelWindows();
    for (auto it = tl.rbegin(); it != tl.rend(); ++it) {
      if ((*it)->IsMessageBox() && (*it)->IsWindowVisible()) return *it;
    }
    return nullptr;
  });
}

std::string TestDriver::MessageBoxText() {
  Window* box = MessageBox();
  if (!box) return {};
  return OnUi<std::string>([box] {
    std::string all;
    for (Window* ch : box->Children()) {
      if (ch->ClassName() != "Static") continue;
      const std::string t = ch->GetWindowText();
      if (t.empty()) continue;
      if (!all.empty()) all += "\n";
      all += t;
    }
    return all;
  });
}

bool TestDriver::AnswerMessageBox(int buttonId) {
  Window* box = MessageBox();
  if (!box) return false;
  Window* b = OnUi<Window*>([box, buttonId] { return FindIn(box, buttonId); });
  return Press(b);
}

draw::Bitmap TestDriver::Screen() {
  Settle();
  return OnUi<draw::Bitmap>([] {
    detail::Ctx().composeNeeded = true;
    detail::PaintAndCompose(true);
    return detail::Ctx().screen.Clone();
  });
}

bool TestDriver::SaveScreenshot(const std::string& path) { return Screen().SavePng(path); }

}  // namespace ui
