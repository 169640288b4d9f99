#pragma once
// CSysClose: the shutdown screen. Takes the board out of its working state and powers it down,
// saves volumes and running time at once, and records the outcome in the system log. It closes
// with IDOK on the board's confirmation or after its last progress step; it cannot be closed
// by the operator.
#include <memory>

#include "analyzer/sequences/shutdown_sequence.h"
#include "app/ado_conn.h"
#include "platform/ui/dialog.h"
#include "platform/ui/draw/bitmap.h"

namespace analyzer {

class CSerialPort;

class CSysClose : public ui::Dialog, public ShutdownHost {
 public:
  static constexpr int kTemplateId = 186;
  static constexpr int kStatusId = 1060;
  static constexpr int kProgressId = 1390;
  static constexpr uintptr_t kPollTimer = 3;

  explicit CSysClose(ui::Window* parent = nullptr);
  ~CSysClose() override;

  void Send(const CommandFrame& frame) override;
  void ShowStatus(const std::string& text) override;
  void SetProgress(int position) override;
  void Message(const std::string& text, BoxIcon icon) override;
  void Close() override;

  bool PreTranslateMessage(ui::Message& msg) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 protected:
  bool OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnTimer(uintptr_t id) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  CADOConn conn_;
  draw::Bitmap background_;  // the picture of the Picture folder; plain colour without it
  std::unique_ptr<CSerialPort> port_;
  std::unique_ptr<ShutdownSequence> seq_;
};

// What the main menu's shutdown runs after its confirmation: the shutdown screen, modally.
// Returns IDOK; the caller then sets the power-off flag and closes the main window.
int RunShutdownScreen();

}  // namespace analyzer
