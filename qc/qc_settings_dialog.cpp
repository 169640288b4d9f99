#include "qc/qc_settings_dialog.h"

#include "controls/screen_common.h"
#include "core/dialog_layout.h"

namespace qc {

bool QcSettingsDialog::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool QcSettingsDialog::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* QcSettingsDialog::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  // Edits keep their own background (a changed text must not show over the old one).
  const draw::Brush* brush = ui::Dialog::OnCtlColor(dc, control, ctlType);
  if (ctlType == ui::CTLCOLOR_EDIT) dc.SetTextColor(draw::RGB(66, 85, 92));
  return brush;
}

}  // namespace qc
