#include "platform/ui/app.h"


#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "platform/sys/clock.h"
#include "platform/sys/wait_pump.h"
#include "platform/ui/detail/context.h"
#include "platform/ui/window.h"

namespace ui {
namespace detail {

Context& Ctx() {
  static Context* c = new Context;  // outlives static destructors of other objects
  return *c;
}

void SignalLocked(Context& c) {
  c.wake = true;
  if (c.backendWaiting) c.backend->InterruptWait();
}

void Wake() {
  auto& c = Ctx();
  {
    std::lock_guard<std::mutex> g(c.mu);
    SignalLocked(c);
  }
  c.cv.notify_all();
}

void ReportFault(const std::string& what) {
  auto& c = Ctx();
  c.faults++;
  if (c.faultReporter) {
    c.faultReporter(what);
  } else {
    std::fprintf(stderr, "ui: a message handler failed: %s\n", what.c_str());
  }
}

LResult SafeCall(Window* w, uint32_t msg, WParam wp, LParam lp) {
  try {
    return w->WindowProc(msg, wp, lp);
  } catch (const std::exception& e) {
    char buf[64];
    std::snprintf(buf, sizeof buf, " (message 0x%04X)", msg);
    ReportFault(std::string(e.what()) + buf);
  } catch (...) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "unknown exception (message 0x%04X)", msg);
    ReportFault(buf);
  }
  return 0;
}

bool ServeSent() {
  auto& c = Ctx();
  bool any = false;
  for (;;) {
    std::shared_ptr<SentItem> item;
    {
      std::lock_guard<std::mutex> g(c.mu);
      if (c.sent.empty()) break;
      item = c.sent.front();
      c.sent.pop_front();
    }
    any = true;
    LResult r = 0;
    if (item->fn) {
      try {
        item->fn();
      } catch (const std::exception& e) {
        ReportFault(e.what());
      } catch (...) {
        ReportFault("unknown exception in a call run on the UI thread");
      }
    } else if (Window* w = Window::FromHandle(item->msg.hwnd)) {
      const Message* prev = c.current;
      c.current = &item->msg;
      r = SafeCall(w, item->msg.message, item->msg.wParam, item->msg.lParam);
      c.current = prev;
    }
    {
      std::lock_guard<std::mutex> g(c.mu);
      item->result = r;
      item->done = true;
    }
    c.doneCv.notify_all();
  }
  return any;
}

void KillTimersOf(WindowHandle h) {
  auto& t = Ctx().timers;
  t.erase(std::remove_if(t.begin(), t.end(), [h](const Timer& x) { return x.hwnd == h; }), t.end());
}

int64_t NextTimerDue() {
  int64_t best = -1;
  for (auto& t : Ctx().timers) {
    if (best < 0 || t.due < best) best = t.due;
  }
  return best;
}

void ProcessPendingDeletes() {
  auto& c = Ctx();
  while (!c.pendingDelete.empty()) {
    std::vector<Window*> v;
    v.swap(c.pendingDelete);
    for (Window* w : v) delete w;
  }
}

