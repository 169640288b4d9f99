#include "qc/qc_list_dialog.h"

#include "controls/screen_common.h"
#include "core/dialog_layout.h"

namespace qc {

void QcListDialog::OnCancel() {
  conn_.Disconnect();
  ui::Dialog::OnCancel();
}

bool QcListDialog::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool QcListDialog::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

}  // namespace qc
