#pragma once
// CSysStart: the start-up screen. Prepares the data store, runs the board sequence over the
// board port with a status line and a progress bar, purges the oldest results, and ends once
// the reagent alarm mode is set (or could not be). It cannot be closed from the keyboard;
// Alt+F4 finishes the start-up without the board unless the clean or the blank test runs.
#include <memory>
#include <vector>

#include "analyzer/screens/board_screen.h"
#include "analyzer/sequences/startup_sequence.h"
#include "core/ado_conn.h"
#include "platform/sys/thread.h"

namespace analyzer {

class CSysStart : public ProgressScreen, public StartupHost {
 public:
  static constexpr int kTemplateId = 189;
  static constexpr uintptr_t kReopenTimer = 4;  // the pause before a port is opened again

  explicit CSysStart(ui::Window* parent = nullptr);
  ~CSysStart() override;

  StartupSequence* sequence() { return seq_.get(); }
  // The Windows user default language is Chinese (the start-up clean is due).
  static void SetSystemLanguageChinese(bool chinese);

  // StartupHost (the port, status and boxes come from the screen bases)
  void Send(const CommandFrame& frame) override;
  bool AskOkCancel(const std::string& text) override;
  void ShutdownPc() override;
  void ReopenPort() override;
  void CopyTraceToLog() override;
  void DeleteTrace() override;
  void End() override;

 protected:
  bool OnInitDialog() override;
  void OnTimer(uintptr_t id) override;
  void OnAltF4() override;
  void KillScreenTimers() override;
  // A store that cannot be written stops no step of the start-up with a box: the failure is
  // logged and shown in the status line, and the start-up carries on.
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 private:
  void OpenPort();
  CADOConn conn_;
  StartupStoreValues values_;
  std::unique_ptr<StartupSequence> seq_;
  // While the port is being opened again, frames wait here.
  bool reopening_ = false;
  std::vector<CommandFrame> pending_;
};

// What the application object calls after its own data store upgrade and before the main
// menu: runs the start-up screen modally and returns when it has ended.
int RunStartupScreen();

}  // namespace analyzer