namespace {

// Waits for a cross-thread item to be handled; false when the UI thread went away first.
LResult SendAndWait(const std::shared_ptr<SentItem>& item, bool* ok) {
  auto& c = Ctx();
  std::unique_lock<std::mutex> lk(c.mu);
  if (!c.alive.load()) {
    if (ok) *ok = false;
    return 0;
  }
  c.sent.push_back(item);
  SignalLocked(c);
  c.cv.notify_all();
  c.doneCv.wait(lk, [&] { return item->done || !c.alive.load(); });
  if (ok) *ok = item->done;
  return item->done ? item->result : 0;
}

bool TakePosted(Message& msg, Window* filter, uint32_t first, uint32_t last, bool remove,
                std::function<void()>* call) {
  auto& c = Ctx();
  std::lock_guard<std::mutex> g(c.mu);
  for (auto it = c.posted.begin(); it != c.posted.end(); ++it) {
    if (it->fn) {
      if (filter || first || last) continue;
      if (call) *call = it->fn;
      msg = Message{};
      if (remove) c.posted.erase(it);
      return true;
    }
    if (filter && it->msg.hwnd != filter->Handle() && !filter->IsChild(Window::FromHandle(it->msg.hwnd))) continue;
    if ((first || last) && (it->msg.message < first || it->msg.message > last)) continue;
    msg = it->msg;
    if (remove) c.posted.erase(it);
    return true;
  }
  return false;
}

bool TakeDueTimer(Message& msg, Window* filter) {
  auto& c = Ctx();
  const int64_t now = sys::Clock::TickMs();
  Timer* best = nullptr;
  for (auto& t : c.timers) {
    if (t.due > now) continue;
    if (filter && t.hwnd != filter->Handle()) continue;
    if (!best || t.due < best->due) best = &t;
  }
  if (!best) return false;
  best->due = now + best->period;
  msg = Message{};
  msg.hwnd = best->hwnd;
  msg.message = WM_TIMER;
  msg.wParam = best->id;
  msg.time = now;
  msg.pt = c.cursor;
  c.postedSinceTimer = 0;
  return true;
}

void WaitForWork() {
  auto& c = Ctx();
  int64_t timeoutMs = -1;
  if (!sys::Clock::IsManual()) {
    int64_t due = NextTimerDue();
    const int64_t hov = NextHoverDue();
    if (hov >= 0 && (due < 0 || hov < due)) due = hov;
    if (due >= 0) timeoutMs = std::max<int64_t>(0, due - sys::Clock::TickMs());
  } else {
    // The manual clock wakes us through its advance listener; a slice keeps us safe from a
    // missed notification.
    timeoutMs = 50;
  }
  if (c.composeNeeded) timeoutMs = timeoutMs < 0 ? kComposeIntervalMs : std::min<int64_t>(timeoutMs, kComposeIntervalMs);
  std::unique_lock<std::mutex> lk(c.mu);
  if (c.wake || !c.posted.empty() || !c.sent.empty() || !c.injected.empty()) {
    c.wake = false;
    return;
  }
  // A display with input of its own is waited on directly (no polling): another thread's
  // wake-up interrupts that wait through SignalLocked.
  if (c.backend && timeoutMs != 0) {
    c.backendWaiting = true;
    lk.unlock();
    const bool waited = c.backend->WaitForInput(timeoutMs);
    lk.lock();
    c.backendWaiting = false;
    if (waited) {
      c.wake = false;
      return;
    }
  }
  if (timeoutMs < 0) {
    c.cv.wait(lk, [&] { return c.wake; });
  } else if (timeoutMs > 0) {
    c.cv.wait_for(lk, std::chrono::milliseconds(timeoutMs), [&] { return c.wake; });
  }
  c.wake = false;
}

void NoteIdle() {
  auto& c = Ctx();
  {
    std::lock_guard<std::mutex> g(c.mu);
    c.idleCount++;
  }
  c.idleCv.notify_all();
}

// One round of the non-blocking part of a loop: sent messages, input, a posted message or a
// due timer. Returns true and fills `msg` when there is a message to dispatch.
bool NextReady(Message& msg, std::function<void()>* call) {
  auto& c = Ctx();
  ServeSent();
  DrainInput();
  // Under a flood of posted messages a due timer still gets its turn.
  if (c.postedSinceTimer >= 16 && TakeDueTimer(msg, nullptr)) return true;
  if (TakePosted(msg, nullptr, 0, 0, true, call)) {
    c.postedSinceTimer++;
    return true;
  }
  CheckHover();
  if (TakePosted(msg, nullptr, 0, 0, true, call)) return true;
  if (c.paintPending || c.composeNeeded) PaintAndCompose();
  if (TakeDueTimer(msg, nullptr)) return true;
  return false;
}

int AdvanceListenerToken() {
  return sys::Clock::AddAdvanceListener([] { Wake(); });
}

}  // namespace
}  // namespace detail

using namespace detail;

BackendKind BackendFromEnvironment(int argc, char** argv) {
  for (int i = 1; i < argc && argv; ++i) {
    if (std::strcmp(argv[i], "--offscreen") == 0) return BackendKind::Offscreen;
    if (std::strcmp(argv[i], "--sdl") == 0) return BackendKind::Sdl;
  }
  if (const char* e = std::getenv("QUORVEX_UI_BACKEND")) {
    if (std::strcmp(e, "offscreen") == 0) return BackendKind::Offscreen;
    if (std::strcmp(e, "sdl") == 0) return BackendKind::Sdl;
  }
  return BackendKind::Auto;
}

