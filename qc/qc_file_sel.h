#pragma once
// CQCFileSel: twenty file buttons ("QC 1" .. "QC 20") that open the screen of the mode for the
// chosen file: 11 L-J run, 12 L-J list, 13 L-J chart, 31 X-R run, 32 X-R list, 33 X-R charts.
#include "controls/xp_button.h"
#include "platform/ui/dialog.h"

namespace qc {

inline constexpr int IDD_QC_FILE_SEL = 339;
inline constexpr int IDC_QC_FILE1 = 1783;  // .. 1802 for file 20
inline constexpr int IDC_QC_FILE_OUTER = 2025;

class CQCFileSel : public ui::Dialog {
 public:
  CQCFileSel(ui::Window* parent, int mode);
  int mode() const { return mode_; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  void OpenFile(int fileNo);
  int mode_;
  CXPButton files_[20];
  CXPButton exit_;
};

}  // namespace qc
