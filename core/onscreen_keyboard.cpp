#include "core/onscreen_keyboard.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/app_settings.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/process.h"
#include "platform/sys/program_dir.h"
#include "platform/sys/shell_open.h"
#include "platform/ui/app.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/focus_history.h"
#include "platform/ui/foreign_window.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window.h"

namespace {

// How long a keyboard just started is given to open its window before it is placed.
constexpr auto kWindowWait = std::chrono::seconds(10);
constexpr auto kWindowPoll = std::chrono::milliseconds(50);

bool DisplayGeometry(const std::string& title, draw::Rect* where, bool* shown) {
  return ui::ForeignWindowGeometry(title, where, shown);
}
bool DisplayMove(const std::string& title, int x, int y) { return ui::MoveForeignWindow(title, x, y); }
bool DisplayHide(const std::string& title) { return ui::HideForeignWindow(title); }
const OnScreenKeyboardWindows kDisplayWindows{DisplayGeometry, DisplayMove, DisplayHide};

long Overlap(const draw::Rect& a, const draw::Rect& b) {
  const draw::Rect c = a.Intersect(b);
  return c.IsEmpty() ? 0 : static_cast<long>(c.Width()) * c.Height();
}

// What the keyboard is doing; shared with the thread that waits for a new keyboard's window
// and with the thread that reaps the program.
struct Keyboard {
  std::mutex lock;
  std::condition_variable wake;
  const OnScreenKeyboardWindows* windows = &kDisplayWindows;
  int pid = 0;                                         // the program started here, while it runs
  std::shared_ptr<std::atomic<bool>> running;          // cleared when that program has ended
  bool wanted = false;                                 // shown by a tap and not taken away since
  draw::Size display;                                  // where it is to go, for the waiting thread
  draw::Rect field;
  std::vector<draw::Rect> buttons;                     // the screen's buttons, kept free
  unsigned waiting = 0;                                // the current wait for a new window
  ui::WindowHandle watch = 0;                          // the watch on the screen that called it up
};

// Never destroyed: a thread still waiting for a window at the program's end finds it there.
Keyboard& State() {
  static Keyboard* k = new Keyboard;
  return *k;
}

// The titles the keyboard's window may have: ours, and the one of the program the helper table
// picks.
std::vector<std::string> Titles() {
  std::vector<std::string> titles{kOnScreenKeyboardTitle};
  const sys::ShellCommand cmd = sys::ResolveShellOpen(sys::ProgramDir() + kOnScreenKeyboardProgram);
  if (!cmd.windowTitle.empty() && cmd.windowTitle != titles[0]) titles.push_back(cmd.windowTitle);
  return titles;
}

// The title of the keyboard window that is there now ("" when none); `shown` and `where` as
// the display has it.
std::string FindWindow(const OnScreenKeyboardWindows& w, const std::vector<std::string>& titles, draw::Rect* where,
                       bool* shown) {
  for (const std::string& t : titles) {
    bool s = false;
    draw::Rect r;
    if (w.geometry(t, &r, &s)) {
      if (where) *where = r;
      if (shown) *shown = s;
      return t;
    }
  }
  return {};
}

void Place(const OnScreenKeyboardWindows& w, const std::string& title, draw::Size display, const draw::Rect& field,
           const std::vector<draw::Rect>& buttons) {
  draw::Rect r;
  bool shown = false;
  if (!w.geometry(title, &r, &shown)) return;
  const draw::Point at = OnScreenKeyboardPlace(display, draw::Size(r.Width(), r.Height()), field, buttons);
  if (at != r.TopLeft()) w.move(title, at.x, at.y);
}

// Ends the wait for a new window (called with the lock held).
void StopWaiter(Keyboard& k) {
  ++k.waiting;
  k.wake.notify_all();
}

// Waits for the window of a keyboard just started and puts it in its place; a keyboard taken
// away meanwhile is taken off the display as soon as its window comes.
void WaitAndPlace(std::vector<std::string> titles, unsigned wait) {
  Keyboard& k = State();
  std::unique_lock<std::mutex> held(k.lock);
  const auto deadline = std::chrono::steady_clock::now() + kWindowWait;
  while (k.waiting == wait && std::chrono::steady_clock::now() < deadline) {
    if (k.running && !k.running->load()) return;  // it ended without a window
    const OnScreenKeyboardWindows& w = *k.windows;
    const std::string title = FindWindow(w, titles, nullptr, nullptr);
    if (!title.empty()) {
      if (k.wanted) Place(w, title, k.display, k.field, k.buttons);
      else w.hide(title);
      return;
    }
    k.wake.wait_for(held, kWindowPoll, [&] { return k.waiting != wait; });
  }
}

// A hidden child of the screen that called the keyboard up: when the screen ends, so does the
// watch, and the keyboard is taken away. So it is when another window of the program comes up
// over the screen (a message box, a dialog of its own): the keyboard was placed clear of the
// screen's buttons, not of the new window's, whose OK it could cover. The watch looks at which
// window is active every tenth of a second, quicker than an operator reads and reaches for OK.
class ScreenWatch : public ui::Window {
 public:
  static constexpr uintptr_t kLookTimer = 1;
  static constexpr unsigned kLookMs = 100;
  bool armed = true;

