#pragma once
// The look and keys the QC file settings screens (L-J, X-R, X-B) share: Enter and Escape do not
// close them, the striped frame of seven bands, labels on the frame's colour and edit texts in
// the screens' dark slate.
#include <array>
#include <functional>
#include <string>

#include "controls/xp_tab_spin.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_template.h"

namespace qc {

// Where the target and limit columns of a settings screen (L-J, X-B) lie: two sides of ten
// parameters, each row its name, target edit, limit edit and unit, under the three headings.
struct TargetLimitColumns {
  int left, sideStep;      // x of the first side, and of the second one further
  int nameWidth, editWidth, unitWidth;
  int targetX, limitX, unitX;  // from the side's x
};
void AddTargetLimitColumns(ui::DialogTemplate& t, const TargetLimitColumns& c);

// Captions the settings screens share.
std::string SaveButtonText(int language);
std::string ItemsButtonText(int language);
std::string SettingsSendButtonText(int language);

class QcSettingsDialog : public ui::Dialog {
 public:
  using ui::Dialog::Dialog;

 protected:
  // Delete of the shown file (L-J, X-R): with no saved settings "No data in current QC file!";
  // after the operator's yes the settings row goes, then `cleared` empties the screen's fields,
  // then the file's results go and the operator reads that the file's data were deleted. A
  // delete the store refused stops there.
  void DeleteFileSettings(CADOConn& conn, bool hasRow, const char* setTable, const char* runTable, int fileNo,
                          const std::function<void()>& cleared);

  // The file (1..20) whose radio button `id` is (FileRadioId), or 0 for any other control.
  static int FileOfRadio(int id);
  // The year, month and day spins beside the expiry date edits `dateIds`.
  void SetUpExpirySpins(CTSpinButtonCtrl (&spins)[3], const int (&dateIds)[3]);
  // The headings of the target and limit columns, and the unit of each parameter (display order).
  void ShowTargetLimitHeadings(int language);
  void ShowUnits(const std::array<std::string, 20>& units);

  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
};

}  // namespace qc