bool Init(const InitOptions& options) {
  auto& c = Ctx();
  if (c.alive.load()) return IsUiThread();
  BackendKind kind = options.backend;
  if (kind == BackendKind::Auto) {
    const char* d = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    kind = ((d && *d) || (wl && *wl)) ? BackendKind::Sdl : BackendKind::Offscreen;
  }
  // No size given: the SDL backend takes the display's, the offscreen one 800 x 600.
  Size size(options.width > 0 ? options.width : 0, options.height > 0 ? options.height : 0);
  std::unique_ptr<Backend> be;
  if (kind == BackendKind::Sdl) {
    be = MakeSdlBackend();
    if (!be->Open(options, size)) {
      std::fprintf(stderr, "ui: no display could be opened; drawing offscreen\n");
      be.reset();
      size = Size(options.width > 0 ? options.width : 800, options.height > 0 ? options.height : 600);
    }
  }
  if (!be) {
    be = MakeOffscreenBackend();
    be->Open(options, size);
  }
  c.backend = std::move(be);
  c.screenSize = size;
  c.screen = draw::Bitmap::Create(size.cx, size.cy, draw::kBlack);
  // A new display shows nothing yet: its first frame is the whole screen.
  c.damage.clear();
  c.damageAll = true;
  c.uiThread = std::this_thread::get_id();
  c.quit = false;
  c.quitCode = 0;
  c.loopDepth = 0;
  c.cursorCount = 0;
  c.composeNeeded = true;
  c.cursor = Point(-1, -1);
  c.alive = true;
  c.advanceToken = AdvanceListenerToken();
  sys::SetThreadWaitPump([] {
    if (IsUiThread()) ServeSent();
  });
  return true;
}

void Shutdown() {
  auto& c = Ctx();
  if (!c.alive.load()) return;
  // Destroy every window, top-most first.
  for (int guard = 0; guard < 10000; ++guard) {
    if (c.topLevels.empty()) break;
    Window* w = c.topLevels.back();
    w->DestroyWindow();
    auto it = std::find(c.topLevels.begin(), c.topLevels.end(), w);
    if (it != c.topLevels.end()) c.topLevels.erase(it);
  }
  ProcessPendingDeletes();
  ServeSent();
  sys::Clock::RemoveAdvanceListener(c.advanceToken);
  sys::SetThreadWaitPump({});
  {
    std::lock_guard<std::mutex> g(c.mu);
    c.alive = false;
    for (auto& s : c.sent) s->done = false;
    c.sent.clear();
    c.posted.clear();
    c.injected.clear();
  }
  c.doneCv.notify_all();
  c.timers.clear();
  c.hooks.clear();
  c.hotKeys.clear();
  c.active = c.focus = c.capture = c.mouseOver = 0;
  c.backend.reset();
  c.screen = draw::Bitmap();
  c.quit = false;
  c.uiThread = std::thread::id();
}

bool IsInitialized() { return Ctx().alive.load(); }
bool IsUiThread() { return Ctx().alive.load() && std::this_thread::get_id() == Ctx().uiThread; }
BackendKind ActiveBackend() { return Ctx().backend ? Ctx().backend->Kind() : BackendKind::Offscreen; }
Size GetScreenSize() { return Ctx().screenSize; }

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return GetScreenSize().cx;
    case SM_CYSCREEN: return GetScreenSize().cy;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return kScrollBarSize;
    case SM_CYCAPTION: return 20;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    default: return 0;
  }
}

bool GetMessage(Message& msg) {
  auto& c = Ctx();
  for (;;) {
    ServeSent();
    if (c.quit.load()) {
      msg = Message{};
      msg.message = WM_QUIT;
      msg.wParam = static_cast<WParam>(c.quitCode.load());
      return false;
    }
    std::function<void()> call;
    if (NextReady(msg, &call)) {
      if (call) {
        try {
          call();
        } catch (...) {
          ReportFault("exception in a call posted to the UI thread");
        }
        continue;
      }
      return true;
    }
    ProcessPendingDeletes();
    NoteIdle();
    WaitForWork();
  }
}

bool PeekMessage(Message& msg, Window* window, uint32_t first, uint32_t last, bool remove) {
  ServeSent();
  DrainInput();
  if (TakePosted(msg, window, first, last, remove, nullptr) && msg.message != 0) return true;
  if ((!first && !last) || (WM_TIMER >= first && WM_TIMER <= last)) {
    if (remove && TakeDueTimer(msg, window)) return true;
  }
  return false;
}

bool PreTranslate(Message& msg) {
  auto& c = Ctx();
  auto hooks = c.hooks;
  for (auto& [tok, fn] : hooks) {
    if (fn && fn(msg)) return true;
  }
  Window* w = Window::FromHandle(msg.hwnd);
  while (w) {
    WindowHandle h = w->Handle();
    bool swallowed = false;
    try {
      swallowed = w->PreTranslateMessage(msg);
    } catch (const std::exception& e) {
      ReportFault(e.what());
      return true;
    } catch (...) {
      ReportFault("unknown exception in PreTranslateMessage");
      return true;
    }
    if (swallowed) return true;
    // The hook may have destroyed the window.
    if (!Window::FromHandle(h)) return true;
    if (w->IsTopLevel()) break;
    w = w->GetParent();
  }
  return false;
}

