#pragma once
// CSysStart: the start-up screen. Prepares the data store, runs the board sequence over the
// board port with a status line and a progress bar, purges the oldest results, and ends once
// the reagent alarm mode is set (or could not be). It cannot be closed from the keyboard;
// Alt+F4 finishes the start-up without the board unless the clean or the blank test runs.
#include <memory>
#include <vector>

#include "analyzer/sequences/startup_sequence.h"
#include "app/ado_conn.h"
#include "platform/ui/dialog.h"
#include "platform/ui/draw/bitmap.h"

namespace analyzer {

class CSerialPort;

class CSysStart : public ui::Dialog, public StartupHost {
 public:
  static constexpr int kTemplateId = 189;
  static constexpr int kStatusId = 1060;
  static constexpr int kProgressId = 1390;
  static constexpr uintptr_t kPollTimer = 3;    // runs the sequence's timers
  static constexpr uintptr_t kReopenTimer = 4;  // the pause before a port is opened again

  explicit CSysStart(ui::Window* parent = nullptr);
  ~CSysStart() override;

  StartupSequence* sequence() { return seq_.get(); }
  // The Windows user default language is Chinese (the start-up clean is due).
  static void SetSystemLanguageChinese(bool chinese);

  // StartupHost
  void Send(const CommandFrame& frame) override;
  void ShowStatus(const std::string& text) override;
  void SetProgress(int position) override;
  void Message(const std::string& text, BoxIcon icon) override;
  bool AskOkCancel(const std::string& text) override;
  void ShutdownPc() override;
  void ReopenPort() override;
  void CopyTraceToLog() override;
  void DeleteTrace() override;
  void End() override;

  bool PreTranslateMessage(ui::Message& msg) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 protected:
  bool OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnTimer(uintptr_t id) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  void OpenPort();
  CADOConn conn_;
  draw::Bitmap background_;  // the picture of the Picture folder; plain colour without it
  std::unique_ptr<CSerialPort> port_;
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