 protected:
  void OnTimer(uintptr_t id) override {
    if (id != kLookTimer) return;
    const ui::Window* active = ui::Window::GetActiveWindow();
    if (!active || active == GetParent()) return;
    Keyboard& k = State();
    bool wanted = false;
    {
      std::lock_guard<std::mutex> held(k.lock);
      wanted = k.wanted;
    }
    if (wanted) HideOnScreenKeyboard();
  }
  void OnDestroy() override {
    Keyboard& k = State();
    if (k.watch == Handle()) k.watch = 0;
    if (armed) HideOnScreenKeyboard();
  }
};

void DropWatch(Keyboard& k) {
  if (auto* w = dynamic_cast<ScreenWatch*>(ui::Window::FromHandle(k.watch))) {
    w->armed = false;
    w->DestroyWindow();
  }
  k.watch = 0;
}

void WatchScreen(Keyboard& k, ui::Window* screen) {
  if (ui::Window* current = ui::Window::FromHandle(k.watch); current && current->GetParent() == screen) return;
  DropWatch(k);
  if (!screen) return;
  auto* watch = new ScreenWatch;
  watch->SetAutoDelete(true);
  if (!watch->Create("Static", "", ui::WS_CHILD, draw::Rect(0, 0, 0, 0), screen)) {
    delete watch;
    return;
  }
  k.watch = watch->Handle();
  watch->SetTimer(ScreenWatch::kLookTimer, ScreenWatch::kLookMs);
}

// A tap on the keyboard button moved the focus to it; the field that had it gets it back, so
// that the keys land there. The field, or null when the focus is on no field of a screen.
ui::Window* GiveFocusBack() {
  ui::Window* focus = ui::Window::GetFocus();
  if (focus && focus->GetDlgCtrlID() == kKeyboardButtonId && focus->GetParent()) {
    ui::Window* before = ui::PreviousFocus();
    if (before && before != focus && before->GetTopLevel() == focus->GetTopLevel() && before->IsWindowVisible() &&
        before->IsWindowEnabled()) {
      before->SetFocus();
      return before;
    }
    return nullptr;
  }
  return focus;
}

// Where the buttons of `screen` lie that the operator may tap while the keyboard is up: every
// shown and working button but the group frames (push buttons, the keyboard button, radios and
// check boxes, owner-drawn or not), at any depth.
std::vector<draw::Rect> ButtonsOf(ui::Window* screen) {
  std::vector<draw::Rect> out;
  std::vector<ui::Window*> parents{screen};
  for (size_t i = 0; i < parents.size(); ++i)
    for (ui::Window* c : parents[i]->Children()) {
      if (!c->IsWindowVisible()) continue;
      parents.push_back(c);
      if (!c->IsWindowEnabled()) continue;
      if (auto* b = dynamic_cast<ui::Button*>(c); b && b->Kind() != ui::BS_GROUPBOX) out.push_back(c->GetWindowRect());
    }
  return out;
}

}  // namespace

