#pragma once
// The test driver: runs screens on the offscreen backend with the manual program clock and
// works them as an operator would, through real input.
//
// Two ways to use it:
//  * On the UI thread, for screens that do not block: create the window, then Press, Type,
//    Advance; each action handles everything that follows from it before returning.
//  * With a script: RunScript(body, script) runs `body` (typically `dlg.DoModal()`) on the UI
//    thread while `script` works the screens from a second thread; every action there waits
//    until the UI thread has nothing left to do. Nested modal screens and message boxes are
//    driven this way.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/draw/bitmap.h"
#include "platform/ui/types.h"

namespace ui {

class Window;

class TestDriver {
 public:
  // Initialises the framework offscreen (width x height) with the manual clock.
  static bool Start(int width = 800, int height = 600);
  static void Stop();

  // Handles everything that is ready (UI thread) or waits until the UI thread is idle.
  void Settle();
  // Runs `body` on this (UI) thread and `script` on a helper thread; returns when both end.
  // The script's actions wait for the UI; `body` normally runs a modal screen that the script
  // closes. The script is given up (and reported false) after `realLimitMs` of real time.
  bool RunScript(const std::function<void()>& body, const std::function<void(TestDriver&)>& script,
                 int64_t realLimitMs = 20000);

  // --- finding ---------------------------------------------------------------------------
  // A control by id in the active window, else in the other top-level windows, top first.
  Window* Find(int id);
  // The top-level window at the top of the z-order (visible), and the active one.
  Window* TopWindow();
  Window* ActiveWindow();

  // --- input -----------------------------------------------------------------------------
  bool Press(int id);                      // a click in the middle of control `id`
  bool Press(Window* w);
  void ClickAt(Point screen, int button = 0);
  void DoubleClickAt(Point screen);
  void MoveTo(Point screen);
  void Type(const std::string& utf8);      // characters to the focus window
  void Key(unsigned vk, bool shift = false, bool ctrl = false, bool alt = false);
  // Moves the program clock on by `ms`, stopping at each timer so every period fires.
  void Advance(int64_t ms);
  // Serves the UI until `cond` holds (checked on the UI thread) or `realLimitMs` pass.
  bool RunUntil(const std::function<bool()>& cond, int64_t realLimitMs = 5000);

  // --- reading ---------------------------------------------------------------------------
  std::string Text(int id);
  int Check(int id);
  bool Enabled(int id);
  bool Visible(int id);
  // The message box on top (null when none).
  Window* MessageBox();
  std::string MessageBoxText();
  // Presses button `buttonId` (IDOK, IDYES ...) of the message box on top.
  bool AnswerMessageBox(int buttonId);

  // --- screen ----------------------------------------------------------------------------
  draw::Bitmap Screen();
  bool SaveScreenshot(const std::string& path);

 private:
  template <class T>
  T OnUi(const std::function<T()>& fn);
};

}  // namespace ui
