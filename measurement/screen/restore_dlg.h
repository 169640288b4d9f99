#pragma once
// CRestoreDlg: the small pop-up shown while the analyzer wakes up from stand-by ("Restoring...").
// Its owner ends it; the keys that would close it (Escape, Enter, Alt+F4) are swallowed.
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

namespace measurement {

inline constexpr int IDD_RESTORE = 356;
inline constexpr int IDC_RESTORE_FRAME = 2001;
inline constexpr int IDC_RESTORE_TEXT = 1581;

class CRestoreDlg : public ui::Dialog {
 public:
  explicit CRestoreDlg(ui::Window* parent = nullptr);
  bool PreTranslateMessage(ui::Message& msg) override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  void OnOK() override {}

 private:
  CXPGroupBox frame_;
};

ui::DialogTemplate RestoreTemplate();

}  // namespace measurement