LResult DispatchMessage(const Message& msg) {
  auto& c = Ctx();
  Window* w = Window::FromHandle(msg.hwnd);
  if (!w) return 0;
  if (msg.message == WM_TIMER) {
    // A timer killed after its message was made is not delivered.
    bool live = false;
    for (auto& t : c.timers) {
      if (t.hwnd == msg.hwnd && t.id == msg.wParam) live = true;
    }
    if (!live) return 0;
  }
  const Message* prev = c.current;
  c.current = &msg;
  LResult r = SafeCall(w, msg.message, msg.wParam, msg.lParam);
  c.current = prev;
  return r;
}

int RunMessageLoop() {
  auto& c = Ctx();
  c.loopDepth++;
  Message msg;
  while (GetMessage(msg)) {
    if (!PreTranslate(msg)) DispatchMessage(msg);
  }
  c.loopDepth--;
  const int code = c.quitCode.load();
  if (c.loopDepth == 0) c.quit = false;
  return code;
}

int PumpPending() {
  auto& c = Ctx();
  if (!IsUiThread()) return 0;
  int handled = 0;
  for (int guard = 0; guard < 200000; ++guard) {
    Message msg;
    std::function<void()> call;
    if (!NextReady(msg, &call)) {
      if (c.paintPending) {
        PaintAndCompose();
        continue;
      }
      if (c.composeNeeded) PaintAndCompose(true);
      break;
    }
    if (call) {
      try {
        call();
      } catch (...) {
        ReportFault("exception in a call posted to the UI thread");
      }
    } else if (!PreTranslate(msg)) {
      DispatchMessage(msg);
    }
    handled++;
  }
  ProcessPendingDeletes();
  return handled;
}

void PostQuitMessage(int code) {
  auto& c = Ctx();
  c.quitCode = code;
  c.quit = true;
  Wake();
}

namespace {
std::function<void()>& DisplayLostHandler() {
  static auto* handler = new std::function<void()>;  // UI thread only; outlives static destructors
  return *handler;
}
}  // namespace

void SetDisplayLostHandler(std::function<void()> handler) { DisplayLostHandler() = std::move(handler); }

namespace detail {
void DisplayLost() {
  std::fprintf(stderr, "ui: the display is gone; the program ends\n");
  if (DisplayLostHandler()) DisplayLostHandler()();
  else PostQuitMessage(0);
}
}  // namespace detail

bool IsQuitPending() { return Ctx().quit.load(); }
int QuitCode() { return Ctx().quitCode.load(); }
int LoopDepth() { return Ctx().loopDepth; }
const Message* GetCurrentMessage() { return Ctx().current; }

int AddPreTranslateHook(std::function<bool(Message&)> hook) {
  auto& c = Ctx();
  int t = c.nextHookToken++;
  c.hooks.emplace_back(t, std::move(hook));
  return t;
}

void RemovePreTranslateHook(int token) {
  auto& h = Ctx().hooks;
  h.erase(std::remove_if(h.begin(), h.end(), [token](auto& p) { return p.first == token; }), h.end());
}

void RemoveMouseMessages(Window* window) {
  auto& c = Ctx();
  if (IsUiThread()) DrainInput();
  std::lock_guard<std::mutex> g(c.mu);
  auto isMouse = [](uint32_t m) {
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || m == WM_MOUSEHOVER || m == WM_MOUSELEAVE;
  };
  c.posted.erase(std::remove_if(c.posted.begin(), c.posted.end(),
                                [&](const QueueItem& q) {
                                  return !q.fn && isMouse(q.msg.message) &&
                                         (!window || q.msg.hwnd == window->Handle());
                                }),
                 c.posted.end());
}

bool RunOnUiThread(const std::function<void()>& fn) {
  if (IsUiThread()) {
    fn();
    return true;
  }
  auto item = std::make_shared<SentItem>();
  item->fn = fn;
  bool ok = false;
  SendAndWait(item, &ok);
  return ok;
}

bool PostToUiThread(std::function<void()> fn) {
  auto& c = Ctx();
  {
    std::lock_guard<std::mutex> g(c.mu);
    if (!c.alive.load()) return false;
    QueueItem q;
    q.fn = std::move(fn);
    c.posted.push_back(std::move(q));
    SignalLocked(c);
  }
  c.cv.notify_all();
  return true;
}

