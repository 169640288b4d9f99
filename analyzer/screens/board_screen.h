#pragma once
// BoardScreen: what the screens that drive the front-end board share. The screen owns (or
// borrows) a board port, queues its sequence's frames on it, feeds the sequence the board's
// bytes and the one-second poll, shows the sequence's messages in the program's box, and ends
// from its own message loop (the port's worker waits for the byte handler, so the port is
// closed afterwards, never from inside it).
//
// ProgressScreen adds the full-screen look of the start-up and shutdown screens: a background
// picture with a status line and a progress bar, and no way out by the keyboard.
#include <memory>
#include <string>

#include "analyzer/sequences/board_host.h"
#include "controls/static_trans.h"
#include "platform/ui/dialog.h"
#include "platform/ui/draw/bitmap.h"

namespace analyzer {

class CSerialPort;

class BoardScreen : public ui::Dialog, public virtual BoardHost {
 public:
  static constexpr uintptr_t kPollTimer = 3;

  BoardScreen(const ui::DialogTemplate& tmpl, ui::Window* parent);
  ~BoardScreen() override;

  void Send(const CommandFrame& frame) override;
  void Message(const std::string& text, BoxIcon icon) override;

  bool PreTranslateMessage(ui::Message& msg) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 protected:
  // How a port that cannot be opened is reported: the box text with or without "COM4", the
  // warning icon in Chinese, and the log line about the serial cable in Chinese.
  struct PortFailure {
    bool withNumber = false;
    bool warnInChinese = false;
    bool logInChinese = false;
  };
  // Opens a port of the screen's own; false (after the box) when it cannot be opened.
  bool OpenOwnPort(const PortFailure& how);
  // Opens `port`, kept by its owner, for this screen; it is closed when the screen ends.
  bool OpenBorrowedPort(CSerialPort& port, const PortFailure& how);
  // Deletes or closes the port; frames sent meanwhile go nowhere.
  void ClosePort();
  bool PortOpen() const { return port_ != nullptr; }

  // The sequence that gets the bytes and the poll (null: nothing to feed); starts the poll.
  void Drive(BoardDriven* sequence);
  // Ends the screen from its message loop with `result` (a sequence asked to end).
  void PostEnd(int result);
  // Stops the timers, closes the port and ends the dialog now.
  void EndScreen(int result);
  // Further timers of a screen, killed when it ends.
  virtual void KillScreenTimers() {}

  // Keys the screen takes away from the framework.
  bool swallowEnter_ = false;
  bool swallowEscape_ = false;
  bool swallowAltF4_ = false;
  // Alt+F4 when it is swallowed.
  virtual void OnAltF4() {}

  void OnTimer(uintptr_t id) override;

 private:
  void ReportPortFailure(const PortFailure& how);
  std::unique_ptr<CSerialPort> ownPort_;
  CSerialPort* port_ = nullptr;
  BoardDriven* sequence_ = nullptr;
  int endResult_ = 2;
};

class ProgressScreen : public BoardScreen, public virtual ProgressHost {
 public:
  static constexpr int kStatusId = 1060;
  static constexpr int kProgressId = 1390;

  explicit ProgressScreen(ui::Window* parent);

  void ShowStatus(const std::string& text) override;
  void SetProgress(int position) override;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  void OnOK() override {}
  void OnCancel() override {}
  bool OnEraseBkgnd(draw::DC& dc) override;
  void SetProgressRange(int last);
  // The picture of the Picture folder (a path below the program folder); plain colour without it.
  void LoadBackground(const std::string& relativePath);

  CStaticTrans status_;

 private:
  draw::Bitmap background_;
};

}  // namespace analyzer
