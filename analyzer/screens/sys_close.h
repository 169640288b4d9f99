#pragma once
// CSysClose: the shutdown screen. Takes the board out of its working state and powers it down,
// saves volumes and running time at once, and records the outcome in the system log. It closes
// with IDOK on the board's confirmation or after its last progress step; it cannot be closed
// by the operator.
#include <memory>

#include "analyzer/screens/board_screen.h"
#include "analyzer/sequences/shutdown_sequence.h"
#include "core/ado_conn.h"

namespace analyzer {

class CSysClose : public ProgressScreen, public ShutdownHost {
 public:
  static constexpr int kTemplateId = 186;

  explicit CSysClose(ui::Window* parent = nullptr);
  ~CSysClose() override;

  void Close() override;

 protected:
  bool OnInitDialog() override;

 private:
  CADOConn conn_;
  std::unique_ptr<ShutdownSequence> seq_;
};

// What the main menu's shutdown runs after its confirmation: the shutdown screen, modally.
// Returns IDOK; the caller then sets the power-off flag and closes the main window.
int RunShutdownScreen();

}  // namespace analyzer
