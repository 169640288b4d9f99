#include "qc/qc_list_dialog.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "qc/qc_common.h"

namespace qc {

void QcListDialog::CreateRunGrid(const ui::Rect& area, int id) {
  grid_.Create(area, this, id);
  gridFont_ = draw::Font("Arial", static_cast<int>(16 * AppSettings.LayoutScale));
  grid_.SetFont(&gridFont_, true);
}

void QcListDialog::ShowButtonCaptions(int lang) {
  send_.SetWindowText(SendButtonText(lang));
  delete_.SetWindowText(DeleteButtonText(lang));
  help_.SetWindowText(HelpButtonText(lang));
  exit_.SetWindowText(ExitButtonText(lang));
}

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