LResult SendMessageTo(WindowHandle h, uint32_t msg, WParam w, LParam l) {
  auto& c = Ctx();
  if (!c.alive.load()) return 0;
  if (IsUiThread()) {
    Window* win = Window::FromHandle(h);
    return win ? SafeCall(win, msg, w, l) : 0;
  }
  {
    std::lock_guard<std::mutex> g(c.handleMu);
    if (!c.handles.count(h)) return 0;
  }
  auto item = std::make_shared<SentItem>();
  item->msg.hwnd = h;
  item->msg.message = msg;
  item->msg.wParam = w;
  item->msg.lParam = l;
  item->msg.time = sys::Clock::TickMs();
  return SendAndWait(item, nullptr);
}

bool PostMessageTo(WindowHandle h, uint32_t msg, WParam w, LParam l) {
  auto& c = Ctx();
  if (!c.alive.load()) return false;
  {
    std::lock_guard<std::mutex> g(c.handleMu);
    if (!c.handles.count(h)) return false;
  }
  {
    std::lock_guard<std::mutex> g(c.mu);
    QueueItem q;
    q.msg.hwnd = h;
    q.msg.message = msg;
    q.msg.wParam = w;
    q.msg.lParam = l;
    q.msg.time = sys::Clock::TickMs();
    c.posted.push_back(std::move(q));
    SignalLocked(c);
  }
  c.cv.notify_all();
  return true;
}

int ShowCursor(bool show) {
  auto& c = Ctx();
  c.cursorCount += show ? 1 : -1;
  if (c.backend) c.backend->SetCursorVisible(c.cursorCount >= 0);
  return c.cursorCount;
}

bool IsCursorShown() { return Ctx().cursorCount >= 0; }

void SetCursor(CursorShape shape) {
  auto& c = Ctx();
  if (c.cursorShape == shape) return;
  c.cursorShape = shape;
  if (c.backend) c.backend->SetCursorShape(shape);
}

CursorShape GetCursorShape() { return Ctx().cursorShape; }

void SetClipboardText(const std::string& text) {
  auto& c = Ctx();
  c.clipboard = text;
  if (c.backend) c.backend->SetClipboard(text);
}

std::string GetClipboardText() {
  auto& c = Ctx();
  std::string t;
  if (c.backend && c.backend->GetClipboard(t)) return t;
  return c.clipboard;
}

bool RegisterHotKey(Window* window, int id, unsigned modifiers, unsigned vk) {
  auto& c = Ctx();
  const WindowHandle h = window ? window->Handle() : 0;
  for (auto& k : c.hotKeys) {
    if (k.modifiers == modifiers && k.vk == vk) return false;  // taken
  }
  c.hotKeys.push_back({h, id, modifiers, vk});
  return true;
}

bool UnregisterHotKey(Window* window, int id) {
  auto& v = Ctx().hotKeys;
  const WindowHandle h = window ? window->Handle() : 0;
  const size_t n = v.size();
  v.erase(std::remove_if(v.begin(), v.end(), [&](const Context::HotKey& k) { return k.hwnd == h && k.id == id; }), v.end());
  return v.size() != n;
}

Window* FindWindow(const std::string& className, const std::string& title) {
  auto& c = Ctx();
  for (auto it = c.topLevels.rbegin(); it != c.topLevels.rend(); ++it) {
    Window* w = *it;
    if (!w->IsWindow()) continue;
    if (!className.empty() && w->ClassName() != className) continue;
    if (w->GetWindowText() == title) return w;
  }
  return nullptr;
}

std::vector<Window*> TopLevelWindows() { return Ctx().topLevels; }

void SetHandlerFaultReporter(std::function<void(const std::string&)> fn) { Ctx().faultReporter = std::move(fn); }
void SetPresentListener(std::function<void()> fn) { Ctx().presentListener = std::move(fn); }
int64_t LastPresentNs() { return Ctx().lastPresentNs; }
int HandlerFaultCount() { return Ctx().faults.load(); }

void InjectInput(const InputEvent& ev) {
  auto& c = Ctx();
  {
    std::lock_guard<std::mutex> g(c.mu);
    c.injected.push_back(ev);
    SignalLocked(c);
  }
  c.cv.notify_all();
}

Point GetCursorPos() { return Ctx().cursor; }

short GetKeyState(unsigned vk) {
  auto& c = Ctx();
  bool down = false;
  if (vk == 0x10) down = c.shift;
  else if (vk == 0x11) down = c.ctrl;
  else if (vk == 0x01) down = c.buttons & MK_LBUTTON;
  else if (vk == 0x02) down = c.buttons & MK_RBUTTON;
  return down ? static_cast<short>(-128) : 0;
}

}  // namespace ui
