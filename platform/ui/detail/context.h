#pragma once
// The UI thread's state: queue, sent messages, timers, window table, window manager state.
// Internal to the framework.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/ui/app.h"
#include "platform/ui/detail/backend.h"
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/input.h"
#include "platform/ui/window.h"

namespace ui::detail {

// A message another thread sends (and waits for), or a call it wants run on the UI thread.
struct SentItem {
  Message msg;
  std::function<void()> fn;
  LResult result = 0;
  bool done = false;
};

// A posted message or a posted call.
struct QueueItem {
  Message msg;
  std::function<void()> fn;
};

struct Timer {
  WindowHandle hwnd = 0;
  uintptr_t id = 0;
  int64_t period = 0;
  int64_t due = 0;
};

struct Context {
  std::thread::id uiThread;
  std::atomic<bool> alive{false};

  // Guards everything other threads touch: queue, sent items, injected input, wake flag.
  std::mutex mu;
  std::condition_variable cv;      // wakes the UI thread
  std::condition_variable doneCv;  // wakes senders
  std::deque<QueueItem> posted;
  std::deque<std::shared_ptr<SentItem>> sent;
  std::vector<InputEvent> injected;
  bool wake = false;

  std::atomic<bool> quit{false};
  std::atomic<int> quitCode{0};

  // Handle table; read from other threads (post/send check a handle), hence its own lock.
  std::mutex handleMu;
  std::unordered_map<WindowHandle, Window*> handles;
  WindowHandle nextHandle = 1;

  // --- UI thread only ---
  std::vector<Timer> timers;
  std::vector<Window*> topLevels;  // bottom to top
  WindowHandle active = 0, focus = 0, capture = 0;
  WindowHandle previousFocus = 0;  // the window that had the focus before `focus`
  WindowHandle mouseOver = 0;      // window under the pointer (leave tracking)
  int64_t hoverStart = 0;
  Point cursor;
  unsigned buttons = 0;            // MK_ flags of the buttons held
  bool shift = false, ctrl = false;
  // Dragging the thumb of a window's own scroll bar.
  WindowHandle ncTrackWnd = 0;
  int ncTrackBar = 0;
  int ncTrackOffset = 0;
  struct HotKey {
    WindowHandle hwnd;
    int id;
    unsigned modifiers;
    unsigned vk;
  };
  std::vector<HotKey> hotKeys;
  int loopDepth = 0;
  const Message* current = nullptr;
  std::vector<std::pair<int, std::function<bool(Message&)>>> hooks;
  int nextHookToken = 1;
  std::vector<Window*> pendingDelete;
  bool paintPending = false;
  bool composeNeeded = true;
  // What may have changed on the screen since the last compose, in screen coordinates: the
  // rectangles painted or drawn into, or everything (a window shown, hidden, moved, raised).
  std::vector<Rect> damage;
  bool damageAll = true;
  std::chrono::steady_clock::time_point lastCompose{};
  int postedSinceTimer = 0;

  std::unique_ptr<Backend> backend;
  // The UI thread is waiting inside the backend (for input): a wake-up must interrupt that wait.
  bool backendWaiting = false;  // guarded by mu
  Size screenSize{800, 600};
  draw::Bitmap screen;
  int advanceToken = 0;
  int cursorCount = 0;
  CursorShape cursorShape = CursorShape::Arrow;
  std::string clipboard;

  std::function<void(const std::string&)> faultReporter;
  std::function<void()> presentListener;  // after each frame handed to the display
  int64_t lastPresentNs = 0;              // how long the backend took to take the last frame
  std::atomic<int> faults{0};
  // Incremented each time the UI thread finds nothing to do (the test driver waits on it).
  std::atomic<uint64_t> idleCount{0};
  std::condition_variable idleCv;
};

Context& Ctx();

// Wakes the UI thread (call with `mu` not held).
void Wake();
// Runs every pending cross-thread send and call; true when there was one.
bool ServeSent();
// Calls a window procedure, catching what it throws.
LResult SafeCall(Window* w, uint32_t msg, WParam wp, LParam lp);
void ReportFault(const std::string& what);

// Window manager (wm.cpp).
void AddTopLevel(Window* w);
void RemoveTopLevel(Window* w);
void RaiseTopLevel(Window* w);
// Paints what is invalid and composes the screen. Without `force`, composing waits until
// kComposeIntervalMs have passed since the last time (a flood of messages that each change
// a little would otherwise compose the whole screen for every one).
void PaintAndCompose(bool force = false);
inline constexpr int64_t kComposeIntervalMs = 15;
void RouteInput(const InputEvent& ev);
// The display went away: runs the handler of SetDisplayLostHandler, or quits (app.cpp).
void DisplayLost();
void DrainInput();
void CheckHover();
int64_t NextHoverDue();  // -1: none
void OnWindowDestroyed(Window* w);
// Marks the whole screen for composition (a top-level window moved, showed, hid or raised).
void ScreenChanged();
// Marks one part of the screen (screen coordinates) for composition: a window drew there.
void ScreenChangedIn(const Rect& screenRect);

// Timers (app.cpp).
void KillTimersOf(WindowHandle h);
// The earliest due time among live timers, or -1.
int64_t NextTimerDue();

// Frees windows whose deletion was deferred until no handler could still be running.
void ProcessPendingDeletes();

}  // namespace ui::detail