draw::Point OnScreenKeyboardPlace(draw::Size display, draw::Size keyboard, const draw::Rect& field,
                                  const std::vector<draw::Rect>& buttons) {
  const int centre = std::max(0, (display.cx - keyboard.cx) / 2), right = std::max(0, display.cx - keyboard.cx);
  const int bottom = std::max(0, display.cy - keyboard.cy);
  std::vector<draw::Point> places{{centre, bottom}, {centre, 0}, {0, bottom}, {right, bottom}, {0, 0}, {right, 0}};
  for (int y = bottom - 1; y > 0; --y)
    for (int x : {centre, 0, right}) places.emplace_back(x, y);
  // What a place covers: the field's area first, then the number of buttons.
  auto cost = [&](draw::Point at) {
    const draw::Rect r = draw::Rect::FromSize(at.x, at.y, keyboard.cx, keyboard.cy);
    long covered = 0;
    for (const draw::Rect& b : buttons) covered += Overlap(r, b) > 0 ? 1 : 0;
    return std::pair<long, long>(Overlap(r, field), covered);
  };
  draw::Point best = places.front();
  std::pair<long, long> least = cost(best);
  for (const draw::Point& at : places) {
    if (least == std::pair<long, long>(0, 0)) break;
    const std::pair<long, long> c = cost(at);
    if (c < least) {
      least = c;
      best = at;
    }
  }
  return best;
}

void SetOnScreenKeyboardWindows(const OnScreenKeyboardWindows* windows) {
  Keyboard& k = State();
  std::lock_guard<std::mutex> held(k.lock);
  StopWaiter(k);
  k.windows = windows ? windows : &kDisplayWindows;
}

int ShowOnScreenKeyboard() {
  Keyboard& k = State();
  ui::Window* field = GiveFocusBack();
  const draw::Rect fieldRect = field ? field->GetWindowRect() : draw::Rect();
  ui::Window* screen = field ? field->GetTopLevel() : ui::Window::GetActiveWindow();
  const std::vector<draw::Rect> buttons = screen ? ButtonsOf(screen) : std::vector<draw::Rect>();
  const std::vector<std::string> titles = Titles();
  std::unique_lock<std::mutex> held(k.lock);
  StopWaiter(k);
  const OnScreenKeyboardWindows& w = *k.windows;
  const draw::Size display = ui::GetScreenSize();

  // Shown already: a second tap takes it away, unless it lies over the field now in use (the
  // operator went on to another one), where it moves out of the way.
  draw::Rect where;
  bool shown = false;
  const std::string present = FindWindow(w, titles, &where, &shown);
  if (!present.empty() && shown && (fieldRect.IsEmpty() || where.Intersect(fieldRect).IsEmpty())) {
    k.wanted = false;
    DropWatch(k);
    w.hide(present);
    return 1;
  }

  k.wanted = true;
  k.display = display;
  k.field = fieldRect;
  k.buttons = buttons;
  WatchScreen(k, screen);
  for (const std::string& t : titles) {
    if (RaiseForeignWindow(t.c_str())) {
      Place(w, t, display, fieldRect, buttons);
      return 1;
    }
  }
  // Not there: started, unless the one started before is still opening its window.
  if (!(k.running && k.running->load())) {
    const std::string program = sys::ProgramDir() + kOnScreenKeyboardProgram;
    const sys::ShellCommand cmd = sys::ResolveShellOpen(program);
    std::string error = cmd.error;
    auto running = std::make_shared<std::atomic<bool>>(true);
    int pid = 0;
    if (cmd.argv.empty() || !sys::StartDetached(cmd.argv, &error, &pid, [running] { running->store(false); })) {
      k.wanted = false;
      DropWatch(k);
      held.unlock();
      sys::DebugOutput("on-screen keyboard: " + error);
      ui::MessageBox(nullptr, NotAvailableText(AppSettings.LanguageIndex), "", ui::MB_ICONINFORMATION);
      return 1;
    }
    k.pid = pid;
    k.running = running;
  }
  std::thread(WaitAndPlace, titles, k.waiting).detach();
  return 1;
}

void HideOnScreenKeyboard() {
  Keyboard& k = State();
  const std::vector<std::string> titles = Titles();
  std::lock_guard<std::mutex> held(k.lock);
  if (!k.wanted) return;
  // A keyboard still opening its window is taken off the display by the wait when it comes.
  k.wanted = false;
  const std::string present = FindWindow(*k.windows, titles, nullptr, nullptr);
  if (!present.empty()) k.windows->hide(present);
}

void EndOnScreenKeyboard() {
  Keyboard& k = State();
  std::unique_lock<std::mutex> held(k.lock);
  k.wanted = false;
  StopWaiter(k);
  DropWatch(k);
  std::shared_ptr<std::atomic<bool>> running = std::move(k.running);
  const int pid = k.pid;
  k.pid = 0;
  held.unlock();
  if (!running || !running->load() || pid <= 0) return;
  sys::EndDetached(pid);
  // A keyboard that does not go when asked is made to.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (running->load() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (running->load()) sys::EndDetached(pid, true);
}
