#pragma once
// The UI thread, its message queue and its loops.
//
// ui::Init makes the calling thread the UI thread and opens a backend (the SDL window or the
// offscreen screen). Every loop on that thread - the main loop, each modal dialog's loop,
// message boxes - serves, in this order: messages other threads send (their senders wait),
// posted messages and input, due timers, and painting. Waits of the sys layer made on the
// UI thread (events, sleeps) keep serving sent messages through the wait pump.
//
// PostQuitMessage leaves every loop: each nested loop sees the quit and returns; the
// outermost one clears it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/types.h"

namespace ui {

class Window;

enum class BackendKind { Auto, Offscreen, Sdl };

struct InitOptions {
  BackendKind backend = BackendKind::Auto;  // Auto: SDL when a display is present
  int width = 0, height = 0;                // 0: the display's size (800 x 600 offscreen)
  bool fullScreen = false;
  std::string title = "Quorvex";
};

// Reads QUORVEX_UI_BACKEND ("offscreen" or "sdl") and a "--offscreen" / "--sdl" argument.
BackendKind BackendFromEnvironment(int argc = 0, char** argv = nullptr);

bool Init(const InitOptions& options = {});
// Destroys every window, fails every pending cross-thread send and closes the backend.
void Shutdown();
bool IsInitialized();
bool IsUiThread();
BackendKind ActiveBackend();
Size GetScreenSize();

// Sizes of the screen and of the framework's standard parts, in pixels.
enum : int {
  SM_CXSCREEN = 0,
  SM_CYSCREEN = 1,
  SM_CXVSCROLL = 2,
  SM_CYHSCROLL = 3,
  SM_CYCAPTION = 4,
  SM_CXBORDER = 5,
  SM_CYBORDER = 6,
  SM_CXDLGFRAME = 7,
  SM_CYDLGFRAME = 8,
  SM_CXEDGE = 45,
  SM_CYEDGE = 46,
};
int GetSystemMetrics(int index);

// --- loops ------------------------------------------------------------------------------
// Waits for the next message; false when a quit is pending.
bool GetMessage(Message& msg);
// Takes a message if one is ready (filtered by window and message range; 0, 0 = any).
bool PeekMessage(Message& msg, Window* window = nullptr, uint32_t first = 0, uint32_t last = 0,
                 bool remove = true);
// Runs the pre-translate chain: application hooks, then the window and its ancestors up to
// its top-level window. True: swallowed.
bool PreTranslate(Message& msg);
LResult DispatchMessage(const Message& msg);
// The main loop: returns the quit code.
int RunMessageLoop();
// Handles everything that is ready, without waiting; returns how many messages it handled.
int PumpPending();
void PostQuitMessage(int code = 0);
// Called on the UI thread once the display has gone away for good (its X server stopped): the
// program ends through its own orderly path, drawing nothing any more. Without one, every loop
// quits.
void SetDisplayLostHandler(std::function<void()> handler);
bool IsQuitPending();
int QuitCode();
// How many loops are running on the UI thread now.
int LoopDepth();
// The message being dispatched now (null outside a dispatch).
const Message* GetCurrentMessage();

// Application-level pre-translate hooks, run before any window's.
int AddPreTranslateHook(std::function<bool(Message&)> hook);
void RemovePreTranslateHook(int token);

// Drops queued mouse messages of `window` (all windows when null).
void RemoveMouseMessages(Window* window);

// Runs `fn` on the UI thread and waits for it (directly when called there). False when the
// UI thread is gone.
bool RunOnUiThread(const std::function<void()>& fn);
// Queues `fn` to run on the UI thread; returns at once.
bool PostToUiThread(std::function<void()> fn);

// Pointer shapes. A window sets its own in WM_SETCURSOR (sent on every pointer move);
// without an answer the pointer shows the class's shape (a text beam over edits).
enum class CursorShape { Arrow, IBeam, Wait, Cross, SizeWE, SizeNS, SizeAll, Hand, No };
void SetCursor(CursorShape shape);
CursorShape GetCursorShape();

// Hides or shows the pointer; a counter like the system's (shown while >= 0).
int ShowCursor(bool show);
bool IsCursorShown();

// The framework's clipboard (the system's too with the SDL backend).
void SetClipboardText(const std::string& text);
std::string GetClipboardText();

// A key that reaches `window` as WM_HOTKEY (wParam `id`) wherever the focus is, even while
// a modal screen runs. Modifiers: MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4.
bool RegisterHotKey(Window* window, int id, unsigned modifiers, unsigned vk);
bool UnregisterHotKey(Window* window, int id);

// Finds a visible top-level window of ours by its exact title (and class name when given).
Window* FindWindow(const std::string& className, const std::string& title);
// The window that input at this screen point goes to (the deepest visible window there,
// passing through hit-transparent ones such as group boxes); null when none.
Window* WindowFromPoint(Point screen);

// Top-level windows, bottom to top.
std::vector<Window*> TopLevelWindows();

// Called when a handler throws: the exception is caught, reported here and the message
// counts as handled with result 0.
void SetHandlerFaultReporter(std::function<void(const std::string&)> fn);
int HandlerFaultCount();

// Called on the UI thread each time a composed frame has been handed to the display, so a
// benchmark can time the way from an input to the screen. An empty function removes it.
void SetPresentListener(std::function<void()> fn);
// How long the display took to take the last frame (the backend's present alone, nanoseconds):
// what a real window adds to the offscreen display, for the same benchmarks.
int64_t LastPresentNs();

}  // namespace ui

namespace ui {
// Send and post by handle: safe from any thread even when the window may be gone (the
// serial reader and other workers keep their owner's handle, not a pointer).
LResult SendMessageTo(WindowHandle h, uint32_t msg, WParam w = 0, LParam l = 0);
bool PostMessageTo(WindowHandle h, uint32_t msg, WParam w = 0, LParam l = 0);
}  // namespace ui
